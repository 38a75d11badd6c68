// Plays the program's sounds through the real audio output, as a drill would, for
// sound_out.sh to record. The steps come as arguments: play:NAME plays a sound through the
// feedback component, check tries the three sounds as スタート does, wait:MS lets the event loop
// run, until:FILE waits for the script to make that file (it restarts the sound server
// meanwhile), connect says a sound is coming, as the window does at a key. Exits non-zero if a
// sound was reported as unusable.
#include "media/feedback_media.h"
#include "media/media_files.h"
#include "media/sound_player.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QTextStream>
#include <QTimer>

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
    if (argc < 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        out << "usage: tst_sound_out_player <folder of the sounds> "
               "[play:NAME|wait:MS|until:FILE|connect]...\n";
        return 2;
    }

    // The window's own path to a sound: the feedback component over a hidden player,
    // connected as the window connects it once it is on screen.
    QWidget window;
    auto *image = new QLabel(&window);
    auto *player = new MediaPlayer(&window);
    player->setVisible(false);
    bool ok = true;
    MediaFeedback feedback(image, player, [&](const QString &message) {
        out << "reported: " << message << '\n';
        ok = false;
    });
    player->connectOutput();
    for (int i = 2; i < argc; ++i) {
        const QString step = QString::fromLocal8Bit(argv[i]);
        const QString what = step.section(u':', 1);
        if (step.startsWith(u"play:")) {
            feedback.PlaySound(what);
            out << what << " played\n";
        } else if (step == u"check") {
            for (const QString &report : feedback.checkFiles(mediaFileNames().filter(u".wav"_s))) {
                out << "reported: " << report << '\n';
                ok = false;
            }
        } else if (step.startsWith(u"wait:")) {
            waitMs(what.toInt());
        } else if (step == u"connect") {
            player->connectOutput();
        } else if (step.startsWith(u"until:")) {
            for (int tries = 0; tries < 600 && !QFileInfo::exists(what); ++tries)
                waitMs(50);
        }
        out.flush();
    }
    player->closeSound();
    return ok ? 0 : 1;
}
