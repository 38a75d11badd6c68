// The pictures and sounds that answer the pupil: the one place that touches a pixmap or a sound.
#pragma once

#include "devices/media_file.h"

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <set>

class QLabel;
class MediaPlayer;

// What the window asks of pictures and sounds; a test can stand in for it.
class Feedback
{
public:
    virtual ~Feedback() = default;
    virtual void ShowPicture(const QString &fileName) = 0;
    virtual void PlaySound(const QString &fileName) = 0;
    // Makes each file ready for its first use, and returns a report for each that cannot be
    // used and was not reported before.
    virtual QStringList checkFiles(const QStringList &fileNames)
    {
        Q_UNUSED(fileNames);
        return {};
    }
};

// Reads each file by its bare name from the working directory every time it is used, so a file
// put back while the program runs is used again at once; what was read of it is kept while the
// file stays the same. A file that cannot be used is reported through `report` the first time
// only, and the call returns normally: a drill goes on without that picture or sound rather
// than stopping at every answer.
class MediaFeedback final : public Feedback
{
public:
    MediaFeedback(QLabel *image, MediaPlayer *player,
                  std::function<void(const QString &message)> report);

    // The picture replaces the one in the box, drawn at its own size from the top-left corner
    // and cut off at the box's edges. On failure the old picture stays.
    void ShowPicture(const QString &fileName) override;
    // Stops the sound before, opens this one and starts it without waiting.
    void PlaySound(const QString &fileName) override;
    QStringList checkFiles(const QStringList &fileNames) override;

private:
    // The picture as the box shows it, or why it cannot be shown.
    Result<QPixmap> picture(const QString &fileName);
    Result<void> check(const QString &fileName);
    void fail(const QString &fileName, const QString &message);

    struct KeptPicture
    {
        FileIdentity identity;
        QPixmap picture;
    };

    QLabel *m_image;
    MediaPlayer *m_player;
    std::function<void(const QString &)> m_report;
    std::set<QString> m_reported;
    std::map<QString, KeptPicture> m_pictures;
};
