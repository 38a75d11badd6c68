// The picture of a problem: its texts as a screen reader gets them, the answers in red after a
// reveal, hints that never give the answer away before it, and a layout that reads at every
// ratio the drill makes.
#include "display/relation_diagram.h"

#include "display/problem_display.h"

#include <QtTest>

#include <set>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ProblemRow)
Q_DECLARE_METATYPE(DiagramStep)

namespace {

// Whether a stroke passes through the inside of a text's rectangle.
bool crosses(const QLine &line, const QRect &rect)
{
    const QRect inside = rect.adjusted(1, 1, -1, -1);
    const int steps = std::max({ std::abs(line.dx()), std::abs(line.dy()), 1 });
    for (int i = 0; i <= steps; ++i) {
        if (inside.contains(line.p1() + (line.p2() - line.p1()) * i / steps))
            return true;
    }
    return false;
}

// Every text inside the panel, none on another, no stroke through one.
void checkLayout(const RelationDiagram &diagram)
{
    const QRect panel(0, 0, DiagramWidth, DiagramHeight);
    for (qsizetype i = 0; i < diagram.texts.size(); ++i) {
        const DiagramText &text = diagram.texts[i];
        QVERIFY2(panel.contains(text.rect), qPrintable(text.text));
        for (qsizetype j = i + 1; j < diagram.texts.size(); ++j)
            QVERIFY2(!text.rect.intersects(diagram.texts[j].rect),
                     qPrintable(text.text + u" on "_s + diagram.texts[j].text));
        for (const DiagramStroke &stroke : diagram.strokes)
            QVERIFY2(!crosses(stroke.line, text.rect), qPrintable(text.text));
    }
}

// A problem of a kind with `hidden` to find, from its base amount and ratio.
ProblemRow rowOf(Box hidden, double base, double ratio)
{
    ProblemRow row { base, 1, 100, base * ratio, ratio, ratio * 100 };
    row.field(int(hidden)) = -row.field(int(hidden));
    return row;
}

ProblemRow buaiRow(double ratio)
{
    return { 100, 1, 100, ratio * 100, ratio, ratio * 100 };
}

QStringList wordsOf(const QString &description)
{
    return description.split(QRegularExpression(u"[\\s（）]"_s), Qt::SkipEmptyParts);
}

} // namespace

class TestRelationDiagram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesReadAtEveryRatio_data();
    void picturesReadAtEveryRatio();
    void hintsNeverTellTheAnswerBeforeTheReveal_data();
    void hintsNeverTellTheAnswerBeforeTheReveal();
};

