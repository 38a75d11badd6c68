// Pictures and sounds a teacher drops in must not slow a drill: one right answer on the real
// window with the real feedback (Enter until the next problem is shown), with a ten-minute
// maru1.wav and a 5500 × 5500 maru1.bmp, against the same with the shipped files. And the
// right-answer picture shown again once it has been read, against the shipped one.
#include "app/form1.h"
#include "bench/window_answers.h"
#include "media/feedback_media.h"
#include "media/media_files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtEndian>

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

} // namespace

BENCHMARK_CAPTURE(rightAnswer, shipped, false)
        ->Name("Media/baseline")
        ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(rightAnswer, huge, true)->Name("Media/huge")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(picture, shipped, false)->Name("Picture/baseline")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(picture, huge, true)->Name("Picture/huge")->Unit(benchmark::kMicrosecond);
