// What the sound player needs of the audio system; makeStreamSoundOutput makes the real one.
#pragma once

#include "drill/result.h"

class MediaFile;

class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // A sound may be wanted soon: makes the output ready to play within a few milliseconds
    // (connecting to the sound server, or waking its stream) in the background, and returns at
    // once. A second or two of silence after the last sound or the last call, the output lets
    // the server and the sound card sleep again; the next sound still plays, a little later.
    virtual void connect() = 0;
    // Closes the sound held before, then makes the sound in `file` ready to play: its start
    // decoded, or taken from what was kept of the same file. On failure the reason, in words
    // a teacher can act on, and no sound is open.
    virtual Result<void> open(MediaFile &&file) = 0;
    // Makes the sound in `file` ready for a later open, as open would, without touching the
    // sound that is open or playing. On failure the reason.
    virtual Result<void> prepare(MediaFile &&file) = 0;
    // Cuts off the sound before and starts the open one from its beginning, returning at
    // once. Without an open sound or an output that takes it, nothing happens; a sound that
    // cannot start within half a second is dropped.
    virtual void play() = 0;
    virtual void close() = 0;
    virtual bool isPlaying() const = 0;
};
