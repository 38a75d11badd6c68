#include "drill/problem_set.h"

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
    // Equivalent to comparing with every earlier row, and the draws are the same.
    bool taken[ProblemCount + 1] = {};
    for (int i = 1; i <= ProblemCount; ++i) {
        double a = 0, c = 0, d = 0;
        for (;;) {
            const std::uint32_t drawn = rng.Random(100) + 1;
            if (taken[drawn])
                continue;
            a = drawn;
            c = static_cast<double>(rng.Random(999) + 1) / 100.0;
            d = a * c;
            // Judged on the Double product: 25 x 0.28 lands a rounding step above 7 and
            // counts as fractional, so only pairs whose product is exactly whole survive.
            if (d - std::trunc(d) > 0)
                continue;
            taken[drawn] = true;
            break;
        }
        table[i] = ProblemRow { a, 1, 100, d, c, c * 100 };
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
