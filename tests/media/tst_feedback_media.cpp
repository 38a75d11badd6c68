// Pictures and sounds read from the working directory: what loads, what is reported and how
// often, and that a file that cannot be used leaves the last good picture in place.
#include "devices/sound_output.h"
#include "devices/stream_sound_output.h"
#include "media/feedback_media.h"
#include "media/media_files.h"
#include "media/sound_player.h"
#include "tests/ordinary_user.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The ways a file can be unusable, made under a given name in the working directory.
enum class Breakage {
    Missing,
    NotMedia,
    Empty,
    Directory,
    Fifo,
    DevZero,
    LinkLoop,
    Unreadable,
    Truncated
};

QString sourceFile(const QString &name)
{
    return qEnvironmentVariable("TOVEMI_SOURCE_DIR") + u"/media/files/"_s + name;
}

bool copyIn(const QString &name)
{
    QFile::remove(name);
    return QFile::copy(sourceFile(name), name);
}

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Root reads whatever the mode says: an unreadable file is made by an ordinary user.
bool needsOrdinaryUser(Breakage kind)
{
    return kind == Breakage::Unreadable && ::geteuid() == 0;
}

bool breakFile(Breakage kind, const QString &name)
{
    switch (kind) {
    case Breakage::Missing:
        return !QFile::exists(name);
    case Breakage::NotMedia:
        return writeFile(name, "これは絵でも音でもありません。\n"_ba);
    case Breakage::Empty:
        return writeFile(name, {});
    case Breakage::Directory:
        return QDir().mkdir(name);
    case Breakage::Fifo:
        return ::mkfifo(QFile::encodeName(name).constData(), 0644) == 0;
    case Breakage::DevZero:
        return QFile::link(u"/dev/zero"_s, name);
    case Breakage::LinkLoop:
        return QFile::link(name, name);
    case Breakage::Unreadable:
        return copyIn(name) && QFile::setPermissions(name, QFileDevice::WriteOwner);
    case Breakage::Truncated: {
        QFile source(sourceFile(name));
        return source.open(QIODevice::ReadOnly) && writeFile(name, source.read(30));
    }
    }
    return false;
}

void addBreakageRows(const QString &name)
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<Breakage>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << name << Breakage::Missing << u"ファイルがありません"_s;
    QTest::newRow("text, not media") << name << Breakage::NotMedia << u"として読めません"_s;
    QTest::newRow("empty") << name << Breakage::Empty << u"ファイルが空です"_s;
    QTest::newRow("a folder of that name") << name << Breakage::Directory << u"フォルダーです"_s;
    QTest::newRow("a pipe of that name")
            << name << Breakage::Fifo << u"ふつうのファイルではありません"_s;
    QTest::newRow("a link to /dev/zero")
            << name << Breakage::DevZero << u"ふつうのファイルではありません"_s;
    QTest::newRow("a link to itself") << name << Breakage::LinkLoop << u"循環"_s;
    QTest::newRow("no read permission")
            << name << Breakage::Unreadable << u"読む許可がありません"_s;
    QTest::newRow("cut off in the header") << name << Breakage::Truncated << u"として読めません"_s;
}

qint64 ns(const timespec &time)
{
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

qint64 coarseNow()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return ns(now);
}

QImage asArgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The program's own sound output, with what the player asks of it written down.
struct WatchedOutput final : SoundOutput
{
    QStringList calls;
    std::unique_ptr<SoundOutput> real = makeStreamSoundOutput();

    void connect() override { real->connect(); }
    Result<void> open(MediaFile &&file) override
    {
        calls << u"open "_s + file.identity().path;
        return real->open(std::move(file));
    }
    Result<void> prepare(MediaFile &&file) override { return real->prepare(std::move(file)); }
    void play() override
    {
        calls << u"play"_s;
        real->play();
    }
    void close() override
    {
        calls << u"close"_s;
        real->close();
    }
    bool isPlaying() const override { return real->isPlaying(); }
};

} // namespace

