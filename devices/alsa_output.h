// The sound card played directly through ALSA's default device, for a machine where no sound
// server answers. A thread of its own writes the samples, so nothing waits on the card.
#pragma once

#include "devices/device_thread.h"

class AlsaOutput final : public DeviceThread
{
public:
    AlsaOutput();
    // A sound may be wanted soon: opens the device in the background, or keeps it open a while
    // longer. It is closed after QuietBeforeSleep without a sound or a call to this.
    void connect();

private:
    struct Wanted : Shared
    {
        bool connect = false;
    };
    explicit AlsaOutput(std::shared_ptr<Wanted> shared);
    static void run(std::shared_ptr<Wanted> shared);

    std::shared_ptr<Wanted> m_wanted;
};
