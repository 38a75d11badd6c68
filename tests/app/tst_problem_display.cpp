// A problem laid into the boxes: colours, texts with their blanks, the answer box, the focus and
// the counters. What each kind shows is the core's table (tests/display/tst_problem_view).
#include "window_fixture.h"

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

    void aProblemIsLaidIntoTheBoxes();
    void hiddenBoxHasTheFocusWithItsTextSelected();
    void coloursFollowTheKindBothWays();
    void countersAndFirstTry();
    void focusPassesThroughEdit7AndPromptsForBuAndRin_data();
    void focusPassesThroughEdit7AndPromptsForBuAndRin();
    void unknownKindOnlyRefreshesTheCounters();
};

void TestProblemDisplay::aProblemIsLaidIntoTheBoxes()
{
    // Kind 10 writes all nine boxes and asks for buai digits; the kinds' table is the core's.
    DrillState.TypedWari = DrillState.TypedBu = DrillState.TypedRin = 7;
    show(10, ProblemRow { 20, 1, 100, 0.9, 0.045, 4.5 });
    QCOMPARE(texts(),
             (QStringList { u"    20"_s, u"     1"_s, u"   100"_s, u"   0.9"_s, u"?"_s, u""_s,
                            u"  0"_s, u" 4"_s, u" 5"_s }));
    QCOMPARE(colours(), u"WWWWWGWWW"_s);
    QCOMPARE(DrillState.AnswerField, 5);
    QCOMPARE(DrillState.ExpectedValue, 0.045);
    QCOMPARE((QList<double> { DrillState.BuaiWari, DrillState.BuaiBu, DrillState.BuaiRin }),
             (QList<double> { 0, 4, 5 }));
    QCOMPARE(DrillState.TypedWari + DrillState.TypedBu + DrillState.TypedRin, 0.0);
    QCOMPARE(WindowFixture::focused(), f.window->Edit5);
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
    QCOMPARE(DrillState.FirstTry, true);
}

void TestProblemDisplay::focusPassesThroughEdit7AndPromptsForBuAndRin_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("status");
    const QString kept = u"問題を選んでスタートボタンをおしてね！"_s;
    QTest::newRow("1") << 1 << u"Edit1"_s << kept;
    QTest::newRow("12") << 12 << u"Edit12"_s << u"答を入れてリターンキーで「厘」へ。"_s;
    QTest::newRow("0 stays in Edit7") << 0 << u"Edit7"_s << kept;
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