class TestFeedbackMedia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void pictureReplacesTheShownOne_data();
    void pictureReplacesTheShownOne();
    void pictureDrawnAtItsOwnSizeFromTheTopLeft_data();
    void pictureDrawnAtItsOwnSizeFromTheTopLeft();
    void unusablePictureKeepsTheOldOneAndIsReportedOnce_data();
    void unusablePictureKeepsTheOldOneAndIsReportedOnce();
    void pictureThatComesBackIsShownAgain();
    void largePictureIsShownUnlessAnotherWasAskedForSince_data();
    void largePictureIsShownUnlessAnotherWasAskedForSince();
    void aReplacedFileIsUsedAtItsNextUse_data();
    void aReplacedFileIsUsedAtItsNextUse();
    void reportNamesTheFileAndWhereItWasLookedFor();
    void eachFileIsReportedOnItsOwn();

    void soundOpensAndPlays_data();
    void soundOpensAndPlays();
    void unusableSoundIsReportedOnceAndLeavesNothingOpen_data();
    void unusableSoundIsReportedOnceAndLeavesNothingOpen();
    void soundThatComesBackIsPlayedAgain();
    void openingASoundClosesTheOneBefore();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_startDir;
    std::unique_ptr<QWidget> m_window;
    QLabel *m_image = nullptr;
    MediaPlayer *m_player = nullptr;
    std::unique_ptr<MediaFeedback> m_feedback;
    QStringList m_reports;
    WatchedOutput *m_output = nullptr;
};

void TestFeedbackMedia::initTestCase()
{
    QVERIFY2(QFile::exists(sourceFile(u"mascot.bmp"_s)),
             "TOVEMI_SOURCE_DIR must name the source tree");
    // No sound server: the tests must not depend on one, nor start one on a desktop.
    qputenv("PULSE_SERVER", "unix:/nonexistent/tovemi-test");
    m_startDir = QDir::currentPath();
}

void TestFeedbackMedia::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_window = std::make_unique<QWidget>();
    m_image = new QLabel(m_window.get());
    m_image->setGeometry(8, 8, 81, 81);
    auto output = std::make_unique<WatchedOutput>();
    m_output = output.get();
    m_player = new MediaPlayer(m_window.get(), std::move(output));
    m_player->setVisible(false);
    m_reports.clear();
    m_feedback = std::make_unique<MediaFeedback>(
            m_image, m_player, [this](const QString &message) { m_reports << message; });
}

void TestFeedbackMedia::cleanup()
{
    m_feedback.reset();
    m_window.reset();
    QDir::setCurrent(m_startDir);
    m_dir.reset();
}

void TestFeedbackMedia::pictureReplacesTheShownOne_data()
{
    QTest::addColumn<QString>("fileName");
    for (const QString &name : mediaFileNames().filter(u".bmp"_s))
        QTest::newRow(qPrintable(name)) << name;
}

void TestFeedbackMedia::pictureReplacesTheShownOne()
{
    QFETCH(QString, fileName);
    QVERIFY(copyIn(fileName));
    const QImage expected(sourceFile(fileName));
    QCOMPARE(expected.size(), QSize(81, 81));

    m_feedback->ShowPicture(fileName);
    QCOMPARE(asArgb(m_image->pixmap().toImage()), asArgb(expected));
    QVERIFY(m_reports.isEmpty());
}

void TestFeedbackMedia::pictureDrawnAtItsOwnSizeFromTheTopLeft_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("larger than the box: cut off") << QSize(120, 100);
    QTest::newRow("smaller than the box: top-left, not centred") << QSize(20, 30);
}

