// The number texts against the C library's bare conversions on the same values.
#include "display/number_text.h"
#include "drill/problem_set.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Every value a few problem sets show, with the decimals its box uses.
struct Shown
{
    double value;
    int decimals;
};

const std::vector<Shown> &shownValues()
{
    static const std::vector<Shown> values = [] {
        std::vector<Shown> out;
        RandomGenerator rng;
        ProblemTableData table;
        for (int kind = 1; kind <= 10; ++kind) {
            rng.seed = std::uint32_t(kind);
            makeProblemTable(table, Kind(kind), rng);
            for (const ProblemRow &row : table.rows) {
                for (int field = 1; field <= 6; ++field)
                    out.push_back(
                            { std::abs(row.field(field)), field <= 3 ? 0 : (kind >= 9 ? 3 : 2) });
            }
        }
        return out;
    }();
    return values;
}

const std::vector<QString> &shownTexts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> out;
        for (const Shown &s : shownValues())
            out.push_back(TrimZeros(FormatFixed(s.value, 6, s.decimals)));
        return out;
    }();
    return texts;
}

void formatFixed(benchmark::State &state)
{
    const auto &values = shownValues();
    std::size_t i = 0;
    for (auto _ : state) {
        const Shown &s = values[i++ % values.size()];
        benchmark::DoNotOptimize(FormatFixed(s.value, 6, s.decimals));
    }
}

void formatFixedBaseline(benchmark::State &state)
{
    const auto &values = shownValues();
    std::size_t i = 0;
    char buffer[64];
    for (auto _ : state) {
        const Shown &s = values[i++ % values.size()];
        benchmark::DoNotOptimize(
                std::snprintf(buffer, sizeof buffer, "%6.*f", s.decimals, s.value));
        benchmark::ClobberMemory();
    }
}

void readNumber(benchmark::State &state)
{
    const auto &texts = shownTexts();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadNumber(texts[i++ % texts.size()]));
}

void readNumberBaseline(benchmark::State &state)
{
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        for (const QString &t : shownTexts())
            out.push_back(t.trimmed().toStdString());
        return out;
    }();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string &t = texts[i++ % texts.size()];
        double value = 0;
        std::from_chars(t.data(), t.data() + t.size(), value);
        benchmark::DoNotOptimize(value);
    }
}

} // namespace

BENCHMARK(formatFixed)->Name("FormatFixed/call");
BENCHMARK(formatFixedBaseline)->Name("FormatFixed/baseline");
BENCHMARK(readNumber)->Name("ReadNumber/call");
BENCHMARK(readNumberBaseline)->Name("ReadNumber/baseline");
