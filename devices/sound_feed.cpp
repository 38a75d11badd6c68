#include "devices/sound_feed.h"

#include "devices/resampler.h"
#include "devices/sound_decoder.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace {

constexpr std::size_t AheadSamples = std::size_t(StreamRate) * StreamChannels;
constexpr std::size_t PieceFrames = 4096;
constexpr std::size_t PieceSamples = PieceFrames * StreamChannels;

} // namespace

SoundFeed::SoundFeed(std::unique_ptr<SoundSource> source, Clock::time_point startBy)
    : m_startBy(startBy), m_ring(std::make_shared<Ring>())
{
    Ring &ring = *m_ring;
    ring.samples.resize(AheadSamples);
    ring.held = source->read(ring.samples.data(), AheadSamples / StreamChannels) * StreamChannels;
    if (ring.held < ring.samples.size()) {
        ring.ended = true;
        return;
    }
    ring.source = std::move(source);
    std::thread(&SoundFeed::decode, m_ring).detach();
}

SoundFeed::~SoundFeed()
{
    {
        std::lock_guard lock(m_ring->mutex);
        m_ring->stop = true;
    }
    m_ring->room.notify_all();
}

void SoundFeed::decode(std::shared_ptr<Ring> shared)
{
    Ring &ring = *shared;
    std::vector<std::int16_t> piece(PieceSamples);
    for (bool ended = false; !ended;) {
        {
            std::unique_lock lock(ring.mutex);
            ring.room.wait(lock, [&] {
                return ring.stop || ring.samples.size() - ring.held >= PieceSamples;
            });
            if (ring.stop)
                break;
        }
        const std::size_t frames = ring.source->read(piece.data(), PieceFrames);
        ended = frames < PieceFrames;
        std::lock_guard lock(ring.mutex);
        ring.putLocked(piece.data(), frames * StreamChannels);
        ring.ended = ended;
    }
    // The file is closed here rather than by whichever thread drops the feed.
    ring.source.reset();
}

void SoundFeed::Ring::putLocked(const std::int16_t *from, std::size_t count)
{
    for (std::size_t done = 0; done < count;) {
        const std::size_t at = (readAt + held) % samples.size();
        const std::size_t n = std::min(count - done, samples.size() - at);
        std::memcpy(samples.data() + at, from + done, n * sizeof(std::int16_t));
        held += n;
        done += n;
    }
}

std::size_t SoundFeed::take(std::int16_t *out, std::size_t frames)
{
    const std::size_t wanted = frames * StreamChannels;
    std::size_t copied = 0;
    bool ended = false;
    bool room = false;
    Ring &ring = *m_ring;
    {
        std::lock_guard lock(ring.mutex);
        while (copied < wanted && ring.held > 0) {
            const std::size_t n =
                    std::min({ wanted - copied, ring.held, ring.samples.size() - ring.readAt });
            std::memcpy(out + copied, ring.samples.data() + ring.readAt, n * sizeof(std::int16_t));
            copied += n;
            ring.readAt = (ring.readAt + n) % ring.samples.size();
            ring.held -= n;
        }
        ended = ring.ended;
        room = ring.samples.size() - ring.held >= PieceSamples;
    }
    if (ended)
        return copied / StreamChannels;
    if (room)
        ring.room.notify_one();
    std::memset(out + copied, 0, (wanted - copied) * sizeof(std::int16_t));
    return frames;
}
