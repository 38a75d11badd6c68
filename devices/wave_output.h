// The sound device on Windows, played through the waveform-audio interface (waveOut): the
// system's default output, kept open while the pupil types and closed after a moment of
// silence, as the stream to the sound server is corked on Linux. A thread of its own feeds it,
// so nothing waits on the device.
#pragma once

#include "devices/device_thread.h"

class WaveOutput final : public DeviceThread
{
public:
    WaveOutput();

    // Opens the device in the background, or keeps it open a while longer, so that the next
    // sound starts at once.
    void connect();

private:
    struct Events;
    explicit WaveOutput(std::shared_ptr<Events> shared);
    static void run(std::shared_ptr<Events> shared);

    std::shared_ptr<Events> m_events;
};
