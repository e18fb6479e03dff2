// Reading and writing the guest file, each beside a baseline that does only the unavoidable part
// (moving the bytes and cutting them at ';'), so the ratio stays meaningful on a busy machine.

#include "GuestData.h"
#include "Summary.h"

#include "guestfile/GuestFile.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// A record as the write baseline formats it: texts already in the file's code page, dates and
// times already split, so that only formatting and writing remain.
struct PlainRecord
{
    int gastNr, personen, plz, reNr;
    int von[3], anreise[3], bis[3], abreise[3];
    double kosten;
    bool bezahlt, schluessel;
    std::string zimmer, name, strasse, ort, telefon, email, bemerkung;
};

struct Data
{
    std::vector<TGast> list;
    std::vector<PlainRecord> plain;
    QTemporaryDir dir;
    QString guestFile; // written once by the program itself, then only read
    QString writeFile;
    std::string baselineFile;
    QString error;
};

void SplitDate(platform::TDateTime day, int (&ymd)[3])
{
    const QDate date = platform::DayToDate(day);
    ymd[0] = date.day();
    ymd[1] = date.month();
    ymd[2] = date.year();
}

void SplitTime(platform::TDateTime fraction, int (&hms)[3])
{
    const QTime time = platform::FractionToTime(fraction);
    hms[0] = time.hour();
    hms[1] = time.minute();
    hms[2] = time.second();
}

std::string Ansi(const QString &text)
{
    return platform::ToAnsi(text).toStdString();
}

