#include "media/feedback_media.h"

#include "media/media_file.h"
#include "media/sound_player.h"

#include <QImageReader>
#include <QLabel>
#include <QPixmap>

using namespace Qt::StringLiterals;

MediaFeedback::MediaFeedback(
    QLabel *image, MediaPlayer *player, std::function<void(const QString &)> report)
    : m_image(image), m_player(player), m_report(std::move(report))
{
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setScaledContents(false);
}

void MediaFeedback::ShowPicture(const QString &fileName)
{
    m_lastFailed = false;
    if (const auto problem = MediaFileProblem(fileName))
        return fail(fileName, CannotOpenMessage(fileName, *problem));
    QImageReader reader(fileName);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        return fail(fileName,
            CannotOpenMessage(fileName, u"画像として読めません（%1）"_s.arg(reader.errorString())));
    }
    m_image->setPixmap(QPixmap::fromImage(picture));
}

void MediaFeedback::PlaySound(const QString &fileName)
{
    m_lastFailed = false;
    m_player->Close();
    if (const auto error = m_player->Open(fileName))
        return fail(fileName, *error);
    m_player->Play();
}

void MediaFeedback::fail(const QString &fileName, const QString &message)
{
    m_lastFailed = true;
    if (m_reported.insert(fileName).second && m_report)
        m_report(message);
}
