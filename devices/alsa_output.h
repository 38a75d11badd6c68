// The sound card played directly through ALSA's default device, for a machine where no sound
// server answers. A thread of its own writes the samples, so nothing waits on the card.
#pragma once

#include "devices/device_thread.h"

class AlsaOutput final : public DeviceThread
{
public:
    AlsaOutput();

private:
    static void run(std::shared_ptr<Shared> shared);
};
