// The holiday look-ups build the whole table of a year on every call (nothing is cached, by
// design); the grid asks once per painted date cell. The baseline looks the same day up in a
// table built beforehand, so the ratio shows what building it each time costs.

#include "Summary.h"

#include "holidays/De_Feiertage.h"

#include <QDate>

#include <algorithm>
#include <chrono>
#include <map>

namespace {

using Clock = std::chrono::steady_clock;

// One batch: this many consecutive days from 1 Jan 2024, so the year changes now and then.
constexpr int kDays = 1000;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

platform::TDateTime FirstDay()
{
    return platform::EncodeDate(2024, 1, 1);
}

bool LookUpPrebuilt(const std::map<int, De_Feiertage::TFeiertagTable> &tables, platform::TDateTime day)
{
    const De_Feiertage::TFeiertagTable &table = tables.at(platform::YearOf(day));
    return std::any_of(table.begin(), table.end(),
                       [day](const De_Feiertage::TFeiertag &f) { return platform::IsSameDay(f.Date, day); });
}

template <typename Call> void RunBatches(benchmark::State &state, Call call)
{
    const auto plz = static_cast<qint32>(state.range(0));
    std::map<int, De_Feiertage::TFeiertagTable> tables;
    for (int year = 2024; year <= 2027; ++year)
        tables[year] = De_Feiertage::GetFeiertage(static_cast<quint16>(year), plz);

    const platform::TDateTime first = FirstDay();
    double program = 0, baseline = 0;
    int found = 0, foundBaseline = 0;
    for (auto _ : state) {
        found = foundBaseline = 0;
        const auto t0 = Clock::now();
        for (int i = 0; i < kDays; ++i)
            foundBaseline += LookUpPrebuilt(tables, first + i) ? 1 : 0;
        const auto t1 = Clock::now();
        for (int i = 0; i < kDays; ++i)
            found += call(plz, first + i) ? 1 : 0;
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(foundBaseline);
        baseline += Seconds(t0, t1);
        program += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t1, t2));
    }
    // Both sides must have found the same holidays, or the comparison means nothing.
    if (found != foundBaseline) {
        state.SkipWithError("the look-up and the prebuilt table disagree");
        return;
    }
    const double calls = static_cast<double>(kDays) * static_cast<double>(state.iterations());
    state.counters["us/call"] = program / calls * 1e6;
    state.counters["ratio"] = program / baseline;
}

void BM_IstFeiertag(benchmark::State &state)
{
    RunBatches(state, [](qint32 plz, platform::TDateTime day) { return De_Feiertage::IstFeiertag(plz, day); });
}

void BM_GetFeiertagName(benchmark::State &state)
{
    RunBatches(state,
               [](qint32 plz, platform::TDateTime day) { return !De_Feiertage::GetFeiertagName(plz, day).isEmpty(); });
}

// The guest house's own place (Hessen), Augsburg (the most holidays) and Dresden (Buß- und Bettag).
void Places(benchmark::internal::Benchmark *b)
{
    b->Arg(34519)->Arg(86150)->Arg(1067);
    bench::Timing(b, benchmark::kMillisecond, 5, 0.1);
}

BENCHMARK(BM_IstFeiertag)->Apply(Places);
BENCHMARK(BM_GetFeiertagName)->Apply(Places);

} // namespace

int main(int argc, char **argv)
{
    std::vector<bench::Target> targets;
    for (const char *plz : {"34519", "86150", "1067"}) {
        targets.push_back({std::string("BM_IstFeiertag/") + plz, "us/call", 2,
                           std::string("IstFeiertag, PLZ ") + plz + ": microseconds per call"});
        targets.push_back({std::string("BM_GetFeiertagName/") + plz, "us/call", 2,
                           std::string("GetFeiertagName, PLZ ") + plz + ": microseconds per call"});
    }
    return bench::RunWithTargets(argc, argv, targets);
}
