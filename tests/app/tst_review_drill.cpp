// Missed problems come back: after a drill with misses, a button runs a drill of just those,
// each shown as it was the first time, until none is missed.
#include "window_fixture.h"

#include "drill/drill.h"

#include <QCheckBox>

namespace {

QStringList boxTexts(TForm1 &w)
{
    QStringList texts;
    for (Box box : Boxes)
        texts << w.entryBox(box)->text();
    return texts;
}

} // namespace

class TestReviewDrill : public QObject
{
    Q_OBJECT
    WindowFixture f;

    QPushButton *button() const { return f.window->reviewButton; }
    // A drill of `plan.size()` problems of kind 1: r right, w wrong then right, s revealed. The
    // texts each problem showed first are kept by row.
    void play(const QString &plan, QMap<int, QStringList> *shown = nullptr)
    {
        for (QChar step : plan) {
            if (shown)
                shown->insert(drill().rowOfProblem(), boxTexts(*f.window));
            if (step == u's') {
                QTest::mouseClick(f.window->Button2, Qt::LeftButton);
                if (drill().AnswerShown)
                    QTest::mouseClick(f.window->Button2, Qt::LeftButton);
                continue;
            }
            if (step == u'w')
                WindowFixture::answer(u"9999"_s);
            WindowFixture::answer(WindowFixture::answerText());
        }
    }

private Q_SLOTS:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        f.open();
        drill().ProblemKind = Kind(1);
        drill().DrillLength = 4;
        drill().LengthChosen = true;
        f.window->CheckBox1->setChecked(true);
    }
    void cleanup() { f.close(); }

    void theMissedProblemsComeBackAsTheyWere();
    void aMissInTheReviewComesBackAndStartMakesAFreshSet();
};

void TestReviewDrill::theMissedProblemsComeBackAsTheyWere()
{
    QVERIFY(button());
    QVERIFY(!button()->isVisible());
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    QMap<int, QStringList> shown;
    play(u"wrsr"_s, &shown);
    QCOMPARE(f.status(), u"おしまいです。50点でした。"_s);
    QVERIFY(button()->isVisible());
    QVERIFY(!button()->hasFocus());

    // Tab reaches it right after 出題数, and Enter presses it.
    f.window->CheckBox1->setFocus(Qt::TabFocusReason);
    WindowFixture::press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::focused(), button());
    WindowFixture::press(Qt::Key_Return);
    QVERIFY(!button()->isVisible());
    QCOMPARE(f.window->Edit7->text(), u"2"_s);
    // 出題数 unticked in the review: the review keeps its 2, the whole set is the pupil's after.
    QTest::mouseClick(f.window->CheckBox1, Qt::LeftButton);
    QCOMPARE(f.window->Edit7->text(), u"2"_s);
    QCOMPARE(f.window->Edit8->text(), u"1"_s);
    QCOMPARE(drill().rowOfProblem(), 1);
    QCOMPARE(boxTexts(*f.window), shown[1]);
    WindowFixture::answer(WindowFixture::answerText());
    QCOMPARE(f.window->Edit8->text(), u"2"_s);
    QCOMPARE(drill().rowOfProblem(), 3);
    QCOMPARE(boxTexts(*f.window), shown[3]);
    WindowFixture::answer(WindowFixture::answerText());
    QCOMPARE(f.status(), u"おしまいです。100点でした。"_s);
    QVERIFY(!button()->isVisible());
    QCOMPARE(f.window->Edit7->text(), u"100"_s);
}

void TestReviewDrill::aMissInTheReviewComesBackAndStartMakesAFreshSet()
{
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    const ProblemTableData set = drill().ProblemTable;
    play(u"swws"_s);
    QCOMPARE(f.status(), u"おしまいです。0点でした。"_s);
    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(f.window->Edit7->text(), u"4"_s);
    play(u"rrwr"_s);
    QCOMPARE(f.status(), u"おしまいです。75点でした。"_s);
    QVERIFY(button()->isVisible());
    QTest::mouseClick(button(), Qt::LeftButton);
    QCOMPARE(f.window->Edit7->text(), u"1"_s);
    QCOMPARE(drill().rowOfProblem(), 3);
    // The same set all along: no new draw.
    for (int no = 1; no <= ProblemCount; ++no) {
        for (int field = 1; field <= 6; ++field)
            QCOMPARE(drill().ProblemTable[no].field(field), set[no].field(field));
    }

    // スタート in the middle of the review: a fresh set of the chosen length.
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    QVERIFY(!button()->isVisible());
    QCOMPARE(drill().DrillLength, 4);
    QCOMPARE(f.window->Edit7->text(), u"4"_s);
    play(u"rrrr"_s);
    QCOMPARE(f.status(), u"おしまいです。100点でした。"_s);
    QVERIFY(!button()->isVisible());
}

QTEST_MAIN(TestReviewDrill)
#include "tst_review_drill.moc"
