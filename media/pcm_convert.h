// Reshapes decoded 16-bit sound for an audio output that will not take the file's own format.
#pragma once

#include <QAudioFormat>
#include <QByteArray>

// Interleaved signed 16-bit frames of `channels` channels at `sampleRate`, turned into the
// format `to`: the rate changes by linear interpolation, a mono output gets the mean of all
// channels, extra output channels get the mean, and the samples are rescaled to `to`'s sample
// format. Empty for a format it cannot write.
QByteArray ConvertPcm(
    const QByteArray &frames, int channels, int sampleRate, const QAudioFormat &to);
