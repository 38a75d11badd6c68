#include "devices/pulse_output.h"

#include "devices/resampler.h"
#include "devices/sound_feed.h"

#include <pulse/pulseaudio.h>

#include <cstring>

namespace {

constexpr pa_sample_spec StreamFormat { PA_SAMPLE_S16NE, StreamRate, StreamChannels };
constexpr std::size_t FrameBytes = sizeof(std::int16_t) * StreamChannels;
// Ten milliseconds kept ahead in the server: a chime sounds that soon after the answer, and
// the server still has time to ask for more.
constexpr pa_usec_t TargetLatency = 10'000;
// A stream that runs keeps the server waking every few milliseconds and its sink from
// suspending. After this much silence it is corked, so that the server may suspend the sink as
// soon as it sees it idle (within 3 s of the last sound where it waits one second); the pupil's
// next key uncorks it long before the next Enter. Corked rather than closed: the sink then wakes
// already knowing the stream's short latency, where a new stream may first wait out the long
// block an idle sink renders.
constexpr pa_usec_t QuietBeforeSleep = 1'500'000;

class Lock
{
public:
    explicit Lock(pa_threaded_mainloop *loop) : m_loop(loop) { pa_threaded_mainloop_lock(m_loop); }
    ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;

private:
    pa_threaded_mainloop *m_loop;
};

} // namespace

PulseOutput::PulseOutput(Unserved unserved)
    : m_unserved(std::move(unserved)), m_loop(pa_threaded_mainloop_new())
{
    if (m_loop && pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

PulseOutput::~PulseOutput()
{
    if (!m_loop)
        return;
    Feeds done;
    {
        Lock lock(m_loop);
        dropConnectionLocked();
        retireLocked(m_waiting);
        done.swap(m_retired);
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseOutput::connect()
{
    if (!m_loop)
        return;
    Feeds done; // destroyed after the lock is let go
    Lock lock(m_loop);
    wakeLocked();
    sleepLaterLocked();
    done.swap(m_retired);
}

void PulseOutput::wakeLocked()
{
    const pa_context_state_t state =
            m_context ? pa_context_get_state(m_context) : PA_CONTEXT_UNCONNECTED;
    if (!PA_CONTEXT_IS_GOOD(state)) {
        connectLocked();
    } else if (state == PA_CONTEXT_READY && !m_stream) {
        makeStreamLocked();
    } else if (m_ready && m_corked) {
        m_corked = false;
        if (pa_operation *uncorking = pa_stream_cork(m_stream, 0, nullptr, nullptr))
            pa_operation_unref(uncorking);
    }
}

void PulseOutput::connectLocked()
{
    dropConnectionLocked();
    pa_proplist *properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "Tovemi");
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "event");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), "Tovemi",
                                             properties);
    pa_proplist_free(properties);
    if (!m_context) {
        unservedLocked();
        return;
    }
    m_sleepTimer = pa_context_rttime_new(m_context, PA_USEC_INVALID, &PulseOutput::quietFor, this);
    pa_context_set_state_callback(m_context, &PulseOutput::contextChanged, this);
    // No server of our own: where none runs, the sound card is played directly instead.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropConnectionLocked();
        unservedLocked();
    }
}

void PulseOutput::dropConnectionLocked()
{
    dropStreamLocked();
    if (m_sleepTimer) {
        pa_threaded_mainloop_get_api(m_loop)->time_free(m_sleepTimer);
        m_sleepTimer = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
}

void PulseOutput::makeStreamLocked()
{
    m_stream = pa_stream_new(m_context, "Tovemi", &StreamFormat, nullptr);
    if (!m_stream) {
        unservedLocked();
        return;
    }
    m_flushesAsked = m_flushesAnswered = 0;
    m_corked = false;
    pa_stream_set_state_callback(m_stream, &PulseOutput::streamChanged, this);
    pa_stream_set_write_callback(m_stream, &PulseOutput::streamWants, this);
    const auto target = std::uint32_t(pa_usec_to_bytes(TargetLatency, &StreamFormat));
    // Playing starts as soon as one target's worth is there; an answer writes that much at once.
    const pa_buffer_attr buffer { std::uint32_t(-1), target, target, std::uint32_t(-1),
                                  std::uint32_t(-1) };
    if (pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr)
        < 0) {
        dropStreamLocked();
        unservedLocked();
    }
}

