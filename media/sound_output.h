// What a player needs of the audio system; the device module makes the real one.
#pragma once

#include <QString>

#include <optional>

class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // Closes the sound held before, then reads and decodes the wave file. On failure the
    // reason, in words a teacher can act on, and no sound is open.
    virtual std::optional<QString> Open(const QString &fileName) = 0;
    // Starts the open sound from its beginning and returns at once; without a sound or an
    // output that takes it, nothing happens.
    virtual void Play() = 0;
    virtual void Close() = 0;
    virtual bool isPlaying() const = 0;
};
