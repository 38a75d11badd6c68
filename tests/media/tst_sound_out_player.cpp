// Plays the program's sounds through the real audio output, as a drill would, for
// sound_out.sh to record: the right-answer chime alone, then a pip cut off at once by the
// wrong-answer buzz, as when the rin box judges. Exits non-zero unless every sound opened and
// started and no two output streams were ever open together.
#include "media/feedback_media.h"
#include "media/sound_player.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        out << "usage: tst_sound_out_player <folder holding maru1.wav, p.wav and batu1.wav>\n";
        return 2;
    }

    // The window's own path to a sound: the feedback component over a hidden player.
    QWidget window;
    auto *image = new QLabel(&window);
    auto *player = new MediaPlayer(&window);
    player->setVisible(false);
    bool ok = true;
    MediaFeedback feedback(image, player, [&](const QString &message) {
        out << "reported: " << message << '\n';
        ok = false;
    });
    auto play = [&](const QString &name) {
        QElapsedTimer clock;
        clock.start();
        feedback.PlaySound(name);
        const qint64 us = clock.nsecsElapsed() / 1000;
        const bool started = player->isPlaying();
        out << name << (started ? " started" : " did not start") << " (PlaySound took " << us
            << " µs)\n";
        out.flush();
        ok = ok && started;
    };

    play(u"maru1.wav"_s);
    waitMs(1000);
    play(u"p.wav"_s);
    play(u"batu1.wav"_s);
    waitMs(1000);
    player->Close();

    out << "most output streams at once: " << MediaPlayer::peakStreams() << '\n';
    out << "output streams left open: " << MediaPlayer::liveStreams() << '\n';
    ok = ok && MediaPlayer::peakStreams() == 1 && MediaPlayer::liveStreams() == 0;
    return ok ? 0 : 1;
}
