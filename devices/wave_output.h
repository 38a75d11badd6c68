// The sound device on Windows, played through the waveform-audio interface (waveOut): the
// system's default output, kept open while the pupil types and closed after a moment of
// silence, as the stream to the sound server is corked on Linux. A thread of its own feeds it,
// so nothing waits on the device.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class SoundFeed;

class WaveOutput
{
public:
    WaveOutput();
    ~WaveOutput();
    WaveOutput(const WaveOutput &) = delete;
    WaveOutput &operator=(const WaveOutput &) = delete;

    // Opens the device in the background, or keeps it open a while longer, so that the next
    // sound starts at once.
    void Connect();
    // Cuts off the sound before and plays this one from its start, unless it is late by the
    // time the device is open.
    void Play(std::unique_ptr<SoundFeed> feed);
    void Stop();
    bool isPlaying() const;

private:
    void run();
    void replace(std::unique_ptr<SoundFeed> feed);

    mutable std::mutex m_mutex;
    // Win32 events: one tells the thread of a new order, the other that the device is done
    // with a block.
    void *m_wake = nullptr;
    void *m_blockDone = nullptr;
    std::unique_ptr<SoundFeed> m_next;
    std::uint64_t m_order = 0;
    bool m_connect = false;
    bool m_playing = false;
    bool m_quit = false;
    std::thread m_thread;
};
