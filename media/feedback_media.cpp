#include "media/feedback_media.h"

#include "media/picture_file.h"
#include "media/sound_player.h"

#include <QFile>
#include <QLabel>

using namespace Qt::StringLiterals;

MediaFeedback::MediaFeedback(QLabel *image, MediaPlayer *player,
                             std::function<void(const QString &)> report)
    : m_image(image), m_player(player), m_report(std::move(report))
{
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setScaledContents(false);
}

std::variant<QPixmap, QString> MediaFeedback::picture(const QString &fileName)
{
    auto opened = OpenMediaFile(fileName);
    if (auto *reason = std::get_if<QString>(&opened))
        return CannotOpenMessage(fileName, *reason);
    MediaFile &file = std::get<MediaFile>(opened);
    const auto kept = m_pictures.find(fileName);
    if (kept != m_pictures.end() && kept->second.identity == file.identity())
        return kept->second.picture;

    m_pictures.erase(fileName);
    const FileIdentity identity = file.identity();
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return CannotOpenMessage(fileName, device.errorString());
    file.release();
    auto read = ReadPictureTopLeft(device, m_image->size());
    if (auto *reason = std::get_if<QString>(&read))
        return CannotOpenMessage(fileName, *reason);
    const QPixmap picture = QPixmap::fromImage(std::get<QImage>(std::move(read)));
    m_pictures[fileName] = { identity, picture };
    return picture;
}

void MediaFeedback::ShowPicture(const QString &fileName)
{
    m_lastFailed = false;
    auto shown = picture(fileName);
    if (auto *message = std::get_if<QString>(&shown))
        return fail(fileName, *message);
    m_image->setPixmap(std::get<QPixmap>(shown));
}

void MediaFeedback::PlaySound(const QString &fileName)
{
    m_lastFailed = false;
    // Opening closes the sound before, which stops it.
    if (const auto error = m_player->Open(fileName))
        return fail(fileName, *error);
    m_player->Play();
}

std::optional<QString> MediaFeedback::problemWith(const QString &fileName)
{
    // A sound still playing (the last chime of a drill) plays on.
    if (fileName.endsWith(u".wav"_s))
        return m_player->Prepare(fileName);
    auto read = picture(fileName);
    if (auto *message = std::get_if<QString>(&read))
        return *message;
    return std::nullopt;
}

QStringList MediaFeedback::CheckFiles(const QStringList &fileNames)
{
    QStringList reports;
    for (const QString &fileName : fileNames) {
        if (m_reported.contains(fileName))
            continue;
        if (const auto message = problemWith(fileName)) {
            m_reported.insert(fileName);
            reports << *message;
        }
    }
    return reports;
}

void MediaFeedback::fail(const QString &fileName, const QString &message)
{
    m_lastFailed = true;
    if (m_reported.insert(fileName).second && m_report)
        m_report(message);
}
