// One playback stream to the desktop's sound server (PulseAudio, or PipeWire serving its
// protocol): running whenever the pupil is about to hear something, so that a sound starts
// within milliseconds, and corked after a moment of silence, so that the server may suspend the
// sink and an idle program costs it nothing.
#pragma once

#include <functional>
#include <memory>
#include <vector>

class SoundFeed;
struct pa_context;
struct pa_mainloop_api;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;
struct timeval;

// The window's thread calls in; libpulse's own thread runs the callbacks. Every member is
// guarded by the main loop's lock, which libpulse holds during each callback.
// Lock order: the main loop's lock, then AlsaOutput's (a sound that no server takes is handed
// over under it), then a SoundFeed's. Feeds are destroyed outside the main loop's lock,
// on the window's thread.
class PulseOutput
{
public:
    using Unserved = std::function<void(std::unique_ptr<SoundFeed>)>;
    // `unserved` gets a sound that no server took: none answered, or the stream could not be
    // made. It is called under the main loop's lock.
    explicit PulseOutput(Unserved unserved);
    ~PulseOutput();
    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    // Makes the stream ready in the background (connecting, uncorking it, or making it anew
    // after the server took it away) and keeps it so a little longer. Returns at once.
    void connect();
    // Cuts off the sound before and plays this one from its start, as soon as the server shows
    // it is there. A sound that the server takes up only after its time is dropped.
    void play(std::unique_ptr<SoundFeed> feed);
    void stop();
    bool isPlaying() const;

private:
    using Feeds = std::vector<std::unique_ptr<SoundFeed>>;
    static void contextChanged(pa_context *context, void *self);
    static void streamChanged(pa_stream *stream, void *self);
    static void streamWants(pa_stream *stream, std::size_t bytes, void *self);
    static void flushed(pa_stream *stream, int success, void *self);
    static void quietFor(pa_mainloop_api *api, pa_time_event *event, const timeval *, void *self);
    void wakeLocked();
    void connectLocked();
    void makeStreamLocked();
    void dropStreamLocked();
    void dropConnectionLocked();
    void startLocked();
    void writeLocked(std::size_t bytes, bool fromReadIndex);
    void unservedLocked();
    void retireLocked(std::unique_ptr<SoundFeed> &feed);
    void sleepLaterLocked();

    Unserved m_unserved;
    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    // Null after the server took it away, until a sound is wanted again.
    pa_stream *m_stream = nullptr;
    pa_time_event *m_sleepTimer = nullptr;
    bool m_ready = false;
    bool m_corked = false;
    // The sound waits here until the server has answered the flush of the sound before (or
    // the stream is made): an answer proves that the server is running now.
    std::unique_ptr<SoundFeed> m_waiting;
    unsigned m_flushesAsked = 0;
    unsigned m_flushesAnswered = 0;
    std::unique_ptr<SoundFeed> m_playing;
    // Sounds done with in a callback, destroyed by the window's thread.
    Feeds m_retired;
};
