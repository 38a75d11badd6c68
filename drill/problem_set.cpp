#include "drill/problem_set.h"

#include <array>
#include <bitset>
#include <cmath>

namespace {

// Upper bounds of r, tested in order, and the field each range hides; a zero ends the list.
struct HideRange
{
    std::uint32_t below;
    int field;
};
constexpr int BaseAmount = 1, BaseRatio = 2, BasePercent = 3, ComparedAmount = 4,
              ComparedRatio = 5, ComparedPercent = 6;
constexpr HideRange HideTable[8][6] = {
    { { 1, BaseRatio }, { 12, ComparedRatio } },
    { { 6, BaseAmount }, { 12, ComparedAmount } },
    { { 4, BaseAmount }, { 5, BaseRatio }, { 9, ComparedAmount }, { 12, ComparedRatio } },
    { { 2, BasePercent }, { 12, ComparedPercent } },
    { { 6, BaseAmount }, { 12, ComparedAmount } },
    { { 3, BaseAmount }, { 6, BasePercent }, { 9, ComparedAmount }, { 12, ComparedPercent } },
    { { 3, BaseAmount }, { 4, BaseRatio }, { 5, BasePercent }, { 8, ComparedAmount },
      { 10, ComparedRatio }, { 12, ComparedPercent } },
    { { 2, BaseRatio }, { 4, BasePercent }, { 8, ComparedRatio }, { 12, ComparedPercent } },
};

// n / 100 for n in 1..999, and whether base a with ratio n gives a whole Double product: a set
// takes tens of thousands of attempts, so the division and the test are made once here.
struct RatioTables
{
    std::array<double, 1000> ratio {};
    std::bitset<101 * 1000> whole;

    RatioTables()
    {
        for (int n = 1; n <= 999; ++n)
            ratio[n] = static_cast<double>(n) / 100.0;
        for (int a = 1; a <= ProblemCount; ++a) {
            for (int n = 1; n <= 999; ++n) {
                const double d = a * ratio[n];
                // Judged on the Double product: 25 x 0.28 lands a rounding step above 7 and
                // counts as fractional, so only pairs whose product is exactly whole survive.
                whole[static_cast<std::size_t>(a * 1000 + n)] = !(d - std::trunc(d) > 0);
            }
        }
    }
};

const RatioTables &ratioTables()
{
    static const RatioTables tables;
    return tables;
}

} // namespace

int HiddenFieldFor(int kind, std::uint32_t r)
{
    if (kind < 1 || kind > 8)
        return 0;
    for (const HideRange &range : HideTable[kind - 1]) {
        if (range.below == 0)
            break;
        if (r < range.below)
            return range.field;
    }
    return 0;
}

void MakeProblemTable(ProblemTableData &table, int kind, RandomGenerator &rng)
{
    table.clear();
    const RatioTables &tables = ratioTables();
    // A table of taken base amounts draws exactly what comparing with every earlier row would.
    bool taken[ProblemCount + 1] = {};
    for (int i = 1; i <= ProblemCount; ++i) {
        std::uint32_t a = 0, n = 0;
        do {
            do
                a = rng.Random(100) + 1;
            while (taken[a]);
            // A failed ratio discards the base amount too.
            n = rng.Random(999) + 1;
        } while (!tables.whole[a * 1000 + n]);
        taken[a] = true;
        const double c = tables.ratio[n];
        table[i] = ProblemRow { double(a), 1, 100, a * c, c, c * 100 };
    }
    for (int i = 1; i <= ProblemCount; ++i) {
        const std::uint32_t r = rng.Random(12);
        ProblemRow &row = table[i];
        if (kind == 9 || kind == 10) {
            // The buai kinds scale the compared side below a ratio of 1, in thousandths.
            row.ComparedAmount *= 0.1;
            row.ComparedRatio *= 0.1;
            row.ComparedPercent *= 0.1;
        } else if (const int field = HiddenFieldFor(kind, r); field != 0) {
            row.field(field) = -row.field(field);
        }
    }
}

void MakeProblemsState()
{
    if (DrillState.WorksheetPrinting == 0)
        Rng.seedFromClock();
    MakeProblemTable(ProblemTable, DrillState.ProblemKind, Rng);
    DrillState.CurrentNo = 1;
    DrillState.CorrectCount = 0;
    DrillState.RatePercent = 0;
    if (DrillState.LengthChosen == False)
        DrillState.DrillLength = 100;
    DrillState.FirstTry = False;
}
