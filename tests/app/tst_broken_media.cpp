// Pictures and sounds broken as a teacher might leave them: each of the six files missing,
// empty, junk, unreadable, a folder, a pipe, a device or a link loop. The drill goes on to its
// right score, and each broken file is reported once, in one box at Start. Files that break
// while the pupil types are reported only once the answer has been judged; files of any size
// play the drill in bounded memory.
#include "window_fixture.h"
#include "media/media_files.h"

#include "tests/ordinary_user.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtEndian>
#include <sys/stat.h>
#include <unistd.h>

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
        if (how == u"pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
            return;
        }
        if (how == u"/dev/zero" || how == u"link loop") {
            QVERIFY(QFile::link(how == u"link loop" ? path : how, path));
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (how == u"junk")
            file.write(
                    QByteArray("RIFF\x10\0\0\0WAVEjunk-not-a-picture-or-sound", 40).repeated(20));
        if (how == u"unreadable") {
            file.write(QByteArray(64, 'x'));
            file.close();
            QVERIFY(file.setPermissions(QFileDevice::Permissions {}));
        }
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
    void aFileThatBreaksDuringADrillIsNotedAtOnceAndReportedAtItsEnd();
    void mediaOfAnySizeKeepMemoryBounded();

private:
    // Ten problems of a kind, odd ones wrong first and even ones right at once; the reports
    // expected in the box at Start.
    void drillOfTen(int kind, qsizetype reportsAtStart);
};

void TestBrokenMedia::theDrillGoesOnToItsScore_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("how");
    for (const QString &file : mediaFileNames()) {
        for (const char *how : { "missing", "empty", "junk", "unreadable", "folder", "pipe",
                                 "/dev/zero", "link loop" })
            QTest::addRow("%s %s", qPrintable(file), how) << file << QString::fromLatin1(how);
    }
}

void TestBrokenMedia::theDrillGoesOnToItsScore()
{
    QFETCH(QString, file);
    QFETCH(QString, how);
    // Permissions do not stop root.
    if (how == u"unreadable" && ::geteuid() == 0)
        return runAsOrdinaryUser();
    breakFile(file, how);
    drillOfTen(file == mediaFileName(MediaUse::Pip) ? 9 : 1, 1);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.first().contains(file), qPrintable(f.errors.first()));
}

void TestBrokenMedia::aFileThatBreaksDuringADrillIsNotedAtOnceAndReportedAtItsEnd()
{
    f.reports.reading = false; // the real box, closed by the mouse
    int boxes = 0;
    QString reported;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes += 1;
            reported = box->text();
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        }
    });
    closer.start(10);
    drill().ProblemKind = Kind(1);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    drill().DrillLength = 3;
    WindowFixture::answer(WindowFixture::answerText());
    QVERIFY(QFile::remove(dir.filePath(u"mascot.bmp"_s)));

    // The pupil types straight on: the note shows at once, and no box takes a key.
    WindowFixture::answer(WindowFixture::answerText());
    QCOMPARE(drill().CorrectCount, 2);
    QVERIFY(f.window->mediaNote->isVisible());
    QTest::qWait(50);
    QCOMPARE(boxes, 0);
    // The drill's end says which file, in one box.
    WindowFixture::answer(WindowFixture::answerText());
    QCOMPARE(f.status(), u"おしまいです。100点でした。"_s);
    QTRY_COMPARE(boxes, 1);
    QVERIFY2(reported.contains(u"mascot.bmp"_s), qPrintable(reported));
    QVERIFY(!f.window->mediaNote->isVisible());
}

namespace {

qint64 residentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// A file of `header` followed by zeros up to `size` bytes, without writing them all.
void sparseFile(const QString &path, const QByteArray &header, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(header), header.size());
    QVERIFY(file.resize(size));
}

QByteArray le32(qint64 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(qint32(v), b.data());
    return b;
}

} // namespace

void TestBrokenMedia::mediaOfAnySizeKeepMemoryBounded()
{
    // Ten minutes of stereo sound at 44100 Hz (106 MB) and a 5500 × 5500 picture (91 MB).
    const qint64 soundBytes = 600LL * 44100 * 4;
    sparseFile(dir.filePath(u"maru1.wav"_s),
               "RIFF"_ba + le32(36 + soundBytes) + "WAVEfmt "_ba + le32(16)
                       + QByteArray::fromHex("01000200") + le32(44100) + le32(44100 * 4)
                       + QByteArray::fromHex("04001000") + "data"_ba + le32(soundBytes),
               44 + soundBytes);
    const qint64 pictureBytes = 5500LL * 3 * 5500;
    sparseFile(dir.filePath(u"maru1.bmp"_s),
               "BM"_ba + le32(54 + pictureBytes) + le32(0) + le32(54) + le32(40) + le32(5500)
                       + le32(5500) + QByteArray::fromHex("01001800") + le32(0) + le32(pictureBytes)
                       + QByteArray(16, '\0'),
               54 + pictureBytes);
    const qint64 before = residentKiB();
    QVERIFY(before > 0); // else the growth below would be 0 whatever the program holds
    drillOfTen(1, 0);
    QCOMPARE(f.errors, QStringList());
    const qint64 grown = residentKiB() - before;
    QVERIFY2(grown < 30 * 1024, qPrintable(u"grew by %1 KiB"_s.arg(grown)));
    QCOMPARE(f.window->Image1->pixmap().size(), QSize(81, 81));
}

void TestBrokenMedia::drillOfTen(int kind, qsizetype reportsAtStart)
{
    drill().ProblemKind = Kind(kind);
    drill().DrillLength = 10;
    drill().LengthChosen = -1;
    f.window->CheckBox1->setChecked(true);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    // What cannot be used is said before the first answer is typed, in one box.
    QTest::qWait(0);
    QCOMPARE(f.errors.size(), reportsAtStart);
    // Odd problems wrong first, even ones right at once: 5 of 10.
    for (int no = 1; no <= 10; ++no) {
        QCOMPARE(drill().CurrentNo, no);
        const bool wrongFirst = no % 2 == 1;
        if (kind == 9) {
            if (wrongFirst) {
                for (const QString &digit : { u"9"_s, u"9"_s, u"9"_s })
                    WindowFixture::answer(digit);
                QCOMPARE(f.status(), u"ちがうよ！"_s);
            }
            for (const QString &digit : WindowFixture::buaiAnswer())
                WindowFixture::answer(digit);
        } else {
            if (wrongFirst) {
                WindowFixture::answer(u"9999"_s);
                QCOMPARE(f.status(), u"ちがうよ！"_s);
            }
            WindowFixture::answer(WindowFixture::answerText());
        }
    }
    QCOMPARE(f.status(), u"おしまいです。50点でした。"_s);
    QTest::qWait(0);
}

QTEST_MAIN(TestBrokenMedia)
#include "tst_broken_media.moc"
