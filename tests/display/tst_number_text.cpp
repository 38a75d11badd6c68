// Number texts: fixed decimals for the boxes, trailing zeros, and reading typed answers back.
#include "display/number_text.h"
#include "display/problem_display.h"
#include "drill/problem_set.h"

#include <QtTest>

#include <clocale>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

// Doubles compared bit for bit (QCOMPARE on doubles is fuzzy, and judging is not): a hex float
// also tells -0 from 0 and prints the difference of a single rounding step.
QString exact(double x)
{
    char text[40];
    std::snprintf(text, sizeof text, "%a", x);
    return QString::fromLatin1(text);
}

// The Double nearest to the decimal a text shows, read by the C library, not by ReadNumber.
double decimalOf(const QString &text)
{
    return std::strtod(text.trimmed().toLatin1().constData(), nullptr);
}

// ReadNumber gives for the text, with or without its trailing zeros and its leading blanks,
// the Double of the decimal the text shows.
bool readsBackAsShown(const QString &text)
{
    const QString shown = exact(decimalOf(text));
    return exact(ReadNumber(text)) == shown && exact(ReadNumber(TrimZeros(text))) == shown
            && exact(ReadNumber(TrimZeros(text).trimmed())) == shown;
}

} // namespace

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C"); // for strtod, the reference
    }
    void formatFixed_data();
    void formatFixed();
    void widthIsLimitedTo255();
    void trimZeros_data();
    void trimZeros();
    void readNumber_data();
    void readNumber();
    void malformedTextIsNotANumber_data();
    void malformedTextIsNotANumber();
    void everyShownTextReadsBackAsItsValue_data();
    void everyShownTextReadsBackAsItsValue();
    void everyAcceptablePairRoundTrips();
    void anyValueReadsBackAsShown();
    void shortTextsReadAsTheCLibraryReadsThem();
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
    QTest::newRow("a step below 23, whole") << 22.999999999999996 << 6 << 0 << u"    23"_s;
    // 0.285 is held as 0.28499999999999997558: 18 digits keep it below the half.
    QTest::newRow("0.285 is below the half") << 0.285 << 6 << 2 << u"  0.28"_s;
    QTest::newRow("half away from zero 0.125") << 0.125 << 6 << 2 << u"  0.13"_s;
    QTest::newRow("half away from zero 2.5") << 2.5 << 1 << 0 << u"3"_s;
    QTest::newRow("half away from zero 0.5") << 0.5 << 1 << 0 << u"1"_s;
    QTest::newRow("negative -1") << -1.0 << 6 << 2 << u" -1.00"_s;
    QTest::newRow("negative half -0.5") << -0.5 << 1 << 0 << u"-1"_s;
    QTest::newRow("negative zero has no sign") << -0.0 << 1 << 1 << u"0.0"_s;
    QTest::newRow("carry 9.996") << 9.996 << 6 << 2 << u" 10.00"_s;
    QTest::newRow("carry 99.96, 1 decimal") << 99.96 << 6 << 1 << u" 100.0"_s;
    QTest::newRow("carry from below one") << 0.9996 << 1 << 3 << u"1.000"_s;
    QTest::newRow("zero") << 0.0 << 6 << 2 << u"  0.00"_s;
    QTest::newRow("below one") << 0.001 << 1 << 3 << u"0.001"_s;
    QTest::newRow("tiny rounds to zero") << 0.0004 << 6 << 3 << u" 0.000"_s;
    QTest::newRow("smallest subnormal") << 5e-324 << 1 << 3 << u"0.000"_s;
    QTest::newRow("longer than the width, never cut") << 123456.789 << 3 << 2 << u"123456.79"_s;
    QTest::newRow("width 0") << 5.0 << 0 << 0 << u"5"_s;
    QTest::newRow("buai rin 10 from 9.99999") << 9.9999999999999964 << 4 << 0 << u"  10"_s;
    QTest::newRow("large whole") << 1e20 << 1 << 0 << u"100000000000000000000"_s;
    QTest::newRow("beyond 18 digits are zeros")
            << 123456789012345678901.0 << 1 << 1 << u"123456789012345684000.0"_s;
    QTest::newRow("just below 1e36 is fixed")
            << 9.99e35 << 1 << 0 << u"998999999999999954000000000000000000"_s;
    QTest::newRow("exponent form from 1e36") << 1e36 << 1 << 2 << u"1.00000000000000004E+36"_s;
    QTest::newRow("negative exponent form")
            << -2.5e300 << 26 << 0 << u" -2.50000000000000013E+300"_s;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 6 << 2 << u"   NAN"_s;
    QTest::newRow("infinity") << Inf << 1 << 2 << u"INF"_s;
    QTest::newRow("-infinity") << -Inf << 6 << 2 << u"  -INF"_s;
}

void TestNumberText::formatFixed()
{
    QFETCH(double, x);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QCOMPARE(FormatFixed(x, width, decimals), text);
}

