// The sound output: one stream to the sound server, the sound card where no server answers
// (on Windows the system's default output device), and the decoded starts of the sounds kept
// per file.
#pragma once

#include "devices/sound_output.h"

#include <memory>

std::unique_ptr<SoundOutput> makeStreamSoundOutput();
