#include "drill/drill_flow.h"

#include "drill/judging.h"
#include "drill/typed_text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace {

std::int32_t rowOfNumber(const DrillStateData &state, std::int32_t no)
{
    if (state.ReviewRows.empty())
        return no;
    const auto at = std::size_t(no - 1);
    return no >= 1 && at < state.ReviewRows.size() ? state.ReviewRows[at] : 0;
}

// The mascot comes back with the first key after a verdict picture.
std::optional<QString> mascotAfterVerdict(DrillStateData &state, const QString &prompt)
{
    if (state.MascotShown)
        return std::nullopt;
    state.MascotShown = true;
    return prompt;
}

// A problem answered wrong, or revealed, did not count at the first try: it comes back in a
// review. Rows come in their order, so a row already noted is the last one. After a reveal
// CurrentNo names the next problem while the revealed one is still on the screen.
void noteMissed(DrillStateData &state)
{
    const std::int32_t row = rowOfNumber(state, state.CurrentNo - (state.AnswerShown ? 1 : 0));
    if (state.DrillRunning && (state.MissedRows.empty() || state.MissedRows.back() != row))
        state.MissedRows.push_back(row);
}

// The verdict's bookkeeping: a right answer counts on its first try and moves on.
DrillStep judged(DrillStateData &state, bool right, DrillStep step)
{
    state.MascotShown = false;
    if (right) {
        step.verdict = Verdict::Right;
        if (state.FirstTry)
            state.CorrectCount += 1;
        state.RatePercent = RateOf(state.CorrectCount, state.CurrentNo);
        state.CurrentNo += 1;
        step.finished = state.CurrentNo > state.DrillLength;
        step.nextProblem = !step.finished;
    } else {
        step.verdict = Verdict::Wrong;
        noteMissed(state);
        state.FirstTry = false;
        state.RatePercent = RateOf(state.CorrectCount, state.CurrentNo);
    }
    return step;
}

} // namespace

DrillStep AnswerBoxKey(DrillStateData &state, int code, BoxKey key, double typed)
{
    DrillStep step;
    step.mascotPrompt = mascotAfterVerdict(state, u"答を入れてリターンキー。"_s);
    if (key == BoxKey::Enter && state.AnswerField == code && state.keyArmed(code)) {
        step = judged(state, IsRightAnswer(typed, state.ExpectedValue), step);
        if (step.verdict == Verdict::Wrong)
            step.focusBox = state.AnswerField;
    }
    state.keyArmed(code) = false;
    return step;
}

DrillStep BuaiBoxKey(DrillStateData &state, int code, BoxKey key, double typed)
{
    DrillStep step;
    step.pip = key == BoxKey::Enter;
    if (code == 11) {
        step.mascotPrompt = mascotAfterVerdict(state, u"答を入れてリターンキーで「分」へ。"_s);
        if (key == BoxKey::Enter && state.AnswerField == 11 && state.keyArmed(11)) {
            state.TypedWari = typed;
            state.AnswerField = 12;
            state.keyArmed(11) = false;
            step.focusBox = 12;
        }
        return step;
    }
    // Shift goes back only in the buai kind: elsewhere it would strand the problem's own box.
    if (key == BoxKey::Shift && state.ProblemKind == 9) {
        state.AnswerField = code - 1;
        state.MascotShown = true;
        step.focusBox = code - 1;
    } else if (key == BoxKey::Enter && state.AnswerField == code && state.keyArmed(code)) {
        if (code == 12) {
            state.TypedBu = typed;
            state.AnswerField = 13;
            step.focusBox = 13;
        } else {
            state.TypedRin = typed;
            state.TypedBuaiTotal = BuaiTotal(state.TypedWari, state.TypedBu, state.TypedRin);
            state.ExpectedBuaiTotal = BuaiTotal(state.BuaiWari, state.BuaiBu, state.BuaiRin);
            step = judged(state, IsRightAnswer(state.TypedBuaiTotal, state.ExpectedBuaiTotal),
                          step);
            // A wrong buai answer is typed again from its first digit.
            if (step.verdict == Verdict::Wrong) {
                state.AnswerField = 11;
                step.focusBox = 11;
            }
        }
    }
    state.keyArmed(code) = false;
    return step;
}

