// The steps of a drill without a window: what an answer box's key, a buai box's key and the
// reveal button do to the drill state and ask the window to show; the drill length as typed.
#include "drill/drill_flow.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(BoxKey)
Q_DECLARE_METATYPE(Verdict)

namespace {

// Problem 3 of a drill of 5, answer box Edit4 armed, expecting 12, first try, mascot shown.
DrillStateData midDrill()
{
    DrillStateData state;
    state.CurrentNo = 3;
    state.CorrectCount = 2;
    state.DrillLength = 5;
    state.AnswerField = 4;
    state.ExpectedValue = 12;
    state.FirstTry = true;
    state.MascotShown = true;
    state.keyArmed(4) = true;
    return state;
}

} // namespace

class TestDrillFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerBoxKey_data();
    void answerBoxKey();
    void buaiBoxKey_data();
    void buaiBoxKey();
    void keyLetGoArmsItsBox();
    void promptFor();
    void revealOrNext();
    void drillLength_data();
    void drillLength();
    void missedProblemsAreReviewed();
    void worksheets_data();
    void worksheets();
};

void TestDrillFlow::answerBoxKey_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<BoxKey>("key");
    QTest::addColumn<double>("typed");
    QTest::addColumn<bool>("firstTry");
    QTest::addColumn<int>("currentNo");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("nowAt");
    QTest::addColumn<bool>("finished");
    // code key typed firstTry no → verdict correct rate no finished
    QTest::newRow("right at the first try counts")
            << 4 << BoxKey::Enter << 12.0 << true << 3 << Verdict::Right << 3 << 100 << 4 << false;
    QTest::newRow("right after a wrong one does not")
            << 4 << BoxKey::Enter << 12.0 << false << 3 << Verdict::Right << 2 << 66 << 4 << false;
    QTest::newRow("wrong") << 4 << BoxKey::Enter << 11.0 << true << 3 << Verdict::Wrong << 2 << 66
                           << 3 << false;
    QTest::newRow("NaN is wrong") << 4 << BoxKey::Enter << qQNaN() << true << 3 << Verdict::Wrong
                                  << 2 << 66 << 3 << false;
    QTest::newRow("right at the last problem ends the drill")
            << 4 << BoxKey::Enter << 12.0 << true << 5 << Verdict::Right << 3 << 60 << 6 << true;
    QTest::newRow("another key judges nothing")
            << 4 << BoxKey::Other << 12.0 << true << 3 << Verdict::None << 2 << 0 << 3 << false;
    QTest::newRow("Enter in a box that is not the answer's")
            << 1 << BoxKey::Enter << 12.0 << true << 3 << Verdict::None << 2 << 0 << 3 << false;
}

void TestDrillFlow::answerBoxKey()
{
    QFETCH(int, code);
    QFETCH(BoxKey, key);
    QFETCH(double, typed);
    QFETCH(bool, firstTry);
    QFETCH(int, currentNo);
    DrillStateData state = midDrill();
    state.keyArmed(code) = true;
    state.FirstTry = firstTry;
    state.CurrentNo = currentNo;
    const DrillStep step = AnswerBoxKey(state, code, key, typed);
    QTEST(step.verdict, "verdict");
    QTEST(int(state.CorrectCount), "correct");
    QTEST(int(state.RatePercent), "rate");
    QTEST(int(state.CurrentNo), "nowAt");
    QTEST(step.finished, "finished");
    QCOMPARE(step.nextProblem, step.verdict == Verdict::Right && !step.finished);
    QCOMPARE(step.focusBox, step.verdict == Verdict::Wrong ? std::optional<int>(4) : std::nullopt);
    QCOMPARE(state.keyArmed(code), false);
    QCOMPARE(state.MascotShown, step.verdict == Verdict::None);
    // The key after a verdict brings the mascot back, once.
    if (step.verdict != Verdict::None) {
        QCOMPARE(AnswerBoxKey(state, code, BoxKey::Other, 0).mascotPrompt,
                 std::optional(u"答を入れてリターンキー。"_s));
        QCOMPARE(AnswerBoxKey(state, code, BoxKey::Other, 0).mascotPrompt, std::nullopt);
    }
    // An unarmed box judges nothing: a held Enter judges once.
    QCOMPARE(AnswerBoxKey(state, code, BoxKey::Enter, typed).verdict, Verdict::None);
}