void TestFeedbackMedia::pictureDrawnAtItsOwnSizeFromTheTopLeft()
{
    QFETCH(QSize, size);
    // Every pixel differs from its neighbours, so a shift or a scaling shows.
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 2, 0xC0));
    QVERIFY(picture.save(u"maru1.bmp"_s, "BMP"));

    m_feedback->ShowPicture(u"maru1.bmp"_s);
    QCOMPARE(m_image->size(), QSize(81, 81));
    const QImage drawn = m_image->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), QSize(81, 81));
    const QSize shown = size.boundedTo(QSize(81, 81));
    QCOMPARE(drawn.copy(QRect(QPoint(0, 0), shown)), picture.copy(QRect(QPoint(0, 0), shown)));
    if (shown.width() < 81)
        QCOMPARE(QColor(drawn.pixel(80, 80)), m_image->palette().color(QPalette::Window));
}

void TestFeedbackMedia::unusablePictureKeepsTheOldOneAndIsReportedOnce_data()
{
    addBreakageRows(u"batu1.bmp"_s);
}

void TestFeedbackMedia::unusablePictureKeepsTheOldOneAndIsReportedOnce()
{
    QFETCH(QString, fileName);
    QFETCH(Breakage, kind);
    QFETCH(QString, reason);
    if (needsOrdinaryUser(kind))
        return runAsOrdinaryUser();
    QVERIFY(copyIn(u"maru1.bmp"_s));
    m_feedback->ShowPicture(u"maru1.bmp"_s);
    const QImage before = m_image->pixmap().toImage();
    QVERIFY(!before.isNull());
    QVERIFY(breakFile(kind, fileName));

    for (int i = 0; i < 3; ++i)
        m_feedback->ShowPicture(fileName);
    QCOMPARE(m_image->pixmap().toImage(), before);
    QCOMPARE(m_reports.size(), 1);
    QVERIFY2(m_reports[0].startsWith(u"「%1」を開けません: "_s.arg(fileName)),
             qPrintable(m_reports[0]));
    QVERIFY2(m_reports[0].contains(reason), qPrintable(m_reports[0]));
}

void TestFeedbackMedia::pictureThatComesBackIsShownAgain()
{
    m_feedback->ShowPicture(u"mascot.bmp"_s);
    QVERIFY(m_image->pixmap().isNull());

    QVERIFY(copyIn(u"mascot.bmp"_s));
    m_feedback->ShowPicture(u"mascot.bmp"_s);
    QCOMPARE(asArgb(m_image->pixmap().toImage()), asArgb(QImage(sourceFile(u"mascot.bmp"_s))));

    // Gone again: the picture on show stays, and the teacher is not told twice.
    QVERIFY(QFile::remove(u"mascot.bmp"_s));
    m_feedback->ShowPicture(u"mascot.bmp"_s);
    QVERIFY(!m_image->pixmap().isNull());
    QCOMPARE(m_reports.size(), 1);
}

// A photo saved under a picture's name: too many pixels to decode while the window waits.
QImage largePhoto(QRgb colour)
{
    QImage photo(QSize(600, 600), QImage::Format_RGB32);
    photo.fill(colour);
    photo.setPixel(0, 0, qRgb(1, 2, 3));
    return photo;
}

void TestFeedbackMedia::largePictureIsShownUnlessAnotherWasAskedForSince_data()
{
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("shown");
    // batu1.bmp and mascot.bmp are large; mascot.bmp's data is cut off, which the decoding
    // thread finds only after it has finished the pictures asked for before.
    QTest::newRow("large") << QStringList { u"batu1.bmp"_s } << u"batu1.bmp"_s;
    QTest::newRow("large, small: the small one stays")
            << QStringList { u"batu1.bmp"_s, u"maru1.bmp"_s, u"mascot.bmp"_s } << u"maru1.bmp"_s;
    QTest::newRow("large, small, the large one again")
            << QStringList { u"batu1.bmp"_s, u"maru1.bmp"_s, u"batu1.bmp"_s } << u"batu1.bmp"_s;
}

