// Making a set against a loop that makes the same generator draws and nothing else.
#include "drill/problem_set.h"

#include <benchmark/benchmark.h>

namespace {

// How many draws a set of the kind takes from this seed: counted by replaying the generator.
std::uint64_t drawsFor(int kind, std::uint32_t seed)
{
    RandomGenerator before;
    before.seed = seed;
    ProblemTableData table;
    makeProblemTable(table, Kind(kind), before);
    RandomGenerator counter;
    counter.seed = seed;
    std::uint64_t draws = 0;
    while (counter.seed != before.seed) {
        counter.Random(1);
        ++draws;
    }
    return draws;
}

void MakeProblems(benchmark::State &state)
{
    const int kind = int(state.range(0));
    ProblemTableData table;
    RandomGenerator rng;
    std::uint32_t seed = 1;
    for (auto _ : state) {
        rng.seed = seed++ % 64;
        makeProblemTable(table, Kind(kind), rng);
        benchmark::DoNotOptimize(table);
    }
}

void MakeProblemsBaseline(benchmark::State &state)
{
    const int kind = int(state.range(0));
    std::uint64_t draws[64];
    for (std::uint32_t s = 0; s < 64; ++s)
        draws[s] = drawsFor(kind, s);
    RandomGenerator rng;
    std::uint32_t seed = 1;
    for (auto _ : state) {
        const std::uint32_t s = seed++ % 64;
        rng.seed = s;
        std::uint32_t sum = 0;
        for (std::uint64_t i = 0; i < draws[s]; ++i)
            sum += rng.Random(100);
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

BENCHMARK(MakeProblems)->Name("MakeProblems/set")->Arg(1)->Arg(9);
BENCHMARK(MakeProblemsBaseline)->Name("MakeProblems/baseline")->Arg(1)->Arg(9);
