// A sound's samples through the feed that the output threads copy from: every sample once and
// in order, short sounds from the first read, long ones decoded ahead by the decoding thread
// and across its ring's wrap; a decoder that falls behind leaves only silence between them; a
// dropped feed's file is closed.
#include "devices/media_file.h"
#include "devices/sound_decoder.h"
#include "devices/sound_feed.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include <thread>

using namespace Qt::StringLiterals;

class TestSoundFeed : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySampleOnceInOrder_data();
    void everySampleOnceInOrder();
    void aDroppedFeedLetsGoOfItsFile();
};

namespace {

// Mono at the stream's rate. None is zero, so that silence standing in for a decoder behind
// can be told apart.
std::int16_t sampleAt(int i)
{
    return std::int16_t(i % 30'000 + 1);
}

bool writeRamp(const QByteArray &path, int frames)
{
    SF_INFO info { 0, StreamRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0 };
    SNDFILE *out = sf_open(path.constData(), SFM_WRITE, &info);
    if (!out)
        return false;
    std::vector<std::int16_t> ramp(frames);
    for (int i = 0; i < frames; ++i)
        ramp[i] = sampleAt(i);
    const bool written = sf_writef_short(out, ramp.data(), frames) == frames;
    return sf_close(out) == 0 && written;
}

// How many of this process's descriptors refer to the file.
int descriptorsOf(const QString &path)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    int count = 0;
    const QDir fds(u"/proc/self/fd"_s);
    for (const QFileInfo &fd :
         fds.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        count += fd.symLinkTarget() == file;
    return count;
}

} // namespace

void TestSoundFeed::everySampleOnceInOrder_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("keptFrames");
    QTest::addColumn<int>("takeFrames");
    QTest::addColumn<int>("takenBeforeCut"); // -1: to the end
    QTest::newRow("short, kept whole") << 20'000 << 88'200 << 441 << -1;
    QTest::newRow("long, past the ring's wrap") << 200'000 << 3000 << 441 << -1;
    QTest::newRow("long, odd pieces") << 150'001 << 1 << 1023 << -1;
    QTest::newRow("long, cut off while decoding") << 200'000 << 3000 << 441 << 60'000;
}

void TestSoundFeed::everySampleOnceInOrder()
{
    QFETCH(int, frames);
    QFETCH(int, keptFrames);
    QFETCH(int, takeFrames);
    QFETCH(int, takenBeforeCut);
    // Each sample comes out unchanged on both sides.
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"ramp.wav"_s).toLocal8Bit();
    QVERIFY(writeRamp(path, frames));

    auto decoded = decodeSound(openMediaFile(QString::fromLocal8Bit(path)).value(), keptFrames);
    QVERIFY2(decoded, qPrintable(decoded.errorString()));
    SoundFeed feed(std::move(decoded->source), SoundFeed::Clock::now() + std::chrono::seconds(1));
    const int wanted = takenBeforeCut < 0 ? frames : takenBeforeCut;
    std::vector<std::int16_t> piece(std::size_t(takeFrames) * StreamChannels);
    int next = 0;
    int silent = 0;
    for (std::size_t got = piece.size(); got == piece.size() && next < wanted;) {
        got = feed.take(piece.data(), std::size_t(takeFrames)) * StreamChannels;
        for (std::size_t s = 0; s < got; s += StreamChannels) {
            QCOMPARE(piece[s], piece[s + 1]);
            if (piece[s] == 0)
                silent += 1;
            else
                QCOMPARE(piece[s], sampleAt(next++));
        }
        if (got == piece.size() && piece[0] == 0)
            std::this_thread::yield();
    }
    if (takenBeforeCut < 0)
        QCOMPARE(next, frames);
    if (frames <= StreamRate)
        QCOMPARE(silent, 0);
}

// A feed dropped while its sound plays on does not wake the decoding thread, which must still
// close the file soon: a drill of long sounds would otherwise run out of descriptors.
void TestSoundFeed::aDroppedFeedLetsGoOfItsFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"long.wav"_s);
    QVERIFY(writeRamp(QFile::encodeName(path), 200'000));
    auto decoded = decodeSound(openMediaFile(path).value(), 3000);
    QVERIFY2(decoded, qPrintable(decoded.errorString()));
    auto feed = std::make_unique<SoundFeed>(std::move(decoded->source),
                                            SoundFeed::Clock::now() + std::chrono::seconds(1));
    QCOMPARE(descriptorsOf(path), 1);
    feed.reset();
    QTRY_COMPARE(descriptorsOf(path), 0);
}

QTEST_GUILESS_MAIN(TestSoundFeed)
#include "tst_sound_feed.moc"