void TestDrillFlow::buaiBoxKey_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    QTest::addColumn<BoxKey>("key");
    QTest::addColumn<double>("typed");
    QTest::addColumn<int>("focus"); // 0: none
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("answerField");
    // The problem's digits are 3, 2, 5; wari and bu typed as 3 and 2.
    QTest::newRow("wari's Enter moves to bu")
            << 9 << 11 << BoxKey::Enter << 3.0 << 12 << Verdict::None << 12;
    QTest::newRow("bu's Enter moves to rin")
            << 9 << 12 << BoxKey::Enter << 2.0 << 13 << Verdict::None << 13;
    QTest::newRow("rin's Enter judges all three, right")
            << 9 << 13 << BoxKey::Enter << 5.0 << 0 << Verdict::Right << 13;
    QTest::newRow("wrong goes back to wari")
            << 9 << 13 << BoxKey::Enter << 4.0 << 11 << Verdict::Wrong << 11;
    QTest::newRow("Shift in rin goes back to bu")
            << 9 << 13 << BoxKey::Shift << 0.0 << 12 << Verdict::None << 12;
    QTest::newRow("Shift in bu goes back to wari")
            << 9 << 12 << BoxKey::Shift << 0.0 << 11 << Verdict::None << 11;
    QTest::newRow("Shift in wari stays")
            << 9 << 11 << BoxKey::Shift << 0.0 << 0 << Verdict::None << 11;
    QTest::newRow("Shift does nothing in the other buai kind")
            << 10 << 13 << BoxKey::Shift << 0.0 << 0 << Verdict::None << 13;
}

void TestDrillFlow::buaiBoxKey()
{
    QFETCH(int, kind);
    QFETCH(int, code);
    QFETCH(BoxKey, key);
    QFETCH(double, typed);
    QFETCH(int, focus);
    DrillStateData state = midDrill();
    state.ProblemKind = kind;
    state.AnswerField = code;
    state.keyArmed(code) = true;
    state.BuaiWari = 3;
    state.BuaiBu = 2;
    state.BuaiRin = 5;
    state.TypedWari = 3;
    state.TypedBu = 2;
    const DrillStep step = BuaiBoxKey(state, code, key, typed);
    QCOMPARE(step.pip, key == BoxKey::Enter);
    QCOMPARE(step.focusBox, focus ? std::optional<int>(focus) : std::nullopt);
    QTEST(step.verdict, "verdict");
    QTEST(int(state.AnswerField), "answerField");
    if (step.verdict == Verdict::Right)
        QCOMPARE(state.CorrectCount, 3);
    // A held Enter judges once: the box it came to waits for a key to be let go in it.
    if (key == BoxKey::Enter)
        QCOMPARE(state.keyArmed(code), false);
}

void TestDrillFlow::keyLetGoArmsItsBox()
{
    DrillStateData state = midDrill();
    state.keyArmed(4) = false;
    BoxKeyUp(state, BoxCode::ComparedAmount);
    QVERIFY(state.keyArmed(4));
    // A held Enter's repeat shows its release to have been none: the box stays unarmed.
    RetractBoxKeyUp(state, BoxCode::ComparedAmount);
    QVERIFY(!state.keyArmed(4));
    // A digit let go while Enter is held armed the box, and Enter's repeat keeps that.
    state.keyArmed(4) = true;
    BoxKeyUp(state, BoxCode::ComparedAmount);
    RetractBoxKeyUp(state, BoxCode::ComparedAmount);
    QVERIFY(state.keyArmed(4));
    // Only the box the release came to is put back.
    BoxKeyUp(state, BoxCode::ComparedRatio);
    RetractBoxKeyUp(state, BoxCode::ComparedAmount);
    QVERIFY(state.keyArmed(5));
}

void TestDrillFlow::promptFor()
{
    for (int code : { 0, 1, 6, 7, 11 })
        QCOMPARE(PromptFor(code), std::nullopt);
    QCOMPARE(PromptFor(12), std::optional(u"答を入れてリターンキーで「厘」へ。"_s));
    QCOMPARE(PromptFor(13), std::optional(u"答を入れてリターンキーで判定。"_s));
}

