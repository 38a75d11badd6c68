#include "media/feedback_media.h"

#include "media/picture_file.h"
#include "media/sound_player.h"

#include <QFile>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// A picture of more pixels than this is decoded on the decoding thread: well under a frame's
// time on a slow PC even for a format decoded whole, and far more than the box's corner of a
// bitmap, which is read at once.
constexpr qint64 PixelsReadAtOnce = 256 * 256;

} // namespace

MediaFeedback::MediaFeedback(QLabel *image, MediaPlayer *player,
                             std::function<void(const QString &)> report)
    : m_image(image), m_player(player), m_report(std::move(report))
{
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setScaledContents(false);
}

Result<std::optional<QPixmap>> MediaFeedback::picture(const QString &fileName, quint64 request)
{
    auto opened = openMediaFile(fileName);
    if (!opened)
        return Failure(cannotOpenMessage(fileName, opened.errorString()));
    const FileIdentity identity = opened->identity();
    const auto kept = m_pictures.find(fileName);
    if (kept != m_pictures.end() && kept->second.identity == identity)
        return std::optional(kept->second.picture);
    const auto decoding = m_decoding.find(fileName);
    if (decoding != m_decoding.end() && decoding->second.identity == identity) {
        if (request != 0)
            decoding->second.request = request;
        return std::optional<QPixmap>();
    }

    m_pictures.erase(fileName);
    // A decoding of the file as it was before is let run, and its picture dropped.
    m_decoding.erase(fileName);
    QFile device;
    if (!device.open(opened->fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return Failure(cannotOpenMessage(fileName, device.errorString()));
    const QSize box = m_image->size();
    const auto pixels = pixelsToDecode(device, box);
    if (!pixels)
        return Failure(cannotOpenMessage(fileName, pixels.errorString()));
    if (pixels.value() > PixelsReadAtOnce) {
        m_decoding[fileName] = { identity, request };
        auto file = std::make_shared<MediaFile>(std::move(opened).value());
        m_decoder.run([this, fileName, file, box] {
            QFile device;
            Result<QImage> read =
                    device.open(file->fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
                    ? readPictureTopLeft(device, box)
                    : Result<QImage>(Failure(device.errorString()));
            QMetaObject::invokeMethod(
                    &m_receiver,
                    [this, fileName, identity = file->identity(), read = std::move(read)] {
                        pictureDecoded(fileName, identity, read);
                    },
                    Qt::QueuedConnection);
        });
        return std::optional<QPixmap>();
    }
    auto read = readPictureTopLeft(device, box);
    if (!read)
        return Failure(cannotOpenMessage(fileName, read.errorString()));
    const QPixmap picture = QPixmap::fromImage(std::move(read).value());
    m_pictures[fileName] = { identity, picture };
    return std::optional(picture);
}

void MediaFeedback::pictureDecoded(const QString &fileName, const FileIdentity &identity,
                                   const Result<QImage> &read)
{
    const auto decoding = m_decoding.find(fileName);
    // Replaced since it was asked for: the file as it is now is being read, or was read.
    if (decoding == m_decoding.end() || !(decoding->second.identity == identity))
        return;
    const quint64 request = decoding->second.request;
    m_decoding.erase(decoding);
    if (!read)
        return fail(fileName, cannotOpenMessage(fileName, read.errorString()));
    const QPixmap picture = QPixmap::fromImage(read.value());
    m_pictures[fileName] = { identity, picture };
    if (request != 0 && request == m_latestRequest)
        m_image->setPixmap(picture);
}

void MediaFeedback::ShowPicture(const QString &fileName)
{
    const quint64 request = ++m_requests;
    const auto shown = picture(fileName, request);
    if (!shown)
        return fail(fileName, shown.errorString());
    m_latestRequest = request;
    if (shown.value())
        m_image->setPixmap(*shown.value());
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
    if (const auto read = picture(fileName, 0); !read)
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
