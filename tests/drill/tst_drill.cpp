// The steps of a drill without a window: what a key in an answer box or a buai box and the
// reveal button do to the drill and ask the window to show; the drill length as typed.
#include "drill/drill.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Box)
Q_DECLARE_METATYPE(BoxKey)
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(std::optional<Box>)

namespace {

constexpr Box Compared = Box::ComparedAmount;

// A key pressed in a box, or an Enter pressed after a key was let go there.
DrillStep press(Drill &drill, Box box, BoxKey key, double typed = 0)
{
    return drill.key(box, KeyPhase::Press, key, typed);
}
DrillStep enter(Drill &drill, Box box, double typed)
{
    drill.key(box, KeyPhase::Release, BoxKey::Other, 0);
    return press(drill, box, BoxKey::Enter, typed);
}

// Problem 3 of a drill of 5, answer box Edit4 armed, expecting 12, first try, mascot shown.
Drill midDrill()
{
    Drill drill;
    drill.CurrentNo = 3;
    drill.CorrectCount = 2;
    drill.DrillLength = 5;
    drill.AnswerField = Compared;
    drill.ExpectedValue = 12;
    drill.FirstTry = true;
    drill.MascotShown = true;
    return drill;
}

} // namespace

class TestDrill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerBoxKey_data();
    void answerBoxKey();
    void buaiBoxKey_data();
    void buaiBoxKey();
    void revealOrNext();
    void drillLength_data();
    void drillLength();
    void missedProblemsAreReviewed();
    void worksheets_data();
    void worksheets();
};

void TestDrill::answerBoxKey_data()
{
    QTest::addColumn<Box>("box");
    QTest::addColumn<BoxKey>("key");
    QTest::addColumn<double>("typed");
    QTest::addColumn<bool>("firstTry");
    QTest::addColumn<int>("currentNo");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("nowAt");
    QTest::addColumn<bool>("finished");
    // box key typed firstTry no → verdict correct rate no finished
    QTest::newRow("right at the first try counts") << Compared << BoxKey::Enter << 12.0 << true << 3
                                                   << Verdict::Right << 3 << 100 << 4 << false;
    QTest::newRow("right after a wrong one does not")
            << Compared << BoxKey::Enter << 12.0 << false << 3 << Verdict::Right << 2 << 66 << 4
            << false;
    QTest::newRow("wrong") << Compared << BoxKey::Enter << 11.0 << true << 3 << Verdict::Wrong << 2
                           << 66 << 3 << false;
    QTest::newRow("NaN is wrong") << Compared << BoxKey::Enter << qQNaN() << true << 3
                                  << Verdict::Wrong << 2 << 66 << 3 << false;
    QTest::newRow("right at the last problem ends the drill")
            << Compared << BoxKey::Enter << 12.0 << true << 5 << Verdict::Right << 3 << 60 << 6
            << true;
    QTest::newRow("another key judges nothing") << Compared << BoxKey::Other << 12.0 << true << 3
                                                << Verdict::None << 2 << 0 << 3 << false;
    QTest::newRow("Enter in a box that is not the answer's")
            << Box::BaseAmount << BoxKey::Enter << 12.0 << true << 3 << Verdict::None << 2 << 0 << 3
            << false;
}

void TestDrill::answerBoxKey()
{
    QFETCH(Box, box);
    QFETCH(BoxKey, key);
    QFETCH(double, typed);
    QFETCH(bool, firstTry);
    QFETCH(int, currentNo);
    Drill state = midDrill();
    state.FirstTry = firstTry;
    state.CurrentNo = currentNo;
    state.key(box, KeyPhase::Release, BoxKey::Other, 0);
    const DrillStep step = press(state, box, key, typed);
    QTEST(step.verdict, "verdict");
    QTEST(int(state.CorrectCount), "correct");
    QTEST(int(state.RatePercent), "rate");
    QTEST(int(state.CurrentNo), "nowAt");
    QTEST(step.finished, "finished");
    QCOMPARE(step.nextProblem, step.verdict == Verdict::Right && !step.finished);
    QCOMPARE(step.focusBox,
             step.verdict == Verdict::Wrong ? std::optional(Compared) : std::nullopt);
    QCOMPARE(state.MascotShown, step.verdict == Verdict::None);
    // The key after a verdict brings the mascot back, once.
    if (step.verdict != Verdict::None) {
        QCOMPARE(press(state, box, BoxKey::Other).mascotPrompt,
                 std::optional(u"答を入れてリターンキー。"_s));
        QCOMPARE(press(state, box, BoxKey::Other).mascotPrompt, std::nullopt);
    }
    // A held Enter judges once: its repeats find the box disarmed until a key is let go there.
    QCOMPARE(state.key(box, KeyPhase::Repeat, BoxKey::Enter, typed).verdict, Verdict::None);
    QCOMPARE(press(state, box, BoxKey::Enter, typed).verdict, Verdict::None);
}

