// The worksheet layout on a recording canvas: the page picture, pages and sheets, boxed cells.
#include "recording_canvas.h"

#include "drill/problem_set.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr PrintableArea Example { 4800, 6800 };

ProblemTableData tableOf(int kind, quint32 seed)
{
    RandomGenerator rng;
    rng.seed = seed;
    ProblemTableData table;
    makeProblemTable(table, Kind(kind), rng);
    return table;
}

// The lines a page prints for problems: its texts below the headings.
QList<DrawnText> problemTexts(const RecordedPage &page)
{
    QList<DrawnText> out;
    for (const DrawnText &t : page.texts) {
        if (t.y >= 1100)
            out << t;
    }
    return out;
}

QSet<int> lineYs(const RecordedPage &page)
{
    QSet<int> ys;
    for (const DrawnText &t : problemTexts(page))
        ys << t.y;
    return ys;
}

} // namespace

class TestWorksheetPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pageMatchesTheWorkedExample();
    void pagesAndSheets_data();
    void pagesAndSheets();
    void hiddenRatioIsABoxThenTheAnswer();
    void hiddenPercentageBoxesNothing();
    void buaiKindsPrintTwoAlikeSheets();
    void failuresAreReported();
    void generalNumberText_data();
    void generalNumberText();
    void pagesToPrint_data();
    void pagesToPrint();
};

void TestWorksheetPage::pagesToPrint_data()
{
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QList<int>>("pages");
    QTest::newRow("all") << 6 << 0 << 0 << 1 << true << false << QList<int> { 1, 2, 3, 4, 5, 6 };
    QTest::newRow("2-3") << 6 << 2 << 3 << 1 << true << false << QList<int> { 2, 3 };
    QTest::newRow("one answer page") << 6 << 5 << 5 << 1 << true << false << QList<int> { 5 };
    QTest::newRow("range past the end") << 4 << 3 << 9 << 1 << true << false << QList<int> { 3, 4 };
    QTest::newRow("range wholly past the end")
            << 4 << 7 << 9 << 1 << true << false << QList<int> {};
    QTest::newRow("2 collated copies")
            << 2 << 0 << 0 << 2 << true << false << QList<int> { 1, 2, 1, 2 };
    QTest::newRow("2 copies page by page")
            << 2 << 0 << 0 << 2 << false << false << QList<int> { 1, 1, 2, 2 };
    QTest::newRow("last page first") << 6 << 2 << 4 << 1 << true << true << QList<int> { 4, 3, 2 };
    QTest::newRow("no copies is one") << 2 << 0 << 0 << 0 << true << false << QList<int> { 1, 2 };
    QTest::newRow("no pages") << 0 << 0 << 0 << 1 << true << false << QList<int> {};
}

void TestWorksheetPage::pagesToPrint()
{
    QFETCH(int, pageCount);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(bool, reverse);
    QFETCH(QList<int>, pages);
    const std::vector<int> got = ::pagesToPrint(pageCount, { from, to, copies, collate, reverse });
    QCOMPARE(QList<int>(got.begin(), got.end()), pages);
}

void TestWorksheetPage::pageMatchesTheWorkedExample()
{
    ProblemTableData table;
    for (int i = 1; i <= ProblemCount; ++i)
        table[i] = ProblemRow { double(i), 1, 100, double(i), 1, 100 };
    RecordingJob job;
    QVERIFY(job.beginJob());
    const int next = drawWorksheetPage(job, Sheet::Problems, table, 1, 100, Example);
    QCOMPARE(next, 11);
    const RecordedPage &page = job.pages.first();
    QCOMPARE(page.fonts, QStringList { u"ＭＳゴシック 14"_s });
    QCOMPARE(page.measures, 3);
    // The name box: RowPitch (6800 - 200) div 12 = 550, TopMargin 275.
    const QList<QLine> nameBox = { QLine(200, 275, 4600, 275), QLine(4600, 275, 4600, 550),
                                   QLine(4600, 550, 200, 550), QLine(200, 550, 200, 275) };
    QCOMPARE(page.lines, nameBox);
    QCOMPARE(page.texts[0].text, u"なまえ"_s);
    QCOMPARE(QPoint(page.texts[0].x, page.texts[0].y), QPoint(2400, 295));
    QCOMPARE(page.texts[1].text, u"もとになる量　　その割合　　　　くらべられる量　その割合"_s);
    QCOMPARE(QPoint(page.texts[1].x, page.texts[1].y), QPoint(200, 825));
    // Ten lines from 1100 to 6050, four columns at the width of "比べられる量○" (7 x 100).
    const QList<DrawnText> texts = problemTexts(page);
    QCOMPARE(texts.size(), 40);
    for (int line = 1; line <= 10; ++line) {
        for (int column = 0; column < 4; ++column) {
            const DrawnText &t = texts[(line - 1) * 4 + column];
            QCOMPARE(t.y, 550 * (line + 1));
            QCOMPARE(t.x, 200 + column * 700);
        }
        QCOMPARE(texts[(line - 1) * 4].text, QString::number(line));
        QCOMPARE(texts[(line - 1) * 4 + 3].text, u"1"_s);
    }
    QCOMPARE(texts.last().y, 6050);
}

