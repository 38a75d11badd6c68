// The program's sound player: one wave file at a time, read whole into memory, played without
// waiting for it to end.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QAudioSink;
class QBuffer;

// It stands in the window where the hidden player control sits, so it is a widget; it draws
// nothing and is never shown. The audio output is looked up at the first Play, not at
// construction: asking for the audio devices takes a noticeable time, and the window should
// open without it.
class MediaPlayer : public QWidget {
    Q_OBJECT

public:
    explicit MediaPlayer(QWidget *parent = nullptr);
    ~MediaPlayer() override;

    // Stops the open sound and lets it go. Nothing to report: there is nothing left to fail.
    void Close();
    // Closes the sound held before, then reads the wave file by the name given (relative to the
    // working directory) and decodes it to 16-bit samples. On failure: a text that names the
    // file and gives the reason, and no sound is open.
    std::optional<QString> Open(const QString &fileName);
    // Starts the open sound from its beginning and returns at once. Without an open sound or an
    // audio output that will play it, nothing happens and nothing is said.
    void Play();

    bool isOpen() const { return m_open; }
    QString openFileName() const { return m_fileName; }
    // An output stream exists and is sending the sound now.
    bool isPlaying() const;

    // Output streams held by all players now, and the most ever held at once: a new sound
    // must never sound over the one before.
    static int liveStreams();
    static int peakStreams();

private:
    bool makeSink();
    void releaseSink();

    bool m_open = false;
    QString m_fileName;
    QAudioFormat m_fileFormat;
    QByteArray m_samples;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
