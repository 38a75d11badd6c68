// Wave files decoded with libsndfile and played through a Qt Multimedia audio sink. Part of
// the device module (devices/device_module.h).
#pragma once

#include "media/sound_output.h"

#include <memory>

std::unique_ptr<SoundOutput> MakeWaveSoundOutput();

// Output streams held by all outputs now, and the most ever held at once: a new sound must
// never sound over the one before.
int WaveSoundOutputStreams();
int WaveSoundOutputPeakStreams();
