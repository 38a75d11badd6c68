// The pictures and sounds that answer the pupil: the one place that touches a pixmap or a sound.
#pragma once

#include "devices/background_work.h"
#include "devices/media_file.h"

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <optional>
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
//
// A picture that takes longer than a frame to decode (a large photo, which no reader can cut
// to the box as it decodes) is decoded by a thread of its own, one picture at a time so that
// memory holds one such picture at most, and shown when it is ready: the window never waits
// for it, and its sound is not held up.
class MediaFeedback final : public Feedback
{
public:
    MediaFeedback(QLabel *image, MediaPlayer *player,
                  std::function<void(const QString &message)> report);

    // The picture replaces the one in the box, drawn at its own size from the top-left corner
    // and cut off at the box's edges; a large one once it has been decoded, unless another
    // picture has been asked for since. On failure the old picture stays.
    void ShowPicture(const QString &fileName) override;
    // Stops the sound before, opens this one and starts it without waiting.
    void PlaySound(const QString &fileName) override;
    QStringList checkFiles(const QStringList &fileNames) override;

private:
    // The picture as the box shows it, or why it cannot be shown; null while it is being
    // decoded on the decoding thread, which then shows it if `request` is still the latest.
    Result<std::optional<QPixmap>> picture(const QString &fileName, quint64 request);
    void pictureDecoded(const QString &fileName, const FileIdentity &identity,
                        const Result<QImage> &read);
    Result<void> check(const QString &fileName);
    void fail(const QString &fileName, const QString &message);

    struct KeptPicture
    {
        FileIdentity identity;
        QPixmap picture;
    };
    struct Decoding
    {
        FileIdentity identity;
        // The request that the picture answers once decoded; 0 when it is only made ready.
        quint64 request = 0;
    };

    QLabel *m_image;
    MediaPlayer *m_player;
    std::function<void(const QString &)> m_report;
    std::set<QString> m_reported;
    std::map<QString, KeptPicture> m_pictures;
    std::map<QString, Decoding> m_decoding;
    // Each ShowPicture is numbered; a picture decoded late is shown only if no picture has been
    // asked for since, so an earlier answer's picture never replaces a later one's.
    quint64 m_requests = 0;
    quint64 m_latestRequest = 0;
    // Decoded pictures come back to the window's thread through it; it goes, with the results
    // still on their way, after the decoding thread has stopped.
    QObject m_receiver;
    // Gone first: it waits for the picture being decoded, if any, and drops those waiting.
    BackgroundWork m_decoder;
};