void TestFeedbackMedia::largePictureIsShownUnlessAnotherWasAskedForSince()
{
    QFETCH(QStringList, asked);
    QFETCH(QString, shown);
    QVERIFY(copyIn(u"maru1.bmp"_s));
    const QImage large = largePhoto(qRgb(0x20, 0x40, 0x60));
    QVERIFY(large.save(u"batu1.bmp"_s, "PNG"));
    QByteArray cutOff;
    QBuffer buffer(&cutOff);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && largePhoto(qRgb(9, 9, 9)).save(&buffer, "PNG"));
    QVERIFY(writeFile(u"mascot.bmp"_s, cutOff.left(cutOff.size() - 40)));

    for (const QString &name : asked)
        m_feedback->ShowPicture(name);
    const bool cutOffAsked = asked.contains(u"mascot.bmp"_s);
    QTRY_COMPARE(m_reports.size(), qsizetype(cutOffAsked));
    const QImage expected =
            shown == u"maru1.bmp"_s ? QImage(sourceFile(shown)) : large.copy(0, 0, 81, 81);
    QTRY_COMPARE(asArgb(m_image->pixmap().toImage()), asArgb(expected));
    if (cutOffAsked)
        QVERIFY2(m_reports[0].startsWith(u"「mascot.bmp」を開けません: "_s),
                 qPrintable(m_reports[0]));
}

void TestFeedbackMedia::aReplacedFileIsUsedAtItsNextUse_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("timeKept");
    QTest::newRow("a picture") << u"maru1.bmp"_s << false;
    QTest::newRow("a picture, its modification time kept") << u"maru1.bmp"_s << true;
    QTest::newRow("a sound, its modification time kept") << u"maru1.wav"_s << true;
}

