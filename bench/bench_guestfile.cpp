// Reading and writing the guest file, each beside a floor that does only the unavoidable part in
// the same run, so the ratio stays meaningful on a busy machine: for reading the file's bytes cut
// into lines and fields, for writing one write() of the very bytes. Times are CPU time of the
// process. BM_Peers reads and writes the same file with Python's csv module and sqlite3 (peers.py)
// and prints the program's time as a multiple of theirs.

#include "GuestData.h"
#include "Summary.h"

#include "guestfile/GuestFile.h"
#include "platform/FileIo.h"
#include "platform/Regional.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

using guestfile::GuestFileBytes;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

// The lengths of list measured: a few years, twenty years and a long life of bookings. The
// targets are those of the longest. A smoke run takes two short lists.
const std::vector<int> &ListSizes()
{
    static const std::vector<int> sizes =
        bench::SmokeRun() ? std::vector<int>{1000, 10000} : std::vector<int>{1000, 10000, 100000};
    return sizes;
}

int LongestList()
{
    return ListSizes().back();
}

// CPU time of the process in seconds: what the work costs, whatever else the machine runs.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct Data
{
    std::vector<TGast> list;
    QByteArray bytes; // the file as the program writes it
    QTemporaryDir dir;
    QString guestFile; // written once by the program itself, then only read
    QString writeFile;
    QString floorFile;
    QString error;
};

// One list per size, made once and shared by the read and the write benchmark.
const Data &DataFor(int guests)
{
    static std::map<int, std::unique_ptr<Data>> cache;
    std::unique_ptr<Data> &slot = cache[guests];
    if (slot)
        return *slot;
    slot = std::make_unique<Data>();
    Data &d = *slot;
    d.list = bench::MakeGuests(guests);
    d.guestFile = bench::PathIn(d.dir.path(), QStringLiteral("Gaeste.csv"));
    d.writeFile = bench::PathIn(d.dir.path(), QStringLiteral("Geschrieben.csv"));
    d.floorFile = bench::PathIn(d.dir.path(), QStringLiteral("Boden.csv"));
    try {
        WriteGuestFile(d.guestFile, d.list);
        d.bytes = platform::ReadFileBytes(d.guestFile);
        // The figures only count if the file reads back as the very list it was written from, and
        // the bytes written without the file are the file's.
        if (ReadGuestFile(d.guestFile) != d.list)
            d.error = QStringLiteral("the guest file does not read back as written");
        else if (GuestFileBytes(d.list) != d.bytes)
            d.error = QStringLiteral("GuestFileBytes differs from the file written");
    } catch (const std::exception &e) {
        d.error = QString::fromUtf8(e.what());
    }
    return d;
}

// Lets the allocator sort what was freed outside the timed parts; else glibc does it inside the
// next large allocation, and each side would pay for the other's garbage.
void TidyHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// The floor of reading: the file's bytes read as the program reads them, cut into lines (CR LF)
// and the fields of each line at ';', nothing decoded or copied. The number of fields, so the
// caller can check the cut was done, and a sum of their lengths, so the compiler cannot skip it.
std::size_t CutIntoFields(const QString &path, std::size_t &lengths)
{
    const QByteArray bytes = platform::ReadFileBytes(path);
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    std::size_t fields = 0;
    while (p < end) {
        const auto *eol = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (eol == nullptr)
            eol = end;
        const char *const stop = eol > p && eol[-1] == '\r' ? eol - 1 : eol;
        for (const char *field = p;;) {
            const auto *semi =
                static_cast<const char *>(std::memchr(field, ';', static_cast<std::size_t>(stop - field)));
            ++fields;
            lengths += static_cast<std::size_t>((semi == nullptr ? stop : semi) - field);
            if (semi == nullptr)
                break;
            field = semi + 1;
        }
        p = eol + 1;
    }
    return fields;
}

// One write() of the bytes into a new file, optionally with the data synced to the disk.
bool WriteOnce(const QString &path, const QByteArray &bytes, bool sync)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) == bytes.size();
    const bool synced = !sync || ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && written && synced;
}

// Records per second of both sides, and the program's time as a multiple of the floor's.
void ReportRatio(benchmark::State &state, std::size_t listSize, double program, double floor)
{
    const auto records = static_cast<double>(listSize) * static_cast<double>(state.iterations());
    state.counters["records/s"] = benchmark::Counter(records, benchmark::Counter::kIsRate);
    state.counters["floor_records/s"] = records / floor;
    state.counters["ratio"] = program / floor;
}

