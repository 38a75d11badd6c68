#include "devices/pcm_stream.h"

#include <cmath>

PcmStream::PcmStream(int channels, int rate)
    : m_channels(channels), m_step(double(rate) / StreamRate)
{}

void PcmStream::push(const std::int16_t *input, std::size_t frames, std::vector<std::int16_t> &out)
{
    for (std::size_t i = 0; i < frames; ++i) {
        const std::int16_t *frame = input + i * std::size_t(m_channels);
        const float current[StreamChannels] = { float(frame[0]),
                                                float(frame[m_channels > 1 ? 1 : 0]) };
        if (!m_started) {
            m_started = true;
            m_previous[0] = current[0];
            m_previous[1] = current[1];
            continue;
        }
        while (m_position < 1.0) {
            const auto t = float(m_position);
            for (int c = 0; c < StreamChannels; ++c) {
                out.push_back(std::int16_t(
                        std::lround(m_previous[c] + (current[c] - m_previous[c]) * t)));
            }
            m_position += m_step;
        }
        m_position -= 1.0;
        m_previous[0] = current[0];
        m_previous[1] = current[1];
    }
}

void PcmStream::finish(std::vector<std::int16_t> &out)
{
    if (!m_started)
        return;
    while (m_position < 1.0) {
        for (int c = 0; c < StreamChannels; ++c)
            out.push_back(std::int16_t(std::lround(m_previous[c])));
        m_position += m_step;
    }
    m_started = false;
}
