// The sound device on Windows, played through the waveform-audio interface (waveOut): the
// system's default output, kept open while the pupil types and closed after a moment of
// silence, as the stream to the sound server is corked on Linux. A thread of its own feeds it,
// so nothing waits on the device.
#pragma once

#include <memory>
#include <thread>

class SoundFeed;

class WaveOutput
{
public:
    WaveOutput();
    // Waits a moment for the device's thread to finish. A driver that hangs in closing is left
    // to its thread, which ends with the process: closing the program never waits on a device.
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
    struct Shared;
    static void run(std::shared_ptr<Shared> shared);
    void replace(std::unique_ptr<SoundFeed> feed);

    // Shared with the thread, which may outlive this object.
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
