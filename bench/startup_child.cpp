// One start of the program, measured from inside: run as a child process by bench_startup, so
// every start is a fresh process. Prints one line "startup_ms=... load_ms=... peak_kb=... rss_kb=... records=...",
// the numbers with a decimal point whatever the locale (the application object takes the
// locale of the environment, and a German one would print a decimal comma).
//   empty  a bare QApplication and an empty main window: the baseline
//   window the application object and TMainForm, as main.cpp starts them
//   load   as "window", then "Daten lesen" of the Gaeste.csv in the working folder and the
//          calendar tab clicked, for the peak memory with a long list

#include "BenchDialogs.h"
#include "Summary.h"

#include "app/TMainForm.h"
#include "app/ZimbranaApplication.h"
#include "platform/Regional.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using app::TMainForm;
using app::ZimbranaApplication;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes the first paint of any widget of one window: by the end of the event round that paints it,
// the whole window has been drawn.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(const QWidget *window) : window_(window) {}
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == window_)
            painted = true;
        return false;
    }

private:
    const QWidget *window_;
};

bool ShowAndWaitForPaint(QWidget &window)
{
    PaintWatch watch(&window);
    qApp->installEventFilter(&watch);
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    qApp->removeEventFilter(&watch);
    return watch.painted;
}

// A line "<key>: <n> kB" of /proc/self/status, or -1.
long StatusKilobytes(const char *key)
{
    long kb = -1;
    if (std::FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const std::size_t length = std::strlen(key);
        while (std::fgets(line, sizeof line, status) != nullptr)
            if (std::strncmp(line, key, length) == 0 && line[length] == ':' &&
                std::sscanf(line + length + 1, "%ld", &kb) == 1)
                break;
        std::fclose(status);
    }
    return kb;
}

// The resident set's high-water mark in kB.
long PeakKilobytes()
{
    const long kb = StatusKilobytes("VmHWM");
    if (kb >= 0)
        return kb;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kB on Linux
}

int Report(double startupMs, double loadMs, int records)
{
    // The resident set now, beside the peak: what the list keeps once it is read.
    const long peak = PeakKilobytes();
    const long resident = StatusKilobytes("VmRSS");
    if (peak <= 0 || resident <= 0) {
        std::fprintf(stderr, "the memory figures could not be read (peak %ld kB, resident %ld kB)\n", peak, resident);
        return 4;
    }
    std::printf("startup_ms=%s load_ms=%s peak_kb=%ld rss_kb=%ld records=%d\n",
                bench::FormatNumber(startupMs, 3).c_str(), bench::FormatNumber(loadMs, 3).c_str(), peak, resident,
                records);
    return 0;
}

int Empty(int argc, char **argv, Clock::time_point t0)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(384, 567);
    if (!ShowAndWaitForPaint(window)) {
        std::fprintf(stderr, "the window was never painted\n");
        return 2;
    }
    return Report(Milliseconds(t0, Clock::now()), 0, 0);
}

int Program(int argc, char **argv, Clock::time_point t0, bool load)
{
    ZimbranaApplication app(argc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    QStringList said;
    TMainForm window(std::make_unique<bench::BenchDialogs>(QDir::currentPath(), said));
    if (!ShowAndWaitForPaint(window)) {
        std::fprintf(stderr, "the window was never painted\n");
        return 2;
    }
    const auto t1 = Clock::now();
    double loadMs = 0;
    if (load) {
        auto *read = window.findChild<QPushButton *>(QStringLiteral("ButtonRead"));
        if (read == nullptr) {
            std::fprintf(stderr, "the window has no button ButtonRead\n");
            return 5;
        }
        read->click();
        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"));
        auto *page = window.findChild<QWidget *>(QStringLiteral("Zimmer"));
        if (tabs == nullptr || page == nullptr) {
            std::fprintf(stderr, "the window has no calendar page\n");
            return 5;
        }
        // The calendar page brought to the front and clicked, as the host opens it: it is filled.
        tabs->setCurrentWidget(page);
        Q_EMIT tabs->tabBar()->tabBarClicked(tabs->currentIndex());
        QCoreApplication::processEvents();
        loadMs = Milliseconds(t1, Clock::now());
    }
    if (!said.isEmpty()) {
        std::fprintf(stderr, "the window would have shown a dialog: %s\n",
                     qPrintable(said.join(QStringLiteral(" | "))));
        return 3;
    }
    return Report(Milliseconds(t0, t1), loadMs, window.context().guests().guestCount());
}

} // namespace

int main(int argc, char **argv)
{
    const auto t0 = Clock::now();
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s empty|window|load\n", argv[0]);
        return 1;
    }
    const char *mode = argv[1];
    int qtArgc = 1;
    if (std::strcmp(mode, "empty") == 0)
        return Empty(qtArgc, argv, t0);
    if (std::strcmp(mode, "window") == 0 || std::strcmp(mode, "load") == 0)
        return Program(qtArgc, argv, t0, std::strcmp(mode, "load") == 0);
    std::fprintf(stderr, "unknown mode %s\n", mode);
    return 1;
}
