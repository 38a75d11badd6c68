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
        drill().ProblemKind = Kind(kind);
        f.window->MakeProblems();
        drill().ProblemTable[1] = row;
        f.window->ShowProblem();
    }
    QStringList texts() const
    {
        QStringList out;
        for (Box box : Boxes)
            out << f.window->entryBox(box)->text();
        return out;
    }
    QString colours() const
    {
        QString out;
        for (Box box : Boxes) {
            const QColor c = WindowFixture::baseOf(f.window->entryBox(box));
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
};

void TestProblemDisplay::aProblemIsLaidIntoTheBoxes()
{
    // Kind 10 writes all nine boxes and asks for buai digits; the kinds' table is the core's.
    drill().TypedWari = drill().TypedBu = drill().TypedRin = 7;
    show(10, ProblemRow { 20, 1, 100, 0.9, 0.045, 4.5 });
    QCOMPARE(texts(),
             (QStringList { u"    20"_s, u"     1"_s, u"   100"_s, u"   0.9"_s, u"?"_s, u""_s,
                            u"  0"_s, u" 4"_s, u" 5"_s }));
    QCOMPARE(colours(), u"WWWWWGWWW"_s);
    QCOMPARE(drill().AnswerField, Box(5));
    QCOMPARE(drill().ExpectedValue, 0.045);
    QCOMPARE((QList<double> { drill().BuaiWari, drill().BuaiBu, drill().BuaiRin }),
             (QList<double> { 0, 4, 5 }));
    QCOMPARE(drill().TypedWari + drill().TypedBu + drill().TypedRin, 0.0);
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
    drill().DrillLength = 37;
    drill().LengthChosen = -1;
    drill().ProblemKind = Kind(2);
    f.window->MakeProblems();
    drill().CurrentNo = 12;
    drill().RatePercent = 83;
    drill().FirstTry = 0;
    f.window->ShowProblem();
    QCOMPARE(f.window->Edit7->text(), u"37"_s);
    QCOMPARE(f.window->Edit8->text(), u"12"_s);
    QCOMPARE(f.window->Edit9->text(), u"83"_s);
    QCOMPARE(drill().FirstTry, true);
}

void TestProblemDisplay::focusPassesThroughEdit7AndPromptsForBuAndRin_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("status");
    const QString kept = u"問題を選んでスタートボタンをおしてね！"_s;
    QTest::newRow("1") << 1 << u"Edit1"_s << kept;
    QTest::newRow("12") << 12 << u"Edit12"_s << u"答を入れてリターンキーで「厘」へ。"_s;
}

void TestProblemDisplay::focusPassesThroughEdit7AndPromptsForBuAndRin()
{
    QFETCH(int, code);
    QFETCH(QString, focus);
    QFETCH(QString, status);
    f.window->Button3->setFocus();
    QLineEdit *box = f.window->entryBox(Box(code));
    box->setText(u"12"_s);
    f.window->FocusAnswerField(Box(code));
    QCOMPARE(WindowFixture::focusedName(), focus);
    QCOMPARE(f.status(), status);
    QCOMPARE(box->selectedText(), u"12"_s);
}

QTEST_MAIN(TestProblemDisplay)
#include "tst_problem_display.moc"
