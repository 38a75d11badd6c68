// Pictures and sounds broken as a teacher might leave them: each of the six files missing,
// empty, junk, unreadable or a folder. The drill goes on to its right score, and each broken
// file is reported once.
#include "window_fixture.h"

#include "devices/device_loader.h"

#include <QCheckBox>
#include <QTemporaryDir>
#include <unistd.h>

#include <cmath>

class TestBrokenMedia : public QObject
{
    Q_OBJECT
    WindowFixture f;
    QTemporaryDir dir;
    QString previousDir;

    void breakFile(const QString &name, const QString &how)
    {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        if (how == u"missing")
            return;
        if (how == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(name));
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (how == u"junk")
            file.write(QByteArray("RIFF\x10\0\0\0WAVEjunk-not-a-picture-or-sound", 40).repeated(20));
        if (how == u"unreadable") {
            file.write(QByteArray(64, 'x'));
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::Permissions {}));
        }
    }

    QString answerText() const
    {
        const ProblemRow &row = ProblemTable[DrillState.CurrentNo];
        for (int field = 1; field <= 6; ++field) {
            if (row.field(field) < 0)
                return QString::asprintf("%.2f", -row.field(field));
        }
        return QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        initWindowTests();
        QVERIFY(dir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(previousDir); }
    void init()
    {
        // A whole set of good files, then one broken.
        const QDir media(qEnvironmentVariable("TOVEMI_SOURCE_DIR") + u"/media/files"_s);
        const QStringList names = media.entryList(QDir::Files);
        QCOMPARE(names.size(), 6);
        for (const QString &name : names) {
            const QString to = dir.filePath(name);
            QFileInfo(to).isDir() ? void(QDir(to).removeRecursively()) : void(QFile::remove(to));
            QVERIFY(QFile::copy(media.filePath(name), to));
        }
        f.open();
        f.window->setFeedback(nullptr); // the real pictures and sounds
    }
    void cleanup() { f.close(); }

    void theDrillGoesOnToItsScore_data();
    void theDrillGoesOnToItsScore();
    void aMissingDeviceModuleIsReportedOncePerSound();

private:
    // Ten problems of a kind, odd ones wrong first and even ones right at once.
    void drillOfTen(int kind);
};

void TestBrokenMedia::theDrillGoesOnToItsScore_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    for (const char *file : { "mascot.bmp", "maru1.bmp", "batu1.bmp", "maru1.wav", "batu1.wav", "p.wav" }) {
        for (const char *how : { "missing", "empty", "junk", "unreadable", "folder" })
            QTest::addRow("%s %s", file, how) << QString::fromLatin1(file) << QString::fromLatin1(how);
    }
}

void TestBrokenMedia::theDrillGoesOnToItsScore()
{
    QFETCH(QString, file);
    QFETCH(QString, how);
    if (how == u"unreadable" && ::geteuid() == 0)
        QSKIP("permissions do not stop root");
    breakFile(file, how);
    drillOfTen(file == u"p.wav" ? 9 : 1);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.first().contains(file), qPrintable(f.errors.first()));
}

void TestBrokenMedia::drillOfTen(int kind)
{
    DrillState.ProblemKind = kind;
    DrillState.DrillLength = 10;
    DrillState.LengthChosen = -1;
    f.window->CheckBox1->setChecked(true);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    // Odd problems wrong first, even ones right at once: 5 of 10.
    for (int no = 1; no <= 10; ++no) {
        QCOMPARE(DrillState.CurrentNo, no);
        const bool wrongFirst = no % 2 == 1;
        if (kind == 9) {
            const long t = std::lround(ProblemTable[no].ComparedRatio * 1000);
            if (wrongFirst) {
                for (const QString &digit : { u"9"_s, u"9"_s, u"9"_s })
                    WindowFixture::answer(digit);
                QCOMPARE(f.status(), u"ちがうよ！"_s);
            }
            for (long digit : { t / 100, t / 10 % 10, t % 10 })
                WindowFixture::answer(QString::number(digit));
        } else {
            if (wrongFirst) {
                WindowFixture::answer(u"9999"_s);
                QCOMPARE(f.status(), u"ちがうよ！"_s);
            }
            WindowFixture::answer(answerText());
        }
    }
    QCOMPARE(f.status(), u"おしまいです。50点でした。"_s);
}

// ctest runs this again with the module's path pointing nowhere (tst_broken_media_no_module).
void TestBrokenMedia::aMissingDeviceModuleIsReportedOncePerSound()
{
    if (QFileInfo::exists(DeviceModulePath()))
        QSKIP("the device module is in its place here");
    QVERIFY(!Devices());
    drillOfTen(1);
    QStringList sounds;
    for (const QString &error : std::as_const(f.errors)) {
        QVERIFY2(error.contains(QDir::toNativeSeparators(DeviceModulePath())), qPrintable(error));
        for (const QString &sound : { u"maru1.wav"_s, u"batu1.wav"_s }) {
            if (error.contains(sound))
                sounds << sound;
        }
    }
    sounds.sort();
    QCOMPARE(sounds, QStringList({ u"batu1.wav"_s, u"maru1.wav"_s }));
    QCOMPARE(f.errors.size(), 2);
}

QTEST_MAIN(TestBrokenMedia)
#include "tst_broken_media.moc"