void TestDrill::buaiBoxKey_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Box>("box");
    QTest::addColumn<BoxKey>("key");
    QTest::addColumn<double>("typed");
    QTest::addColumn<std::optional<Box>>("focus");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<Box>("answerField");
    constexpr Kind K9 = Kind::RatioToBuai, K10 = Kind::BuaiToRatio;
    constexpr Box W = Box::Wari, B = Box::Bu, R = Box::Rin;
    constexpr std::optional<Box> None;
    // The problem's digits are 3, 2, 5; wari and bu typed as 3 and 2.
    QTest::newRow("wari's Enter moves to bu")
            << K9 << W << BoxKey::Enter << 3.0 << std::optional(B) << Verdict::None << B;
    QTest::newRow("bu's Enter moves to rin")
            << K9 << B << BoxKey::Enter << 2.0 << std::optional(R) << Verdict::None << R;
    QTest::newRow("rin's Enter judges all three, right")
            << K9 << R << BoxKey::Enter << 5.0 << None << Verdict::Right << R;
    QTest::newRow("wrong goes back to wari")
            << K9 << R << BoxKey::Enter << 4.0 << std::optional(W) << Verdict::Wrong << W;
    QTest::newRow("Shift in rin goes back to bu")
            << K9 << R << BoxKey::Shift << 0.0 << std::optional(B) << Verdict::None << B;
    QTest::newRow("Shift in bu goes back to wari")
            << K9 << B << BoxKey::Shift << 0.0 << std::optional(W) << Verdict::None << W;
    QTest::newRow("Shift in wari stays")
            << K9 << W << BoxKey::Shift << 0.0 << None << Verdict::None << W;
    QTest::newRow("Shift does nothing in the other buai kind")
            << K10 << R << BoxKey::Shift << 0.0 << None << Verdict::None << R;
}

void TestDrill::buaiBoxKey()
{
    QFETCH(Kind, kind);
    QFETCH(Box, box);
    QFETCH(BoxKey, key);
    QFETCH(double, typed);
    Drill state = midDrill();
    state.ProblemKind = kind;
    state.AnswerField = box;
    state.BuaiWari = 3;
    state.BuaiBu = 2;
    state.BuaiRin = 5;
    state.TypedWari = 3;
    state.TypedBu = 2;
    state.key(box, KeyPhase::Release, BoxKey::Other, 0);
    const DrillStep step = press(state, box, key, typed);
    QCOMPARE(step.pip, key == BoxKey::Enter);
    QTEST(step.focusBox, "focus");
    QTEST(step.verdict, "verdict");
    QTEST(state.AnswerField, "answerField");
    if (step.verdict == Verdict::Right)
        QCOMPARE(state.CorrectCount, 3);
    // A held Enter judges once: the box it came to waits for a key to be let go in it.
    if (key == BoxKey::Enter) {
        DrillStep pipOnly;
        pipOnly.pip = true;
        QCOMPARE(press(state, box, BoxKey::Enter, typed), pipOnly);
    }
}

void TestDrill::revealOrNext()
{
    Drill state = midDrill();
    state.MascotShown = false;
    for (int no = 1; no <= ProblemCount; ++no)
        state.ProblemTable[no].BaseAmount = no; // each problem told apart
    const std::optional<ProblemRow> comingNext = state.nextProblemRow();
    QVERIFY(comingNext);
    QCOMPARE(state.revealOrNext(),
             (RevealStep { false, false, u"次の問題をやるボタンをおしてね。"_s }));
    QCOMPARE(state.CurrentNo, 4);
    QCOMPARE(state.FirstTry, false);
    QCOMPARE(state.AnswerShown, true);
    // While the answer is on show, the problem to come is still the one after it.
    QCOMPARE(state.nextProblemRow(), comingNext);
    QCOMPARE(state.revealOrNext(), (RevealStep { true, false, std::nullopt }));
    QCOMPARE(state.AnswerShown, false);
    QCOMPARE(std::optional(state.problemRow()), comingNext);
    // The last problem's reveal ends the drill, which brings back its own mascot and prompt.
    state.CurrentNo = 5;
    state.AnswerShown = false;
    state.MascotShown = false;
    QCOMPARE(state.revealOrNext(), (RevealStep { false, true, std::nullopt }));
}

