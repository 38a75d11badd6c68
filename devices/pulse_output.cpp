#include "devices/pulse_output.h"

#include "devices/pcm_stream.h"
#include "devices/sound_decoder.h"

#include <pulse/pulseaudio.h>

#include <cstring>

namespace {

constexpr pa_sample_spec StreamFormat { PA_SAMPLE_S16NE, StreamRate, StreamChannels };
constexpr std::size_t FrameBytes = sizeof(std::int16_t) * StreamChannels;
// Ten milliseconds kept ahead in the server: a chime sounds that soon after the answer, and
// the server still has time to ask for more.
constexpr pa_usec_t TargetLatency = 10'000;

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

PulseOutput::PulseOutput(std::function<void(std::unique_ptr<SoundSource>)> unserved)
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
    {
        Lock lock(m_loop);
        dropConnectionLocked();
        m_playing.reset();
        m_waiting.reset();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseOutput::Connect()
{
    if (!m_loop)
        return;
    Lock lock(m_loop);
    connectLocked();
}

void PulseOutput::connectLocked()
{
    if (m_context) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        if (state != PA_CONTEXT_FAILED && state != PA_CONTEXT_TERMINATED)
            return;
        dropConnectionLocked();
    }
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
    pa_context_set_state_callback(m_context, &PulseOutput::contextChanged, this);
    // No server of our own: where none runs, the sound card is played directly instead.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        dropConnectionLocked();
        unservedLocked();
    }
}

void PulseOutput::dropConnectionLocked()
{
    m_ready = false;
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
}

void PulseOutput::unservedLocked()
{
    m_playing.reset();
    if (m_waiting && m_unserved)
        m_unserved(std::move(m_waiting));
    m_waiting.reset();
}

void PulseOutput::contextChanged(pa_context *context, void *self)
{
    auto *output = static_cast<PulseOutput *>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        pa_stream *stream = pa_stream_new(context, "Tovemi", &StreamFormat, nullptr);
        if (!stream) {
            output->unservedLocked();
            return;
        }
        output->m_stream = stream;
        pa_stream_set_state_callback(stream, &PulseOutput::streamChanged, output);
        pa_stream_set_write_callback(stream, &PulseOutput::streamWants, output);
        const auto target = std::uint32_t(pa_usec_to_bytes(TargetLatency, &StreamFormat));
        // Playing starts as soon as one target's worth is there; an answer writes that much
        // at once.
        const pa_buffer_attr buffer { std::uint32_t(-1), target, target, std::uint32_t(-1),
                                      std::uint32_t(-1) };
        if (pa_stream_connect_playback(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr)
            < 0)
            output->unservedLocked();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        // The server went away (or never answered): the next sound connects anew.
        output->m_ready = false;
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
            output->startLocked(std::move(output->m_waiting));
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        output->m_ready = false;
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

void PulseOutput::Play(std::unique_ptr<SoundSource> source)
{
    if (!m_loop) {
        if (m_unserved)
            m_unserved(std::move(source));
        return;
    }
    Lock lock(m_loop);
    if (m_ready && m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        startLocked(std::move(source));
        return;
    }
    m_playing.reset();
    m_waiting = std::move(source);
    connectLocked();
}

void PulseOutput::startLocked(std::unique_ptr<SoundSource> source)
{
    m_playing = std::move(source);
    // What is still queued of the sound before is dropped, and the new one is written from
    // where the server reads now.
    if (pa_operation *flushing = pa_stream_flush(m_stream, nullptr, nullptr))
        pa_operation_unref(flushing);
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
            m_playing->read(static_cast<std::int16_t *>(data), room / FrameBytes);
    if (frames == 0) {
        pa_stream_cancel_write(m_stream);
        m_playing.reset();
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
    if (frames * FrameBytes < room)
        m_playing.reset();
}

void PulseOutput::Stop()
{
    if (!m_loop)
        return;
    Lock lock(m_loop);
    const bool sounding = m_playing != nullptr;
    m_playing.reset();
    m_waiting.reset();
    if (sounding && m_ready && m_stream) {
        if (pa_operation *flushing = pa_stream_flush(m_stream, nullptr, nullptr))
            pa_operation_unref(flushing);
    }
}

bool PulseOutput::isPlaying() const
{
    if (!m_loop)
        return false;
    Lock lock(m_loop);
    return m_playing || m_waiting;
}
