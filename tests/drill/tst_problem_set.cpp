// The generator and the problem set: the draws, and what every set of every kind must satisfy.
#include "drill/judging.h"
#include "drill/drill.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The fields each kind may hide, written out from the kinds' meaning rather than from the
// draw table: ratio kinds never a percentage, percentage kinds never a ratio, kind 8 never
// an amount.
const std::set<int> AllowedHidden[9] = {
    {},
    { 2, 5 },
    { 1, 4 },
    { 1, 2, 4, 5 },
    { 3, 6 },
    { 1, 4 },
    { 1, 3, 4, 6 },
    { 1, 2, 3, 4, 5, 6 },
    { 2, 3, 5, 6 },
};

bool isWhole(double v)
{
    return v == std::trunc(v);
}

// The base amounts and ratios of a set drawn the plain way, one draw at a time, each base
// compared with every earlier row and each ratio divided afresh: the program's set, made with
// its precomputed ratio and whole-product tables and its table of taken bases, must be this
// one exactly.
struct PlainRow
{
    double base, ratio;
};
std::vector<PlainRow> plainSet(RandomGenerator &rng)
{
    std::vector<PlainRow> rows;
    while (rows.size() < ProblemCount) {
        const double a = rng.Random(100) + 1;
        if (std::any_of(rows.begin(), rows.end(), [a](const PlainRow &r) { return r.base == a; }))
            continue;
        const double c = (rng.Random(999) + 1) / 100.0;
        const double d = a * c;
        if (d - std::trunc(d) > 0)
            continue;
        rows.push_back({ a, c });
    }
    for (int i = 0; i < ProblemCount; ++i)
        rng.Random(12);
    return rows;
}

} // namespace

class TestProblemSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generatorDrawsAsTheLinearCongruence_data();
    void generatorDrawsAsTheLinearCongruence();
    void clockSeedIsMillisecondsOfTheDay();
    void everySetHoldsItsProperties_data();
    void everySetHoldsItsProperties();
    void hiddenFieldDrawTable_data();
    void hiddenFieldDrawTable();
    void onlyThe4766WholeProductPairsOccur();
    void buaiKindsScaleTheComparedSide();
    void everyKindDrawsTheSameNumberOfTimes();
    void theSetIsTheOneDrawnOneAtATime();
    void drillResetFollowsTheLengthChoice_data();
    void drillResetFollowsTheLengthChoice();
    void worksheetPrintingKeepsTheSeed();
    void rateTruncatesAndBuaiTotalsWeigh();
};

void TestProblemSet::generatorDrawsAsTheLinearCongruence_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<quint32>("n");
    QTest::addColumn<QList<quint32>>("draws");
    QTest::addColumn<quint32>("seedAfter");
    // Worked out by hand: seed := seed * 134775813 + 1 mod 2^32, draw := (seed * n) >> 32.
    QTest::newRow("from zero, n=100")
            << 0u << 100u << QList<quint32> { 0, 3, 86, 20, 27 } << 1172187917u;
    QTest::newRow("from 12:34:56.789, n=999")
            << 45296789u << 999u << QList<quint32> { 488 } << 2099557098u;
    QTest::newRow("n=1 is always 0") << 7u << 1u << QList<quint32> { 0, 0, 0 } << 1081369482u;
}

void TestProblemSet::generatorDrawsAsTheLinearCongruence()
{
    QFETCH(quint32, seed);
    QFETCH(quint32, n);
    QFETCH(QList<quint32>, draws);
    QFETCH(quint32, seedAfter);
    RandomGenerator rng;
    rng.seed = seed;
    for (quint32 expected : draws)
        QCOMPARE(rng.Random(n), expected);
    QCOMPARE(rng.seed, seedAfter);
}

