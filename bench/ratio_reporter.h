// A console reporter that also prints, for every benchmark named "X" with a baseline named
// "X/baseline", the ratio of their real times; and for a benchmark that measures its baseline
// in turns with itself, the ratio to its counter "baseline" (microseconds).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
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
            const std::string name = run.run_name.str();
            (median ? m_medians : m_times)[name] = run.GetAdjustedRealTime();
            const auto inTurns = run.counters.find("baseline");
            if (inTurns != run.counters.end() && (median || !m_inTurns.contains(name)))
                m_inTurns[name] = inTurns->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios()
    {
        for (const auto &[name, time] : m_medians)
            m_times[name] = time;
        std::printf("\n%-48s %12s %12s %8s\n", "ratio to its baseline", "time", "baseline",
                    "ratio");
        for (const auto &[name, time] : m_times) {
            const std::string::size_type cut = name.find("/baseline");
            if (cut != std::string::npos)
                continue;
            const auto inTurns = m_inTurns.find(name);
            const auto apart = m_times.find(baselineOf(name));
            double base = 0;
            if (inTurns != m_inTurns.end())
                base = inTurns->second;
            else if (apart != m_times.end())
                base = apart->second;
            else
                continue;
            std::printf("%-48s %12.1f %12.1f %8.2f\n", name.c_str(), time, base, time / base);
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
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_medians;
    std::map<std::string, double> m_inTurns;
};
