// The picture of a problem: its texts as a screen reader gets them, the answers in red after a
// reveal, and a layout that reads at every ratio the drill makes.
#include "display/relation_diagram.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ProblemRow)

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

} // namespace

class TestRelationDiagram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void picturesReadAtEveryRatio_data();
    void picturesReadAtEveryRatio();
};

void TestRelationDiagram::picturesReadAtEveryRatio_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<bool>("revealed");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("red"); // the texts painted red
    // clang-format off
    QTest::newRow("kind 1, ratio 0.01 hidden") << 1 << ProblemRow { 100, 1, 100, 1, -0.01, 1 } << false
        << u"量 0 1 100\n割合 0 ？ 1\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ 1 ÷ 100"_s << u""_s;
    QTest::newRow("kind 1, ratio 0.01 revealed") << 1 << ProblemRow { 100, 1, 100, 1, -0.01, 1 } << true
        << u"量 0 1 100\n割合 0 0.01 1\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ 1 ÷ 100 ＝ 0.01"_s
        << u"0.01|0.01"_s;
    QTest::newRow("kind 1, base ratio beside 0.99") << 1 << ProblemRow { 100, -1, 100, 99, 0.99, 99 } << true
        << u"量 0 99 100\n割合 0 0.99 1\nもとにする量の割合 ＝ 1 （もとにする量は いつも 1）\n？ ＝ 1"_s << u"1"_s;
    QTest::newRow("kind 2, base amount at 9.99") << 2 << ProblemRow { -100, 1, 100, 999, 9.99, 999 } << true
        << u"量 0 100 999\n割合 0 1 9.99\nもとにする量 ＝ くらべられる量 ÷ 割合\n？ ＝ 999 ÷ 9.99 ＝ 100"_s
        << u"100|100"_s;
    QTest::newRow("kind 3, two marks at ratio 1") << 3 << ProblemRow { 37, 1, 100, -37, 1, 100 } << false
        << u"量 0 37 ？\n割合 0 1 1\nくらべられる量 ＝ もとにする量 × 割合\n？ ＝ 37 × 1"_s << u""_s;
    QTest::newRow("kind 4, percentage a step off 9") << 4 << ProblemRow { 100, 1, 100, 9, 0.09, -(0.09 * 100) }
        << true << u"量 0 9 100\n％ 0 9 100\n百分率 ＝ くらべられる量 ÷ もとにする量 × 100\n？ ＝ 9 ÷ 100 × 100 ＝ 9"_s
        << u"9|9"_s;
    QTest::newRow("kind 5, base amount at 1.01") << 5 << ProblemRow { -100, 1, 100, 101, 1.01, 1.01 * 100 }
        << true << u"量 0 100 101\n％ 0 100 101\nもとにする量 ＝ くらべられる量 ÷ 百分率 × 100\n？ ＝ 101 ÷ 101 × 100 ＝ 100"_s
        << u"100|100"_s;
    QTest::newRow("kind 6, base percentage") << 6 << ProblemRow { 80, 1, -100, 28, 0.35, 35 } << true
        << u"量 0 28 80\n％ 0 35 100\nもとにする量の％ ＝ 100 （もとにする量は いつも 100％）\n？ ＝ 100"_s << u"100"_s;
    QTest::newRow("kind 7, three lines at 1.01") << 7 << ProblemRow { 100, 1, 100, 101, -1.01, 101 } << true
        << u"量 0 100 101\n割合 0 1 1.01\n％ 0 100 101\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ 101 ÷ 100 ＝ 1.01"_s
        << u"1.01|1.01"_s;
    QTest::newRow("kind 7, percentage at 0.01") << 7 << ProblemRow { 100, 1, 100, 1, 0.01, -1 } << false
        << u"量 0 1 100\n割合 0 0.01 1\n％ 0 ？ 100\n百分率 ＝ くらべられる量 ÷ もとにする量 × 100\n？ ＝ 1 ÷ 100 × 100"_s
        << u""_s;
    QTest::newRow("kind 8, ratio from 999 %") << 8 << ProblemRow { 100, 1, 100, 999, -9.99, 999 } << true
        << u"量 0 100 999\n割合 0 1 9.99\n％ 0 100 999\n割合 ＝ 百分率 ÷ 100\n？ ＝ 999 ÷ 100 ＝ 9.99"_s
        << u"9.99|9.99"_s;
    QTest::newRow("kind 8, percentage from 0.99") << 8 << ProblemRow { 100, 1, 100, 99, 0.99, -99 } << false
        << u"量 0 99 100\n割合 0 0.99 1\n％ 0 ？ 100\n百分率 ＝ 割合 × 100\n？ ＝ 0.99 × 100"_s << u""_s;
    QTest::newRow("kind 9, 0.001 asks every digit") << 9 << ProblemRow { 100, 1, 100, 0.1, 0.01 * 0.1, 0.1 }
        << false << u"0.001 ＝ ？割 ？分 ？厘\n1割 ＝ 0.1 1分 ＝ 0.01 1厘 ＝ 0.001\n"
                    u"割合 ＝ 割 × 0.1 ＋ 分 × 0.01 ＋ 厘 × 0.001\n0.001 ＝ ？ × 0.1 ＋ ？ × 0.01 ＋ ？ × 0.001"_s
        << u""_s;
    QTest::newRow("kind 9, 0.999 revealed") << 9 << ProblemRow { 100, 1, 100, 999 * 0.1, 9.99 * 0.1, 999 * 0.1 }
        << true << u"0.999 ＝ 9割 9分 9厘\n1割 ＝ 0.1 1分 ＝ 0.01 1厘 ＝ 0.001\n"
                   u"割合 ＝ 割 × 0.1 ＋ 分 × 0.01 ＋ 厘 × 0.001\n0.999 ＝ 9 × 0.1 ＋ 9 × 0.01 ＋ 9 × 0.001"_s
        << u"9|9|9|9|9|9"_s;
    QTest::newRow("kind 10, 0.1 revealed") << 10 << ProblemRow { 10, 1, 100, 10 * 0.1, 1 * 0.1, 100 * 0.1 }
        << true << u"0.1 ＝ 1割 0分 0厘\n1割 ＝ 0.1 1分 ＝ 0.01 1厘 ＝ 0.001\n"
                   u"割合 ＝ 割 × 0.1 ＋ 分 × 0.01 ＋ 厘 × 0.001\n？ ＝ 1 × 0.1 ＋ 0 × 0.01 ＋ 0 × 0.001 ＝ 0.1"_s
        << u"0.1|0.1"_s;
    QTest::newRow("kind 10, 0.356") << 10 << ProblemRow { 100, 1, 100, 35.6, 0.356, 35.6 } << false
        << u"？ ＝ 3割 5分 6厘\n1割 ＝ 0.1 1分 ＝ 0.01 1厘 ＝ 0.001\n"
           u"割合 ＝ 割 × 0.1 ＋ 分 × 0.01 ＋ 厘 × 0.001\n？ ＝ 3 × 0.1 ＋ 5 × 0.01 ＋ 6 × 0.001"_s << u""_s;
    // Before any set is made the table holds zeros: every mark at 0, every tested box hidden.
    QTest::newRow("a row of zeros") << 1 << ProblemRow {} << true
        << u"量 0 ？ ？\n割合 0 ？ ？\n割合 ＝ くらべられる量 ÷ もとにする量\n？ ＝ ？ ÷ ？"_s << u""_s;
    // clang-format on
}

void TestRelationDiagram::picturesReadAtEveryRatio()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QFETCH(bool, revealed);
    const RelationDiagram diagram = relationDiagramOf(row, Kind(kind), revealed);
    QTEST(relationDiagramDescription(diagram), "description");
    QStringList red;
    for (const DiagramText &text : diagram.texts) {
        if (text.revealed)
            red << text.text;
    }
    QTEST(red.join(u'|'), "red");

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

QTEST_GUILESS_MAIN(TestRelationDiagram)
#include "tst_relation_diagram.moc"