void TestDrill::drillLength_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("length"); // 0: not a whole number
    QTest::newRow("plain") << u"25"_s << 25;
    QTest::newRow("full-width, with blanks") << u"　１２ "_s << 12;
    QTest::newRow("blanks around") << u" 12 "_s << 12;
    QTest::newRow("a plus sign") << u"+7"_s << 7;
    QTest::newRow("zero is one") << u"0"_s << 1;
    QTest::newRow("negative is one") << u"-5"_s << 1;
    QTest::newRow("over a set is a set") << u"101"_s << 100;
    QTest::newRow("2^31") << u"2147483648"_s << 100;
    QTest::newRow("-2^31 - 1") << u"-2147483649"_s << 1;
    QTest::newRow("beyond any integer") << u"99999999999999999999999"_s << 100;
    QTest::newRow("a fraction") << u"1.5"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("blanks") << u"  "_s << 0;
    QTest::newRow("two signs") << u"--3"_s << 0;
    QTest::newRow("a sign alone") << u"+"_s << 0;
    QTest::newRow("two numbers") << u"1 2"_s << 0;
    QTest::newRow("letters") << u"ten"_s << 0;
    QTest::newRow("a kanji numeral") << u"十"_s << 0;
}

void TestDrill::drillLength()
{
    QFETCH(QString, typed);
    QFETCH(int, length);
    QCOMPARE(drillLengthOf(typed), length ? std::optional<std::int32_t>(length) : std::nullopt);
}

void TestDrill::missedProblemsAreReviewed()
{
    // A drill of 5 from problem 3: 3 wrong twice then right, 4 revealed, 5 right.
    Drill state = midDrill();
    state.startDrill();
    enter(state, Compared, 11);
    enter(state, Compared, 10);
    enter(state, Compared, 12);
    state.revealOrNext();
    // A wrong answer typed at the revealed problem is a miss of that problem, not of the next.
    enter(state, Compared, 11);
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 3, 4 }));
    state.FirstTry = true;
    QCOMPARE(enter(state, Compared, 12).finished, true);
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 3, 4 }));
    QVERIFY(state.endDrill());
    state.resetToResting();

    // The review runs through rows 3 and 4 only, as a drill of 2, and gives the length back.
    QVERIFY(state.startReview());
    QCOMPARE(state.DrillLength, 2);
    state.LengthChosen = true;
    QCOMPARE(state.printedSetLength(), 5);
    QCOMPARE(state.CurrentNo, 1);
    QCOMPARE(state.rowOfProblem(), 3);
    // A length chosen during the review is the pupil's from its end; the review keeps its own.
    state.chooseDrillLength(std::nullopt);
    QCOMPARE(state.DrillLength, 2);
    state.CurrentNo = 2;
    QCOMPARE(state.rowOfProblem(), 4);
    state.revealOrNext();
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 4 }));
    QVERIFY(state.endDrill());
    QCOMPARE(state.DrillLength, 100);
    QVERIFY(!state.LengthChosen);
    state.chooseDrillLength(5);
    QCOMPARE(state.DrillLength, 5);
    QVERIFY(state.ReviewRows.empty());

    // A new set forgets what was missed; nothing missed offers nothing.
    state.forgetReview();
    QVERIFY(!state.startReview());
    state.startDrill();
    QVERIFY(!state.endDrill());
    // Outside a drill nothing is noted.
    state.AnswerShown = false;
    state.revealOrNext();
    QVERIFY(state.MissedRows.empty());
}

void TestDrill::worksheets_data()
{
    QTest::addColumn<bool>("lengthChosen");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("printed");
    QTest::addColumn<int>("setLength");
    QTest::newRow("kind 1, 25 chosen") << true << Kind::AmountsToRatio << 25 << true << 25;
    QTest::newRow("kind 3, the last of the column")
            << true << Kind::RatioAndAmount << 7 << true << 7;
    QTest::newRow("kind 4 is not printed") << true << Kind::AmountsToPercent << 25 << false << 25;
    QTest::newRow("no length chosen: a whole set, not printed")
            << false << Kind::AmountsToRatio << 25 << false << 100;
}

void TestDrill::worksheets()
{
    QFETCH(bool, lengthChosen);
    QFETCH(Kind, kind);
    QFETCH(int, length);
    Drill state;
    state.LengthChosen = lengthChosen;
    state.DrillLength = length;
    QTEST(worksheetsCanBePrinted(lengthChosen, kind), "printed");
    QTEST(int(state.printedSetLength()), "setLength");
}

QTEST_GUILESS_MAIN(TestDrill)
#include "tst_drill.moc"
