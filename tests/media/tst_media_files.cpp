// Files a teacher controls, read for no more than the program uses: the sound reshaped piece by
// piece for the output stream, formats that no card plays refused, long sounds read as they
// play, and pictures of any size cut to the box's corner.
#include "devices/media_file.h"
#include "devices/resampler.h"
#include "media/picture_file.h"
#include "devices/sound_decoder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <sndfile.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray le32(qint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(qint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A PCM wave file with whatever header fields a damaged or hostile file may carry.
QByteArray waveFile(int channels, qint64 rate, const QByteArray &data)
{
    const int align = std::max(channels, 1) * 2;
    return "RIFF"_ba + le32(36 + qint32(data.size())) + "WAVEfmt "_ba + le32(16) + le16(1)
            + le16(qint16(channels)) + le32(qint32(rate)) + le32(qint32(rate * align))
            + le16(qint16(align)) + le16(16) + "data"_ba + le32(qint32(data.size())) + data;
}

// A 24-bit Windows bitmap header for `width` × `height` (negative: top-down) pixels.
QByteArray bitmapHeader(qint32 width, qint32 height, qint32 compression = 0, qint16 bits = 24)
{
    const quint64 rowBytes = (quint64(bits) * quint64(width) + 31) / 32 * 4;
    // Wraps for the largest sizes, as it would in a real header.
    const quint64 size = rowBytes * quint64(std::abs(qint64(height)));
    return "BM"_ba + le32(qint32(54 + size)) + le32(0) + le32(54) + le32(40) + le32(width)
            + le32(height) + le16(1) + le16(bits) + le32(compression) + le32(qint32(size))
            + le32(2835) + le32(2835) + le32(0) + le32(0);
}

// The same with the short header of an OS/2 bitmap: 16-bit sizes, no compression.
QByteArray os2BitmapHeader(qint16 width, qint16 height)
{
    const qint32 rowBytes = (24 * width + 31) / 32 * 4;
    return "BM"_ba + le32(26 + rowBytes * std::abs(height)) + le32(0) + le32(26) + le32(12)
            + le16(width) + le16(height) + le16(1) + le16(24);
}

// A run-length bitmap of red rows (at most 255 pixels wide), each one run and an end of row,
// its data's size left out.
QByteArray runLengthBitmap(qint16 bits, qint32 width, qint32 rows)
{
    QByteArray file = bitmapHeader(width, rows, bits == 8 ? 1 : 2, bits);
    file.replace(10, 4, le32(54 + 8)); // the pixels after two colours
    file.replace(34, 4, le32(0));
    file.replace(46, 4, le32(2));
    file += le32(0) + le32(0x00ff0000);
    for (int row = 0; row < rows; ++row)
        file += char(width) + QByteArray(1, char(bits == 8 ? 0x01 : 0x11)) + le16(0);
    return file + le16(0x0100);
}

MediaFile openIn(const QString &path)
{
    auto opened = openMediaFile(path);
    return opened ? std::move(opened).value() : MediaFile();
}

