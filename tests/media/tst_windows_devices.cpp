// The Windows side of the platform: a teacher's file opened through a checked handle, and the
// sound output on the system's default device (under Wine, its PulseAudio driver).
#include "devices/media_file.h"
#include "devices/sound_output.h"
#include "devices/stream_sound_output.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestWindowsDevices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openMediaFile_data();
    void openMediaFile();
    void replacedFileIsAnotherIdentity();
    void soundOutput_data();
    void soundOutput();
};

void TestWindowsDevices::openMediaFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("plain file") << u"ok.wav"_s << QString();
    QTest::newRow("missing") << u"none.wav"_s << u"ファイルがありません"_s;
    QTest::newRow("missing folder") << u"none/p.wav"_s << u"ファイルがありません"_s;
    QTest::newRow("folder") << u"folder"_s << u"ファイルではなくフォルダーです"_s;
    QTest::newRow("empty") << u"empty.wav"_s << u"ファイルが空です"_s;
    QTest::newRow("device") << u"NUL"_s << u"ふつうのファイルではありません"_s;
}

void TestWindowsDevices::openMediaFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QFile ok(dir.filePath(u"ok.wav"_s));
    QVERIFY(ok.open(QIODevice::WriteOnly) && ok.write("RIFF") == 4);
    ok.close();
    QFile empty(dir.filePath(u"empty.wav"_s));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    auto opened = ::openMediaFile(name);
    QDir::setCurrent(before);
    QCOMPARE(opened.errorString(), reason);
    if (!opened)
        return;
    MediaFile &file = opened.value();
    // The descriptor reads the file, through the C runtime as libsndfile and QFile read it.
    QFile read;
    QVERIFY(read.open(file.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QCOMPARE(read.readAll(), "RIFF"_ba);
    QCOMPARE(file.identity().size, 4);
}

void TestWindowsDevices::replacedFileIsAnotherIdentity()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"p.wav"_s);
    const auto write = [&](const QByteArray &bytes) {
        QFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
    };
    QVERIFY(write("RIFF"));
    const FileIdentity first = ::openMediaFile(path)->identity();
    QCOMPARE(::openMediaFile(path)->identity(), first);
    // Same size, a new file in its place (the old one kept, so its number is not reused).
    QVERIFY(QFile::rename(path, dir.filePath(u"old.wav"_s)) && write("RIFX"));
    QVERIFY(::openMediaFile(path)->identity() != first);
}

// Steps: play:NAME opens and plays a sound, close, connect, wait:MS; playing checks that a
// sound sounds now, silent that none does, silentWithin:MS that the sound ends by then.
void TestWindowsDevices::soundOutput_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("a sound plays to its end")
            << QStringList { u"play:maru1.wav"_s, u"wait:150"_s, u"playing"_s,
                             u"silentWithin:1500"_s };
    // The buzz is 0.4 s: queued behind the chime, it would still sound after 0.5 s.
    QTest::newRow("a new sound cuts the one before")
            << QStringList { u"play:maru1.wav"_s, u"wait:100"_s, u"play:p.wav"_s,
                             u"silentWithin:250"_s };
    QTest::newRow("nothing open, nothing plays")
            << QStringList { u"connect"_s, u"close"_s, u"play"_s, u"silent"_s };
    // Past the idle spell the device is closed, and the next sound opens it again.
    QTest::newRow("plays again after sleeping")
            << QStringList { u"connect"_s,  u"wait:2000"_s, u"play:batu1.wav"_s,
                             u"wait:100"_s, u"playing"_s,   u"silentWithin:1500"_s };
}

void TestWindowsDevices::soundOutput()
{
    QFETCH(QStringList, steps);
    QVERIFY(QDir::setCurrent(qEnvironmentVariable("TOVEMI_MEDIA_DIR")));
    const std::unique_ptr<SoundOutput> output = makeStreamSoundOutput();
    for (const QString &step : steps) {
        const QString argument = step.section(u':', 1);
        if (step.startsWith(u"play:")) {
            auto opened = ::openMediaFile(argument);
            QVERIFY2(opened, qPrintable(opened.errorString()));
            QVERIFY(output->open(std::move(opened).value()));
            output->play();
        } else if (step == u"play") {
            output->play();
        } else if (step == u"close") {
            output->close();
        } else if (step == u"connect") {
            output->connect();
        } else if (step.startsWith(u"wait:")) {
            QTest::qWait(argument.toInt());
        } else if (step == u"playing") {
            QVERIFY(output->isPlaying());
        } else if (step == u"silent") {
            QVERIFY(!output->isPlaying());
        } else if (step.startsWith(u"silentWithin:")) {
            QTRY_VERIFY_WITH_TIMEOUT(!output->isPlaying(), argument.toInt());
        } else {
            QFAIL(qPrintable(u"unknown step "_s + step));
        }
    }
}

QTEST_GUILESS_MAIN(TestWindowsDevices)
#include "tst_windows_devices.moc"
