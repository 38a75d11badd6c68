#include "media/sound_player.h"

#include "devices/device_loader.h"
#include "devices/device_module.h"
#include "media/media_file.h"
#include "media/sound_output.h"

#include <QDir>

using namespace Qt::StringLiterals;

MediaPlayer::MediaPlayer(QWidget *parent) : QWidget(parent) { }

MediaPlayer::~MediaPlayer()
{
    Close();
}

void MediaPlayer::Close()
{
    if (m_output)
        m_output->Close();
    m_fileName.clear();
    m_open = false;
}

std::optional<QString> MediaPlayer::Open(const QString &fileName)
{
    Close();
    if (const auto problem = MediaFileProblem(fileName))
        return CannotOpenMessage(fileName, *problem);
    if (!m_output) {
        QString whyNot;
        const DeviceModule *devices = Devices(&whyNot);
        if (!devices) {
            return CannotOpenMessage(fileName,
                u"音を出す部品 %1 を読み込めません（%2）"_s.arg(
                    QDir::toNativeSeparators(DeviceModulePath()), whyNot));
        }
        m_output = devices->makeSoundOutput();
    }
    if (const auto reason = m_output->Open(fileName))
        return CannotOpenMessage(fileName, *reason);
    m_fileName = fileName;
    m_open = true;
    return std::nullopt;
}

void MediaPlayer::Play()
{
    if (m_open)
        m_output->Play();
}

bool MediaPlayer::isPlaying() const
{
    return m_output && m_output->isPlaying();
}

int MediaPlayer::liveStreams()
{
    const DeviceModule *devices = LoadedDevices();
    return devices ? devices->liveStreams() : 0;
}

int MediaPlayer::peakStreams()
{
    const DeviceModule *devices = LoadedDevices();
    return devices ? devices->peakStreams() : 0;
}