void TestWorksheetPage::pagesAndSheets_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("linesPerPage");
    QTest::newRow("100") << 100 << QList<int>(20, 10);
    QTest::newRow("25") << 25 << QList<int> { 10, 10, 5, 10, 10, 5 };
    QTest::newRow("1") << 1 << QList<int> { 1, 1 };
    QTest::newRow("0: no job") << 0 << QList<int> {};
    QTest::newRow("-3: no job") << -3 << QList<int> {};
}

void TestWorksheetPage::pagesAndSheets()
{
    QFETCH(int, count);
    QFETCH(QList<int>, linesPerPage);
    const ProblemTableData table = tableOf(1, 99);
    RecordingJob job;
    const auto printed = printWorksheets(job, table, count, Example);
    QVERIFY2(printed, qPrintable(printed.errorString()));
    QCOMPARE(printed.value(), int(linesPerPage.size()));
    QCOMPARE(job.jobs, linesPerPage.isEmpty() ? 0 : 1);
    QCOMPARE(job.pages.size(), linesPerPage.size());
    for (int p = 0; p < job.pages.size(); ++p) {
        QCOMPARE(int(lineYs(job.pages[p]).size()), linesPerPage[p]);
        QCOMPARE(job.pages[p].measures, 3);
    }
    if (count == 25) {
        // Answer page 1 holds rows 1 to 10 again: its first base amount is row 1's.
        const QString row1 = QString::number(table[1].BaseAmount);
        QCOMPARE(problemTexts(job.pages[0]).first().text, row1);
        QCOMPARE(problemTexts(job.pages[3]).first().text, row1);
    }
}

void TestWorksheetPage::hiddenRatioIsABoxThenTheAnswer()
{
    ProblemTableData table;
    table[1] = ProblemRow { 100, 1, 100, 7, -0.07, 7.000000000000001 };
    RecordingJob job;
    QVERIFY(printWorksheets(job, table, 1, Example));
    QCOMPARE(job.pages.size(), 2);
    const int x = 200 + 3 * 700, y = 1100, half = 60;
    const QList<QLine> box = { QLine(x, y - half, x + 500, y - half),
                               QLine(x + 500, y - half, x + 500, y + 120 + half),
                               QLine(x + 500, y + 120 + half, x, y + 120 + half),
                               QLine(x, y + 120 + half, x, y - half) };
    for (int p = 0; p < 2; ++p) {
        const RecordedPage &page = job.pages[p];
        QCOMPARE(page.lines.mid(4), box);
        QStringList texts;
        for (const DrawnText &t : problemTexts(page))
            texts << t.text;
        QCOMPARE(texts,
                 p == 0 ? (QStringList { u"100"_s, u"1"_s, u"7"_s })
                        : (QStringList { u"100"_s, u"1"_s, u"7"_s, u"0.07"_s }));
    }
    QCOMPARE(problemTexts(job.pages[1]).last().x, x);
}

void TestWorksheetPage::hiddenPercentageBoxesNothing()
{
    ProblemTableData table;
    table[1] = ProblemRow { 20, 1, 100, 9, 0.45, -45 };
    table[2] = ProblemRow { 20, 1, -100, 9, 0.45, 45 };
    RecordingJob job;
    QVERIFY(printWorksheets(job, table, 2, Example));
    for (const RecordedPage &page : job.pages) {
        QCOMPARE(page.lines.size(), 4); // the name box only
        QCOMPARE(problemTexts(page).size(), 8);
    }
}

void TestWorksheetPage::buaiKindsPrintTwoAlikeSheets()
{
    for (int kind : { 9, 10 }) {
        const ProblemTableData table = tableOf(kind, 5);
        RecordingJob job;
        QVERIFY(printWorksheets(job, table, 100, Example));
        QCOMPARE(job.pages.size(), 20);
        for (int p = 0; p < 10; ++p) {
            QCOMPARE(job.pages[p].lines.size(), 4);
            QCOMPARE(problemTexts(job.pages[p]).size(), 40);
            for (int i = 0; i < 40; ++i)
                QCOMPARE(problemTexts(job.pages[p])[i].text,
                         problemTexts(job.pages[p + 10])[i].text);
        }
    }
}

void TestWorksheetPage::failuresAreReported()
{
    const ProblemTableData table = tableOf(2, 3);
    RecordingJob refused;
    refused.failBegin = true;
    auto printed = printWorksheets(refused, table, 10, Example);
    QCOMPARE(printed.errorString(), u"recorded failure"_s);
    QVERIFY(refused.pages.isEmpty());
    RecordingJob broken;
    broken.failAtPage = 3;
    printed = printWorksheets(broken, table, 30, Example);
    QVERIFY(!printed);
    QCOMPARE(broken.pages.size(), 2);
}

void TestWorksheetPage::generalNumberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1.0 << u"1"_s;
    QTest::newRow("0.07") << 0.07 << u"0.07"_s;
    QTest::newRow("2.5") << 2.5 << u"2.5"_s;
    QTest::newRow("a step above 7") << 7.000000000000001 << u"7"_s;
    QTest::newRow("0.001") << 0.001 << u"0.001"_s;
    QTest::newRow("999") << 999.0 << u"999"_s;
    QTest::newRow("99.9") << 99.9 << u"99.9"_s;
    QTest::newRow("0.28 from 0.1 x 2.8") << 0.28 * 0.1 << u"0.028"_s;
}

void TestWorksheetPage::generalNumberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(::generalNumberText(value), text);
}

QTEST_GUILESS_MAIN(TestWorksheetPage)
#include "tst_worksheet_page.moc"
