// A console reporter that also prints, for every benchmark named "X" with a baseline named
// "X/baseline", the ratio of their real times; and for a benchmark that measures its baseline
// in turns with itself, the ratio to its counter "baseline" (microseconds).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        // With repetitions, the median of each case stands for it: one slow repetition on a
        // shared machine then moves neither the time nor the ratio.
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!median && run.run_type != Run::RT_Iteration)
                continue;
            const auto inTurns = run.counters.find("baseline");
            (median ? m_medians : m_times)[run.run_name.str()] = {
                run.GetAdjustedRealTime(),
                inTurns == run.counters.end() ? std::nullopt : std::optional(inTurns->second.value),
            };
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios()
    {
        for (const auto &[name, figure] : m_medians)
            m_times[name] = figure;
        std::printf("\n%-48s %12s %12s %8s\n", "ratio to its baseline", "time", "baseline",
                    "ratio");
        for (const auto &[name, figure] : m_times) {
            if (name.find("/baseline") != std::string::npos)
                continue;
            const auto apart = m_times.find(baselineOf(name));
            if (!figure.inTurns && apart == m_times.end())
                continue;
            const double base = figure.inTurns ? *figure.inTurns : apart->second.time;
            std::printf("%-48s %12.1f %12.1f %8.2f\n", name.c_str(), figure.time, base,
                        figure.time / base);
        }
    }

private:
    // "Group/case/args" pairs with "Group/baseline/args".
    static std::string baselineOf(const std::string &name)
    {
        const auto slash = name.find('/');
        if (slash == std::string::npos)
            return name + "/baseline";
        const auto next = name.find('/', slash + 1);
        return name.substr(0, slash) + "/baseline"
                + (next == std::string::npos ? "" : name.substr(next));
    }
    struct Figure
    {
        double time;
        std::optional<double> inTurns; // the baseline a case measured in turns with itself
    };
    std::map<std::string, Figure> m_times;
    std::map<std::string, Figure> m_medians;
};
