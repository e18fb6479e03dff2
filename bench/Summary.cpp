#include "Summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include <unistd.h>

namespace bench {

namespace {

// Prints as usual and keeps each run, so the summary can look the figures up afterwards.
class KeepingReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, so a saved log stays readable.
    KeepingReporter() : ConsoleReporter(isatty(fileno(stdout)) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> shown;
        for (const Run &run : runs) {
            // With repetitions the median stands for the benchmark; without, its single run does.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            // Keyed by function and arguments: the rest of the name (minimum time, repeats) is
            // set up per benchmark and would only make the targets harder to name.
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            if (run.run_type == Run::RT_Aggregate || kept_.find(name) == kept_.end())
                kept_[name] = run;
            shown.push_back(run);
        }
        // Only the medians (or single runs) are printed; means and deviations would only crowd them.
        if (!shown.empty())
            ConsoleReporter::ReportRuns(shown);
    }

    const Run *find(const std::string &name) const
    {
        const auto it = kept_.find(name);
        return it == kept_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, Run> kept_;
};

} // namespace

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

std::string FormatNumber(double value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("?");
}

bool ParseNumber(std::string_view text, double &value)
{
    double parsed = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::fixed);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool SmokeRun()
{
    static const bool smoke = [] {
        const char *value = std::getenv("ZIMBRANA_BENCH_SMOKE");
        return value != nullptr && *value != '\0' && std::string_view(value) != "0";
    }();
    return smoke;
}

int SizeFor(int full, int smoke)
{
    return SmokeRun() ? smoke : full;
}

void Timing(benchmark::internal::Benchmark *b, benchmark::TimeUnit unit, int repetitions, double minTime)
{
    b->UseManualTime()->Unit(unit);
    if (SmokeRun()) {
        b->Iterations(1);
        return;
    }
    if (minTime > 0)
        b->MinTime(minTime);
    else
        b->Iterations(1);
    b->Repetitions(repetitions)->ReportAggregatesOnly(true);
}

int RunWithTargets(int argc, char **argv, const std::vector<Target> &targets)
{
    // Whether some benchmarks are left out on purpose; read before Initialize takes the flags away.
    bool selected = std::getenv("BENCHMARK_FILTER") != nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        selected = selected || arg.rfind("--benchmark_filter", 0) == 0 || arg.rfind("--benchmark_list_tests", 0) == 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nTargets (median of the repetitions):\n");
    if (SmokeRun())
        std::printf("  (a smoke run: each benchmark once on a small input; only an ERROR counts)\n");
    int result = 0;
    const auto failed = [&result](const Target &target, const std::string &why) {
        std::printf("  %-58s ERROR: %s\n", target.text.c_str(), why.c_str());
        result = 1;
    };
    for (const Target &target : targets) {
        const auto *run = reporter.find(target.benchmark);
        if (run == nullptr) {
            // A target that names no benchmark of the program would otherwise pass unseen.
            if (!selected)
                failed(target, "its benchmark did not run");
            continue;
        }
        if (run->error_occurred) {
            failed(target, run->error_message);
            continue;
        }
        double value = 0;
        std::string unit;
        if (target.counter.empty()) {
            value = run->GetAdjustedRealTime();
            unit = benchmark::GetTimeUnitString(run->time_unit);
        } else {
            const auto counter = run->counters.find(target.counter);
            if (counter == run->counters.end()) {
                failed(target, "no counter " + target.counter);
                continue;
            }
            value = counter->second.value;
        }
        // Every figure here is a time, a size or a ratio of them: zero, a negative or no number at
        // all means the measurement failed, and it must not pass for a figure that holds.
        if (!std::isfinite(value) || value <= 0) {
            failed(target, "no measurement (the figure came out as " + FormatNumber(value, 3) + ")");
            continue;
        }
        if (target.limit <= 0) {
            std::printf("  %-58s %10s %-3s (shown beside the targets, none of its own)\n", target.text.c_str(),
                        FormatNumber(value, 3).c_str(), unit.c_str());
            continue;
        }
        std::printf("  %-58s %10s %-3s (target <= %s %s)  %s\n", target.text.c_str(), FormatNumber(value, 3).c_str(),
                    unit.c_str(), FormatNumber(target.limit, 2).c_str(), unit.c_str(),
                    value <= target.limit ? "holds" : "MISSED");
    }
    std::fflush(stdout);
    return result;
}

} // namespace bench