void PulseOutput::dropStreamLocked()
{
    m_ready = false;
    retireLocked(m_playing);
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseOutput::unservedLocked()
{
    retireLocked(m_playing);
    if (m_waiting && m_unserved)
        m_unserved(std::move(m_waiting));
    retireLocked(m_waiting);
}

void PulseOutput::retireLocked(std::unique_ptr<SoundFeed> &feed)
{
    if (feed)
        m_retired.push_back(std::move(feed));
}

void PulseOutput::sleepLaterLocked()
{
    if (m_sleepTimer)
        pa_context_rttime_restart(m_context, m_sleepTimer, pa_rtclock_now() + QuietBeforeSleep);
}

void PulseOutput::quietFor(pa_mainloop_api *, pa_time_event *, const timeval *, void *self)
{
    auto *output = static_cast<PulseOutput *>(self);
    // A sound that ends sets the timer again.
    if (output->m_playing || output->m_waiting || !output->m_ready || output->m_corked)
        return;
    output->m_corked = true;
    if (pa_operation *corking = pa_stream_cork(output->m_stream, 1, nullptr, nullptr))
        pa_operation_unref(corking);
}

void PulseOutput::contextChanged(pa_context *context, void *self)
{
    auto *output = static_cast<PulseOutput *>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        // A connection is made only when a sound is wanted or about to be.
        output->makeStreamLocked();
        output->sleepLaterLocked();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // The server went away (or never answered): the next sound connects anew.
        output->dropStreamLocked();
        output->unservedLocked();
        break;
    default:
        break;
    }
}

void PulseOutput::streamChanged(pa_stream *stream, void *self)
{
    auto *output = static_cast<PulseOutput *>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        output->m_ready = true;
        if (output->m_waiting)
            output->startLocked();
        else
            output->sleepLaterLocked();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The server took the stream away (killed, or its sink gone with nowhere to move it)
        // while the connection stays: the next sound makes another.
        output->dropStreamLocked();
        output->unservedLocked();
        break;
    default:
        break;
    }
}

void PulseOutput::streamWants(pa_stream *, std::size_t bytes, void *self)
{
    static_cast<PulseOutput *>(self)->writeLocked(bytes, false);
}

void PulseOutput::flushed(pa_stream *, int, void *self)
{
    auto *output = static_cast<PulseOutput *>(self);
    output->m_flushesAnswered += 1;
    if (output->m_flushesAnswered == output->m_flushesAsked && output->m_waiting && output->m_ready)
        output->startLocked();
}

void PulseOutput::play(std::unique_ptr<SoundFeed> feed)
{
    if (!m_loop) {
        if (m_unserved)
            m_unserved(std::move(feed));
        return;
    }
    Feeds done;
    Lock lock(m_loop);
    retireLocked(m_playing);
    retireLocked(m_waiting);
    m_waiting = std::move(feed);
    wakeLocked();
    if (!m_ready)
        return; // the sound starts when the stream is ready
    if (pa_operation *flushing = pa_stream_flush(m_stream, &PulseOutput::flushed, this)) {
        // What is still queued of the sound before is dropped; the new one is written once the
        // server has done that, which also shows that it is running and not stopped.
        m_flushesAsked += 1;
        pa_operation_unref(flushing);
    } else {
        startLocked();
    }
    done.swap(m_retired);
}

void PulseOutput::startLocked()
{
    if (m_waiting->lateAt(SoundFeed::Clock::now())) {
        retireLocked(m_waiting);
        sleepLaterLocked();
        return;
    }
    m_playing = std::move(m_waiting);
    const pa_buffer_attr *buffer = pa_stream_get_buffer_attr(m_stream);
    writeLocked(buffer ? std::max(buffer->tlength, buffer->prebuf) : 4096, true);
}

void PulseOutput::writeLocked(std::size_t bytes, bool fromReadIndex)
{
    if (!m_playing || !m_stream || bytes == 0)
        return;
    void *data = nullptr;
    std::size_t room = bytes - bytes % FrameBytes;
    if (room == 0 || pa_stream_begin_write(m_stream, &data, &room) < 0 || !data)
        return;
    room -= room % FrameBytes;
    const std::size_t frames =
            m_playing->take(static_cast<std::int16_t *>(data), room / FrameBytes);
    if (frames == 0) {
        pa_stream_cancel_write(m_stream);
        retireLocked(m_playing);
        sleepLaterLocked();
        return;
    }
    std::size_t written = frames * FrameBytes;
    // A sound shorter than the server waits for before it plays is made up with silence.
    if (fromReadIndex && written < room) {
        std::memset(static_cast<char *>(data) + written, 0, room - written);
        written = room;
    }
    pa_stream_write(m_stream, data, written, nullptr, 0,
                    fromReadIndex ? PA_SEEK_RELATIVE_ON_READ : PA_SEEK_RELATIVE);
    if (frames * FrameBytes < room) {
        retireLocked(m_playing);
        sleepLaterLocked();
    }
}

void PulseOutput::stop()
{
    if (!m_loop)
        return;
    Feeds done;
    Lock lock(m_loop);
    const bool sounding = m_playing != nullptr;
    retireLocked(m_playing);
    retireLocked(m_waiting);
    if (sounding && m_ready) {
        if (pa_operation *flushing = pa_stream_flush(m_stream, nullptr, nullptr))
            pa_operation_unref(flushing);
    }
    sleepLaterLocked();
    done.swap(m_retired);
}

bool PulseOutput::isPlaying() const
{
    if (!m_loop)
        return false;
    Lock lock(m_loop);
    return m_playing || (m_waiting && !m_waiting->lateAt(SoundFeed::Clock::now()));
}
