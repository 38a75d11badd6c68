// The drill: its state, its problem set and its generator, and what each step of a drill does
// to them — a key in an answer box, a reveal, the drill's length, a review of missed problems —
// returned as what the window must show.
#pragma once

#include "drill/problem_set.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// A key as the classifier tells it: pressed, repeated while held, or let go.
enum class KeyPhase { Press, Repeat, Release };
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
    std::optional<Box> focusBox;

    friend bool operator==(const DrillStep &, const DrillStep &) = default;
};

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

// The drill in progress: the problem on the screen (CurrentNo, 1-based, of DrillLength), its
// kind, the box that takes its answer and the value expected there, the score so far, and the
// flags of the window's state. DrillRunning and the rows below it belong to the review of
// missed problems. The window owns one; nothing about a drill is program-wide.
class Drill
{
public:
    std::int32_t CurrentNo = 100;
    std::int32_t CorrectCount = 0;
    std::int32_t DrillLength = 100;
    std::int32_t RatePercent = 0;
    bool FirstTry = true; // no wrong answer or reveal yet for this problem
    Kind ProblemKind = Kind::AmountsToRatio;
    bool AnswerShown = false; // せいかいを見る has shown the answer; the button reads 次に進む
    Box AnswerField = Box::BaseRatio;
    double ExpectedValue = -1.0;
    bool MascotShown = true; // the mascot, not a verdict's picture, is in the picture box
    bool LengthChosen = false; // 出題数 is ticked: DrillLength is the pupil's own
    // A box judges an Enter only after a key was let go in it, so a held Enter judges once.
    std::array<bool, 9> KeyArmed {}; // as Boxes
    double BuaiWari = 0.0;
    double BuaiBu = 0.0;
    double BuaiRin = 0.0;
    double TypedWari = 0.0;
    double TypedBu = 0.0;
    double TypedRin = 0.0;
    double TypedBuaiTotal = 0.0;
    double ExpectedBuaiTotal = 0.0;
    bool WorksheetPrinting = false; // a print is making the set, and has seeded it itself

    // Missed problems come back: a drill runs from スタート (or a review) to its end, and notes
    // the rows of the set it missed, in their order. A review drill goes through those rows
    // only (ReviewRows; empty for a drill of the whole set), with their number standing in for
    // the drill length the pupil chose (ChosenLength) until it ends.
    bool DrillRunning = false;
    std::vector<std::int32_t> MissedRows;
    std::vector<std::int32_t> ReviewRows;
    std::int32_t ChosenLength = 100;

    ProblemTableData ProblemTable;
    RandomGenerator Rng;

    bool &keyArmed(Box box) { return KeyArmed[boxIndex(box)]; }

    // Every key in one of the nine boxes, once, in its phase; `typed` is the box's text read as
    // a number, judged only by an Enter. A key let go arms its box; a press or a repeat acts and
    // disarms it, so only an Enter pressed after a key was let go in the box judges. In the
    // quantity boxes Enter judges; in wari and bu it takes the digit and moves on, and rin's
    // judges the three together; Shift goes back a box in the buai kind.
    DrillStep key(Box box, KeyPhase phase, BoxKey key, double typed);

    // A fresh set for ProblemKind: the generator seeded from the clock unless a worksheet print
    // has just seeded it, and the drill back at problem 1 with no score.
    void makeProblems();
    RevealStep revealOrNext();
    // The row of the set that the problem CurrentNo names: itself, or in a review drill the row
    // it reviews (0, a row of zeros, past the review's end).
    std::int32_t rowOfProblem() const;
    ProblemRow problemRow() const { return ProblemTable.rowAt(rowOfProblem()); }
    // The row of the problem after this one, none at the drill's last.
    std::optional<ProblemRow> nextProblemRow() const;
    // スタート begins a drill of the set: its misses are noted from now on.
    void startDrill();
    // 出題数 ticked with the length typed, or unticked (nothing: a whole set). A review keeps
    // its own length while it runs; what the pupil chose comes into force when it ends.
    void chooseDrillLength(std::optional<std::int32_t> length);
    // A new set (スタート, a kind, a print) ends any review and forgets the misses: the length
    // the pupil chose comes back.
    void forgetReview();
    // The end of a drill: whether problems were missed, to be offered for review. A review
    // drill gives the pupil's length back.
    bool endDrill();
    // まちがえた問題をもう一度: a drill of the rows missed in the drill just ended, in their
    // order, on the same set. False, and nothing changes, when there are none.
    bool startReview();
    // How many problems a printed set has: the drill length the pupil chose, or a whole set.
    std::int32_t printedSetLength() const;
    // The values a drill comes back to when it ends; the length, its choice, the kind and the
    // printing flag belong to the pupil's settings and stay.
    void resetToResting();

private:
    DrillStep answerBoxKey(Box box, BoxKey key, double typed);
    DrillStep buaiBoxKey(Box box, BoxKey key, double typed);
    DrillStep judged(bool right, DrillStep step);
    std::optional<QString> mascotAfterVerdict(const QString &prompt);
    void noteMissed();
    std::int32_t rowOfNumber(std::int32_t no) const;
    void stopDrill();
};

// The prompt that comes with the focus in a box, if the box has one of its own.
std::optional<QString> promptFor(Box box);

// Worksheets are printed for the kinds of amounts and ratios, once the pupil has chosen a
// drill length.
bool worksheetsCanBePrinted(bool lengthChosen, Kind kind);

// The status line at the end of a drill.
QString scoreText(std::int32_t ratePercent);

// The drill length as typed into the length box: blanks around it and full-width digits are
// fine; a whole number out of range is clamped to 1..100; nothing if it is not a whole number.
std::optional<std::int32_t> drillLengthOf(const QString &typed);
