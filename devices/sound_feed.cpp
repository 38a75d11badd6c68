#include "devices/sound_feed.h"

#include "devices/resampler.h"
#include "devices/sound_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t AheadSamples = std::size_t(StreamRate) * StreamChannels;
constexpr std::size_t PieceFrames = 4096;
constexpr std::size_t PieceSamples = PieceFrames * StreamChannels;

} // namespace

SoundFeed::SoundFeed(std::unique_ptr<SoundSource> source, Clock::time_point startBy)
    : m_startBy(startBy), m_source(std::move(source)), m_ring(AheadSamples)
{
    m_held = m_source->read(m_ring.data(), AheadSamples / StreamChannels) * StreamChannels;
    if (m_held < m_ring.size()) {
        m_ended = true;
        m_source.reset();
        return;
    }
    m_decoder = std::thread(&SoundFeed::decode, this);
}

SoundFeed::~SoundFeed()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_room.notify_all();
    if (m_decoder.joinable())
        m_decoder.join();
}

void SoundFeed::decode()
{
    std::vector<std::int16_t> piece(PieceSamples);
    for (bool ended = false; !ended;) {
        {
            std::unique_lock lock(m_mutex);
            m_room.wait(lock, [&] { return m_stop || m_ring.size() - m_held >= PieceSamples; });
            if (m_stop)
                break;
        }
        const std::size_t frames = m_source->read(piece.data(), PieceFrames);
        ended = frames < PieceFrames;
        std::lock_guard lock(m_mutex);
        putLocked(piece.data(), frames * StreamChannels);
        m_ended = ended;
    }
    // The file is closed here rather than by whichever thread drops the feed.
    m_source.reset();
}

void SoundFeed::putLocked(const std::int16_t *samples, std::size_t count)
{
    for (std::size_t done = 0; done < count;) {
        const std::size_t at = (m_readAt + m_held) % m_ring.size();
        const std::size_t n = std::min(count - done, m_ring.size() - at);
        std::memcpy(m_ring.data() + at, samples + done, n * sizeof(std::int16_t));
        m_held += n;
        done += n;
    }
}

std::size_t SoundFeed::take(std::int16_t *out, std::size_t frames)
{
    const std::size_t wanted = frames * StreamChannels;
    std::size_t copied = 0;
    bool ended = false;
    bool room = false;
    {
        std::lock_guard lock(m_mutex);
        while (copied < wanted && m_held > 0) {
            const std::size_t n = std::min({ wanted - copied, m_held, m_ring.size() - m_readAt });
            std::memcpy(out + copied, m_ring.data() + m_readAt, n * sizeof(std::int16_t));
            copied += n;
            m_readAt = (m_readAt + n) % m_ring.size();
            m_held -= n;
        }
        ended = m_ended;
        room = m_ring.size() - m_held >= PieceSamples;
    }
    if (ended)
        return copied / StreamChannels;
    if (room)
        m_room.notify_one();
    std::memset(out + copied, 0, (wanted - copied) * sizeof(std::int16_t));
    return frames;
}