void TestProblemSet::clockSeedIsMillisecondsOfTheDay()
{
    QCOMPARE(RandomGenerator::clockSeed(12, 34, 56, 789), 45296789u);
    QCOMPARE(RandomGenerator::clockSeed(0, 0, 0, 0), 0u);
    QCOMPARE(RandomGenerator::clockSeed(23, 59, 59, 999), 86399999u);
    RandomGenerator rng;
    rng.seedFromClock();
    QVERIFY(rng.seed < 86400000u);
    const QTime now = QDateTime::currentDateTimeUtc().time();
    const qint64 diff = qAbs(qint64(rng.seed) - now.msecsSinceStartOfDay());
    QVERIFY2(diff < 5000 || diff > 86400000 - 5000, qPrintable(QString::number(diff)));
}

void TestProblemSet::everySetHoldsItsProperties_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("seed");
    for (int kind = 1; kind <= 10; ++kind) {
        for (quint32 seed : { 0u, 1u, 45296789u, 86399999u, 4294967295u })
            QTest::addRow("kind %d seed %u", kind, seed) << kind << seed;
    }
}

void TestProblemSet::everySetHoldsItsProperties()
{
    QFETCH(int, kind);
    QFETCH(quint32, seed);
    RandomGenerator rng;
    rng.seed = seed;
    ProblemTableData table;
    makeProblemTable(table, Kind(kind), rng);
    std::set<int> bases;
    for (int i = 1; i <= ProblemCount; ++i) {
        const ProblemRow &row = table[i];
        int negatives = 0;
        int hidden = 0;
        for (int f = 1; f <= 6; ++f) {
            QVERIFY(row.field(f) != 0);
            if (row.field(f) < 0) {
                ++negatives;
                hidden = f;
            }
        }
        const double a = std::abs(row.BaseAmount);
        QVERIFY(isWhole(a) && a >= 1 && a <= 100);
        bases.insert(int(a));
        QVERIFY(std::abs(row.BaseRatio) == 1);
        QVERIFY(std::abs(row.BasePercent) == 100);
        if (kind <= 8) {
            QCOMPARE(negatives, 1);
            QVERIFY2(AllowedHidden[kind].count(hidden), qPrintable(QString::number(hidden)));
            const double d = std::abs(row.ComparedAmount);
            QVERIFY(isWhole(d) && d >= 1 && d <= 999);
            const double c = std::abs(row.ComparedRatio);
            QCOMPARE(d, a * c);
            QCOMPARE(std::abs(row.ComparedPercent), c * 100);
            // Bases without a factor 2 or 5 only ever come with whole ratios.
            if (a == 1 || a == 3 || a == 7 || a == 11)
                QVERIFY(isWhole(c) && c >= 1 && c <= 9);
            QVERIFY(!(a == 25 && c == 0.28));
        } else {
            QCOMPARE(negatives, 0);
            QVERIFY(row.ComparedRatio >= 0.001 && row.ComparedRatio <= 0.999);
        }
    }
    QCOMPARE(int(bases.size()), 100);
    QCOMPARE(*bases.begin(), 1);
    QCOMPARE(*bases.rbegin(), 100);
}

void TestProblemSet::hiddenFieldDrawTable_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("fieldByDraw"); // r = 0..11
    QTest::newRow("1") << 1 << QList<int> { 2, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5 };
    QTest::newRow("2") << 2 << QList<int> { 1, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 4 };
    QTest::newRow("3") << 3 << QList<int> { 1, 1, 1, 1, 2, 4, 4, 4, 4, 5, 5, 5 };
    QTest::newRow("4") << 4 << QList<int> { 3, 3, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6 };
    QTest::newRow("5") << 5 << QList<int> { 1, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 4 };
    QTest::newRow("6") << 6 << QList<int> { 1, 1, 1, 3, 3, 3, 4, 4, 4, 6, 6, 6 };
    QTest::newRow("7") << 7 << QList<int> { 1, 1, 1, 2, 3, 4, 4, 4, 5, 5, 6, 6 };
    QTest::newRow("8") << 8 << QList<int> { 2, 2, 3, 3, 5, 5, 5, 5, 6, 6, 6, 6 };
    QTest::newRow("9") << 9 << QList<int>(12, 0);
    QTest::newRow("10") << 10 << QList<int>(12, 0);
}