void TestFeedbackMedia::aReplacedFileIsUsedAtItsNextUse()
{
    QFETCH(QString, fileName);
    QFETCH(bool, timeKept);
    const QByteArray path = QFile::encodeName(fileName);
    const auto use = [&] {
        fileName.endsWith(u".wav"_s) ? m_feedback->PlaySound(fileName)
                                     : m_feedback->ShowPicture(fileName);
    };
    QVERIFY(copyIn(fileName));
    use();
    QVERIFY(m_reports.isEmpty());
    struct stat before
    {};
    QCOMPARE(::stat(path.constData(), &before), 0);
    // File times come from the kernel's coarse clock: a write in the same tick as the copy
    // would leave nothing about the file that tells them apart.
    QTRY_VERIFY(coarseNow() > ns(before.st_ctim));

    // Written over in place with as many bytes of junk, as a copy onto the old name does.
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(QByteArray(file.size(), 'x')), qint64(before.st_size));
    file.close();
    if (timeKept) {
        const timespec times[2] = { before.st_atim, before.st_mtim };
        QCOMPARE(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    }
    struct stat after
    {};
    QCOMPARE(::stat(path.constData(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(ns(after.st_mtim) == ns(before.st_mtim), timeKept);

    use();
    QCOMPARE(m_reports.size(), 1);
    QVERIFY2(m_reports[0].contains(u"として読めません"_s), qPrintable(m_reports[0]));
}

void TestFeedbackMedia::reportNamesTheFileAndWhereItWasLookedFor()
{
    m_feedback->PlaySound(u"maru1.wav"_s);
    QCOMPARE(m_reports,
             QStringList {
                     u"「maru1.wav」を開けません: ファイルがありません（探した場所: %1）"_s.arg(
                             QDir::toNativeSeparators(QDir::currentPath())) });

    // The folder is named even after it has been deleted under the running program.
    const QString gone = m_dir->filePath(u"gone"_s);
    QVERIFY(QDir().mkdir(gone) && QDir::setCurrent(gone) && QDir().rmdir(gone));
    m_feedback->ShowPicture(u"maru1.bmp"_s);
    QCOMPARE(m_reports.size(), 2);
    QVERIFY2(m_reports[1].contains(u"探した場所: %1（削除されています）"_s.arg(gone)),
             qPrintable(m_reports[1]));
}

void TestFeedbackMedia::eachFileIsReportedOnItsOwn()
{
    const QStringList files = mediaFileNames();
    for (int round = 0; round < 2; ++round) {
        for (const QString &name : files)
            name.endsWith(u".wav"_s) ? m_feedback->PlaySound(name) : m_feedback->ShowPicture(name);
    }
    QCOMPARE(m_reports.size(), files.size());
    for (int i = 0; i < files.size(); ++i)
        QVERIFY2(m_reports[i].contains(u"「%1」"_s.arg(files[i])), qPrintable(m_reports[i]));
}

void TestFeedbackMedia::soundOpensAndPlays_data()
{
    QTest::addColumn<QString>("fileName");
    for (const QString &name : mediaFileNames().filter(u".wav"_s))
        QTest::newRow(qPrintable(name)) << name;
}

void TestFeedbackMedia::soundOpensAndPlays()
{
    QFETCH(QString, fileName);
    QVERIFY(copyIn(fileName));
    m_feedback->PlaySound(fileName);
    QCOMPARE(m_output->calls, (QStringList { u"close"_s, u"open "_s + fileName, u"play"_s }));
    // There is no audio output here: playing fails, and that is not the teacher's problem.
    QVERIFY(m_reports.isEmpty());
}

void TestFeedbackMedia::unusableSoundIsReportedOnceAndLeavesNothingOpen_data()
{
    addBreakageRows(u"maru1.wav"_s);
}

void TestFeedbackMedia::unusableSoundIsReportedOnceAndLeavesNothingOpen()
{
    QFETCH(QString, fileName);
    QFETCH(Breakage, kind);
    QFETCH(QString, reason);
    if (needsOrdinaryUser(kind))
        return runAsOrdinaryUser();
    QVERIFY(copyIn(u"p.wav"_s));
    m_feedback->PlaySound(u"p.wav"_s);
    QVERIFY(breakFile(kind, fileName));

    for (int i = 0; i < 3; ++i)
        m_feedback->PlaySound(fileName);
    // Nothing is left open for a later play to start: p.wav played once, the broken file never.
    m_player->play();
    QCOMPARE(m_output->calls.count(u"play"_s), 1);
    QCOMPARE(m_reports.size(), 1);
    QVERIFY2(m_reports[0].startsWith(u"「%1」を開けません: "_s.arg(fileName)),
             qPrintable(m_reports[0]));
    QVERIFY2(m_reports[0].contains(reason), qPrintable(m_reports[0]));
}

void TestFeedbackMedia::soundThatComesBackIsPlayedAgain()
{
    m_feedback->PlaySound(u"batu1.wav"_s);
    QVERIFY(copyIn(u"batu1.wav"_s));
    m_feedback->PlaySound(u"batu1.wav"_s);
    QCOMPARE(m_output->calls.last(2), (QStringList { u"open batu1.wav"_s, u"play"_s }));
    QCOMPARE(m_reports.size(), 1);
}

void TestFeedbackMedia::openingASoundClosesTheOneBefore()
{
    QVERIFY(copyIn(u"maru1.wav"_s));
    QVERIFY(copyIn(u"p.wav"_s));
    QVERIFY(m_player->openSound(u"p.wav"_s));
    m_player->play();
    QVERIFY(m_player->openSound(u"maru1.wav"_s));
    // A failed open still closes what was open: no stale sound plays at the next play.
    QVERIFY(!m_player->openSound(u"batu1.wav"_s));
    m_player->play();
    QCOMPARE(m_output->calls,
             (QStringList { u"close"_s, u"open p.wav"_s, u"play"_s, u"close"_s, u"open maru1.wav"_s,
                            u"close"_s }));
}

QTEST_MAIN(TestFeedbackMedia)
#include "tst_feedback_media.moc"
