#include "Summary.h"

#include <algorithm>
#include <cstdio>
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

int RunWithTargets(int argc, char **argv, const std::vector<Target> &targets)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nTargets (median of the repetitions):\n");
    for (const Target &target : targets) {
        const auto *run = reporter.find(target.benchmark);
        if (run == nullptr)
            continue;
        if (run->error_occurred) {
            std::printf("  %-58s ERROR: %s\n", target.text.c_str(), run->error_message.c_str());
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
                std::printf("  %-58s ERROR: no counter %s\n", target.text.c_str(), target.counter.c_str());
                continue;
            }
            value = counter->second.value;
        }
        std::printf("  %-58s %10.3f %-3s (target <= %g %s)  %s\n", target.text.c_str(), value, unit.c_str(),
                    target.limit, unit.c_str(), value <= target.limit ? "holds" : "MISSED");
    }
    std::fflush(stdout);
    return 0;
}

} // namespace bench
