#include "media/pcm_convert.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

void putSample(char *out, QAudioFormat::SampleFormat format, float value)
{
    // value is in 16-bit units: -32768 .. 32767.
    switch (format) {
    case QAudioFormat::UInt8: {
        const auto v = static_cast<quint8>(std::clamp(std::lround(value / 256.0f) + 128, 0L, 255L));
        std::memcpy(out, &v, sizeof v);
        break;
    }
    case QAudioFormat::Int16: {
        const auto v = static_cast<qint16>(std::lround(value));
        std::memcpy(out, &v, sizeof v);
        break;
    }
    case QAudioFormat::Int32: {
        const auto v = static_cast<qint32>(std::lround(value) * 65536);
        std::memcpy(out, &v, sizeof v);
        break;
    }
    case QAudioFormat::Float: {
        const float v = value / 32768.0f;
        std::memcpy(out, &v, sizeof v);
        break;
    }
    default:
        break;
    }
}

} // namespace

QByteArray ConvertPcm(
    const QByteArray &frames, int channels, int sampleRate, const QAudioFormat &to)
{
    const int outChannels = to.channelCount();
    const int outRate = to.sampleRate();
    const int outBytes = to.bytesPerSample();
    const bool writable = to.sampleFormat() == QAudioFormat::UInt8 ||
        to.sampleFormat() == QAudioFormat::Int16 || to.sampleFormat() == QAudioFormat::Int32 ||
        to.sampleFormat() == QAudioFormat::Float;
    if (channels <= 0 || sampleRate <= 0 || outChannels <= 0 || outRate <= 0 || !writable)
        return {};

    const qsizetype inFrames = frames.size() / (qsizetype(sizeof(qint16)) * channels);
    if (inFrames == 0)
        return {};
    std::vector<qint16> in(std::size_t(inFrames) * std::size_t(channels));
    std::memcpy(in.data(), frames.constData(), in.size() * sizeof(qint16));
    // The value of one output channel at one input frame.
    auto channelAt = [&](qsizetype frame, int channel) -> float {
        const qint16 *f = in.data() + frame * channels;
        if (outChannels > 1 && channel < channels)
            return f[channel];
        if (channels == 1)
            return f[0];
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += f[c];
        return sum / float(channels);
    };

    const qsizetype outFrames = qsizetype(double(inFrames) * outRate / sampleRate);
    QByteArray out(outFrames * outChannels * outBytes, Qt::Uninitialized);
    char *write = out.data();
    for (qsizetype j = 0; j < outFrames; ++j) {
        const double position = double(j) * sampleRate / outRate;
        const auto i0 = qsizetype(position);
        const qsizetype i1 = std::min(i0 + 1, inFrames - 1);
        const auto t = float(position - double(i0));
        for (int c = 0; c < outChannels; ++c) {
            const float a = channelAt(i0, c);
            const float b = channelAt(i1, c);
            putSample(write, to.sampleFormat(), a + (b - a) * t);
            write += outBytes;
        }
    }
    return out;
}
