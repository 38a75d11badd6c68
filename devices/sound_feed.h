// A sound's samples decoded ahead of the output, so that the sound server's callbacks and the
// card's thread only copy them.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class SoundSource;

// The first second is read at once by the thread that makes the feed: the kept start of a
// sound, already decoded. A longer sound has its rest decoded a second ahead of the output by
// the feeds' decoding thread, so that reading a teacher's file never holds up the output. That
// thread is made once, at the first long sound, and serves every feed after it: an answer never
// waits for a thread to start.
//
// Its mutex is the innermost lock of the sound output: nothing else is taken while it is held.
class SoundFeed
{
public:
    using Clock = std::chrono::steady_clock;

    // `startBy`: after that moment the sound is no longer the answer's, and is not started.
    SoundFeed(std::unique_ptr<SoundSource> source, Clock::time_point startBy);
    // Tells the decoding thread to stop after the piece it is decoding, without waiting or
    // waking it: a new answer's sound never waits on the old one's file. The thread closes the
    // file within half a second.
    ~SoundFeed();
    SoundFeed(const SoundFeed &) = delete;
    SoundFeed &operator=(const SoundFeed &) = delete;

    // Copies up to `frames` stream frames, fewer only at the end of the sound. Where the
    // decoding has fallen behind (a stalled disk), silence stands in: a gap, never a stall.
    std::size_t take(std::int16_t *out, std::size_t frames);
    bool lateAt(Clock::time_point now) const { return now > m_startBy; }

private:
    // What the feed and the decoding thread share; the thread keeps it until it has stopped.
    struct Ring
    {
        // Touched only by the decoding thread once it has the ring.
        std::unique_ptr<SoundSource> source;
        std::mutex mutex;
        // Interleaved samples.
        std::vector<std::int16_t> samples;
        std::size_t readAt = 0;
        std::size_t held = 0;
        bool ended = false;
        bool stop = false;

        void putLocked(const std::int16_t *from, std::size_t count);
        // Decodes until the ring is full; false once it wants nothing more (ended or stopped),
        // its file closed.
        bool fill(std::vector<std::int16_t> &piece);
    };
    class Decoder;

    const Clock::time_point m_startBy;
    std::shared_ptr<Ring> m_ring;
};
