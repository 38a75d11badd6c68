// Number texts: fixed decimals for the boxes, trailing zeros, and reading typed answers back.
#include "display/number_text.h"
#include "drill/problem_set.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The Double nearest to the decimal a text shows, read by the C library, not by ReadNumber.
double decimalOf(const QString &text)
{
    return std::strtod(text.trimmed().toLatin1().constData(), nullptr);
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void formatFixed_data();
    void formatFixed();
    void trimZeros_data();
    void trimZeros();
    void readNumber_data();
    void readNumber();
    void malformedTextIsNotANumber_data();
    void malformedTextIsNotANumber();
    void everyShownTextReadsBackAsItsValue_data();
    void everyShownTextReadsBackAsItsValue();
    void everyAcceptablePairRoundTrips();
};

void TestNumberText::formatFixed_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::newRow("37, 6, 0") << 37.0 << 6 << 0 << u"    37"_s;
    QTest::newRow("7, 6, 2") << 7.0 << 6 << 2 << u"  7.00"_s;
    QTest::newRow("0.045, 6, 3") << 0.045 << 6 << 3 << u" 0.045"_s;
    QTest::newRow("3.6, 4, 0 rounds") << 3.6 << 4 << 0 << u"   4"_s;
    QTest::newRow("a step above 7") << 7.000000000000001 << 6 << 2 << u"  7.00"_s;
    QTest::newRow("a step below 0.29") << 0.28999999999999998 << 6 << 2 << u"  0.29"_s;
    QTest::newRow("half away from zero 0.125") << 0.125 << 6 << 2 << u"  0.13"_s;
    QTest::newRow("half away from zero 2.5") << 2.5 << 1 << 0 << u"3"_s;
    QTest::newRow("negative -1") << -1.0 << 6 << 2 << u" -1.00"_s;
    QTest::newRow("negative half -0.5") << -0.5 << 1 << 0 << u"-1"_s;
    QTest::newRow("carry 9.996") << 9.996 << 6 << 2 << u" 10.00"_s;
    QTest::newRow("carry 99.96, 1 decimal") << 99.96 << 6 << 1 << u" 100.0"_s;
    QTest::newRow("zero") << 0.0 << 6 << 2 << u"  0.00"_s;
    QTest::newRow("below one") << 0.001 << 1 << 3 << u"0.001"_s;
    QTest::newRow("tiny rounds to zero") << 0.0004 << 6 << 3 << u" 0.000"_s;
    QTest::newRow("longer than the width, never cut") << 123456.789 << 3 << 2 << u"123456.79"_s;
    QTest::newRow("buai rin 10 from 9.99999") << 9.9999999999999964 << 4 << 0 << u"  10"_s;
    QTest::newRow("large whole") << 1e20 << 1 << 0 << u"100000000000000000000"_s;
    QTest::newRow("exponent form from 1e36") << 1e36 << 1 << 2 << u"1.00000000000000004E+36"_s;
}

void TestNumberText::formatFixed()
{
    QFETCH(double, x);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(FormatFixed(x, width, decimals), text);
}

void TestNumberText::trimZeros_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("7.00 keeps its blanks") << u"  7.00"_s << u"  7"_s;
    QTest::newRow("28.50") << u"28.50"_s << u"28.5"_s;
    QTest::newRow("0.28 stays") << u"0.28"_s << u"0.28"_s;
    QTest::newRow("0.00") << u"0.00"_s << u"0"_s;
    QTest::newRow("100 without a point stays") << u"   100"_s << u"   100"_s;
    QTest::newRow("10.0") << u"10.0"_s << u"10"_s;
    QTest::newRow("a point alone") << u"."_s << u""_s;
    QTest::newRow("empty") << u""_s << u""_s;
}

void TestNumberText::trimZeros()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimZeros(text), trimmed);
}

