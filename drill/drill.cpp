#include "drill/drill.h"

#include "drill/judging.h"
#include "drill/typed_text.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

using namespace Qt::StringLiterals;

std::int32_t Drill::rowOfNumber(std::int32_t no) const
{
    if (ReviewRows.empty())
        return no;
    const auto at = std::size_t(no - 1);
    return no >= 1 && at < ReviewRows.size() ? ReviewRows[at] : 0;
}

// The mascot comes back with the first key after a verdict picture.
std::optional<QString> Drill::mascotAfterVerdict(const QString &prompt)
{
    if (MascotShown)
        return std::nullopt;
    MascotShown = true;
    return prompt;
}

// A problem answered wrong, or revealed, did not count at the first try: it comes back in a
// review. Rows come in their order, so a row already noted is the last one. After a reveal
// CurrentNo names the next problem while the revealed one is still on the screen.
void Drill::noteMissed()
{
    const std::int32_t row = rowOfNumber(CurrentNo - (AnswerShown ? 1 : 0));
    if (DrillRunning && (MissedRows.empty() || MissedRows.back() != row))
        MissedRows.push_back(row);
}

// The verdict's bookkeeping: a right answer counts on its first try and moves on.
DrillStep Drill::judged(bool right, DrillStep step)
{
    MascotShown = false;
    if (right) {
        step.verdict = Verdict::Right;
        if (FirstTry)
            CorrectCount += 1;
        RatePercent = rateOf(CorrectCount, CurrentNo);
        CurrentNo += 1;
        step.finished = CurrentNo > DrillLength;
        step.nextProblem = !step.finished;
    } else {
        step.verdict = Verdict::Wrong;
        noteMissed();
        FirstTry = false;
        RatePercent = rateOf(CorrectCount, CurrentNo);
    }
    return step;
}

DrillStep Drill::key(Box box, KeyPhase phase, BoxKey key, double typed)
{
    if (phase == KeyPhase::Release) {
        keyArmed(box) = true;
        return {};
    }
    const DrillStep step =
            isQuantityBox(box) ? answerBoxKey(box, key, typed) : buaiBoxKey(box, key, typed);
    keyArmed(box) = false;
    return step;
}

DrillStep Drill::answerBoxKey(Box box, BoxKey key, double typed)
{
    DrillStep step;
    step.mascotPrompt = mascotAfterVerdict(u"答を入れてリターンキー。"_s);
    if (key == BoxKey::Enter && AnswerField == box && keyArmed(box)) {
        step = judged(isRightAnswer(typed, ExpectedValue), step);
        if (step.verdict == Verdict::Wrong)
            step.focusBox = AnswerField;
    }
    return step;
}

DrillStep Drill::buaiBoxKey(Box box, BoxKey key, double typed)
{
    DrillStep step;
    step.pip = key == BoxKey::Enter;
    const bool entered = key == BoxKey::Enter && AnswerField == box && keyArmed(box);
    if (box == Box::Wari) {
        step.mascotPrompt = mascotAfterVerdict(u"答を入れてリターンキーで「分」へ。"_s);
        if (entered) {
            TypedWari = typed;
            AnswerField = Box::Bu;
            step.focusBox = Box::Bu;
        }
        return step;
    }
    // Shift goes back only where buai is typed: elsewhere it would strand the problem's own box.
    const Box before = box == Box::Bu ? Box::Wari : Box::Bu;
    if (key == BoxKey::Shift && kindRow(ProblemKind).buai == Buai::DigitsAsked) {
        AnswerField = before;
        MascotShown = true;
        step.focusBox = before;
    } else if (entered && box == Box::Bu) {
        TypedBu = typed;
        AnswerField = Box::Rin;
        step.focusBox = Box::Rin;
    } else if (entered) {
        TypedRin = typed;
        TypedBuaiTotal = buaiTotal(TypedWari, TypedBu, TypedRin);
        ExpectedBuaiTotal = buaiTotal(BuaiWari, BuaiBu, BuaiRin);
        step = judged(isRightAnswer(TypedBuaiTotal, ExpectedBuaiTotal), step);
        // A wrong buai answer is typed again from its first digit.
        if (step.verdict == Verdict::Wrong) {
            AnswerField = Box::Wari;
            step.focusBox = Box::Wari;
        }
    }
    return step;
}

std::optional<QString> promptFor(Box box)
{
    if (box == Box::Bu)
        return u"答を入れてリターンキーで「厘」へ。"_s;
    if (box == Box::Rin)
        return u"答を入れてリターンキーで判定。"_s;
    return std::nullopt;
}