void BM_ReadGuestFile(benchmark::State &state)
{
    const Data &d = DataFor(static_cast<int>(state.range(0)));
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    double program = 0, floor = 0;
    for (auto _ : state) {
        std::size_t lengths = 0;
        const double t0 = CpuSeconds();
        const std::size_t fields = CutIntoFields(d.guestFile, lengths);
        const double t1 = CpuSeconds();
        benchmark::DoNotOptimize(lengths);
        TidyHeap();

        // The result is dropped outside the timed part, as the floor keeps nothing.
        std::vector<TGast> list;
        const double t2 = CpuSeconds();
        list = ReadGuestFile(d.guestFile);
        const double t3 = CpuSeconds();
        const bool same = list.size() == d.list.size();
        list = {};
        TidyHeap();
        if (fields != d.list.size() * 18 || !same) {
            state.SkipWithError("the floor or the program did not read every record");
            return;
        }
        floor += t1 - t0;
        program += t3 - t2;
        state.SetIterationTime(t3 - t2);
    }
    ReportRatio(state, d.list.size(), program, floor);
}

// Writing without the sync: the bytes made from the list and written by one write(), beside one
// write() of the very bytes.
void BM_WriteGuestFile(benchmark::State &state)
{
    const Data &d = DataFor(static_cast<int>(state.range(0)));
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    double program = 0, floor = 0;
    for (auto _ : state) {
        const double t0 = CpuSeconds();
        const bool floorWrote = WriteOnce(d.floorFile, d.bytes, false);
        const double t1 = CpuSeconds();
        TidyHeap();
        const double t2 = CpuSeconds();
        const bool programWrote = WriteOnce(d.writeFile, GuestFileBytes(d.list), false);
        const double t3 = CpuSeconds();
        TidyHeap();
        if (!floorWrote || !programWrote) {
            state.SkipWithError("a file could not be written");
            return;
        }
        floor += t1 - t0;
        program += t3 - t2;
        state.SetIterationTime(t3 - t2);
    }
    ReportRatio(state, d.list.size(), program, floor);
}

// The whole save as the program does it (a new file synced and put in place of the old one), in
// real time since most of it is waiting for the disk, beside one write() of the bytes and one sync.
void BM_SaveGuestFile(benchmark::State &state)
{
    const Data &d = DataFor(static_cast<int>(state.range(0)));
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double>(to - from).count();
    };
    double program = 0, floor = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool floorWrote = WriteOnce(d.floorFile, d.bytes, true);
        const auto t1 = Clock::now();
        TidyHeap();
        const auto t2 = Clock::now();
        WriteGuestFile(d.writeFile, d.list);
        const auto t3 = Clock::now();
        TidyHeap();
        if (!floorWrote) {
            state.SkipWithError("the floor could not write its file");
            return;
        }
        floor += seconds(t0, t1);
        program += seconds(t2, t3);
        state.SetIterationTime(seconds(t2, t3));
    }
    ReportRatio(state, d.list.size(), program, floor);
}

// The figures peers.py printed, each "name=value" on a line of its own; an error text if any is
// missing or not a plain number.
QString ReadPeerFigures(const QByteArray &out, std::map<std::string, double> &figures)
{
    for (const QByteArray &line : out.trimmed().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray value = line.mid(equals + 1).trimmed();
        double number = 0;
        if (equals <= 0 || !bench::ParseNumber(std::string_view(value.constData(), std::size_t(value.size())), number))
            return QStringLiteral("peers.py printed what cannot be read: ") + QString::fromLocal8Bit(out);
        figures[line.left(equals).toStdString()] = number;
    }
    for (const char *name : {"csv_read_ms", "csv_write_ms", "sqlite_import_ms", "sqlite_export_ms"})
        if (figures.count(name) == 0 || figures[name] <= 0)
            return QStringLiteral("peers.py gave no figure %1: ").arg(QString::fromLatin1(name)) +
                   QString::fromLocal8Bit(out);
    return QString();
}