void TestNumberText::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << u""_s << 0.0;
    QTest::newRow("0.5") << u"0.5"_s << 0.5;
    QTest::newRow("0.50") << u"0.50"_s << 0.5;
    QTest::newRow(".5") << u".5"_s << 0.5;
    QTest::newRow("+.5") << u"+.5"_s << 0.5;
    QTest::newRow("+0.5") << u"+0.5"_s << 0.5;
    QTest::newRow("5e-1") << u"5e-1"_s << 0.5;
    QTest::newRow("leading blanks") << u"   0.5"_s << 0.5;
    QTest::newRow("trailing blank") << u"0.5 "_s << 0.5;
    QTest::newRow("full-width 0.5") << u"０．５"_s << 0.5;
    QTest::newRow("full-width minus 12") << u"－１２"_s << -12.0;
    QTest::newRow("ideographic blanks") << u"\u3000７\u3000"_s << 7.0;
    QTest::newRow("7.") << u"7."_s << 7.0;
    QTest::newRow("a point alone") << u"."_s << 0.0;
    QTest::newRow("-1") << u"-1"_s << -1.0;
    QTest::newRow("exponent E+2") << u"1.5E+2"_s << 150.0;
    QTest::newRow("nearest double 0.1") << u"0.1"_s << 0.1;
    QTest::newRow("nearest double 0.29") << u"0.29"_s << 0.29;
    QTest::newRow("too large is infinity") << u"1e400"_s << std::numeric_limits<double>::infinity();
    QTest::newRow("huge exponent") << u"1e99999999999999999999"_s << std::numeric_limits<double>::infinity();
    QTest::newRow("too small is zero") << u"1e-400"_s << 0.0;
    QTest::newRow("10,000 digits") << QString(10000, u'9') << std::numeric_limits<double>::infinity();
    QTest::newRow("many zeros then 5") << (u"0."_s + QString(500, u'0') + u"5e500"_s) << 0.5;
}

void TestNumberText::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ReadNumber(text), value);
}

void TestNumberText::malformedTextIsNotANumber_data()
{
    QTest::addColumn<QString>("text");
    for (const QString &text : { u"1.5x"_s, u"0.5x"_s, u"-3x"_s, u"abc"_s, u"+"_s, u"-"_s, u"5e"_s,
                                 u"5e+"_s, u"1.2.3"_s, u"1 2"_s, u"   "_s, u"\t1"_s, u"1,5"_s,
                                 u"😀"_s, u"０x"_s, u"e5"_s, u"--1"_s, u"?"_s, u"？"_s })
        QTest::newRow(qPrintable(text)) << text;
}

void TestNumberText::malformedTextIsNotANumber()
{
    QFETCH(QString, text);
    const double value = ReadNumber(text);
    QVERIFY2(std::isnan(value), qPrintable(QString::number(value)));
}

void TestNumberText::everyShownTextReadsBackAsItsValue_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 1; kind <= 10; ++kind)
        QTest::addRow("kind %d", kind) << kind;
}

void TestNumberText::everyShownTextReadsBackAsItsValue()
{
    QFETCH(int, kind);
    struct Format
    {
        int field, width, decimals;
    };
    // The widths and decimals the boxes and the reveal use.
    const bool buai = kind >= 9;
    const Format formats[] = {
        { 1, 6, 0 }, { 2, 6, 0 }, { 3, 6, 0 }, { 4, 6, buai ? 1 : 2 }, { 5, 6, buai ? 3 : 2 },
        { 6, 6, 2 }, { 2, 2, 0 }, { 6, 6, 0 }, { 5, 6, 3 },
    };
    RandomGenerator rng;
    ProblemTableData table;
    for (quint32 seed : { 1u, 777u, 86399999u }) {
        rng.seed = seed;
        MakeProblemTable(table, kind, rng);
        for (const ProblemRow &row : table.rows) {
            for (const Format &f : formats) {
                const double v = std::abs(row.field(f.field));
                const QString text = FormatFixed(v, f.width, f.decimals);
                QCOMPARE(ReadNumber(text), decimalOf(text));
                QCOMPARE(ReadNumber(TrimZeros(text)), decimalOf(text));
            }
        }
    }
}

void TestNumberText::everyAcceptablePairRoundTrips()
{
    int pairs = 0;
    for (int a = 1; a <= 100; ++a) {
        for (int n = 1; n <= 999; ++n) {
            const double c = n / 100.0;
            const double d = a * c;
            if (d - std::trunc(d) > 0)
                continue;
            ++pairs;
            // The decimals these values must show, worked out in whole hundredths.
            const QString ratio = QString::asprintf("%d.%02d", n / 100, n % 100);
            QCOMPARE(FormatFixed(c, 6, 2).trimmed(), ratio);
            QCOMPARE(ReadNumber(TrimZeros(FormatFixed(c, 6, 2))), decimalOf(ratio));
            QCOMPARE(FormatFixed(d, 6, 2).trimmed(), QString::asprintf("%d.00", a * n / 100));
            QCOMPARE(ReadNumber(TrimZeros(FormatFixed(d, 6, 2))), double(a * n / 100));
            QCOMPARE(FormatFixed(c * 100, 6, 2).trimmed(), QString::asprintf("%d.00", n));
            QCOMPARE(ReadNumber(TrimZeros(FormatFixed(c * 100, 6, 2))), double(n));
            // The buai kinds show the same values a tenth as large.
            const QString thousandths = QString::asprintf("%d.%03d", n / 1000, n % 1000);
            QCOMPARE(FormatFixed(c * 0.1, 6, 3).trimmed(), thousandths);
        }
    }
    QCOMPARE(pairs, 4766);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