void BoxKeyUp(DrillStateData &state, BoxCode box)
{
    const int code = int(box);
    state.LastKeyUpBox = code;
    state.ArmedBeforeKeyUp = state.keyArmed(code);
    state.keyArmed(code) = true;
}

void RetractBoxKeyUp(DrillStateData &state, BoxCode box)
{
    const int code = int(box);
    if (state.LastKeyUpBox == code)
        state.keyArmed(code) = state.ArmedBeforeKeyUp;
    state.LastKeyUpBox = 0;
}

std::optional<QString> PromptFor(int code)
{
    if (code == 12)
        return u"答を入れてリターンキーで「厘」へ。"_s;
    if (code == 13)
        return u"答を入れてリターンキーで判定。"_s;
    return std::nullopt;
}

RevealStep RevealOrNext(DrillStateData &state)
{
    RevealStep step;
    if (state.AnswerShown) {
        state.AnswerShown = false;
        step.nextProblem = true;
        return step;
    }
    noteMissed(state);
    state.FirstTry = false;
    state.CurrentNo += 1;
    state.AnswerShown = true;
    step.finished = state.CurrentNo > state.DrillLength;
    // The end of a drill brings back its own resting state, mascot and all.
    if (!step.finished)
        step.mascotPrompt = mascotAfterVerdict(state, u"次の問題をやるボタンをおしてね。"_s);
    return step;
}

std::int32_t RowOfProblem(const DrillStateData &state)
{
    return rowOfNumber(state, state.CurrentNo);
}

void StartDrill(DrillStateData &state)
{
    state.DrillRunning = true;
    state.MissedRows.clear();
}

namespace {

// No drill runs any more; a review gives the pupil's length back.
void stopDrill(DrillStateData &state)
{
    if (!state.ReviewRows.empty())
        state.DrillLength = state.ChosenLength;
    state.ReviewRows.clear();
    state.DrillRunning = false;
}

} // namespace

void ChooseDrillLength(DrillStateData &state, std::optional<std::int32_t> length)
{
    state.LengthChosen = length.has_value();
    const std::int32_t chosen = length.value_or(ProblemCount);
    if (state.ReviewRows.empty())
        state.DrillLength = chosen;
    else
        state.ChosenLength = chosen;
}

void ForgetReview(DrillStateData &state)
{
    stopDrill(state);
    state.MissedRows.clear();
}

bool EndDrill(DrillStateData &state)
{
    const bool missed = state.DrillRunning && !state.MissedRows.empty();
    stopDrill(state);
    if (!missed)
        state.MissedRows.clear();
    return missed;
}

bool StartReview(DrillStateData &state)
{
    if (state.MissedRows.empty())
        return false;
    state.ReviewRows = std::exchange(state.MissedRows, {});
    state.ChosenLength = state.DrillLength;
    state.DrillLength = std::int32_t(state.ReviewRows.size());
    state.CurrentNo = 1;
    state.CorrectCount = 0;
    state.RatePercent = 0;
    state.FirstTry = false;
    state.AnswerShown = false;
    state.DrillRunning = true;
    return true;
}

bool WorksheetsCanBePrinted(bool lengthChosen, int kind)
{
    return lengthChosen && kind <= 3;
}

std::int32_t PrintedSetLength(const DrillStateData &state)
{
    if (!state.LengthChosen)
        return ProblemCount;
    // A review's own length stands in for the pupil's only while it runs.
    return state.ReviewRows.empty() ? state.DrillLength : state.ChosenLength;
}

QString ScoreText(std::int32_t ratePercent)
{
    return u"おしまいです。"_s + QString::number(ratePercent) + u"点でした。"_s;
}

std::optional<std::int32_t> DrillLengthOf(const QString &typed)
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
