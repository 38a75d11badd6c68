#include "media/sound_player.h"

#include "devices/media_file.h"
#include "devices/sound_output.h"
#include "devices/stream_sound_output.h"

using namespace Qt::StringLiterals;

MediaPlayer::MediaPlayer(QWidget *parent) : QWidget(parent) {}

MediaPlayer::~MediaPlayer()
{
    Close();
}

SoundOutput &MediaPlayer::output()
{
    // Made at the first need, so that the window is drawn before the output's threads start.
    if (!m_output)
        m_output = MakeStreamSoundOutput();
    return *m_output;
}

void MediaPlayer::Connect()
{
    output().Connect();
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
    if (const auto reason = output().Open(std::get<MediaFile>(std::move(opened))))
        return CannotOpenMessage(fileName, *reason);
    m_fileName = fileName;
    m_open = true;
    return std::nullopt;
}

std::optional<QString> MediaPlayer::Prepare(const QString &fileName)
{
    auto opened = OpenMediaFile(fileName);
    if (auto *reason = std::get_if<QString>(&opened))
        return CannotOpenMessage(fileName, *reason);
    if (const auto reason = output().Prepare(std::get<MediaFile>(std::move(opened))))
        return CannotOpenMessage(fileName, *reason);
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