void TestProblemSet::hiddenFieldDrawTable()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, fieldByDraw);
    for (quint32 r = 0; r < 12; ++r)
        QCOMPARE(hiddenFieldFor(Kind(kind), r), fieldByDraw[int(r)]);
}

void TestProblemSet::onlyThe4766WholeProductPairsOccur()
{
    // (base, ratio in hundredths) whose product is a whole number in whole arithmetic and whose
    // Double product lands on it exactly: of the 5,100 whole products, 334 land a step off.
    std::set<std::pair<int, int>> acceptable;
    for (int a = 1; a <= 100; ++a) {
        for (int n = 1; n <= 999; ++n) {
            if (a * n % 100 == 0 && a * (n / 100.0) == a * n / 100)
                acceptable.insert({ a, n });
        }
    }
    QCOMPARE(int(acceptable.size()), 4766);
    QVERIFY(!acceptable.count({ 25, 28 }) && !acceptable.count({ 15, 820 }));
    RandomGenerator rng;
    ProblemTableData table;
    std::set<std::pair<int, int>> seen;
    for (quint32 seed = 0; seed < 2000; ++seed) {
        rng.seed = seed * 2654435761u;
        makeProblemTable(table, Kind(7), rng);
        for (const ProblemRow &row : table.rows) {
            const int n = int(std::lround(std::abs(row.ComparedRatio) * 100));
            const std::pair<int, int> pair { int(std::abs(row.BaseAmount)), n };
            QVERIFY(acceptable.count(pair));
            seen.insert(pair);
        }
    }
    // Many sets reach a good share of the pairs; a rule that rejects too many would not.
    QVERIFY2(seen.size() > 4300, qPrintable(QString::number(seen.size())));
}

void TestProblemSet::buaiKindsScaleTheComparedSide()
{
    // Seed 85 draws a base of 10 with a ratio of 0.5 (row 19): the case where scaling by 0.1
    // must land exactly on 0.5, 0.05 and 5.
    RandomGenerator one, nine;
    one.seed = nine.seed = 85;
    ProblemTableData kind1, kind9;
    makeProblemTable(kind1, Kind(1), one);
    makeProblemTable(kind9, Kind(9), nine);
    int halves = 0;
    for (int i = 1; i <= ProblemCount; ++i) {
        QCOMPARE(kind9[i].BaseAmount, kind1[i].BaseAmount);
        QCOMPARE(kind9[i].ComparedAmount, std::abs(kind1[i].ComparedAmount) * 0.1);
        QCOMPARE(kind9[i].ComparedRatio, std::abs(kind1[i].ComparedRatio) * 0.1);
        QCOMPARE(kind9[i].ComparedPercent, std::abs(kind1[i].ComparedPercent) * 0.1);
        if (kind9[i].BaseAmount == 10 && std::abs(kind1[i].ComparedRatio) == 0.5) {
            halves += 1;
            QCOMPARE(kind9[i].ComparedAmount, 0.5);
            QCOMPARE(kind9[i].ComparedRatio, 0.05);
            QCOMPARE(kind9[i].ComparedPercent, 5.0);
        }
    }
    QCOMPARE(halves, 1);
}

void TestProblemSet::everyKindDrawsTheSameNumberOfTimes()
{
    // One Random(12) per row whatever the kind: the generator ends in the same place.
    std::set<quint32> ends;
    for (int kind = 1; kind <= KindCount; ++kind) {
        RandomGenerator rng;
        rng.seed = 99;
        ProblemTableData table;
        makeProblemTable(table, Kind(kind), rng);
        ends.insert(rng.seed);
    }
    QCOMPARE(int(ends.size()), 1);
}

void TestProblemSet::theSetIsTheOneDrawnOneAtATime()
{
    // Many seeds, so that every base and most of the whole-product pairs come up; the seed
    // after the set must agree as well.
    for (quint32 n = 0; n < 400; ++n) {
        const quint32 seed = n * 2654435761u;
        RandomGenerator plain, made;
        plain.seed = made.seed = seed;
        const std::vector<PlainRow> expected = plainSet(plain);
        ProblemTableData table;
        makeProblemTable(table, Kind(1), made);
        for (int i = 1; i <= ProblemCount; ++i) {
            const PlainRow &row = expected[std::size_t(i - 1)];
            QVERIFY2(table[i].BaseAmount == row.base
                             && std::abs(table[i].ComparedRatio) == row.ratio,
                     qPrintable(u"seed %1, row %2"_s.arg(seed).arg(i)));
        }
        QCOMPARE(made.seed, plain.seed);
    }
}

