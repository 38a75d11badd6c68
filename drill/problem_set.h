// A problem set: 100 rows of base and compared quantities, one hidden per row, made for a kind.
#pragma once

#include "drill/kinds.h"
#include "drill/random.h"

#include <array>
#include <cstdint>

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

    // field 1..6 in the order above, the number of its quantity box
    double &field(int number);
    double field(int number) const;

    friend bool operator==(const ProblemRow &, const ProblemRow &) = default;
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

// The field (1..6, ProblemRow order) that a kind hides for a draw r in 0..11, or 0 when the
// kind hides none (the buai kinds).
int hiddenFieldFor(Kind kind, std::uint32_t r);

// Fills the table with a fresh set of the kind, drawing from rng (it does not seed it).
void makeProblemTable(ProblemTableData &table, Kind kind, RandomGenerator &rng);