void Drill::makeProblems()
{
    forgetReview();
    if (!WorksheetPrinting)
        Rng.seedFromClock();
    makeProblemTable(ProblemTable, ProblemKind, Rng);
    CurrentNo = 1;
    CorrectCount = 0;
    RatePercent = 0;
    if (!LengthChosen)
        DrillLength = 100;
    FirstTry = false;
}

RevealStep Drill::revealOrNext()
{
    RevealStep step;
    if (AnswerShown) {
        AnswerShown = false;
        step.nextProblem = true;
        return step;
    }
    noteMissed();
    FirstTry = false;
    CurrentNo += 1;
    AnswerShown = true;
    step.finished = CurrentNo > DrillLength;
    // The end of a drill brings back its own resting state, mascot and all.
    if (!step.finished)
        step.mascotPrompt = mascotAfterVerdict(u"次の問題をやるボタンをおしてね。"_s);
    return step;
}

std::int32_t Drill::rowOfProblem() const
{
    return rowOfNumber(CurrentNo);
}

std::optional<ProblemRow> Drill::nextProblemRow() const
{
    // While an answer is on show, CurrentNo already names the problem that comes next.
    const std::int32_t next = CurrentNo + (AnswerShown ? 0 : 1);
    if (CurrentNo < 1 || next > DrillLength)
        return std::nullopt;
    return ProblemTable.rowAt(rowOfNumber(next));
}

void Drill::startDrill()
{
    DrillRunning = true;
    MissedRows.clear();
}

// No drill runs any more; a review gives the pupil's length back.
void Drill::stopDrill()
{
    if (!ReviewRows.empty())
        DrillLength = ChosenLength;
    ReviewRows.clear();
    DrillRunning = false;
}

void Drill::chooseDrillLength(std::optional<std::int32_t> length)
{
    LengthChosen = length.has_value();
    const std::int32_t chosen = length.value_or(ProblemCount);
    if (ReviewRows.empty())
        DrillLength = chosen;
    else
        ChosenLength = chosen;
}

void Drill::forgetReview()
{
    stopDrill();
    MissedRows.clear();
}

bool Drill::endDrill()
{
    const bool missed = DrillRunning && !MissedRows.empty();
    stopDrill();
    if (!missed)
        MissedRows.clear();
    return missed;
}

bool Drill::startReview()
{
    if (MissedRows.empty())
        return false;
    ReviewRows = std::exchange(MissedRows, {});
    ChosenLength = DrillLength;
    DrillLength = std::int32_t(ReviewRows.size());
    CurrentNo = 1;
    CorrectCount = 0;
    RatePercent = 0;
    FirstTry = false;
    AnswerShown = false;
    DrillRunning = true;
    return true;
}

std::int32_t Drill::printedSetLength() const
{
    if (!LengthChosen)
        return ProblemCount;
    // A review's own length stands in for the pupil's only while it runs.
    return ReviewRows.empty() ? DrillLength : ChosenLength;
}

void Drill::resetToResting()
{
    CurrentNo = 1;
    CorrectCount = 0;
    RatePercent = 0;
    FirstTry = true;
    AnswerShown = false;
    AnswerField = Box::BaseRatio;
    ExpectedValue = -1.0;
    MascotShown = true;
    KeyArmed.fill(false);
    BuaiWari = BuaiBu = BuaiRin = 0.0;
    TypedWari = TypedBu = TypedRin = 0.0;
    TypedBuaiTotal = ExpectedBuaiTotal = 0.0;
}

bool worksheetsCanBePrinted(bool lengthChosen, Kind kind)
{
    return lengthChosen && kindRow(kind).printable;
}

QString scoreText(std::int32_t ratePercent)
{
    return u"おしまいです。"_s + QString::number(ratePercent) + u"点でした。"_s;
}

std::optional<std::int32_t> drillLengthOf(const QString &typed)
{
    std::string ascii;
    for (QChar c : typed) {
        const char16_t u = HalfWidthOf(c.unicode());
        if (u > 0x7F)
            return std::nullopt;
        ascii.push_back(char(u));
    }
    const auto first = ascii.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    ascii = ascii.substr(first, ascii.find_last_not_of(' ') - first + 1);
    const bool negative = ascii.front() == '-';
    const char *begin = ascii.data() + ((negative || ascii.front() == '+') ? 1 : 0);
    const char *end = ascii.data() + ascii.size();
    if (begin == end || *begin == '-' || *begin == '+')
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [ptr, error] = std::from_chars(begin, end, value);
    if (ptr != end)
        return std::nullopt;
    // Too large or too small a number is a whole number all the same: a drill has at least one
    // problem and at most the hundred of a set.
    if (negative)
        return 1;
    if (error == std::errc::result_out_of_range || value > std::uint64_t(ProblemCount))
        return ProblemCount;
    return std::max<std::int32_t>(std::int32_t(value), 1);
}
