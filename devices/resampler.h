// Decoded sound reshaped, piece by piece, into the one format the output stream plays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The output stream's format: what a sound server or a sound card takes from any program.
inline constexpr int StreamRate = 44100;
inline constexpr int StreamChannels = 2;

// Turns interleaved frames of any channel count and rate, full scale at 1.0, into 16-bit frames
// of StreamChannels channels at StreamRate. Mono goes to both sides; of more channels the first
// two are front left and right. The rate changes by linear interpolation, which is plenty for
// short event sounds. Louder samples, which a floating-point file may hold, are clipped.
// It is a plain value: a copy taken mid-sound carries on exactly where the original was.
class Resampler
{
public:
    Resampler(int channels, int rate);

    // Appends the output frames that `frames` more input frames complete.
    void push(const float *input, std::size_t frames, std::vector<std::int16_t> &out);
    // The input has ended: appends what its last frame still owes.
    void finish(std::vector<std::int16_t> &out);

private:
    int m_channels;
    double m_step;
    // Output position in input frames, counted from m_previous.
    double m_position = 0;
    float m_previous[StreamChannels] {};
    bool m_started = false;
};