MediaFile openIn(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(u"file"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return {};
    file.close();
    return openIn(path);
}

QByteArray shipped(const QString &name)
{
    QFile file(qEnvironmentVariable("TOVEMI_SOURCE_DIR") + u"/media/files/"_s + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray tone(qint64 frames, int channels)
{
    QByteArray data(frames * channels * 2, Qt::Uninitialized);
    for (qint64 i = 0; i < frames * channels; ++i)
        qToLittleEndian(qint16((i * 37) % 20000 - 10000), data.data() + i * 2);
    return data;
}

} // namespace

class TestMediaFiles : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void reshapedForTheStream_data();
    void reshapedForTheStream();
    void soundFormats_data();
    void soundFormats();
    void soundLevels_data();
    void soundLevels();
    void aLongSoundIsReadAsItPlays();
    void pictureCorner_data();
    void pictureCorner();
    void pictureRunLength_data();
    void pictureRunLength();
    void pictureRefused_data();
    void pictureRefused();
};

void TestMediaFiles::reshapedForTheStream_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QList<qint16>>("levels");
    QTest::addColumn<QList<qint16>>("output");
    QTest::newRow("stereo at the stream's rate, unchanged")
            << 2 << 44100 << QList<qint16> { 1, 2, 3, 4, -5, 6 }
            << QList<qint16> { 1, 2, 3, 4, -5, 6 };
    QTest::newRow("mono to both sides, half rate interpolated")
            << 1 << 22050 << QList<qint16> { 0, 1000 }
            << QList<qint16> { 0, 0, 500, 500, 1000, 1000, 1000, 1000 };
    QTest::newRow("of six channels the front pair")
            << 6 << 44100 << QList<qint16> { 1, 2, 9, 9, 9, 9, 3, 4, 9, 9, 9, 9 }
            << QList<qint16> { 1, 2, 3, 4 };
    QTest::newRow("double rate takes every other frame")
            << 1 << 88200 << QList<qint16> { 0, 10, 20, 30 } << QList<qint16> { 0, 0, 20, 20 };
    QTest::newRow("full scale stays in range")
            << 1 << 32000 << QList<qint16> { -32768, 32767, -32768 } << QList<qint16> {};
}

void TestMediaFiles::reshapedForTheStream()
{
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(QList<qint16>, levels);
    QFETCH(QList<qint16>, output);
    // As libsndfile gives any file: full scale at 1.0.
    QList<float> input;
    for (const qint16 level : levels)
        input << level / 32768.f;
    const std::size_t frames = std::size_t(input.size() / channels);
    std::vector<std::int16_t> whole;
    Resampler stream(channels, rate);
    stream.push(input.constData(), frames, whole);
    stream.finish(whole);
    if (!output.isEmpty())
        QCOMPARE(QList<qint16>(whole.begin(), whole.end()), output);
    // The stream plays as long as the file did, to within a frame.
    const double expected = double(frames) * StreamRate / rate;
    QVERIFY2(std::abs(double(whole.size() / 2) - expected) <= 1.0,
             qPrintable(u"%1 frames for %2"_s.arg(whole.size() / 2).arg(expected)));

    // Fed a frame at a time, with the state copied between frames as a long sound's start
    // hands over to the rest of its file, the output is the same.
    std::vector<std::int16_t> pieces;
    Resampler first(channels, rate);
    for (std::size_t i = 0; i < frames; ++i) {
        Resampler next = first;
        next.push(input.constData() + i * std::size_t(channels), 1, pieces);
        first = next;
    }
    first.finish(pieces);
    QCOMPARE(pieces, whole);
}

void TestMediaFiles::soundFormats_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("refused");
    QTest::newRow("mono 22050") << waveFile(1, 22050, tone(500, 1)) << QString();
    QTest::newRow("stereo 48000") << waveFile(2, 48000, tone(500, 2)) << QString();
    QTest::newRow("rate 2^31") << waveFile(1, qint64(1) << 31, tone(500, 1)) << u"読めません"_s;
    QTest::newRow("rate 2^31-1") << waveFile(1, 0x7fffffff, tone(500, 1))
                                 << u"サンプリング周波数"_s;
    QTest::newRow("1024 channels") << waveFile(1024, 44100, tone(10, 1024)) << u"チャンネル数"_s;
    QTest::newRow("0 channels") << waveFile(0, 44100, tone(10, 1)) << u"読めません"_s;
    QTest::newRow("no samples") << waveFile(1, 44100, {}) << u"音が入っていません"_s;
    QTest::newRow("a picture") << bitmapHeader(2, 2) + QByteArray(16, 'x') << u"読めません"_s;
}

void TestMediaFiles::soundFormats()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, refused);
    MediaFile opened = openIn(dir, file);
    QVERIFY(opened.fd() >= 0);
    auto decoded = decodeSound(std::move(opened));
    if (refused.isEmpty()) {
        QVERIFY2(decoded, qPrintable(decoded.errorString()));
        QVERIFY(decoded->start->whole);
    } else {
        QVERIFY(!decoded);
        QVERIFY2(decoded.errorString().contains(refused), qPrintable(decoded.errorString()));
    }
}