void TestNumberText::widthIsLimitedTo255()
{
    QCOMPARE(FormatFixed(7, 1000, 2), QString(251, u' ') + u"7.00"_s);
    QCOMPARE(FormatFixed(7, 255, 2).size(), 255);
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
    QTest::newRow("7.") << u"7."_s << 7.0;
    QTest::newRow("a point alone") << u"."_s << 0.0;
    QTest::newRow("a signed point") << u"+."_s << 0.0;
    QTest::newRow("a negative point") << u"-."_s << -0.0;
    QTest::newRow("an exponent without digits before it") << u"e5"_s << 0.0;
    QTest::newRow("-1") << u"-1"_s << -1.0;
    QTest::newRow("-0") << u"-0"_s << -0.0;
    QTest::newRow("exponent E+2") << u"1.5E+2"_s << 150.0;
    QTest::newRow("nearest double 0.1") << u"0.1"_s << 0.1;
    QTest::newRow("nearest double 0.29") << u"0.29"_s << 0.29;
    QTest::newRow("nearest double 0.285") << u"0.285"_s << 0.285;
    QTest::newRow("largest double")
            << u"1.7976931348623157e308"_s << std::numeric_limits<double>::max();
    QTest::newRow("half a step above the largest") << u"1.7976931348623159e308"_s << Inf;
    QTest::newRow("smallest subnormal")
            << u"4.9406564584124654e-324"_s << std::numeric_limits<double>::denorm_min();
    QTest::newRow("below half the smallest subnormal") << u"2e-324"_s << 0.0;
    // Trailing blanks, and what a Japanese input method types.
    QTest::newRow("trailing blank") << u"0.5 "_s << 0.5;
    QTest::newRow("blanks around") << u"  12  "_s << 12.0;
    QTest::newRow("full-width 0.5") << u"０．５"_s << 0.5;
    QTest::newRow("full-width minus 12") << u"－１２"_s << -12.0;
    QTest::newRow("full-width plus, point alone") << u"＋．"_s << 0.0;
    QTest::newRow("full-width digits with an ASCII point") << u"２.５"_s << 2.5;
    QTest::newRow("ideographic blanks") << u"\u3000７\u3000"_s << 7.0;
    // Out of range and very long texts.
    QTest::newRow("too large is infinity") << u"1e400"_s << Inf;
    QTest::newRow("too large negative") << u"-1e400"_s << -Inf;
    QTest::newRow("huge exponent") << u"1e99999999999999999999"_s << Inf;
    QTest::newRow("too small is zero") << u"1e-400"_s << 0.0;
    QTest::newRow("too small negative") << u"-1e-99999999999999999999"_s << -0.0;
    QTest::newRow("zero with a huge exponent") << u"0e99999999999999999999"_s << 0.0;
    QTest::newRow("10,000 nines") << QString(10000, u'9') << Inf;
    QTest::newRow("1 and 10,000 zeros, scaled back")
            << (u"1"_s + QString(10000, u'0') + u"e-10000"_s) << 1.0;
    QTest::newRow("10,000 zeros after the point, scaled back")
            << (u"0."_s + QString(9999, u'0') + u"5e9999"_s) << 0.5;
    QTest::newRow("exponent of 10,000 digits") << (u"1e"_s + QString(9999, u'0') + u"1"_s) << 10.0;
    // 2^53 + 1 lies halfway between two Doubles: the even one, unless any digit far behind
    // it tips the balance.
    QTest::newRow("halfway, 10,000 zeros behind")
            << (u"9007199254740993."_s + QString(10000, u'0')) << 9007199254740992.0;
    QTest::newRow("halfway, a 1 after 10,000 zeros")
            << (u"9007199254740993."_s + QString(10000, u'0') + u"1"_s) << 9007199254740994.0;
}

void TestNumberText::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(exact(ReadNumber(text)), exact(value));
}

void TestNumberText::malformedTextIsNotANumber_data()
{
    QTest::addColumn<QString>("text");
    // A list of texts, not a table: clang-format would set it in columns.
    // clang-format off
    for (const QString &text :
         { u"1.5x"_s, u"0.5x"_s, u"-3x"_s, u"abc"_s, u"+"_s, u"-"_s, u"－"_s, u"5e"_s, u"5e+"_s,
           u".e"_s, u"1.2.3"_s, u"1 2"_s, u"- 5"_s, u"   "_s, u"\u3000"_s, u"\t1"_s, u"1\t"_s,
           u"\u00a01"_s, u"1,5"_s, u"１ｅ５"_s, u"\u22121"_s, u"ー１"_s, u"😀"_s, u"０x"_s,
           u"--1"_s, u"+-1"_s, u"1e5.5"_s, u"inf"_s, u"nan"_s, u"0x10"_s, u"?"_s, u"？"_s,
           u"e"_s, u"\x01\x1b0.5\x7f"_s, u"😀0.5"_s, u"0．5x"_s, QString(1, QChar(0)),
           QString(u"1"_s + QChar(0)) })
        QTest::newRow(qPrintable(text)) << text;
    // clang-format on
}

