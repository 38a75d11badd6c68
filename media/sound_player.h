// The program's sound player: one sound at a time, played without waiting for it to end.
#pragma once

#include "devices/sound_output.h"
#include "drill/result.h"

#include <QString>
#include <QWidget>

#include <memory>

// It stands in the window where the hidden player control sits, so it is a widget; it draws
// nothing and is never shown. The window has it connect to the sound server once the window
// is drawn (connectOutput), so that start-up does not wait for the server.
class MediaPlayer : public QWidget
{
    Q_OBJECT

public:
    // Plays on `output`, or on the program's own (makeStreamSoundOutput), made at the first
    // need so that the window is drawn before the output's threads start.
    explicit MediaPlayer(QWidget *parent = nullptr, std::unique_ptr<SoundOutput> output = {});
    ~MediaPlayer() override;

    // Starts connecting to the sound server in the background; at once if already connected.
    void connectOutput();
    // Stops the open sound and lets it go. Nothing to report: there is nothing left to fail.
    void closeSound();
    // Closes the sound held before, then opens the sound file by the name given (relative to
    // the working directory) and makes it ready to play. On failure: a text that names the
    // file and gives the reason, and no sound is open.
    Result<void> openSound(const QString &fileName);
    // Makes the sound file ready to open at once, as openSound would, while the open sound
    // plays on.
    Result<void> prepareSound(const QString &fileName);
    // Starts the open sound from its beginning and returns at once. Without an open sound or an
    // audio output that will play it, nothing happens and nothing is said.
    void play();

private:
    SoundOutput &output();

    bool m_open = false;
    std::unique_ptr<SoundOutput> m_output;
};
