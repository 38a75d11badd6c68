#include "media/wave_sound_output.h"

#include "media/pcm_convert.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QMediaDevices>

#include <sndfile.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

int s_liveStreams = 0;
int s_peakStreams = 0;

struct SndFileCloser {
    void operator()(SNDFILE *file) const { sf_close(file); }
};

// The sound is read whole into memory; the output stream is made at the first Play, since
// asking for the audio devices takes a noticeable time.
class WaveSoundOutput final : public SoundOutput
{
public:
    ~WaveSoundOutput() override { Close(); }

    std::optional<QString> Open(const QString &fileName) override;
    void Play() override;
    void Close() override;
    bool isPlaying() const override;

private:
    bool makeSink();
    void releaseSink();

    bool m_open = false;
    QAudioFormat m_fileFormat;
    QByteArray m_samples;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

void WaveSoundOutput::Close()
{
    releaseSink();
    m_buffer.reset();
    m_samples.clear();
    m_open = false;
}

std::optional<QString> WaveSoundOutput::Open(const QString &fileName)
{
    Close();
    SF_INFO info {};
    std::unique_ptr<SNDFILE, SndFileCloser> file(
        sf_open(QFile::encodeName(fileName).constData(), SFM_READ, &info));
    if (!file) {
        return u"音声ファイルとして読めません（%1）"_s.arg(
            QString::fromLocal8Bit(sf_strerror(nullptr)));
    }

    // Read until the data ends rather than trusting the header's frame count, which a damaged
    // file can overstate.
    constexpr sf_count_t chunkFrames = 4096;
    std::vector<short> chunk(std::size_t(chunkFrames) * std::size_t(info.channels));
    QByteArray samples;
    for (;;) {
        const sf_count_t got = sf_readf_short(file.get(), chunk.data(), chunkFrames);
        if (got <= 0)
            break;
        samples.append(reinterpret_cast<const char *>(chunk.data()),
            qsizetype(got) * info.channels * qsizetype(sizeof(short)));
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        return u"音声ファイルとして読めません（%1）"_s.arg(
            QString::fromLocal8Bit(sf_strerror(file.get())));
    }

    m_fileFormat.setSampleRate(info.samplerate);
    m_fileFormat.setChannelCount(info.channels);
    m_fileFormat.setSampleFormat(QAudioFormat::Int16);
    m_samples = std::move(samples);
    m_open = true;
    return std::nullopt;
}

void WaveSoundOutput::Play()
{
    if (!m_open)
        return;
    if (!m_sink && !makeSink())
        return;
    m_sink->stop();
    m_buffer->seek(0);
    m_sink->start(m_buffer.get());
}

bool WaveSoundOutput::isPlaying() const
{
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

bool WaveSoundOutput::makeSink()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format = m_fileFormat;
    QByteArray samples = m_samples;
    // Sound servers take any rate and channel count; a bare device may not. Then the sound is
    // reshaped once to the device's own format, which it is sure to take.
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        samples =
            ConvertPcm(m_samples, m_fileFormat.channelCount(), m_fileFormat.sampleRate(), format);
        if (!format.isValid() || (samples.isEmpty() && !m_samples.isEmpty()))
            return false;
    }
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(samples);
    m_buffer->open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, format);
    s_liveStreams += 1;
    s_peakStreams = std::max(s_peakStreams, s_liveStreams);
    return true;
}

void WaveSoundOutput::releaseSink()
{
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink.reset();
    s_liveStreams -= 1;
}

} // namespace

std::unique_ptr<SoundOutput> MakeWaveSoundOutput()
{
    return std::make_unique<WaveSoundOutput>();
}

int WaveSoundOutputStreams()
{
    return s_liveStreams;
}

int WaveSoundOutputPeakStreams()
{
    return s_peakStreams;
}
