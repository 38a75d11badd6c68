// What each step of a drill does to the drill-wide state, and what the window must show for it:
// an answer typed and entered, a move between the buai boxes, a reveal, the drill's length.
#pragma once

#include "drill/drill_state.h"

#include <QString>

#include <cstdint>
#include <optional>

// A key in an answer box, as the drill tells keys apart.
enum class BoxKey { Enter, Shift, Other };

enum class Verdict { None, Right, Wrong };

// What the window does after a step, in this order: the pip, the mascot with its prompt, the
// verdict's status, picture and sound, the counters, then the score or the next problem, and
// last the focus with its box's prompt.
struct DrillStep
{
    bool pip = false;
    std::optional<QString> mascotPrompt;
    Verdict verdict = Verdict::None;
    bool finished = false;
    bool nextProblem = false;
    std::optional<int> focusBox;

    friend bool operator==(const DrillStep &, const DrillStep &) = default;
};

// A key-down in one of the six quantity boxes (codes 1..6); `typed` is the box's text read as
// a number, judged only by an Enter that the box was armed for.
DrillStep AnswerBoxKey(DrillStateData &state, int code, BoxKey key, double typed);

// A key-down in the wari, bu or rin box (codes 11..13): Enter takes the digit and moves on, the
// rin box's Enter judges the three together, Shift goes back a box in the buai kind.
DrillStep BuaiBoxKey(DrillStateData &state, int code, BoxKey key, double typed);

// A key let go in one of the nine boxes arms it: only then does its next Enter judge, so a held
// Enter judges once.
void BoxKeyUp(DrillStateData &state, BoxCode box);

// X reports a held key as a release and a press with one timestamp: when the press shows the
// release before it to have been part of a repeat, the box is as it was before that release.
void RetractBoxKeyUp(DrillStateData &state, BoxCode box);

// The prompt that comes with the focus in a box, if the box has one of its own.
std::optional<QString> PromptFor(int code);

// せいかいを見る and 次に進む, which are one button.
struct RevealStep
{
    // 次に進む: the problem CurrentNo names is laid out; nothing else happens.
    bool nextProblem = false;
    // The problem counted as seen: the drill ended with it.
    bool finished = false;
    // The mascot, if a verdict's picture is showing, and the prompt for the next problem.
    std::optional<QString> mascotPrompt;

    friend bool operator==(const RevealStep &, const RevealStep &) = default;
};
RevealStep RevealOrNext(DrillStateData &state);

// The row of the set that the problem CurrentNo names: itself, or in a review drill the row
// it reviews (0, a row of zeros, past the review's end).
std::int32_t RowOfProblem(const DrillStateData &state);

// スタート begins a drill of the set: its misses are noted from now on.
void StartDrill(DrillStateData &state);

// 出題数 ticked with the length typed, or unticked (nothing: a whole set). A review keeps its own
// length while it runs; what the pupil chose comes into force when it ends.
void ChooseDrillLength(DrillStateData &state, std::optional<std::int32_t> length);

// A new set (スタート, a kind, a print) ends any review and forgets the misses: the length the
// pupil chose comes back.
void ForgetReview(DrillStateData &state);

// The end of a drill: whether problems were missed, to be offered for review. A review drill
// gives the pupil's length back.
bool EndDrill(DrillStateData &state);

// まちがえた問題をもう一度: a drill of the rows missed in the drill just ended, in their order,
// on the same set. False, and nothing changes, when there are none.
bool StartReview(DrillStateData &state);

// Worksheets are printed for the kinds of amounts and ratios (the first column of the choice),
// once the pupil has chosen a drill length.
bool WorksheetsCanBePrinted(bool lengthChosen, int kind);

// How many problems a printed set has: the drill length the pupil chose, or a whole set.
std::int32_t PrintedSetLength(const DrillStateData &state);

// The status line at the end of a drill.
QString ScoreText(std::int32_t ratePercent);

// The drill length as typed into the length box: blanks around it and full-width digits are
// fine; a whole number out of range is clamped to 1..100; nothing if it is not a whole number.
std::optional<std::int32_t> DrillLengthOf(const QString &typed);
