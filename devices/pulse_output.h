// One playback stream to the desktop's sound server (PulseAudio, or PipeWire serving its
// protocol), kept open for the program's life so that a sound starts within milliseconds.
#pragma once

#include <functional>
#include <memory>

class SoundSource;
struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

class PulseOutput
{
public:
    // `unserved` gets a sound that no server took: none answered, or it went away.
    explicit PulseOutput(std::function<void(std::unique_ptr<SoundSource>)> unserved);
    ~PulseOutput();
    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    // Starts connecting in the background, if not connected or connecting already.
    void Connect();
    // Cuts off the sound before and plays this one from its start. While the stream is not
    // ready it waits for it, connecting anew after a server that went away.
    void Play(std::unique_ptr<SoundSource> source);
    void Stop();
    bool isPlaying() const;

private:
    static void contextChanged(pa_context *context, void *self);
    static void streamChanged(pa_stream *stream, void *self);
    static void streamWants(pa_stream *stream, std::size_t bytes, void *self);
    void connectLocked();
    void dropConnectionLocked();
    void startLocked(std::unique_ptr<SoundSource> source);
    void writeLocked(std::size_t bytes, bool fromReadIndex);
    void unservedLocked();

    std::function<void(std::unique_ptr<SoundSource>)> m_unserved;
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    bool m_ready = false;
    std::unique_ptr<SoundSource> m_playing;
    std::unique_ptr<SoundSource> m_waiting;
};