void TestMediaFiles::soundLevels_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QList<double>>("written");
    QTest::addColumn<QList<qint16>>("played");
    // Floating point is full scale at 1.0, and may go beyond it, as editors save it.
    const QList<double> floats { 0.5, -0.25, 1.5, -2.0, 1.0, -1.0, qQNaN(), -qInf(), 0.25 };
    const QList<qint16> levels { 16384, -8192, 32767, -32768, 32767, -32768, 0, -32768, 8192 };
    QTest::newRow("32-bit float") << (SF_FORMAT_WAV | SF_FORMAT_FLOAT) << floats << levels;
    QTest::newRow("64-bit float") << (SF_FORMAT_WAV | SF_FORMAT_DOUBLE) << floats << levels;
    QTest::newRow("16-bit, as stored")
            << (SF_FORMAT_WAV | SF_FORMAT_PCM_16) << QList<double> { 16384, -32768, 32767, -1 }
            << QList<qint16> { 16384, -32768, 32767, -1 };
}

void TestMediaFiles::soundLevels()
{
    QFETCH(int, format);
    QFETCH(QList<double>, written);
    QFETCH(QList<qint16>, played);
    const QString path = dir.filePath(u"level.wav"_s);
    SF_INFO info { 0, StreamRate, 1, format, 0, 0 };
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    // The values go into the file as they are: 16-bit ones as integers.
    sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    QCOMPARE(sf_writef_double(file, written.constData(), written.size()), written.size());
    sf_close(file);

    auto decoded = decodeSound(openIn(path));
    QVERIFY2(decoded, qPrintable(decoded.errorString()));
    QList<qint16> bothSides;
    for (const qint16 level : played)
        bothSides << level << level;
    const std::vector<std::int16_t> &samples = decoded->start->samples;
    QCOMPARE(QList<qint16>(samples.begin(), samples.end()), bothSides);
}

void TestMediaFiles::aLongSoundIsReadAsItPlays()
{
    // Ten seconds, of which only the start is kept; the rest comes from the file as it plays,
    // and a second playing resumes from a new descriptor where the kept start ends.
    const qint64 frames = 10 * 22050;
    const QByteArray file = waveFile(1, 22050, tone(frames, 1));
    auto decoded = decodeSound(openIn(dir, file));
    QVERIFY2(decoded, qPrintable(decoded.errorString()));
    DecodedSound &sound = decoded.value();
    QVERIFY(!sound.start->whole);
    // Decoded a piece at a time, the start ends within one piece after the kept length.
    QVERIFY(sound.start->samples.size() >= StartFrames * StreamChannels);
    QVERIFY(sound.start->samples.size() < (StartFrames + 8192) * StreamChannels);

    auto playAll = [](SoundSource &source) {
        std::vector<std::int16_t> all;
        std::vector<std::int16_t> piece(441 * StreamChannels);
        while (const std::size_t got = source.read(piece.data(), 441))
            all.insert(all.end(), piece.begin(), piece.begin() + qsizetype(got) * StreamChannels);
        return all;
    };
    const std::vector<std::int16_t> first = playAll(*sound.source);
    QCOMPARE(first.size(), std::size_t(frames * 2 * StreamChannels));

    auto resumed = resumeSound(openIn(dir, file), sound.start);
    QVERIFY2(resumed, qPrintable(resumed.errorString()));
    QCOMPARE(playAll(*resumed.value()), first);
}

