// What each box shows for a problem of each kind, what laying it out does to the drill state,
// the buai digits, and what a reveal writes.
#include "display/problem_display.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ProblemRow)

namespace {

// The nine boxes as Boxes, joined by "|"; "-" is a box left as it is.
QString textsOf(const std::array<std::optional<QString>, 9> &texts)
{
    QStringList out;
    for (const auto &text : texts)
        out << text.value_or(u"-"_s);
    return out.join(u'|');
}

QString coloursOf(const ProblemView &view)
{
    QString out;
    for (BoxColour c : view.colour)
        out += c == BoxColour::Grey ? u'G' : c == BoxColour::White ? u'W' : u'-';
    return out;
}

} // namespace

class TestProblemView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachKindShowsItsBoxes_data();
    void eachKindShowsItsBoxes();
    void buaiDigits_data();
    void buaiDigits();
    void revealTexts_data();
    void revealTexts();
};

void TestProblemView::eachKindShowsItsBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QString>("colours");
    QTest::addColumn<int>("answerField");
    QTest::addColumn<double>("expected");
    // clang-format off
    QTest::newRow("kind 1, ratio hidden") << 1 << ProblemRow { 20, 1, 100, 7, -0.35, 35 }
        << u"    20|     1|-|  7|？|-|-|-|-"_s << u"-WG-WGGGG"_s << 5 << 0.35;
    QTest::newRow("kind 1, a row of zeros hides every tested box") << 1 << ProblemRow {}
        << u"？|？|-|？|？|-|-|-|-"_s << u"-WG-WGGGG"_s << 5 << 0.0;
    QTest::newRow("kind 2, ratio 2 without zeros") << 2 << ProblemRow { -37, 1, 100, 74, 2, 200 }
        << u"？|     1|-| 74|  2|-|-|-|-"_s << u"-WG-WGGGG"_s << 1 << 37.0;
    QTest::newRow("kind 3, hidden base ratio is 1") << 3 << ProblemRow { 8, -1, 100, 12, 1.5, 150 }
        << u"     8|？|-| 12|  1.5|-|-|-|-"_s << u"-WG-WGGGG"_s << 2 << 1.0;
    QTest::newRow("kind 4, percentage a step off a whole number")
        << 4 << ProblemRow { 100, 1, 100, 7, 0.07, -7.000000000000001 }
        << u"   100|-|   100|  7|-|？|-|-|-"_s << u"-GW-GWGGG"_s << 6 << 7.0;
    QTest::newRow("kind 6, shown percentage 45") << 6 << ProblemRow { 20, 1, 100, -9, 0.45, 45 }
        << u"    20|-|   100|？|-| 45|-|-|-"_s << u"-GW-GWGGG"_s << 4 << 9.0;
    QTest::newRow("kind 7, base percentage is 100") << 7 << ProblemRow { 4, 1, -100, 3, 0.75, 75 }
        << u"     4|     1|？|  3|  0.75| 75|-|-|-"_s << u"-WW-WWGGG"_s << 3 << 100.0;
    QTest::newRow("kind 8, amounts always shown")
        << 8 << ProblemRow { 50, 1, 100, 14, -0.28, 28.000000000000004 }
        << u"    50|     1|   100| 14|？| 28|-|-|-"_s << u"-WW-WWGGG"_s << 5 << 0.28;
    // Kind 9 judges the buai digits, so the expected value stays as it was.
    QTest::newRow("kind 9, 0.234 to buai") << 9 << ProblemRow { 50, 1, 100, 11.7, 0.234, 23.4 }
        << u"    50|     1|   100|  11.7| 0.234|-|?|0|0"_s << u"-WW-WGWWW"_s << 11 << -1.0;
    QTest::newRow("kind 10, 0.045 to a ratio") << 10 << ProblemRow { 20, 1, 100, 0.9, 0.045, 4.5 }
        << u"    20|     1|   100|   0.9|?|-|  0| 4| 5"_s << u"-WW-WGWWW"_s << 5 << 0.045;
    // clang-format on
}

void TestProblemView::eachKindShowsItsBoxes()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QFETCH(int, answerField);
    QFETCH(double, expected);
    const ProblemView view = viewOfProblem(row, Kind(kind));
    QTEST(textsOf(view.text), "texts");
    QTEST(coloursOf(view), "colours");
    Drill state;
    state.FirstTry = false;
    beginProblem(view, state);
    QCOMPARE(int(state.AnswerField), answerField);
    QCOMPARE(state.ExpectedValue, expected);
    QCOMPARE(state.FirstTry, true);
}

void TestProblemView::buaiDigits_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("wari");
    QTest::addColumn<double>("bu");
    QTest::addColumn<double>("rin");
    QTest::newRow("0.234") << 0.234 << 23.4 << 2.0 << 3.0 << 4.0;
    QTest::newRow("0.045") << 0.045 << 4.5 << 0.0 << 4.0 << 5.0;
    QTest::newRow("0.23 held below 23: rin carries")
            << 0.23 << 22.999999999999996 << 2.0 << 3.0 << 0.0;
    QTest::newRow("0.999") << 0.999 << 99.9 << 9.0 << 9.0 << 9.0;
    QTest::newRow("0.001") << 0.001 << 0.1 << 0.0 << 0.0 << 1.0;
}

void TestProblemView::buaiDigits()
{
    QFETCH(double, ratio);
    QFETCH(double, percent);
    QFETCH(double, wari);
    QFETCH(double, bu);
    QFETCH(double, rin);
    const ProblemRow row { 10, 1, 100, ratio * 10, ratio, percent };
    // Kind 9 asks for the digits, none typed yet.
    Drill state;
    state.TypedWari = state.TypedBu = state.TypedRin = 7;
    beginProblem(viewOfProblem(row, Kind::RatioToBuai), state);
    QCOMPARE(state.BuaiWari, wari);
    QCOMPARE(state.BuaiBu, bu);
    QCOMPARE(state.BuaiRin, rin);
    QCOMPARE(state.TypedWari + state.TypedBu + state.TypedRin, 0.0);
    // Kind 10 shows them.
    const ProblemView view = viewOfProblem(row, Kind::BuaiToRatio);
    QCOMPARE(view.text[6]->trimmed(), QString::number(wari));
    QCOMPARE(view.text[7]->trimmed(), QString::number(bu));
    QCOMPARE(view.text[8]->trimmed(), QString::number(rin));
}

void TestProblemView::revealTexts_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<QString>("texts");
    // clang-format off
    QTest::newRow("kind 1, the hidden ratio") << 1 << ProblemRow { 20, 1, 100, 7, -0.35, 35 }
        << u"-|-|-|-|  0.35|-|-|-|-"_s;
    QTest::newRow("kind 10, thousandths") << 10 << ProblemRow { 8, 1, 100, 1, 0.125, 12.5 }
        << u"-|-|-|-| 0.125|-|-|-|-"_s;
    QTest::newRow("kind 9, the buai digits") << 9 << ProblemRow { 10, 1, 100, 3.75, 0.375, 37.5 }
        << u"-|-|-|-|-|-|  3|7|5"_s;
    // clang-format on
}

void TestProblemView::revealTexts()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QTEST(textsOf(::revealTexts(row, Kind(kind), BuaiDigits { 3, 7, 5 })), "texts");
}

QTEST_GUILESS_MAIN(TestProblemView)
#include "tst_problem_view.moc"
