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

Result<QPixmap> MediaFeedback::picture(const QString &fileName)
{
    auto opened = openMediaFile(fileName);
    if (!opened)
        return Failure(cannotOpenMessage(fileName, opened.errorString()));
    MediaFile &file = opened.value();
    const auto kept = m_pictures.find(fileName);
    if (kept != m_pictures.end() && kept->second.identity == file.identity())
        return kept->second.picture;

    m_pictures.erase(fileName);
    const FileIdentity identity = file.identity();
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return Failure(cannotOpenMessage(fileName, device.errorString()));
    file.release();
    auto read = readPictureTopLeft(device, m_image->size());
    if (!read)
        return Failure(cannotOpenMessage(fileName, read.errorString()));
    const QPixmap picture = QPixmap::fromImage(std::move(read).value());
    m_pictures[fileName] = { identity, picture };
    return picture;
}

void MediaFeedback::ShowPicture(const QString &fileName)
{
    const auto shown = picture(fileName);
    if (!shown)
        return fail(fileName, shown.errorString());
    m_image->setPixmap(shown.value());
}

void MediaFeedback::PlaySound(const QString &fileName)
{
    // Opening closes the sound before, which stops it.
    if (const auto opened = m_player->openSound(fileName); !opened)
        return fail(fileName, opened.errorString());
    m_player->play();
}

Result<void> MediaFeedback::check(const QString &fileName)
{
    // A sound still playing (the last chime of a drill) plays on.
    if (fileName.endsWith(u".wav"_s))
        return m_player->prepareSound(fileName);
    if (const auto read = picture(fileName); !read)
        return Failure(read.errorString());
    return {};
}

QStringList MediaFeedback::checkFiles(const QStringList &fileNames)
{
    QStringList reports;
    for (const QString &fileName : fileNames) {
        if (m_reported.contains(fileName))
            continue;
        if (const auto usable = check(fileName); !usable) {
            m_reported.insert(fileName);
            reports << usable.errorString();
        }
    }
    return reports;
}

void MediaFeedback::fail(const QString &fileName, const QString &message)
{
    if (m_reported.insert(fileName).second && m_report)
        m_report(message);
}