void TestNumberText::malformedTextIsNotANumber()
{
    QFETCH(QString, text);
    const double value = ReadNumber(text);
    QVERIFY2(std::isnan(value), qPrintable(exact(value)));
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
    // The boxes Edit1..Edit6, the reveal, and the ratio of the buai kinds.
    const bool buai = kind >= 9;
    const Format formats[] = {
        { 1, 6, 0 },
        { 2, 6, 0 },
        { 3, 6, 0 },
        { 4, 6, buai ? 1 : 2 },
        { 5, 6, buai ? 3 : 2 },
        { 6, 6, 2 },
        { 1, 6, 0 },
        { 2, 2, 0 },
        { 3, 6, 0 },
        { 4, 6, 2 },
        { 5, 6, 2 },
        { 6, 6, 0 },
        { 5, 6, 3 },
    };
    const int digitWidths[] = { 1, 2, 3, 4 };
    RandomGenerator rng;
    ProblemTableData table;
    for (quint32 seed : { 1u, 777u, 86399999u, 0xdeadbeefu }) {
        rng.seed = seed;
        makeProblemTable(table, Kind(kind), rng);
        for (const ProblemRow &row : table.rows) {
            for (const Format &f : formats) {
                const QString text = FormatFixed(std::abs(row.field(f.field)), f.width, f.decimals);
                QVERIFY2(readsBackAsShown(text), qPrintable(text));
            }
            const BuaiDigits d = buaiDigitsOf(std::abs(row.ComparedPercent));
            for (double digit : { d.wari, d.bu, d.rin }) {
                for (int width : digitWidths) {
                    const QString text = FormatFixed(digit, width, 0);
                    QVERIFY2(readsBackAsShown(text), qPrintable(text));
                }
            }
        }
    }
}

void TestNumberText::everyAcceptablePairRoundTrips()
{
    for (int a = 1; a <= 100; ++a) {
        for (int n = 1; n <= 999; ++n) {
            // Every pair with a whole product in whole arithmetic, also those the problem set
            // leaves out for a Double product a step off.
            if (a * n % 100 != 0)
                continue;
            const double c = n / 100.0;
            const double d = a * c;
            // The decimals these values must show, worked out in whole hundredths.
            const QString ratio = QString::asprintf("%d.%02d", n / 100, n % 100);
            QCOMPARE(FormatFixed(c, 6, 2).trimmed(), ratio);
            QCOMPARE(exact(ReadNumber(TrimZeros(FormatFixed(c, 6, 2)))), exact(decimalOf(ratio)));
            QCOMPARE(FormatFixed(d, 6, 2).trimmed(), QString::asprintf("%d.00", a * n / 100));
            QCOMPARE(exact(ReadNumber(TrimZeros(FormatFixed(d, 6, 2)))), exact(a * n / 100));
            QCOMPARE(FormatFixed(c * 100, 6, 2).trimmed(), QString::asprintf("%d.00", n));
            QCOMPARE(exact(ReadNumber(TrimZeros(FormatFixed(c * 100, 6, 2)))), exact(n));
            // The buai kinds show the same values a tenth as large.
            const QString thousandths = QString::asprintf("%d.%03d", n / 1000, n % 1000);
            QCOMPARE(FormatFixed(c * 0.1, 6, 3).trimmed(), thousandths);
        }
    }
}

void TestNumberText::anyValueReadsBackAsShown()
{
    // Values of every size a box could get, drawn as decimals of up to 8 digits and as raw bits.
    std::mt19937_64 bits(20261207);
    std::uniform_int_distribution<int> widths(1, 6), decimals(0, 3), exponents(-12, 35);
    for (int i = 0; i < 100000; ++i) {
        const double x = i % 2 ? std::ldexp(double(bits() >> 11), exponents(bits) * 3 - 53)
                               : double(bits() % 100000000) * std::pow(10.0, exponents(bits) - 20);
        const QString text = FormatFixed(x, widths(bits), decimals(bits));
        QVERIFY2(readsBackAsShown(text), qPrintable(text));
    }
}

void TestNumberText::shortTextsReadAsTheCLibraryReadsThem()
{
    // Texts around the edges of the short way of reading (15 digits, 10^22): up to 17 digits
    // with the point anywhere and exponents well past either edge, each read by strtod too.
    std::mt19937_64 bits(20261208);
    std::uniform_int_distribution<int> lengths(1, 17), exponents(-40, 40);
    for (int i = 0; i < 50000; ++i) {
        const int length = lengths(bits);
        QString text;
        for (int d = 0; d < length; ++d)
            text += QChar(u'0' + int(bits() % 10));
        text.insert(int(bits() % std::uint64_t(length + 1)), u'.');
        if (i % 2)
            text += u"e"_s + QString::number(exponents(bits));
        QCOMPARE(exact(ReadNumber(text)), exact(decimalOf(text)));
    }
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
