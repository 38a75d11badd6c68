#include "media/sound_player.h"

#include "devices/device_loader.h"
#include "devices/device_module.h"
#include "devices/media_file.h"
#include "devices/sound_output.h"

#include <QDir>

using namespace Qt::StringLiterals;

MediaPlayer::MediaPlayer(QWidget *parent) : QWidget(parent) {}

MediaPlayer::~MediaPlayer()
{
    Close();
}

SoundOutput *MediaPlayer::output(QString *whyNot)
{
    if (!m_output) {
        const DeviceModule *devices = Devices(whyNot);
        if (!devices)
            return nullptr;
        m_output = devices->makeSoundOutput();
    }
    return m_output.get();
}

void MediaPlayer::Connect()
{
    if (SoundOutput *sound = output(nullptr))
        sound->Connect();
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
    auto opened = OpenMediaFile(fileName);
    if (auto *reason = std::get_if<QString>(&opened))
        return CannotOpenMessage(fileName, *reason);
    QString whyNot;
    SoundOutput *sound = output(&whyNot);
    if (!sound) {
        return CannotOpenMessage(fileName,
                                 u"音を出す部品 %1 を読み込めません（%2）"_s.arg(
                                         QDir::toNativeSeparators(DeviceModulePath()), whyNot));
    }
    if (const auto reason = sound->Open(std::get<MediaFile>(std::move(opened))))
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
