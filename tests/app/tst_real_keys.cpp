// A real held Enter on a real X server: the server repeats the key, and each hold must give
// one judgement, however the repeats reach the program.
#include "window_fixture.h"

#include <QProcess>
#include <QLabel>
#include <QTemporaryDir>

class TestRealKeys : public QObject
{
    Q_OBJECT
    WindowFixture f;
    int presses = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return)
            ++presses;
        return false;
    }
    // xdotool runs beside the event loop, so the program sees the keys as they come.
    void xdotool(const QStringList &args)
    {
        QProcess process;
        process.start(u"xdotool"_s, args);
        QVERIFY(process.waitForStarted());
        while (process.state() != QProcess::NotRunning)
            QTest::qWait(10);
        QCOMPARE(process.exitCode(), 0);
        QTest::qWait(150);
    }

private Q_SLOTS:
    void initTestCase()
    {
        initWindowTests();
        QVERIFY2(QGuiApplication::platformName() == u"xcb"_s, "run under with_xvfb.sh");
        f.open();
        drill().ProblemKind = Kind(1);
        QTest::mouseClick(f.window->Button1, Qt::LeftButton);
        xdotool({ u"windowfocus"_s, u"--sync"_s, QString::number(f.window->winId()) });
        f.window->entryBox(drill().AnswerField)->installEventFilter(this);
        xdotool({ u"type"_s, u"--delay"_s, u"20"_s, u"123"_s });
        QCOMPARE(f.window->entryBox(drill().AnswerField)->text(), u"123"_s);
    }
    void cleanupTestCase() { f.close(); }

    void eachHoldJudgesOnce()
    {
        for (int hold = 1; hold <= 20; ++hold) {
            presses = 0;
            f.media.take();
            xdotool({ u"keydown"_s, u"Return"_s, u"sleep"_s, u"1.0"_s, u"keyup"_s, u"Return"_s });
            QVERIFY2(presses > 3,
                     qPrintable(u"hold %1: only %2 presses, no repeats"_s.arg(hold).arg(presses)));
            QCOMPARE(f.media.calls.count(u"sound batu1.wav"_s), 1);
            // The repeats after the judgement bring the mascot back, as any key press does.
            QCOMPARE(f.media.calls.count(u"picture mascot.bmp"_s), 1);
        }
        QCOMPARE(drill().CurrentNo, 1);
    }

    // A picture that breaks during a drill takes no key: two answers typed straight on at a
    // pupil's speed both reach their boxes, and the report waits for the drill's end.
    void typingOnWhileAPictureBreaks()
    {
        QTemporaryDir dir;
        const QDir media(qEnvironmentVariable("TOVEMI_SOURCE_DIR") + u"/media/files"_s);
        for (const QString &name : media.entryList(QDir::Files))
            QVERIFY(QFile::copy(media.filePath(name), dir.filePath(name)));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        f.window->setFeedback(nullptr); // the real pictures and sounds
        f.reports.reading = false;
        QTest::mouseClick(f.window->Button1, Qt::LeftButton);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(QFile::remove(u"maru1.bmp"_s));
        xdotool({ u"type"_s, u"--delay"_s, u"33"_s,
                  WindowFixture::answerText(1) + u"\r"_s + WindowFixture::answerText(2)
                          + u"\r"_s });
        QDir::setCurrent(previous);
        QCOMPARE(drill().CurrentNo, 3);
        QCOMPARE(drill().CorrectCount, 2);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(f.window->mediaNote->isVisible());
    }
};

QTEST_MAIN(TestRealKeys)
#include "tst_real_keys.moc"
