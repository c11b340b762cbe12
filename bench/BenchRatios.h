#pragma once
// Runs the registered benchmarks and prints, for each pair, the operation's time as a multiple of
// a floor measured in the same run, against its target.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace rovik::bench {

struct Ratio {
    std::string operation;
    std::string floor;
    double target; // the operation may take at most this many floors
};

// Keeps each benchmark's CPU time (the median when repeated): on a shared machine the wall clock
// also counts other programs' work.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !times.count(name))
                times[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

// Runs five repetitions unless told otherwise. Returns 0 when every ratio met its target, else 1.
inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven |= std::string(argv[i]).rfind("--benchmark_repetitions", 0) == 0;
    std::string repetitions = "--benchmark_repetitions=5";
    std::string aggregatesOnly = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions.data());
        args.push_back(aggregatesOnly.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    int failed = 0;
    for (const auto& r : ratios) {
        auto op = reporter.times.find(r.operation);
        auto fl = reporter.times.find(r.floor);
        if (op == reporter.times.end() || fl == reporter.times.end() || fl->second <= 0) continue;
        double ratio = op->second / fl->second;
        bool ok = ratio <= r.target;
        failed += !ok;
        std::printf("ratio %-20s / %-22s = %5.2f (target <= %.1f, CPU time) %s\n", r.operation.c_str(),
                    r.floor.c_str(), ratio, r.target, ok ? "ok" : "OVER");
    }
    return failed ? 1 : 0;
}

} // namespace rovik::bench