void TestMediaFiles::pictureCorner_data()
{
    QTest::addColumn<qint32>("width");
    QTest::addColumn<qint32>("height");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<bool>("os2");
    QTest::newRow("smaller than the box, whole") << 40 << 30 << QSize(40, 30) << false;
    QTest::newRow("wide, cut at the right") << 300 << 50 << QSize(81, 50) << false;
    QTest::newRow("5500 × 5500, the corner only") << 5500 << 5500 << QSize(81, 81) << false;
    QTest::newRow("stored top-down") << 200 << -200 << QSize(81, 81) << false;
    QTest::newRow("2^31-1 wide") << 0x7fffffff << 2 << QSize(81, 2) << false;
    QTest::newRow("2^31-1 tall, its top stored last") << 1 << 0x7fffffff << QSize(1, 81) << false;
    QTest::newRow("OS/2, whole") << 40 << 30 << QSize(40, 30) << true;
    QTest::newRow("OS/2, 30000 × 300, the corner only") << 30000 << 300 << QSize(81, 81) << true;
    QTest::newRow("OS/2, stored top-down") << 200 << -200 << QSize(81, 81) << true;
}

void TestMediaFiles::pictureCorner()
{
    QFETCH(qint32, width);
    QFETCH(qint32, height);
    QFETCH(QSize, shown);
    QFETCH(bool, os2);
    // Each pixel's colour tells where it was: red its column, green its row from the top. Only
    // the corner is written; the rest of a file of any size stays a hole.
    const qint64 rows = std::abs(qint64(height));
    const qint64 rowBytes = (24 * qint64(width) + 31) / 32 * 4;
    QFile file(dir.filePath(u"corner.bmp"_s));
    QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
    const QByteArray header =
            os2 ? os2BitmapHeader(qint16(width), qint16(height)) : bitmapHeader(width, height);
    QVERIFY(file.write(header) == header.size() && file.resize(header.size() + rowBytes * rows));
    for (int y = 0; y < std::min<qint64>(rows, 81); ++y) {
        QByteArray row(std::min(width, 100) * 3, '\0');
        for (int x = 0; x < std::min(width, 100); ++x) {
            row[x * 3 + 2] = char(x);
            row[x * 3 + 1] = char(y);
        }
        QVERIFY(file.seek(header.size() + (height > 0 ? rows - 1 - y : y) * rowBytes));
        QCOMPARE(file.write(row), row.size());
    }
    QVERIFY(file.seek(0));
    const auto read = readPictureTopLeft(file, QSize(81, 81));
    QVERIFY2(read, qPrintable(read.errorString()));
    const QImage picture = read.value();
    QCOMPARE(picture.size(), shown);
    for (const QPoint at : { QPoint(0, 0), QPoint(shown.width() - 1, shown.height() - 1),
                             QPoint(shown.width() / 2, shown.height() / 2) })
        QCOMPARE(QColor(picture.pixel(at)), QColor(at.x(), at.y(), 0));
}

void TestMediaFiles::pictureRunLength_data()
{
    QTest::addColumn<qint16>("bits");
    QTest::newRow("8 bits") << qint16(8);
    QTest::newRow("4 bits") << qint16(4);
}

// Whole run-length data with its size left out in the header is not taken for cut off.
void TestMediaFiles::pictureRunLength()
{
    QFETCH(qint16, bits);
    QByteArray file = runLengthBitmap(bits, 20, 30);
    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const auto read = readPictureTopLeft(buffer, QSize(81, 81));
    QVERIFY2(read, qPrintable(read.errorString()));
    QCOMPARE(read->size(), QSize(20, 30));
    QCOMPARE(QColor(read->pixel(19, 29)), QColor(Qt::red));
}

