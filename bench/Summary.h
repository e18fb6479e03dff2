#pragma once
// A main for the benchmark programs that ends with one line per target: the median of the figure
// beside the limit it must stay under, so a run can be read without a calculator.

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct Target
{
    std::string benchmark; // function and arguments, e.g. "BM_ReadGuestFile/10000"
    std::string counter;   // a counter of the run, or empty for its real time per iteration
    double limit;          // the figure holds when it is at or below this; 0: shown, no target
    std::string text;      // what the figure is, for the summary line
};

// Runs the benchmarks selected on the command line, then prints the targets. A target whose
// benchmark was filtered out (--benchmark_filter) is left out. A missed target is reported, not
// failed, since a shared machine can always be slow once; but a figure that could not be measured
// (an error of its benchmark, a benchmark that did not run although nothing was filtered out, a
// missing counter, a value that is not a positive number) is printed as ERROR and makes the result
// 1, as does a wrong command line.
int RunWithTargets(int argc, char **argv, const std::vector<Target> &targets);

// A smoke run (the environment variable ZIMBRANA_BENCH_SMOKE set and not "0", as the tests do)
// runs every benchmark once on a small input: it shows that each program still builds, runs and
// can compute every figure, in seconds even under the sanitizers. Its figures mean nothing.
bool SmokeRun();
// `full` in a real run, `smoke` in a smoke run: the size of a benchmark's input.
int SizeFor(int full, int smoke);
// How a benchmark is timed: by hand, in `unit`, each figure the median of `repetitions` runs of at
// least `minTime` seconds each, or of one iteration each when `minTime` is 0. A smoke run times
// one iteration once.
void Timing(benchmark::internal::Benchmark *b, benchmark::TimeUnit unit, int repetitions, double minTime = 0);

// A number as text with `decimals` places and a decimal point whatever the locale, and the reverse,
// which fails on anything but such a number (an empty text, a decimal comma, trailing junk).
std::string FormatNumber(double value, int decimals);
bool ParseNumber(std::string_view text, double &value);

// The median of a sample (which it sorts); 0 for an empty one.
double Median(std::vector<double> values);

} // namespace bench
