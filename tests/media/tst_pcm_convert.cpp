// Reshaping decoded sound for an output that will not take the file's own format.
#include "media/pcm_convert.h"

#include <QtTest>

#include <cstring>
#include <vector>

namespace {

QByteArray int16s(std::vector<qint16> values)
{
    return QByteArray(
        reinterpret_cast<const char *>(values.data()), qsizetype(values.size() * sizeof(qint16)));
}

template<typename T> QByteArray bytesOf(std::vector<T> values)
{
    return QByteArray(
        reinterpret_cast<const char *>(values.data()), qsizetype(values.size() * sizeof(T)));
}

QAudioFormat format(int rate, int channels, QAudioFormat::SampleFormat sample)
{
    QAudioFormat f;
    f.setSampleRate(rate);
    f.setChannelCount(channels);
    f.setSampleFormat(sample);
    return f;
}

} // namespace

class TestPcmConvert : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void convert_data();
    void convert();
};

void TestPcmConvert::convert_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QAudioFormat>("to");
    QTest::addColumn<QByteArray>("expected");

    const auto Int16 = QAudioFormat::Int16;
    QTest::newRow("same shape: unchanged")
        << int16s({ 5, -7, 32767, -32768 }) << 1 << 22050 << format(22050, 1, Int16)
        << int16s({ 5, -7, 32767, -32768 });
    QTest::newRow("mono to stereo: both sides")
        << int16s({ 100, -200 }) << 1 << 22050 << format(22050, 2, Int16)
        << int16s({ 100, 100, -200, -200 });
    QTest::newRow("stereo to mono: the mean") << int16s({ 100, 300, -100, -300 }) << 2 << 22050
                                              << format(22050, 1, Int16) << int16s({ 200, -200 });
    QTest::newRow("stereo to four channels: the extra ones get the mean")
        << int16s({ 100, 300 }) << 2 << 22050 << format(22050, 4, Int16)
        << int16s({ 100, 300, 200, 200 });
    QTest::newRow("double rate: halfway samples between, last held")
        << int16s({ 0, 1000 }) << 1 << 22050 << format(44100, 1, Int16)
        << int16s({ 0, 500, 1000, 1000 });
    QTest::newRow("half rate: every other sample")
        << int16s({ 0, 10, 20, 30 }) << 1 << 44100 << format(22050, 1, Int16) << int16s({ 0, 20 });
    QTest::newRow("to float: full scale is 1")
        << int16s({ 16384, -32768, 0 }) << 1 << 8000 << format(8000, 1, QAudioFormat::Float)
        << bytesOf<float>({ 0.5f, -1.0f, 0.0f });
    QTest::newRow("to 32-bit: the high half")
        << int16s({ 1, -1, 32767 }) << 1 << 8000 << format(8000, 1, QAudioFormat::Int32)
        << bytesOf<qint32>({ 65536, -65536, 32767 * 65536 });
    QTest::newRow("to unsigned 8-bit: offset, and the loudest stays in range")
        << int16s({ 32767, -32768, 0, 256 }) << 1 << 8000 << format(8000, 1, QAudioFormat::UInt8)
        << bytesOf<quint8>({ 255, 0, 128, 129 });
    QTest::newRow("no sample format: nothing")
        << int16s({ 1, 2 }) << 1 << 8000 << format(8000, 1, QAudioFormat::Unknown) << QByteArray();
    QTest::newRow("no sound: nothing")
        << QByteArray() << 1 << 22050 << format(48000, 2, QAudioFormat::Float) << QByteArray();
}

void TestPcmConvert::convert()
{
    QFETCH(QByteArray, in);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(QAudioFormat, to);
    QFETCH(QByteArray, expected);
    QCOMPARE(ConvertPcm(in, channels, rate, to), expected);
}

QTEST_GUILESS_MAIN(TestPcmConvert)
#include "tst_pcm_convert.moc"
