// The program's sound player: one wave file at a time, played without waiting for it to end.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class SoundOutput;

// It stands in the window where the hidden player control sits, so it is a widget; it draws
// nothing and is never shown. The decoding and the audio output come from the device module,
// loaded at the first Open, so that start-up does not load the audio libraries.
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
    bool m_open = false;
    QString m_fileName;
    std::unique_ptr<SoundOutput> m_output;
};