void TestMediaFiles::pictureRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    // A compressed bitmap cannot be cut while stored, so it is decoded whole, which Qt's
    // allocation limit forbids at this size.
    QByteArray compressed = bitmapHeader(9000, 9000, 1, 8) + QByteArray(1024 + 64, '\0');
    compressed.replace(34, 4, le32(64)); // all its data is there
    QTest::newRow("9000 × 9000, compressed") << compressed << u"大きすぎます"_s;
    QTest::newRow("not a picture") << waveFile(1, 22050, tone(100, 1)) << u"画像として読めません"_s;
    QTest::newRow("a bitmap cut off in its header")
            << bitmapHeader(4, 4).left(40) << u"画像として読めません"_s;
    // Qt would show whatever the memory held in place of the rows that are not there.
    QTest::newRow("batu1.bmp cut off at 3,000 bytes")
            << shipped(u"batu1.bmp"_s).left(3000) << u"途中で切れています"_s;
    QTest::newRow("a bitmap with no pixels") << bitmapHeader(4, 4) << u"途中で切れています"_s;
    // Only its top rows are decoded into memory, but the rest of its data is still read.
    QByteArray tallPng;
    QBuffer png(&tallPng);
    QImage tall(90, 900, QImage::Format_RGB32);
    for (int y = 0; y < tall.height(); ++y)
        for (int x = 0; x < tall.width(); ++x)
            tall.setPixel(x, y, qRgb(x, y % 256, (x * y) % 256));
    QVERIFY(png.open(QIODevice::WriteOnly) && tall.save(&png, "PNG"));
    QTest::newRow("a tall PNG cut off below the box")
            << tallPng.left(tallPng.size() * 3 / 4) << u"画像として読めません"_s;
    // Its header is rewritten for the box's rows only when it is sound.
    QByteArray badHeader = tallPng;
    badHeader[20] = '\x7f';
    QTest::newRow("a tall PNG whose header is damaged") << badHeader << u"画像として読めません"_s;
    QTest::newRow("2^31-1 × 2^31-1") << bitmapHeader(0x7fffffff, 0x7fffffff) + QByteArray(4096, 'x')
                                     << u"途中で切れています"_s;
    QTest::newRow("an OS/2 bitmap cut off halfway")
            << os2BitmapHeader(20, 20) + QByteArray(60 * 10, 'x') << u"途中で切れています"_s;
    const QByteArray runs8 = runLengthBitmap(8, 20, 30);
    QTest::newRow("run-length 8 cut off, its data's size left out")
            << runs8.left(runs8.size() / 2) << u"途中で切れています"_s;
    const QByteArray runs4 = runLengthBitmap(4, 20, 30);
    QTest::newRow("run-length 4 cut off, its data's size left out")
            << runs4.left(runs4.size() / 2) << u"途中で切れています"_s;
    QTest::newRow("0 × 0") << bitmapHeader(0, 0) + QByteArray(16, 'x')
                           << u"画像の大きさが 0 × 0 ピクセルです"_s;
    QTest::newRow("0 wide") << bitmapHeader(0, 4) + QByteArray(16, 'x')
                            << u"画像の幅が 0 ピクセルです（高さは 4 ピクセル）"_s;
    QTest::newRow("0 tall") << bitmapHeader(4, 0) + QByteArray(16, 'x')
                            << u"画像の高さが 0 ピクセルです（幅は 4 ピクセル）"_s;
    QTest::newRow("2 bits a pixel") << bitmapHeader(4, 4, 0, 2) + QByteArray(64, 'x')
                                    << u"1 ピクセル 2 ビットの画像は読めません"_s;
    // Beyond Qt's own limit for bitmaps, which it does not name.
    QByteArray huge = runLengthBitmap(8, 30000, 0);
    huge.replace(22, 4, le32(30000));
    QTest::newRow("30000 × 30000, run-length 8")
            << huge
            << u"画像が大きすぎます（30000 × 30000 ピクセル、読める大きさは %1 MB まで）"_s.arg(
                       QImageReader::allocationLimit());
    huge.replace(18, 8, QByteArray(le32(0x7fffffff) + le32(0x7fffffff)));
    QTest::newRow("2^31-1 × 2^31-1, run-length 8") << huge << u"画像が大きすぎます"_s;
}

void TestMediaFiles::pictureRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const auto read = readPictureTopLeft(buffer, QSize(81, 81));
    QVERIFY(!read);
    QVERIFY2(read.errorString().contains(reason), qPrintable(read.errorString()));
}

QTEST_GUILESS_MAIN(TestMediaFiles)
#include "tst_media_files.moc"
