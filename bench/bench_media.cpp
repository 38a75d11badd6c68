// Pictures and sounds a teacher drops in must not slow a drill: one right answer on the real
// window with the real feedback (Enter until the next problem is shown), with a ten-minute
// maru1.wav and a 5500 × 5500 maru1.bmp, against the same with the shipped files. And the
// right-answer picture shown again once it has been read, against the shipped one. And a wrong
// answer with a 4000 × 4000 photo saved as batu1.bmp: how soon its sound starts after Enter, and
// the longest the window then stops answering, against the same with the shipped batu1.bmp.
#include "app/form1.h"
#include "bench/window_answers.h"
#include "media/feedback_media.h"
#include "media/media_files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray le32(qint64 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(qint32(v), b.data());
    return b;
}

// A header followed by zeros up to `size` bytes, without writing them all.
void sparseFile(const QString &path, const QByteArray &header, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(header) != header.size() || !file.resize(size))
        qFatal("cannot write %s", qPrintable(path));
}

// The six shipped files in a folder of their own; with `huge`, the right answer's two are
// replaced by a ten-minute stereo sound and a 5500 × 5500 picture.
const QTemporaryDir &mediaFolder(bool huge)
{
    static QTemporaryDir folders[2];
    QTemporaryDir &dir = folders[huge];
    if (QDir(dir.path()).isEmpty()) {
        const QDir shipped(QString::fromUtf8(TOVEMI_SOURCE_DIR "/media/files"));
        for (const QString &name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), dir.filePath(name));
        if (huge) {
            const QString sound = dir.filePath(mediaFileName(MediaUse::RightSound));
            const QString picture = dir.filePath(mediaFileName(MediaUse::RightPicture));
            QFile::remove(sound);
            QFile::remove(picture);
            const qint64 soundBytes = 600LL * 44100 * 4;
            sparseFile(sound,
                       "RIFF" + le32(36 + soundBytes) + "WAVEfmt " + le32(16)
                               + QByteArray::fromHex("01000200") + le32(44100) + le32(44100 * 4)
                               + QByteArray::fromHex("04001000") + "data" + le32(soundBytes),
                       44 + soundBytes);
            const qint64 pictureBytes = 5500LL * 3 * 5500;
            sparseFile(picture,
                       "BM" + le32(54 + pictureBytes) + le32(0) + le32(54) + le32(40) + le32(5500)
                               + le32(5500) + QByteArray::fromHex("01001800") + le32(0)
                               + le32(pictureBytes) + QByteArray(16, '\0'),
                       54 + pictureBytes);
        }
    }
    return dir;
}

// The window with its own pictures and sounds, in the folder of the files given.
TForm1 &windowIn(bool huge)
{
    static TForm1 *form = [] {
        auto *f = new TForm1;
        f->show();
        return f;
    }();
    QDir::setCurrent(mediaFolder(huge).path());
    return *form;
}

void rightAnswer(benchmark::State &state, bool huge)
{
    TForm1 &w = windowIn(huge);
    w.drill().ProblemKind = Kind(1);
    w.Button1Click();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        if (w.drill().CurrentNo >= 100) {
            w.Button1Click();
            QApplication::processEvents();
        }
        QLineEdit *box = w.entryBox(w.drill().AnswerField);
        box->setText(answerText(w));
        sendKey(box, QEvent::KeyRelease, Qt::Key_0, u"0"_s);
        state.ResumeTiming();
        sendKey(box, QEvent::KeyPress, Qt::Key_Return, u"\r"_s);
    }
}

void picture(benchmark::State &state, bool huge)
{
    TForm1 &w = windowIn(huge);
    const QString right = mediaFileName(MediaUse::RightPicture);
    w.feedback()->ShowPicture(right);
    for (auto _ : state)
        w.feedback()->ShowPicture(right);
}

// A photo of `side` × `side` pixels saved as PNG (which no reader cuts to the box as it
// decodes), made once and kept beside the program: a run measured for its peak memory then
// does not count the photo's own pixels.
QString photoFile(int side)
{
    const QString path = QCoreApplication::applicationDirPath() + u"/photo-%1.png"_s.arg(side);
    if (QFile::exists(path))
        return path;
    // Shades with a little noise, which compress about as a photo does.
    QImage photo(side, side, QImage::Format_RGB32);
    QRandomGenerator noise(29);
    for (int y = 0; y < side; ++y) {
        auto *row = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const int n = int(noise.bounded(16));
            row[x] = qRgb((x * 255 / side + n) & 0xFF, (y * 255 / side + n) & 0xFF, n * 8);
        }
    }
    if (!photo.save(path + u".part"_s, "PNG") || !QFile::rename(path + u".part"_s, path))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The shipped files, with batu1.bmp a photo of `side` × `side` pixels; with a side of 0, the