// The program beside Python's csv module and sqlite3 on the same file of the longest list, each side
// the median CPU time of five runs. The program's write is without the sync here, as the peers
// do not sync either; the whole save with it is shown beside.
void BM_Peers(benchmark::State &state)
{
    const Data &d = DataFor(LongestList());
    const int peerRuns = bench::SizeFor(5, 1);
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty()) {
        state.SkipWithError("python3 or sqlite3 is missing (bench/run.sh installs them)");
        return;
    }
    for (auto _ : state) {
        std::vector<double> reads, writes, saves;
        for (int run = 0; run < peerRuns; ++run) {
            const double t0 = CpuSeconds();
            std::vector<TGast> list = ReadGuestFile(d.guestFile);
            const double t1 = CpuSeconds();
            const bool same = list == d.list;
            list = {};
            TidyHeap();
            const double t2 = CpuSeconds();
            const bool wrote = WriteOnce(d.writeFile, GuestFileBytes(d.list), false);
            const double t3 = CpuSeconds();
            TidyHeap();
            const double t4 = CpuSeconds();
            WriteGuestFile(d.writeFile, d.list);
            const double t5 = CpuSeconds();
            TidyHeap();
            if (!same || !wrote) {
                state.SkipWithError("the program did not read or write the whole list");
                return;
            }
            reads.push_back((t1 - t0) * 1000);
            writes.push_back((t3 - t2) * 1000);
            saves.push_back((t5 - t4) * 1000);
        }

        QProcess peers;
        peers.setProgram(python);
        peers.setArguments(
            {QStringLiteral(ZIMBRANA_BENCH_DIR "/peers.py"), d.guestFile, d.dir.path(), QString::number(peerRuns)});
        peers.start();
        if (!peers.waitForFinished(900000) || peers.exitStatus() != QProcess::NormalExit || peers.exitCode() != 0) {
            peers.kill();
            peers.waitForFinished();
            const QString error = QStringLiteral("peers.py failed: ") + peers.errorString() + u' ' +
                                  QString::fromLocal8Bit(peers.readAllStandardError());
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        std::map<std::string, double> peer;
        const QString error = ReadPeerFigures(peers.readAllStandardOutput(), peer);
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        const double read = bench::Median(reads);
        const double write = bench::Median(writes);
        const double save = bench::Median(saves);
        state.SetIterationTime(read / 1000);
        state.counters["read_ms"] = read;
        state.counters["write_ms"] = write;
        state.counters["save_cpu_ms"] = save;
        state.counters["csv_read_ms"] = peer["csv_read_ms"];
        state.counters["csv_write_ms"] = peer["csv_write_ms"];
        state.counters["sqlite_import_ms"] = peer["sqlite_import_ms"];
        state.counters["sqlite_export_ms"] = peer["sqlite_export_ms"];
        state.counters["read/csv"] = read / peer["csv_read_ms"];
        state.counters["read/sqlite"] = read / peer["sqlite_import_ms"];
        state.counters["write/csv"] = write / peer["csv_write_ms"];
        state.counters["write/sqlite"] = write / peer["sqlite_export_ms"];
        state.counters["save/sqlite"] = save / peer["sqlite_export_ms"];
    }
}

void Sizes(benchmark::internal::Benchmark *b)
{
    for (const int size : ListSizes())
        b->Arg(size);
    bench::Timing(b, benchmark::kMillisecond, 5, 0.3);
}

void Longest(benchmark::internal::Benchmark *b)
{
    b->Arg(LongestList());
    bench::Timing(b, benchmark::kMillisecond, 5, 0.3);
}

BENCHMARK(BM_ReadGuestFile)->Apply(Sizes);
BENCHMARK(BM_WriteGuestFile)->Apply(Sizes);
BENCHMARK(BM_SaveGuestFile)->Apply(Longest);
// One run that takes the medians of its own.
BENCHMARK(BM_Peers)->Apply([](benchmark::internal::Benchmark *b) { bench::Timing(b, benchmark::kMillisecond, 1); });

} // namespace

int main(int argc, char **argv)
{
    // For QProcess; it also takes the locale of the environment, which no figure here depends on.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    // The targets are those of a long list; shorter ones are shown beside them.
    std::vector<bench::Target> targets;
    for (const int records : ListSizes()) {
        const bool many = records == LongestList();
        const std::string size = std::to_string(records);
        targets.push_back({"BM_ReadGuestFile/" + size, "ratio", many ? 4.0 : 0.0,
                           "ReadGuestFile, " + size + " records: CPU time / floor"});
        targets.push_back({"BM_WriteGuestFile/" + size, "ratio", many ? 5.0 : 0.0,
                           "Writing " + size + " records without sync: CPU time / floor"});
    }
    const std::string longest = std::to_string(LongestList());
    targets.push_back({"BM_SaveGuestFile/" + longest, "ratio", 0,
                       "WriteGuestFile, " + longest + " records, synced: time / write+sync"});
    targets.push_back({"BM_Peers", "read/csv", 1, "Reading " + longest + " records: CPU time / Python csv"});
    targets.push_back({"BM_Peers", "read/sqlite", 1, "Reading " + longest + " records: CPU time / sqlite3 .import"});
    targets.push_back({"BM_Peers", "write/csv", 1, "Writing " + longest + " records: CPU time / Python csv"});
    targets.push_back({"BM_Peers", "write/sqlite", 1, "Writing " + longest + " records: CPU time / sqlite3 export"});
    targets.push_back(
        {"BM_Peers", "save/sqlite", 0, "Saving (synced) " + longest + " records: CPU time / sqlite3 export"});
    return bench::RunWithTargets(argc, argv, targets);
}
