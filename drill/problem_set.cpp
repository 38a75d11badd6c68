#include "drill/problem_set.h"

#include <array>
#include <bit>
#include <bitset>
#include <cmath>

namespace {

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

// A set's base amounts are looked for this many draws at a time, one bit of a word each.
constexpr int Lanes = 64;

// The generator's seed k + 1 draws on is mul[k] * seed + add[k] (modulo 2^32), so the seeds of
// a block are each worked out straight from its first instead of one from the one before.
struct JumpTable
{
    std::uint32_t mul[Lanes + 1];
    std::uint32_t add[Lanes + 1];
};

constexpr JumpTable makeJumpTable()
{
    JumpTable t {};
    std::uint32_t mul = 1, add = 0;
    for (int k = 0; k <= Lanes; ++k) {
        mul *= RandomGenerator::Multiplier;
        add = add * RandomGenerator::Multiplier + 1u;
        t.mul[k] = mul;
        t.add[k] = add;
    }
    return t;
}

constexpr JumpTable Jump = makeJumpTable();

} // namespace

double &ProblemRow::field(int number)
{
    switch (number) {
    case 1:
        return BaseAmount;
    case 2:
        return BaseRatio;
    case 3:
        return BasePercent;
    case 4:
        return ComparedAmount;
    case 5:
        return ComparedRatio;
    default:
        return ComparedPercent;
    }
}

double ProblemRow::field(int number) const
{
    return const_cast<ProblemRow *>(this)->field(number);
}

int hiddenFieldFor(Kind kind, std::uint32_t r)
{
    for (const HideRange &range : kindRow(kind).hidden) {
        if (range.below == 0)
            break;
        if (r < range.below)
            return int(range.box);
    }
    return 0;
}

void makeProblemTable(ProblemTableData &table, Kind kind, RandomGenerator &rng)
{
    table.clear();
    const RatioTables &tables = ratioTables();
    // A table of taken base amounts draws exactly what comparing with every earlier row would.
    bool taken[ProblemCount + 1] = {};
    std::uint32_t seed = rng.seed;
    for (int i = 1; i <= ProblemCount;) {
        // Most draws are of a base already taken, and the taken bases change only when a row
        // is made. So a block of draws is tested side by side, which the processor does
        // without waiting on one test to start the next, and without guessing at each.
        const auto ahead = [from = seed](int k) { return Jump.mul[k] * from + Jump.add[k]; };
        std::uint64_t takenDraws = 0;
#pragma GCC unroll 64
        for (int k = 0; k < Lanes; ++k)
            takenDraws |= std::uint64_t { taken[RandomGenerator::drawnFrom(ahead(k), 100) + 1] }
                    << k;
        const std::uint64_t untaken = ~takenDraws;
        // An untaken base is followed by its ratio draw, so in a run of untaken draws only
        // every other one is read as a base, counting from the run's first; a taken draw is
        // always read as a base. The block starts on a base draw.
        constexpr std::uint64_t even = 0x5555555555555555u;
        const std::uint64_t starts = untaken & ~(untaken << 1);
        const std::uint64_t evenRuns = ((untaken + (starts & even)) ^ untaken) & untaken;
        std::uint64_t bases = (evenRuns & even) | (untaken & ~evenRuns & ~even);
        // Where the next block starts if this one makes no row: past its last ratio draw.
        std::uint32_t next = ahead((bases >> (Lanes - 1)) != 0 ? Lanes : Lanes - 1);
        for (; bases != 0; bases &= bases - 1) {
            const int k = std::countr_zero(bases);
            const std::uint32_t a = RandomGenerator::drawnFrom(ahead(k), 100) + 1;
            // A failed ratio discards the base amount too.
            const std::uint32_t n = RandomGenerator::drawnFrom(ahead(k + 1), 999) + 1;
            if (tables.whole[a * 1000 + n]) {
                taken[a] = true;
                const double c = tables.ratio[n];
                table[i++] = ProblemRow { double(a), 1, 100, a * c, c, c * 100 };
                next = ahead(k + 1);
                break;
            }
        }
        seed = next;
    }
    rng.seed = seed;
    for (int i = 1; i <= ProblemCount; ++i) {
        const std::uint32_t r = rng.Random(12);
        ProblemRow &row = table[i];
        if (kindRow(kind).buai != Buai::None) {
            // The buai kinds scale the compared side below a ratio of 1, in thousandths.
            row.ComparedAmount *= 0.1;
            row.ComparedRatio *= 0.1;
            row.ComparedPercent *= 0.1;
        } else if (const int field = hiddenFieldFor(kind, r); field != 0) {
            row.field(field) = -row.field(field);
        }
    }
}
