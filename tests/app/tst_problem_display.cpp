// A problem laid into the boxes, kind by kind: colours, texts with their blanks, the answer box.
#include "window_fixture.h"

#include <cmath>

Q_DECLARE_METATYPE(ProblemRow)

namespace {
const QColor Grey(0xC0, 0xC0, 0xC0);
const QColor White(Qt::white);
} // namespace

class TestProblemDisplay : public QObject
{
    Q_OBJECT
    WindowFixture f;

    // Lays `row` out as problem 1 of a fresh set of the kind.
    void show(int kind, const ProblemRow &row)
    {
        DrillState.ProblemKind = kind;
        f.window->MakeProblems();
        ProblemTable[1] = row;
        f.window->ShowProblem();
    }
    QStringList texts() const
    {
        QStringList out;
        for (int code : EntryBoxCodes)
            out << f.window->entryBox(code)->text();
        return out;
    }
    QString colours() const
    {
        QString out;
        for (int code : EntryBoxCodes) {
            const QColor c = WindowFixture::baseOf(f.window->entryBox(code));
            out += c == Grey ? u'G' : c == White ? u'W' : u'?';
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase() { initWindowTests(); }
    void init() { f.open(); }
    void cleanup() { f.close(); }

    void eachKindShowsItsBoxes_data();
    void eachKindShowsItsBoxes();
    void hiddenBoxHasTheFocusWithItsTextSelected();
    void coloursFollowTheKindBothWays();
    void buaiDigits_data();
    void buaiDigits();
    void rowOfZerosHidesEveryTestedBox();
    void countersAndFirstTry();
    void focusPassesThroughEdit7AndPromptsForBuAndRin_data();
    void focusPassesThroughEdit7AndPromptsForBuAndRin();
    void unknownKindOnlyRefreshesTheCounters();
};

void TestProblemDisplay::eachKindShowsItsBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<ProblemRow>("row");
    QTest::addColumn<QStringList>("texts"); // Edit1..6, Edit11..13
    QTest::addColumn<QString>("colours");
    QTest::addColumn<int>("answerField");
    QTest::addColumn<double>("expected");
    const QString q = u"？"_s;
    QTest::newRow("kind 1, ratio hidden")
        << 1 << ProblemRow { 20, 1, 100, 7, -0.35, 35 }
        << QStringList { u"    20"_s, u"     1"_s, u""_s, u"  7"_s, q, u""_s, u""_s, u""_s, u""_s }
        << u"WWGWWGGGG"_s << 5 << 0.35;
    QTest::newRow("kind 2, shown ratio 2 without its zeros")
        << 2 << ProblemRow { -37, 1, 100, 74, 2, 200 }
        << QStringList { q, u"     1"_s, u""_s, u" 74"_s, u"  2"_s, u""_s, u""_s, u""_s, u""_s }
        << u"WWGWWGGGG"_s << 1 << 37.0;
    QTest::newRow("kind 3, hidden base ratio is 1")
        << 3 << ProblemRow { 8, -1, 100, 12, 1.5, 150 }
        << QStringList { u"     8"_s, q, u""_s, u" 12"_s, u"  1.5"_s, u""_s, u""_s, u""_s, u""_s }
        << u"WWGWWGGGG"_s << 2 << 1.0;
    QTest::newRow("kind 4, percentage a step off a whole number")
        << 4 << ProblemRow { 100, 1, 100, 7, 0.07, -7.000000000000001 }
        << QStringList { u"   100"_s, u""_s, u"   100"_s, u"  7"_s, u""_s, q, u""_s, u""_s, u""_s }
        << u"WGWWGWGGG"_s << 6 << 7.0;
    QTest::newRow("kind 6, shown percentage 45")
        << 6 << ProblemRow { 20, 1, 100, -9, 0.45, 45 }
        << QStringList { u"    20"_s, u""_s, u"   100"_s, q, u""_s, u" 45"_s, u""_s, u""_s, u""_s }
        << u"WGWWGWGGG"_s << 4 << 9.0;
    QTest::newRow("kind 7, hidden base percentage is 100")
        << 7 << ProblemRow { 4, 1, -100, 3, 0.75, 75 }
        << QStringList { u"     4"_s, u"     1"_s, q, u"  3"_s, u"  0.75"_s, u" 75"_s, u""_s, u""_s, u""_s }
        << u"WWWWWWGGG"_s << 3 << 100.0;
    QTest::newRow("kind 8, amounts always shown")
        << 8 << ProblemRow { 50, 1, 100, 14, -0.28, 28.000000000000004 }
        << QStringList { u"    50"_s, u"     1"_s, u"   100"_s, u" 14"_s, q, u" 28"_s, u""_s, u""_s, u""_s }
        << u"WWWWWWGGG"_s << 5 << 0.28;
    QTest::newRow("kind 9, ratio 0.234 to buai")
        << 9 << ProblemRow { 50, 1, 100, 11.7, 0.234, 23.4 }
        << QStringList { u"    50"_s, u"     1"_s, u"   100"_s, u"  11.7"_s, u" 0.234"_s, u""_s, u"?"_s, u"0"_s, u"0"_s }
        << u"WWWWWGWWW"_s << 11 << -1.0;
    QTest::newRow("kind 10, buai 0.045 to a ratio")
        << 10 << ProblemRow { 20, 1, 100, 0.9, 0.045, 4.5 }
        << QStringList { u"    20"_s, u"     1"_s, u"   100"_s, u"   0.9"_s, u"?"_s, u""_s, u"  0"_s, u" 4"_s, u" 5"_s }
        << u"WWWWWGWWW"_s << 5 << 0.045;
}

void TestProblemDisplay::eachKindShowsItsBoxes()
{
    QFETCH(int, kind);
    QFETCH(ProblemRow, row);
    QFETCH(QStringList, texts);
    QFETCH(QString, colours);
    QFETCH(int, answerField);
    QFETCH(double, expected);
    show(kind, row);
    QCOMPARE(this->texts(), texts);
    QCOMPARE(this->colours(), colours);
    QCOMPARE(DrillState.AnswerField, answerField);
    // Kind 9 judges the buai digits, so the expected value stays as it was.
    QCOMPARE(DrillState.ExpectedValue, expected);
    QCOMPARE(WindowFixture::focused(), f.window->entryBox(answerField));
}

void TestProblemDisplay::hiddenBoxHasTheFocusWithItsTextSelected()
{
    show(1, ProblemRow { 20, 1, 100, 7, -0.35, 35 });
    QCOMPARE(WindowFixture::focused(), f.window->Edit5);
    QCOMPARE(f.window->Edit5->selectedText(), u"？"_s);
    // The pupil's first key replaces the mark.
    WindowFixture::type(u"0"_s);
    QCOMPARE(f.window->Edit5->text(), u"0"_s);
    // Shown again while the box already has the focus: selected again.
    f.window->ShowProblem();
    QCOMPARE(f.window->Edit5->selectedText(), u"？"_s);
}

void TestProblemDisplay::coloursFollowTheKindBothWays()
{
    show(1, ProblemRow { 20, 1, 100, 7, -0.35, 35 });
    QCOMPARE(colours(), u"WWGWWGGGG"_s);
    show(4, ProblemRow { 20, 1, 100, 7, 0.35, -35 });
    QCOMPARE(colours(), u"WGWWGWGGG"_s);
    show(1, ProblemRow { 20, 1, 100, 7, -0.35, 35 });
    QCOMPARE(colours(), u"WWGWWGGGG"_s);
}

void TestProblemDisplay::buaiDigits_data()
{
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("wari");
    QTest::addColumn<double>("bu");
    QTest::addColumn<double>("rin");
    QTest::newRow("0.234") << 0.234 << 23.4 << 2.0 << 3.0 << 4.0;
    QTest::newRow("0.045") << 0.045 << 4.5 << 0.0 << 4.0 << 5.0;
    QTest::newRow("0.23 held below 23: rin carries") << 0.23 << 22.999999999999996 << 2.0 << 3.0 << 0.0;
    QTest::newRow("0.999") << 0.999 << 99.9 << 9.0 << 9.0 << 9.0;
    QTest::newRow("0.001") << 0.001 << 0.1 << 0.0 << 0.0 << 1.0;
}

void TestProblemDisplay::buaiDigits()
{
    QFETCH(double, ratio);
    QFETCH(double, percent);
    QFETCH(double, wari);
    QFETCH(double, bu);
    QFETCH(double, rin);
    DrillState.TypedWari = DrillState.TypedBu = DrillState.TypedRin = 7;
    show(9, ProblemRow { 10, 1, 100, ratio * 10, ratio, percent });
    QCOMPARE(DrillState.BuaiWari, wari);
    QCOMPARE(DrillState.BuaiBu, bu);
    QCOMPARE(DrillState.BuaiRin, rin);
    QCOMPARE(DrillState.TypedWari + DrillState.TypedBu + DrillState.TypedRin, 0.0);
    show(10, ProblemRow { 10, 1, 100, ratio * 10, ratio, percent });
    QCOMPARE(f.window->Edit11->text().trimmed(), QString::number(wari));
    QCOMPARE(f.window->Edit12->text().trimmed(), QString::number(bu));
    QCOMPARE(f.window->Edit13->text().trimmed(), QString::number(rin));
}

void TestProblemDisplay::rowOfZerosHidesEveryTestedBox()
{
    DrillState.ProblemKind = 1;
    DrillState.CurrentNo = 100;
    f.window->ShowProblem();
    const QString q = u"？"_s;
    QCOMPARE(texts(), (QStringList { q, q, u""_s, q, q, u""_s, u""_s, u""_s, u""_s }));
    QCOMPARE(DrillState.ExpectedValue, 0.0);
    QCOMPARE(DrillState.AnswerField, 5);
}

void TestProblemDisplay::countersAndFirstTry()
{
    DrillState.DrillLength = 37;
    DrillState.LengthChosen = -1;
    DrillState.ProblemKind = 2;
    f.window->MakeProblems();
    DrillState.CurrentNo = 12;
    DrillState.RatePercent = 83;
    DrillState.FirstTry = 0;
    f.window->ShowProblem();
    QCOMPARE(f.window->Edit7->text(), u"37"_s);
    QCOMPARE(f.window->Edit8->text(), u"12"_s);
    QCOMPARE(f.window->Edit9->text(), u"83"_s);
    QCOMPARE(DrillState.FirstTry, -1);
}

void TestProblemDisplay::focusPassesThroughEdit7AndPromptsForBuAndRin_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("status");
    const QString kept = u"問題を選んでスタートボタンをおしてね！"_s;
    QTest::newRow("1") << 1 << u"Edit1"_s << kept;
    QTest::newRow("6") << 6 << u"Edit6"_s << kept;
    QTest::newRow("11") << 11 << u"Edit11"_s << kept;
    QTest::newRow("12") << 12 << u"Edit12"_s << u"答を入れてリターンキーで「厘」へ。"_s;
    QTest::newRow("13") << 13 << u"Edit13"_s << u"答を入れてリターンキーで判定。"_s;
    QTest::newRow("0 stays in Edit7") << 0 << u"Edit7"_s << kept;
    QTest::newRow("7 stays in Edit7") << 7 << u"Edit7"_s << kept;
}

void TestProblemDisplay::focusPassesThroughEdit7AndPromptsForBuAndRin()
{
    QFETCH(int, code);
    QFETCH(QString, focus);
    QFETCH(QString, status);
    f.window->Button3->setFocus();
    if (QLineEdit *box = f.window->entryBox(code))
        box->setText(u"12"_s);
    f.window->FocusAnswerField(code);
    QCOMPARE(WindowFixture::focusedName(), focus);
    QCOMPARE(f.status(), status);
    if (QLineEdit *box = f.window->entryBox(code))
        QCOMPARE(box->selectedText(), u"12"_s);
}

void TestProblemDisplay::unknownKindOnlyRefreshesTheCounters()
{
    show(1, ProblemRow { 20, 1, 100, 7, -0.35, 35 });
    const QStringList before = texts();
    DrillState.ProblemKind = 11;
    DrillState.CurrentNo = 3;
    f.window->ShowProblem();
    QCOMPARE(texts(), before);
    QCOMPARE(f.window->Edit8->text(), u"3"_s);
    QCOMPARE(WindowFixture::focused(), f.window->Edit5);
}

QTEST_MAIN(TestProblemDisplay)
#include "tst_problem_display.moc"