PlainRecord Plain(const TGast &g)
{
    PlainRecord p{};
    p.gastNr = g.GastNr;
    p.personen = g.Personen;
    p.plz = g.PLZ;
    p.reNr = g.ReNr;
    SplitDate(g.Von, p.von);
    SplitTime(g.Anreise, p.anreise);
    SplitDate(g.Bis, p.bis);
    SplitTime(g.Abreise, p.abreise);
    p.kosten = g.Kosten;
    p.bezahlt = g.Bezahlt;
    p.schluessel = g.Schluessel;
    p.zimmer = Ansi(g.Zimmer);
    p.name = Ansi(g.Name);
    p.strasse = Ansi(g.Strasse);
    p.ort = Ansi(g.Ort);
    p.telefon = Ansi(g.Telefon);
    p.email = Ansi(g.EMail);
    p.bemerkung = Ansi(g.Bemerkung);
    return p;
}

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
    d.plain.reserve(d.list.size());
    for (const TGast &g : d.list)
        d.plain.push_back(Plain(g));
    d.guestFile = bench::PathIn(d.dir.path(), QStringLiteral("Gaeste.csv"));
    d.writeFile = bench::PathIn(d.dir.path(), QStringLiteral("Geschrieben.csv"));
    d.baselineFile = bench::PathIn(d.dir.path(), QStringLiteral("Baseline.csv")).toStdString();
    try {
        WriteGuestFile(d.guestFile, d.list);
        // The figures only count if the file reads back as the very list it was written from.
        if (ReadGuestFile(d.guestFile) != d.list)
            d.error = QStringLiteral("the guest file does not read back as written");
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

using Rows = std::vector<std::vector<std::string>>;

// The baseline of reading: the same bytes from the same file, cut into lines (CR LF) and the
// fields of each line, each field copied out as it stands, without decoding anything.
void ReadAndSplit(const QString &path, Rows &rows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const char *p = bytes.constData();
    const char *const end = p + bytes.size();
    while (p < end) {
        const char *eol = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (eol == nullptr)
            eol = end;
        const char *stop = eol > p && eol[-1] == '\r' ? eol - 1 : eol;
        std::vector<std::string> &fields = rows.emplace_back();
        fields.reserve(18);
        const char *field = p;
        for (;;) {
            const auto *semi =
                static_cast<const char *>(std::memchr(field, ';', static_cast<std::size_t>(stop - field)));
            if (semi == nullptr) {
                fields.emplace_back(field, stop);
                break;
            }
            fields.emplace_back(field, semi);
            field = semi + 1;
        }
        p = eol + 1;
    }
}

// The baseline of writing: every field of every record formatted by snprintf into one buffer,
// which is then written to a file in one go.
bool FormatAndWrite(const std::vector<PlainRecord> &records, const std::string &path, std::string &buffer)
{
    buffer.clear();
    char line[2048];
    for (const PlainRecord &r : records) {
        const int n = std::snprintf(line, sizeof line,
                                    "%d;%s;%d;%02d.%02d.%04d;%02d:%02d:%02d;%02d.%02d.%04d;%02d:%02d:%02d;%s;%s;%d;%s;%"
                                    "s;%s;%d;%5.2f;%s;%s;%s\r\n",
                                    r.gastNr, r.zimmer.c_str(), r.personen, r.von[0], r.von[1], r.von[2], r.anreise[0],
                                    r.anreise[1], r.anreise[2], r.bis[0], r.bis[1], r.bis[2], r.abreise[0],
                                    r.abreise[1], r.abreise[2], r.name.c_str(), r.strasse.c_str(), r.plz, r.ort.c_str(),
                                    r.telefon.c_str(), r.email.c_str(), r.reNr, r.kosten, r.bezahlt ? "True" : "False",
                                    r.schluessel ? "True" : "False", r.bemerkung.c_str());
        if (n < 0 || n >= static_cast<int>(sizeof line))
            return false;
        buffer.append(line, static_cast<std::size_t>(n));
    }
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(buffer.data(), 1, buffer.size(), file) == buffer.size();
    return std::fclose(file) == 0 && written;
}

// Records per second of both sides, and the program's time as a multiple of the baseline's.
void ReportRatio(benchmark::State &state, std::size_t listSize, double program, double baseline)
{
    const auto records = static_cast<double>(listSize) * static_cast<double>(state.iterations());
    state.counters["records/s"] = benchmark::Counter(records, benchmark::Counter::kIsRate);
    state.counters["baseline_records/s"] = records / baseline;
    state.counters["ratio"] = program / baseline;
}

void BM_ReadGuestFile(benchmark::State &state)
{
    const Data &d = DataFor(static_cast<int>(state.range(0)));
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    double program = 0, baseline = 0;
    for (auto _ : state) {
        // Each result is dropped outside the timed part, so both sides pay the same.
        Rows rows;
        const auto t0 = Clock::now();
        ReadAndSplit(d.guestFile, rows);
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(rows.data());
        rows = Rows();
        TidyHeap();

        std::vector<TGast> list;
        const auto t2 = Clock::now();
        list = ReadGuestFile(d.guestFile);
        const auto t3 = Clock::now();
        benchmark::DoNotOptimize(list.data());
        list = {};
        TidyHeap();

        baseline += Seconds(t0, t1);
        program += Seconds(t2, t3);
        state.SetIterationTime(Seconds(t2, t3));
    }
    ReportRatio(state, d.list.size(), program, baseline);
}

void BM_WriteGuestFile(benchmark::State &state)
{
    const Data &d = DataFor(static_cast<int>(state.range(0)));
    if (!d.error.isEmpty()) {
        state.SkipWithError(d.error.toStdString().c_str());
        return;
    }
    std::string buffer;
    double program = 0, baseline = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool ok = FormatAndWrite(d.plain, d.baselineFile, buffer);
        const auto t1 = Clock::now();
        TidyHeap();
        const auto t2 = Clock::now();
        WriteGuestFile(d.writeFile, d.list);
        const auto t3 = Clock::now();
        TidyHeap();
        if (!ok) {
            state.SkipWithError("the baseline could not write its file");
            return;
        }
        baseline += Seconds(t0, t1);
        program += Seconds(t2, t3);
        state.SetIterationTime(Seconds(t2, t3));
    }
    ReportRatio(state, d.list.size(), program, baseline);
}

void Sizes(benchmark::internal::Benchmark *b)
{
    b->Arg(1000)->Arg(10000)->Arg(100000);
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_ReadGuestFile)->Apply(Sizes);
BENCHMARK(BM_WriteGuestFile)->Apply(Sizes);

} // namespace

int main(int argc, char **argv)
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    std::vector<bench::Target> targets;
    for (const char *size : {"1000", "10000", "100000"}) {
        targets.push_back({std::string("BM_ReadGuestFile/") + size, "ratio", 3,
                           std::string("ReadGuestFile, ") + size + " records: time / baseline"});
        targets.push_back({std::string("BM_WriteGuestFile/") + size, "ratio", 3,
                           std::string("WriteGuestFile, ") + size + " records: time / baseline"});
    }
    return bench::RunWithTargets(argc, argv, targets);
}
