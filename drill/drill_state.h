// The drill-wide state and the problem table, shared by every handler of the one window.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The program has one drill and one window, so the drill's state is a set of plain
// program-wide variables rather than members of the window.

// Fields of a row in the order the boxes Edit1..Edit6 show them; a negative value marks
// the hidden quantity, its magnitude being the true value.
struct ProblemRow
{
    double BaseAmount = 0.0;
    double BaseRatio = 0.0;
    double BasePercent = 0.0;
    double ComparedAmount = 0.0;
    double ComparedRatio = 0.0;
    double ComparedPercent = 0.0;

    // field 1..6 in the order above
    double &field(int number);
    double field(int number) const;
};

constexpr int ProblemCount = 100;

// Rows are numbered 1..100 so that CurrentNo indexes them directly.
struct ProblemTableData
{
    std::array<ProblemRow, ProblemCount> rows {};

    ProblemRow &operator[](int no) { return rows[static_cast<std::size_t>(no - 1)]; }
    const ProblemRow &operator[](int no) const { return rows[static_cast<std::size_t>(no - 1)]; }
    // The row of problem `no`, or a row of zeros for a number outside the set.
    ProblemRow rowAt(int no) const
    {
        return no >= 1 && no <= ProblemCount ? (*this)[no] : ProblemRow {};
    }
    void clear() { rows.fill(ProblemRow {}); }
};

// The ten kinds of problem, in the order of the kind choice; DrillState.ProblemKind holds one
// as its number.
enum class Kind : std::int32_t {
    AmountsToRatio = 1, // 量→割合
    RatioToAmount, // 割合→量
    RatioAndAmount, // 割合←→量
    AmountsToPercent, // 量→百分率
    PercentToAmount, // 百分率→量
    PercentAndAmount, // 量←→百分率
    AmountRatioPercent, // 量・割合・百分率
    RatioAndPercent, // 割合←→百分率
    RatioToBuai, // 割合→歩合
    BuaiToRatio, // 歩合→割合
};

// The nine boxes that act on Enter, by the number of their control (Edit1..Edit6, Edit11..13).
enum class BoxCode : int {
    BaseAmount = 1,
    BaseRatio = 2,
    BasePercent = 3,
    ComparedAmount = 4,
    ComparedRatio = 5,
    ComparedPercent = 6,
    Wari = 11,
    Bu = 12,
    Rin = 13,
};

// Box codes of the nine boxes that act on Enter: 1..6 are Edit1..Edit6, 11..13 Edit11..Edit13.
constexpr std::array<int, 9> EntryBoxCodes { 1, 2, 3, 4, 5, 6, 11, 12, 13 };
// Index of a box code in EntryBoxCodes (and in KeyArmed), or -1 for any other code.
int entryBoxIndex(int code);

// The drill in progress: the problem on the screen (CurrentNo, 1-based, of DrillLength), its
// kind (1..10), the box that takes its answer and the value expected there, the score so far,
// and the flags of the window's state. DrillRunning and the rows below belong to the review
// of missed problems.
struct DrillStateData
{
    std::int32_t CurrentNo = 100;
    std::int32_t CorrectCount = 0;
    std::int32_t DrillLength = 100;
    std::int32_t RatePercent = 0;
    bool FirstTry = true; // no wrong answer or reveal yet for this problem
    std::int32_t ProblemKind = 1;
    bool AnswerShown = false; // せいかいを見る has shown the answer; the button reads 次に進む
    std::int32_t AnswerField = 2;
    double ExpectedValue = -1.0;
    bool MascotShown = true; // the mascot, not a verdict's picture, is in the picture box
    bool LengthChosen = false; // 出題数 is ticked: DrillLength is the pupil's own
    // A box judges an Enter only after a key was let go in it, so a held Enter judges once.
    std::array<bool, 9> KeyArmed {}; // in the order of EntryBoxCodes
    // The box a key was last let go in and whether it was armed before: X may show later that
    // the release was part of a held key's repeat.
    int LastKeyUpBox = 0;
    bool ArmedBeforeKeyUp = false;
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

    bool &keyArmed(int code) { return KeyArmed[static_cast<std::size_t>(entryBoxIndex(code))]; }

    // The values a drill comes back to when it ends; the length, its choice, the kind and
    // the printing flag belong to the pupil's settings and stay.
    void resetToResting();
};

extern DrillStateData DrillState;
extern ProblemTableData ProblemTable;