void TestDrillFlow::revealOrNext()
{
    DrillStateData state = midDrill();
    state.MascotShown = false;
    QCOMPARE(RevealOrNext(state),
             (RevealStep { false, false, u"次の問題をやるボタンをおしてね。"_s }));
    QCOMPARE(state.CurrentNo, 4);
    QCOMPARE(state.FirstTry, false);
    QCOMPARE(state.AnswerShown, true);
    QCOMPARE(RevealOrNext(state), (RevealStep { true, false, std::nullopt }));
    QCOMPARE(state.AnswerShown, false);
    // The last problem's reveal ends the drill, which brings back its own mascot and prompt.
    state.CurrentNo = 5;
    state.AnswerShown = false;
    state.MascotShown = false;
    QCOMPARE(RevealOrNext(state), (RevealStep { false, true, std::nullopt }));
}

void TestDrillFlow::drillLength_data()
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

void TestDrillFlow::drillLength()
{
    QFETCH(QString, typed);
    QFETCH(int, length);
    QCOMPARE(DrillLengthOf(typed), length ? std::optional<std::int32_t>(length) : std::nullopt);
}

void TestDrillFlow::missedProblemsAreReviewed()
{
    // A drill of 5 from problem 3: 3 wrong twice then right, 4 revealed, 5 right.
    DrillStateData state = midDrill();
    StartDrill(state);
    AnswerBoxKey(state, 4, BoxKey::Enter, 11);
    state.keyArmed(4) = true;
    AnswerBoxKey(state, 4, BoxKey::Enter, 10);
    state.keyArmed(4) = true;
    AnswerBoxKey(state, 4, BoxKey::Enter, 12);
    RevealOrNext(state);
    // A wrong answer typed at the revealed problem is a miss of that problem, not of the next.
    state.keyArmed(4) = true;
    AnswerBoxKey(state, 4, BoxKey::Enter, 11);
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 3, 4 }));
    state.keyArmed(4) = true;
    state.FirstTry = true;
    QCOMPARE(AnswerBoxKey(state, 4, BoxKey::Enter, 12).finished, true);
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 3, 4 }));
    QVERIFY(EndDrill(state));
    state.resetToResting();

    // The review runs through rows 3 and 4 only, as a drill of 2, and gives the length back.
    QVERIFY(StartReview(state));
    QCOMPARE(state.DrillLength, 2);
    state.LengthChosen = true;
    QCOMPARE(PrintedSetLength(state), 5);
    QCOMPARE(state.CurrentNo, 1);
    QCOMPARE(RowOfProblem(state), 3);
    // A length chosen during the review is the pupil's from its end; the review keeps its own.
    ChooseDrillLength(state, std::nullopt);
    QCOMPARE(state.DrillLength, 2);
    state.CurrentNo = 2;
    QCOMPARE(RowOfProblem(state), 4);
    RevealOrNext(state);
    QCOMPARE(state.MissedRows, (std::vector<std::int32_t> { 4 }));
    QVERIFY(EndDrill(state));
    QCOMPARE(state.DrillLength, 100);
    QVERIFY(!state.LengthChosen);
    ChooseDrillLength(state, 5);
    QCOMPARE(state.DrillLength, 5);
    QVERIFY(state.ReviewRows.empty());

    // A new set forgets what was missed; nothing missed offers nothing.
    ForgetReview(state);
    QVERIFY(!StartReview(state));
    StartDrill(state);
    QVERIFY(!EndDrill(state));
    // Outside a drill nothing is noted.
    state.AnswerShown = false;
    RevealOrNext(state);
    QVERIFY(state.MissedRows.empty());
}

void TestDrillFlow::worksheets_data()
{
    QTest::addColumn<bool>("lengthChosen");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("printed");
    QTest::addColumn<int>("setLength");
    QTest::newRow("kind 1, 25 chosen") << true << 1 << 25 << true << 25;
    QTest::newRow("kind 3, the last of the column") << true << 3 << 7 << true << 7;
    QTest::newRow("kind 4 is not printed") << true << 4 << 25 << false << 25;
    QTest::newRow("no length chosen: a whole set, not printed") << false << 1 << 25 << false << 100;
}

void TestDrillFlow::worksheets()
{
    QFETCH(bool, lengthChosen);
    QFETCH(int, kind);
    QFETCH(int, length);
    DrillStateData state;
    state.LengthChosen = lengthChosen;
    state.DrillLength = length;
    QTEST(WorksheetsCanBePrinted(lengthChosen, kind), "printed");
    QTEST(int(PrintedSetLength(state)), "setLength");
}

QTEST_GUILESS_MAIN(TestDrillFlow)
#include "tst_drill_flow.moc"