void TestProblemSet::drillResetFollowsTheLengthChoice_data()
{
    QTest::addColumn<bool>("lengthChosen");
    QTest::addColumn<int>("lengthBefore");
    QTest::addColumn<int>("lengthAfter");
    QTest::newRow("no choice") << false << 37 << 100;
    QTest::newRow("chosen 37") << true << 37 << 37;
}

void TestProblemSet::drillResetFollowsTheLengthChoice()
{
    QFETCH(bool, lengthChosen);
    QFETCH(int, lengthBefore);
    QFETCH(int, lengthAfter);
    Drill drill;
    drill.LengthChosen = lengthChosen;
    drill.DrillLength = lengthBefore;
    drill.CurrentNo = 55;
    drill.CorrectCount = 20;
    drill.RatePercent = 40;
    drill.FirstTry = true;
    drill.AnswerField = Box::ComparedRatio;
    drill.ExpectedValue = 0.25;
    drill.makeProblems();
    QCOMPARE(drill.DrillLength, lengthAfter);
    QCOMPARE(drill.CurrentNo, 1);
    QCOMPARE(drill.CorrectCount, 0);
    QCOMPARE(drill.RatePercent, 0);
    QCOMPARE(drill.FirstTry, false);
    // What the next problem's display sets is left for it.
    QCOMPARE(drill.AnswerField, Box::ComparedRatio);
    QCOMPARE(drill.ExpectedValue, 0.25);
}

void TestProblemSet::worksheetPrintingKeepsTheSeed()
{
    Drill drill;
    drill.ProblemKind = Kind::RatioAndAmount;
    drill.WorksheetPrinting = true;
    drill.Rng.seed = 4242;
    drill.makeProblems();
    RandomGenerator model;
    model.seed = 4242;
    ProblemTableData expected;
    makeProblemTable(expected, Kind(3), model);
    for (int i = 1; i <= ProblemCount; ++i) {
        for (int f = 1; f <= 6; ++f)
            QCOMPARE(drill.ProblemTable[i].field(f), expected[i].field(f));
    }
    QCOMPARE(drill.Rng.seed, model.seed);

    // Without the flag the clock seeds it: the set is the one a seed read during the call makes.
    drill.WorksheetPrinting = false;
    RandomGenerator before, after;
    before.seedFromClock();
    drill.makeProblems();
    after.seedFromClock();
    bool found = false;
    for (quint32 s = before.seed; s <= after.seed && !found; ++s) {
        RandomGenerator replay;
        replay.seed = s;
        makeProblemTable(expected, Kind(3), replay);
        found = expected[1].BaseAmount == drill.ProblemTable[1].BaseAmount
                && expected[100].BaseAmount == drill.ProblemTable[100].BaseAmount
                && replay.seed == drill.Rng.seed;
    }
    QVERIFY(found);
}

void TestProblemSet::rateTruncatesAndBuaiTotalsWeigh()
{
    QCOMPARE(rateOf(7, 10), 70);
    QCOMPARE(rateOf(1, 3), 33);
    QCOMPARE(rateOf(2, 3), 66);
    QCOMPARE(rateOf(0, 1), 0);
    QCOMPARE(rateOf(100, 100), 100);
    QCOMPARE(buaiTotal(3, 7, 5), 375.0);
    QCOMPARE(buaiTotal(0, 37, 5), 375.0);
    QCOMPARE(buaiTotal(3.75, 0, 0), 375.0);
    QCOMPARE(buaiTotal(3, 7, 6), 376.0);
}

QTEST_GUILESS_MAIN(TestProblemSet)
#include "tst_problem_set.moc"
