#include "devices/resampler.h"

#include <algorithm>
#include <cmath>

namespace {

// Full scale is 1.0. A floating-point file may hold louder samples, which are clipped, and
// values that are no number at all, which are silence.
float clipped(float value)
{
    return std::isnan(value) ? 0.f : std::clamp(value, -1.f, 1.f);
}

std::int16_t toSample(float value)
{
    // 16-bit samples read as floats are exact multiples of 1/32768, and come back unchanged.
    return std::int16_t(std::lround(std::min(value * 32768.f, 32767.f)));
}

} // namespace

Resampler::Resampler(int channels, int rate)
    : m_channels(channels), m_step(double(rate) / StreamRate)
{}

void Resampler::push(const float *input, std::size_t frames, std::vector<std::int16_t> &out)
{
    for (std::size_t i = 0; i < frames; ++i) {
        const float *frame = input + i * std::size_t(m_channels);
        const float current[StreamChannels] = { clipped(frame[0]),
                                                clipped(frame[m_channels > 1 ? 1 : 0]) };
        if (!m_started) {
            m_started = true;
            m_previous[0] = current[0];
            m_previous[1] = current[1];
            continue;
        }
        while (m_position < 1.0) {
            const auto t = float(m_position);
            for (int c = 0; c < StreamChannels; ++c) {
                out.push_back(toSample(m_previous[c] + (current[c] - m_previous[c]) * t));
            }
            m_position += m_step;
        }
        m_position -= 1.0;
        m_previous[0] = current[0];
        m_previous[1] = current[1];
    }
}

void Resampler::finish(std::vector<std::int16_t> &out)
{
    if (!m_started)
        return;
    while (m_position < 1.0) {
        for (int c = 0; c < StreamChannels; ++c)
            out.push_back(toSample(m_previous[c]));
        m_position += m_step;
    }
    m_started = false;
}