void TestRelationDiagram::picturesReadAtEveryRatio_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<DiagramStep>("step");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("red"); // the texts painted red
    constexpr DiagramStep Picture = DiagramStep::Picture, Formula = DiagramStep::Formula,
                          Finished = DiagramStep::Finished;
    // clang-format off
    QTest::newRow("kind 1, ratio 0.01 hidden") << 1 << ProblemRow { 100, 1, 100, 1, -0.01, 1 } << Picture
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 1 もとにする量 100\n割合 0 ？ 1"_s
        << u""_s;
    QTest::newRow("kind 1, ratio 0.01 revealed") << 1 << ProblemRow { 100, 1, 100, 1, -0.01, 1 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 1 もとにする量 100\n割合 0 0.01（答え） 1\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ 1 ÷ 100 ＝ 0.01（答え）"_s
        << u"0.01|0.01"_s;
    QTest::newRow("kind 1, base ratio after a wrong answer") << 1 << ProblemRow { 100, -1, 100, 99, 0.99, 99 } << Formula
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 99 もとにする量 100\n割合 0 0.99 ？\nもとにする量の割合は、いつも 1 です。"_s
        << u""_s;
    QTest::newRow("kind 1, base ratio revealed") << 1 << ProblemRow { 100, -1, 100, 99, 0.99, 99 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 99 もとにする量 100\n割合 0 0.99 1（答え）\nもとにする量の割合は、いつも 1 です。\nもとにする量の割合 ＝ 1（答え）"_s
        << u"1|1"_s;
    QTest::newRow("kind 2, base amount at 9.99") << 2 << ProblemRow { -100, 1, 100, 999, 9.99, 999 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 もとにする量 100（答え） くらべられる量 999\n割合 0 1 9.99\nもとにする量 ＝ くらべられる量 ÷ 割合\n？ ＝ 999 ÷ 9.99 ＝ 100（答え）"_s
        << u"100|100"_s;
    QTest::newRow("kind 3, one point at ratio 1") << 3 << ProblemRow { 37, 1, 100, -37, 1, 100 } << Finished
        << u"量 0 もとにする量 ＝ くらべられる量 37（答え）\n割合 0 1\nくらべられる量 ＝ もとにする量 × 割合\n？ ＝ 37 × 1 ＝ 37（答え）"_s
        << u"37|37"_s;
    QTest::newRow("kind 4, percentage a step off 9") << 4 << ProblemRow { 100, 1, 100, 9, 0.09, -(0.09 * 100) } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 9 もとにする量 100\n％ 0 9（答え） 100\n割合 ＝ くらべられる量 ÷ もとにする量\n0.09 ＝ 9 ÷ 100\n百分率 ＝ 割合 × 100\n？ ＝ 0.09 × 100 ＝ 9％（答え）"_s
        << u"9|9％"_s;
    QTest::newRow("kind 5, base amount after a wrong answer") << 5 << ProblemRow { -80, 1, 100, 4, 0.05, 5 } << Formula
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 4 もとにする量 ？\n％ 0 5 100\n割合 ＝ 百分率 ÷ 100\nもとにする量 ＝ くらべられる量 ÷ 割合"_s
        << u""_s;
    QTest::newRow("kind 5, base amount revealed") << 5 << ProblemRow { -80, 1, 100, 4, 0.05, 5 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 4 もとにする量 80（答え）\n％ 0 5 100\n割合 ＝ 百分率 ÷ 100\n0.05 ＝ 5 ÷ 100\nもとにする量 ＝ くらべられる量 ÷ 割合\n？ ＝ 4 ÷ 0.05 ＝ 80（答え）"_s
        << u"80|80"_s;
    QTest::newRow("kind 6, base percentage revealed") << 6 << ProblemRow { 80, 1, -100, 28, 0.35, 35 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 28 もとにする量 80\n％ 0 35 100（答え）\nもとにする量の百分率は、いつも 100％ です。\nもとにする量の百分率 ＝ 100％（答え）"_s
        << u"100|100％"_s;
    QTest::newRow("kind 7, three lines at 1.01") << 7 << ProblemRow { 100, 1, 100, 101, -1.01, 101 } << Picture
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 もとにする量 100 くらべられる量 101\n割合 0 1 ？\n％ 0 100 101"_s
        << u""_s;
    QTest::newRow("kind 8, ratio from 999 %") << 8 << ProblemRow { 100, 1, 100, 999, -9.99, 999 } << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 もとにする量 100 くらべられる量 999\n割合 0 1 9.99（答え）\n％ 0 100 999\n割合 ＝ 百分率 ÷ 100\n？ ＝ 999 ÷ 100 ＝ 9.99（答え）"_s
        << u"9.99|9.99"_s;
    QTest::newRow("kind 9, 0.356 after a wrong answer") << 9 << ProblemRow { 100, 1, 100, 35.6, 0.356, 35.6 } << Formula
        << u"割 分 厘\n0.1 0.01 0.001\n0.356 ＝ ？割 ？分 ？厘\n1割 ＝ 10％\n1/10の位 → 割、1/100の位 → 分、1/1000の位 → 厘"_s
        << u""_s;
    QTest::newRow("kind 9, 0.999 revealed") << 9 << ProblemRow { 100, 1, 100, 999 * 0.1, 9.99 * 0.1, 999 * 0.1 } << Finished
        << u"割 分 厘\n0.1 0.01 0.001\n0.999 ＝ 9割（答え） 9分（答え） 9厘（答え）\n1割 ＝ 10％\n1/10の位 → 割、1/100の位 → 分、1/1000の位 → 厘\n0.999 ＝ 0.9 ＋ 0.09 ＋ 0.009 → 9割9分9厘（答え）"_s
        << u"9|9|9|9割9分9厘"_s;
    QTest::newRow("kind 10, 0.1 revealed") << 10 << ProblemRow { 10, 1, 100, 10 * 0.1, 1 * 0.1, 100 * 0.1 } << Finished
        << u"割 分 厘\n0.1 0.01 0.001\n0.1（答え） ＝ 1割 0分 0厘\n1割 ＝ 10％\n割 → 1/10の位、分 → 1/100の位、厘 → 1/1000の位\n1割 ＝ 0.1（答え）"_s
        << u"0.1|0.1"_s;
    QTest::newRow("kind 10, 0.105 revealed") << 10 << ProblemRow { 100, 1, 100, 10.5, 0.105, 10.5 } << Finished
        << u"割 分 厘\n0.1 0.01 0.001\n0.105（答え） ＝ 1割 0分 5厘\n1割 ＝ 10％\n割 → 1/10の位、分 → 1/100の位、厘 → 1/1000の位\n1割5厘 ＝ 0.1 ＋ 0.005 ＝ 0.105（答え）"_s
        << u"0.105|0.105"_s;
    // Before any set is made the table holds zeros: every mark at 0, every tested box hidden.
    QTest::newRow("a row of zeros") << 1 << ProblemRow {} << Finished
        << u"もとにする量 から くらべられる量 へ ×割合\n量 0 くらべられる量 ？ もとにする量 ？\n割合 0 ？ ？\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ ？ ÷ ？ ＝ ？"_s
        << u""_s;
    // clang-format on
}

void TestRelationDiagram::picturesReadAtEveryRatio()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QFETCH(DiagramStep, step);
    const RelationDiagram diagram = relationDiagramOf(row, Kind(kind), step);
    QTEST(relationDiagramDescription(diagram), "description");
    QStringList red;
    for (const DiagramText &text : diagram.texts) {
        if (text.revealed)
            red << text.text;
    }
    QTEST(red.join(u'|'), "red");
    checkLayout(diagram);
}

// Every kind and hidden box at the ends of the ratios and at 1: before the reveal the unknown is
// "？" and no text and no word of the description is the answer (unless the boxes show it too,
// or it stands in every problem's picture, as the 100 of "× 100"), and no line has a mark but at 0,
// the base and the compared amount; after it the formula ends with the answer in red.
void TestRelationDiagram::hintsNeverTellTheAnswerBeforeTheReveal_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<ProblemRow>("other"); // the same question with other numbers
    for (int kind = 1; kind <= 8; ++kind) {
        for (const HideRange &range : kindRow(Kind(kind)).hidden) {
            if (range.below == 0)
                break;
            for (const double ratio : { 0.01, 0.05, 0.99, 1.0, 1.01, 9.99 })
                QTest::addRow("kind %d, box %d, ratio %g", kind, int(range.box), ratio)
                        << kind << rowOf(range.box, 60, ratio) << rowOf(range.box, 73, 0.35);
        }
    }
    for (const int kind : { 9, 10 }) {
        for (const double ratio : { 0.001, 0.01, 0.1, 0.105, 0.356, 0.999 })
            QTest::addRow("kind %d, ratio %g", kind, ratio)
                    << kind << buaiRow(ratio) << buaiRow(0.462);
    }
}

void TestRelationDiagram::hintsNeverTellTheAnswerBeforeTheReveal()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QFETCH(ProblemRow, other);
    const ProblemView view = viewOfProblem(row, Kind(kind));
    const auto reveal = revealTexts(row, Kind(kind), view.buai.value_or(BuaiDigits {}));
    QStringList answers;
    for (std::size_t i = 0; i < Boxes.size(); ++i) {
        if (view.asked[i])
            answers << reveal[i]->trimmed();
    }
    QVERIFY(!answers.isEmpty());

    for (const DiagramStep step : { DiagramStep::Picture, DiagramStep::Formula }) {
        const RelationDiagram diagram = relationDiagramOf(row, Kind(kind), step);
        checkLayout(diagram);
        const RelationDiagram twin = relationDiagramOf(other, Kind(kind), step);
        // What the boxes show already, and what every such problem's picture shows, tell
        // nothing: a compared percentage of 1 beside a base ratio to find.
        std::set<QString> always;
        for (std::size_t i = 0; i < Boxes.size(); ++i) {
            if (!view.asked[i] && view.text[i])
                always.insert(view.text[i]->trimmed());
        }
        for (const DiagramText &text : twin.texts)
            always.insert(text.text);
        for (const QString &word : wordsOf(relationDiagramDescription(twin)))
            always.insert(word);
        QVERIFY(std::any_of(diagram.texts.cbegin(), diagram.texts.cend(),
                            [](const DiagramText &text) { return text.hidden; }));
        for (const DiagramText &text : diagram.texts) {
            QVERIFY2(!text.revealed, qPrintable(text.text));
            QVERIFY2(!answers.contains(text.text) || always.count(text.text),
                     qPrintable(text.text));
        }
        for (const QString &word : wordsOf(relationDiagramDescription(diagram)))
            QVERIFY2(!answers.contains(word) || always.count(word), qPrintable(word));
        std::set<int> marks;
        int axes = 0;
        for (const DiagramStroke &stroke : diagram.strokes) {
            axes += stroke.style == DiagramStrokeStyle::Axis;
            if (stroke.style == DiagramStrokeStyle::Tick)
                marks.insert(stroke.line.x1());
        }
        QVERIFY(marks.size() <= 3);
        QVERIFY(axes == 0 || marks.size() >= 2);
    }

    const RelationDiagram finished = relationDiagramOf(row, Kind(kind), DiagramStep::Finished);
    checkLayout(finished);
    const auto last = std::max_element(finished.texts.cbegin(), finished.texts.cend(),
                                       [](const DiagramText &a, const DiagramText &b) {
                                           return std::pair(a.line, a.rect.left())
                                                   < std::pair(b.line, b.rect.left());
                                       });
    QVERIFY(last->revealed);
    QString answer = answers.first();
    if (kind == 9) {
        // Written as textbooks write it: the units with no digit left out.
        answer.clear();
        const QStringList units { u"割"_s, u"分"_s, u"厘"_s };
        for (qsizetype i = 0; i < answers.size(); ++i) {
            if (answers[i] != u"0"_s)
                answer += answers[i] + units[i];
        }
    }
    const bool percentage =
            view.answerField == Box::BasePercent || view.answerField == Box::ComparedPercent;
    QCOMPARE(last->text, percentage ? answer + u"％"_s : answer);
}

QTEST_GUILESS_MAIN(TestRelationDiagram)
#include "tst_relation_diagram.moc"
