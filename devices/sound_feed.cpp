#include "devices/sound_feed.h"

#include "devices/resampler.h"
#include "devices/sound_decoder.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace {

constexpr std::size_t AheadSamples = std::size_t(StreamRate) * StreamChannels;
constexpr std::size_t PieceFrames = 4096;
constexpr std::size_t PieceSamples = PieceFrames * StreamChannels;
// How soon the decoding thread lets go of a feed that has been dropped.
constexpr auto DroppedWithin = std::chrono::milliseconds(500);

} // namespace

// The one thread that decodes ahead for every feed. It is never destroyed: the program may end
// while it reads a piece, and it then ends with the process.
class SoundFeed::Decoder
{
public:
    static Decoder &instance()
    {
        static Decoder *const decoder = new Decoder;
        return *decoder;
    }

    // The ring is full when it comes: the output wakes the thread once it has room. Only a
    // thread that has no ring yet is woken, so that it looks for dropped ones from now on.
    void add(std::shared_ptr<Ring> ring)
    {
        bool first = false;
        {
            std::lock_guard lock(m_mutex);
            first = m_rings.empty();
            m_rings.push_back(std::move(ring));
            m_due = m_due || first;
        }
        if (first)
            m_wake.notify_one();
    }

    // A ring has room, or has been told to stop. Called from the output's threads, with no
    // ring's mutex held.
    void wake()
    {
        {
            std::lock_guard lock(m_mutex);
            m_due = true;
        }
        m_wake.notify_one();
    }

private:
    Decoder() { std::thread(&Decoder::run, this).detach(); }

    void run()
    {
        std::vector<std::int16_t> piece(PieceSamples);
        std::vector<std::shared_ptr<Ring>> rings;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                // A dropped feed does not wake the thread, so that an answer does not pay for a
                // wake: its file is closed a little later.
                if (m_rings.empty())
                    m_wake.wait(lock, [this] { return m_due; });
                else
                    m_wake.wait_for(lock, DroppedWithin, [this] { return m_due; });
                m_due = false;
                rings = m_rings;
            }
            // Decoded with no lock of the decoder's held, so that the output is never kept
            // waiting on a file by a call to wake. A file that stalls holds up the other feeds
            // too; the sound before is cut off by then, and a new one has its first second.
            for (const std::shared_ptr<Ring> &ring : rings) {
                if (!ring->fill(piece)) {
                    std::lock_guard lock(m_mutex);
                    std::erase(m_rings, ring);
                }
            }
            rings.clear();
        }
    }

    // Guards the rings and the flag that there is work; never held with a ring's mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<std::shared_ptr<Ring>> m_rings;
    bool m_due = false;
};

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
    Decoder::instance().add(m_ring);
}

SoundFeed::~SoundFeed()
{
    std::vector<std::int16_t> samples;
    std::lock_guard lock(m_ring->mutex);
    m_ring->stop = true;
    // Freed here, where the next sound's feed is made, rather than by the decoding thread a while
    // later: the next feed then has warm memory rather than pages to fault in.
    samples.swap(m_ring->samples);
}

bool SoundFeed::Ring::fill(std::vector<std::int16_t> &piece)
{
    for (bool last = false; !last;) {
        {
            std::lock_guard lock(mutex);
            if (stop)
                break;
            if (samples.size() - held < PieceSamples)
                return true;
        }
        const std::size_t frames = source->read(piece.data(), PieceFrames);
        last = frames < PieceFrames;
        std::lock_guard lock(mutex);
        if (stop)
            break;
        putLocked(piece.data(), frames * StreamChannels);
        ended = last;
    }
    // The file is closed here rather than by whichever thread drops the feed.
    source.reset();
    return false;
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
        Decoder::instance().wake();
    std::memset(out + copied, 0, (wanted - copied) * sizeof(std::int16_t));
    return frames;
}
