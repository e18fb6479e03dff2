// Start-up time and peak memory, each start a fresh child process (startup_child). Baseline: a
// bare Qt application that shows an empty main window, started the same way just before.

#include "GuestData.h"
#include "Summary.h"

#include "guestfile/GuestFile.h"
#include "platform/Regional.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using guestfile::kGuestFileName;
using guestfile::WriteGuestFile;

// The long list for the peak memory; a smoke run takes one just long enough to add to the peak.
int ManyGuests()
{
    return bench::SizeFor(100000, 5000);
}

struct Start
{
    double startupMs = 0;
    double loadMs = 0;
    double processMs = 0; // from starting the process to its end, as seen from outside
    double peakMb = 0;
    double rssMb = 0;
    double records = 0;
};

struct Folders
{
    QTemporaryDir start; // the price file only
    QTemporaryDir load;  // the price file and a guest file with ManyGuests() bookings
    bool loadFilled = false;
};

Folders &TheFolders()
{
    static Folders folders;
    return folders;
}

void WritePrices(const QString &folder)
{
    QFile prices(bench::PathIn(folder, QStringLiteral("Preismatrix.dat")));
    if (prices.open(QIODevice::WriteOnly))
        prices.write("50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n");
}

// Runs the child once; an error text when it failed.
std::optional<Start> RunChild(const char *mode, const QString &folder, QString &error)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/zimbrana_startup_child"));
    child.setArguments({QString::fromLatin1(mode)});
    child.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
    // A user data folder of its own for every start: the program remembers the data folder it
    // last read, and would start on the long list before the start that is to measure it, or
    // the baseline that must not have it. It also keeps the settings folder out of $HOME.
    const QTemporaryDir home;
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    child.setProcessEnvironment(env);
    QElapsedTimer wall;
    wall.start();
    child.start();
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished();
        error = QStringLiteral("child %1 failed: %2 %3")
                    .arg(QString::fromLatin1(mode), child.errorString(),
                         QString::fromLocal8Bit(child.readAllStandardError()));
        return std::nullopt;
    }
    Start start;
    start.processMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    const QByteArray out = child.readAllStandardOutput().trimmed();
    // Each of the five figures exactly once, each a plain number: anything else is an error, never
    // a zero that would pass for a fast start.
    const std::vector<std::pair<QByteArray, double *>> wanted = {{"startup_ms", &start.startupMs},
                                                                 {"load_ms", &start.loadMs},
                                                                 {"peak_kb", &start.peakMb},
                                                                 {"rss_kb", &start.rssMb},
                                                                 {"records", &start.records}};
    std::map<QByteArray, int> seen;
    bool readable = !out.isEmpty();
    for (const QByteArray &pair : out.split(' ')) {
        const qsizetype equals = pair.indexOf('=');
        const QByteArray key = pair.left(equals);
        const auto it = std::find_if(wanted.begin(), wanted.end(), [&key](const auto &w) { return w.first == key; });
        const QByteArray text = pair.mid(equals + 1);
        if (equals <= 0 || it == wanted.end() || ++seen[key] > 1 ||
            !bench::ParseNumber(std::string_view(text.constData(), std::size_t(text.size())), *it->second))
            readable = false;
    }
    if (!readable || seen.size() != wanted.size()) {
        error = QStringLiteral("child %1 printed what cannot be read: %2")
                    .arg(QString::fromLatin1(mode), QString::fromLocal8Bit(out));
        return std::nullopt;
    }
    start.peakMb /= 1024;
    start.rssMb /= 1024;
    return start;
}

// Each repetition is one start of each kind; the summary takes the median of the repetitions.
void BM_StartUp(benchmark::State &state)
{
    Folders &folders = TheFolders();
    for (auto _ : state) {
        QString error;
        const auto baseline = RunChild("empty", folders.start.path(), error);
        const auto program = baseline ? RunChild("window", folders.start.path(), error) : std::nullopt;
        if (!program) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        state.SetIterationTime(program->startupMs / 1000);
        state.counters["baseline_ms"] = baseline->startupMs;
        state.counters["process_ms"] = program->processMs;
        state.counters["ratio"] = program->startupMs / baseline->startupMs;
        state.counters["peak_MB"] = program->peakMb;
        state.counters["baseline_peak_MB"] = baseline->peakMb;
    }
}

void BM_PeakMemory100k(benchmark::State &state)
{
    Folders &folders = TheFolders();
    if (!folders.loadFilled) {
        WritePrices(folders.load.path());
        WriteGuestFile(bench::PathIn(folders.load.path(), QString::fromUtf8(kGuestFileName)),
                       bench::MakeGuests(ManyGuests()));
        folders.loadFilled = true;
    }
    for (auto _ : state) {
        QString error;
        const auto baseline = RunChild("window", folders.start.path(), error);
        const auto program = baseline ? RunChild("load", folders.load.path(), error) : std::nullopt;
        if (!program) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        if (program->records != ManyGuests()) {
            state.SkipWithError("the child did not read the whole list");
            return;
        }
        // The time is that of reading the list and filling the calendar.
        state.SetIterationTime(program->loadMs / 1000);
        state.counters["peak_MB"] = program->peakMb;
        state.counters["rss_after_MB"] = program->rssMb;
        state.counters["empty_list_peak_MB"] = baseline->peakMb;
        // What the list itself takes: the program around it grows with every window it gains.
        state.counters["list_MB"] = program->peakMb - baseline->peakMb;
        state.counters["ratio"] = program->peakMb / baseline->peakMb;
    }
}

BENCHMARK(BM_StartUp)->Apply([](benchmark::internal::Benchmark *b) { bench::Timing(b, benchmark::kMillisecond, 7); });
BENCHMARK(BM_PeakMemory100k)->Apply([](benchmark::internal::Benchmark *b) {
    bench::Timing(b, benchmark::kMillisecond, 3);
});

} // namespace

int main(int argc, char **argv)
{
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    WritePrices(TheFolders().start.path());
    // One start unmeasured: the first one after a build finds the libraries and fonts cold. A smoke
    // run takes no figure seriously and spares it.
    if (!bench::SmokeRun()) {
        QString error;
        if (!RunChild("window", TheFolders().start.path(), error))
            std::fprintf(stderr, "%s\n", qPrintable(error));
    }

    const std::string many = std::to_string(ManyGuests());
    const std::vector<bench::Target> targets = {
        {"BM_StartUp", "", 300, "Start-up to the main window shown (ms)"},
        {"BM_PeakMemory100k", "peak_MB", 100, "Peak memory with " + many + " records loaded (MB)"},
        {"BM_PeakMemory100k", "list_MB", 62, "Peak memory " + many + " records add to the empty program (MB)"},
    };
    return bench::RunWithTargets(argc, argv, targets);
}
