#include "media/sound_player.h"

#include "media/media_file.h"
#include "media/pcm_convert.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
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

} // namespace

MediaPlayer::MediaPlayer(QWidget *parent) : QWidget(parent) { }

MediaPlayer::~MediaPlayer()
{
    Close();
}

void MediaPlayer::Close()
{
    releaseSink();
    m_buffer.reset();
    m_samples.clear();
    m_fileName.clear();
    m_open = false;
}

std::optional<QString> MediaPlayer::Open(const QString &fileName)
{
    Close();
    if (const auto problem = MediaFileProblem(fileName))
        return CannotOpenMessage(fileName, *problem);

    SF_INFO info {};
    std::unique_ptr<SNDFILE, SndFileCloser> file(
        sf_open(QFile::encodeName(fileName).constData(), SFM_READ, &info));
    if (!file) {
        return CannotOpenMessage(fileName,
            u"音声ファイルとして読めません（%1）"_s.arg(
                QString::fromLocal8Bit(sf_strerror(nullptr))));
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
        return CannotOpenMessage(fileName,
            u"音声ファイルとして読めません（%1）"_s.arg(
                QString::fromLocal8Bit(sf_strerror(file.get()))));
    }

    m_fileFormat.setSampleRate(info.samplerate);
    m_fileFormat.setChannelCount(info.channels);
    m_fileFormat.setSampleFormat(QAudioFormat::Int16);
    m_samples = std::move(samples);
    m_fileName = fileName;
    m_open = true;
    return std::nullopt;
}

void MediaPlayer::Play()
{
    if (!m_open)
        return;
    if (!m_sink && !makeSink())
        return;
    m_sink->stop();
    m_buffer->seek(0);
    m_sink->start(m_buffer.get());
}

bool MediaPlayer::isPlaying() const
{
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

int MediaPlayer::liveStreams()
{
    return s_liveStreams;
}

int MediaPlayer::peakStreams()
{
    return s_peakStreams;
}

bool MediaPlayer::makeSink()
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

void MediaPlayer::releaseSink()
{
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink.reset();
    s_liveStreams -= 1;
}
