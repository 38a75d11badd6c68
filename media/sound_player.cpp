#include "media/sound_player.h"

#include "devices/media_file.h"
#include "devices/sound_output.h"
#include "devices/stream_sound_output.h"

using namespace Qt::StringLiterals;

MediaPlayer::MediaPlayer(QWidget *parent, std::unique_ptr<SoundOutput> output)
    : QWidget(parent), m_output(std::move(output))
{}

MediaPlayer::~MediaPlayer()
{
    closeSound();
}

SoundOutput &MediaPlayer::output()
{
    if (!m_output)
        m_output = makeStreamSoundOutput();
    return *m_output;
}

void MediaPlayer::connectOutput()
{
    output().connect();
}

void MediaPlayer::closeSound()
{
    if (m_output)
        m_output->close();
    m_open = false;
}

Result<void> MediaPlayer::openSound(const QString &fileName)
{
    closeSound();
    auto opened = openMediaFile(fileName);
    if (!opened)
        return Failure(cannotOpenMessage(fileName, opened.errorString()));
    if (const auto sound = output().open(std::move(opened).value()); !sound)
        return Failure(cannotOpenMessage(fileName, sound.errorString()));
    m_open = true;
    return {};
}

Result<void> MediaPlayer::prepareSound(const QString &fileName)
{
    auto opened = openMediaFile(fileName);
    if (!opened)
        return Failure(cannotOpenMessage(fileName, opened.errorString()));
    if (const auto sound = output().prepare(std::move(opened).value()); !sound)
        return Failure(cannotOpenMessage(fileName, sound.errorString()));
    return {};
}

void MediaPlayer::play()
{
    if (m_open)
        m_output->play();
}
