// A sound's samples through the feed that the output threads copy from: every sample once and
// in order, short sounds from the first read, long ones decoded ahead by the feed's own thread
// and across its ring's wrap; a decoder that falls behind leaves only silence between them.
#include "devices/media_file.h"
#include "devices/sound_decoder.h"
#include "devices/sound_feed.h"

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
};

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
    // Mono at the stream's rate: each sample comes out unchanged on both sides. None is zero,
    // so that silence standing in for a decoder behind can be told apart.
    auto sampleAt = [](int i) { return std::int16_t(i % 30'000 + 1); };
    QTemporaryDir dir;
    const QByteArray path = dir.filePath(u"ramp.wav"_s).toLocal8Bit();
    SF_INFO info { 0, StreamRate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0 };
    SNDFILE *out = sf_open(path.constData(), SFM_WRITE, &info);
    QVERIFY(out);
    std::vector<std::int16_t> ramp(frames);
    for (int i = 0; i < frames; ++i)
        ramp[i] = sampleAt(i);
    QCOMPARE(sf_writef_short(out, ramp.data(), frames), frames);
    sf_close(out);

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

QTEST_GUILESS_MAIN(TestSoundFeed)
#include "tst_sound_feed.moc"
