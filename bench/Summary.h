#pragma once
// A main for the benchmark programs that ends with one line per target: the median of the figure
// beside the limit it must stay under, so a run can be read without a calculator.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace bench {

struct Target
{
    std::string benchmark; // function and arguments, e.g. "BM_ReadGuestFile/10000"
    std::string counter;   // a counter of the run, or empty for its real time per iteration
    double limit;          // the figure holds when it is at or below this
    std::string text;      // what the figure is, for the summary line
};

// Runs the benchmarks selected on the command line, then prints the targets. A target whose
// benchmark did not run (filtered out) is left out. Returns 0 unless the command line is wrong:
// a missed target is reported, not failed, since a shared machine can always be slow once.
int RunWithTargets(int argc, char **argv, const std::vector<Target> &targets);

// The median of a sample (which it sorts); 0 for an empty one.
double Median(std::vector<double> values);

} // namespace bench
