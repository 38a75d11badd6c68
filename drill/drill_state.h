// The drill-wide state and the problem table, shared by every handler of the one window.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The program has one drill and one window, so the drill's state is a set of plain
// program-wide variables rather than members of the window. Flags are 32-bit integers
// holding 0 (false) or -1 (true) and are only tested against 0; WorksheetPrinting alone
// is a byte holding 0 or 1.

constexpr std::int32_t False = 0;
constexpr std::int32_t True = -1;

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

// Box codes of the nine boxes that act on Enter: 1..6 are Edit1..Edit6, 11..13 Edit11..Edit13.
constexpr std::array<int, 9> EntryBoxCodes { 1, 2, 3, 4, 5, 6, 11, 12, 13 };
// Index of a box code in EntryBoxCodes (and in KeyArmed), or -1 for any other code.
int entryBoxIndex(int code);

struct DrillStateData
{
    std::int32_t CurrentNo = 100;
    std::int32_t CorrectCount = 0;
    std::int32_t DrillLength = 100;
    std::int32_t RatePercent = 0;
    std::int32_t FirstTry = True;
    std::int32_t ProblemKind = 1;
    std::int32_t AnswerShown = False;
    std::int32_t AnswerField = 2;
    double ExpectedValue = -1.0;
    std::int32_t MascotShown = True;
    std::int32_t LengthChosen = False;
    std::array<std::int32_t, 9> KeyArmed {}; // in the order of EntryBoxCodes
    double BuaiWari = 0.0;
    double BuaiBu = 0.0;
    double BuaiRin = 0.0;
    double TypedWari = 0.0;
    double TypedBu = 0.0;
    double TypedRin = 0.0;
    double TypedBuaiTotal = 0.0;
    double ExpectedBuaiTotal = 0.0;
    std::uint8_t WorksheetPrinting = 0;

    // Missed problems come back: a drill runs from スタート (or a review) to its end, and notes
    // the rows of the set it missed, in their order. A review drill goes through those rows
    // only (ReviewRows; empty for a drill of the whole set), with their number standing in for
    // the drill length the pupil chose (ChosenLength) until it ends.
    bool DrillRunning = false;
    std::vector<std::int32_t> MissedRows;
    std::vector<std::int32_t> ReviewRows;
    std::int32_t ChosenLength = 100;

    std::int32_t &keyArmed(int code)
    {
        return KeyArmed[static_cast<std::size_t>(entryBoxIndex(code))];
    }

    // The values a drill comes back to when it ends; the length, its choice, the kind and
    // the printing flag belong to the pupil's settings and stay.
    void resetToResting();
};

extern DrillStateData DrillState;
extern ProblemTableData ProblemTable;