// shipped batu1.bmp.
const QTemporaryDir &photoFolder(int side)
{
    static std::map<int, QTemporaryDir> folders;
    QTemporaryDir &dir = folders[side];
    if (QDir(dir.path()).isEmpty()) {
        const QDir shipped(QString::fromUtf8(TOVEMI_SOURCE_DIR "/media/files"));
        for (const QString &name : shipped.entryList(QDir::Files))
            QFile::copy(shipped.filePath(name), dir.filePath(name));
        if (side > 0) {
            const QString picture = dir.filePath(mediaFileName(MediaUse::WrongPicture));
            QFile::remove(picture);
            QFile::copy(photoFile(side), picture);
        }
    }
    return dir;
}

// The window's own pictures and sounds, with the moment each sound has been started noted.
class TimedFeedback final : public Feedback
{
public:
    explicit TimedFeedback(Feedback *real) : m_real(real) {}
    void ShowPicture(const QString &fileName) override { m_real->ShowPicture(fileName); }
    void PlaySound(const QString &fileName) override
    {
        m_real->PlaySound(fileName);
        soundStarted = std::chrono::steady_clock::now();
    }
    std::chrono::steady_clock::time_point soundStarted;

private:
    Feedback *m_real;
};

enum class Figure { SoundStart, LongestStall };

// Fixed: the time measured can be far less than the time an answer takes, which a minimum
// time would make thousands.
constexpr int PhotoAnswers = 10;

// A wrong answer, its picture read anew each time (the file touched, as a teacher replacing it
// would): Enter until its sound has started, or the longest the window's thread is busy at one
// go from Enter until the picture is on show.
void wrongAnswer(benchmark::State &state, int side, Figure figure)
{
    using Clock = std::chrono::steady_clock;
    TForm1 &w = windowIn(false);
    QDir::setCurrent(photoFolder(side).path());
    const QByteArray picture = QFile::encodeName(mediaFileName(MediaUse::WrongPicture));
    TimedFeedback timed(w.feedback());
    w.setFeedback(&timed);
    w.drill().ProblemKind = Kind(1);
    w.Button1Click();
    w.feedback()->ShowPicture(mediaFileName(MediaUse::Mascot));
    QApplication::processEvents();
    const qint64 mascot = w.Image1->pixmap().cacheKey();
    for (auto _ : state) {
        if (::utimensat(AT_FDCWD, picture.constData(), nullptr, 0) != 0)
            qFatal("cannot touch %s", picture.constData());
        QLineEdit *box = w.entryBox(w.drill().AnswerField);
        box->setText(u"9999"_s);
        sendKey(box, QEvent::KeyRelease, Qt::Key_0, u"0"_s);
        const qint64 before = w.Image1->pixmap().cacheKey();
        const Clock::time_point enter = Clock::now();
        sendKey(box, QEvent::KeyPress, Qt::Key_Return, u"\r"_s);
        Clock::duration stall = Clock::now() - enter;
        const Clock::duration sound = timed.soundStarted - enter;
        // The window's thread is idle between its events: only the time spent on each is
        // counted.
        for (;;) {
            const qint64 shown = w.Image1->pixmap().cacheKey();
            if (shown != before && shown != mascot)
                break;
            const Clock::time_point from = Clock::now();
            QApplication::processEvents();
            stall = std::max(stall, Clock::now() - from);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.SetIterationTime(
                std::chrono::duration<double>(figure == Figure::SoundStart ? sound : stall)
                        .count());
    }
    w.setFeedback(nullptr);
}

} // namespace

BENCHMARK_CAPTURE(wrongAnswer, shipped, 0, Figure::SoundStart)
        ->Name("PhotoSound/baseline")
        ->UseManualTime()
        ->Iterations(PhotoAnswers)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wrongAnswer, png4000, 4000, Figure::SoundStart)
        ->Name("PhotoSound/png4000")
        ->UseManualTime()
        ->Iterations(PhotoAnswers)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wrongAnswer, shipped, 0, Figure::LongestStall)
        ->Name("PhotoStall/baseline")
        ->UseManualTime()
        ->Iterations(PhotoAnswers)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(wrongAnswer, png4000, 4000, Figure::LongestStall)
        ->Name("PhotoStall/png4000")
        ->UseManualTime()
        ->Iterations(PhotoAnswers)
        ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rightAnswer, shipped, false)
        ->Name("Media/baseline")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(rightAnswer, huge, true)->Name("Media/huge")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(picture, shipped, false)->Name("Picture/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(picture, huge, true)->Name("Picture/huge")->Unit(benchmark::kMicrosecond);
