// Filling the room calendar from twenty years and more of bookings: the core function alone, and
// the window's tab click with its real grid. Baselines: writing only the date and weekday texts
// of the days (what any fill must do), and the core fill beneath the tab click.

#include "BenchDialogs.h"
#include "GuestData.h"
#include "Summary.h"

#include "app/TMainForm.h"
#include "calendar/RoomCalendar.h"
#include "calendar/RoomCalendarModel.h"
#include "guestfile/GuestFile.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {

using app::TMainForm;
using calendar::CalendarRow;
using calendar::kTageVorStarttag;
using calendar::WochentagText;
using calendar::ZeigGridRows;
using guestfile::kGuestFileName;
using guestfile::WriteGuestFile;
using guests::TGast;

using Clock = std::chrono::steady_clock;

constexpr int kGuests = 10000;
constexpr int kRows = 1000;
// Today for the window, amid the bookings: 10,000 of them run from 2005 into 2027.
const QDate kToday(2020, 6, 15);

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

const std::vector<TGast> &Guests()
{
    static const std::vector<TGast> list = bench::MakeGuests(kGuests);
    return list;
}

// The grid's first day when the tab is clicked: row 11 shows 1 January of this year.
platform::TDateTime Starttag()
{
    return platform::EncodeDate(kToday.year(), 1, 1) + kTageVorStarttag;
}

// The part of a fill that does not depend on the bookings: each row's date and weekday text.
std::vector<CalendarRow> DateTextsOnly(platform::TDateTime start, int rows)
{
    std::vector<CalendarRow> result(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        CalendarRow &row = result[static_cast<std::size_t>(r)];
        row.day = start - kTageVorStarttag + r;
        row.datum = platform::DateToStr(row.day);
        row.wochentag = WochentagText(platform::DayOfWeek(row.day));
    }
    return result;
}

// The main window in a working folder of its own with the list read through "Daten lesen" and the
// calendar page open, as the host would have it.
struct Window
{
    QTemporaryDir dir;
    QStringList said;
    std::unique_ptr<TMainForm> form;
    QTableView *grid = nullptr;
    QTabWidget *tabs = nullptr;
    QString error;

    Window()
    {
        QDir::setCurrent(dir.path());
        QFile prices(QStringLiteral("Preismatrix.dat"));
        if (prices.open(QIODevice::WriteOnly))
            prices.write("50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n");
        prices.close();
        WriteGuestFile(bench::PathIn(dir.path(), QString::fromUtf8(kGuestFileName)), Guests());

        form = std::make_unique<TMainForm>(std::make_unique<bench::BenchDialogs>(dir.path(), said));
        form->show();
        form->findChild<QPushButton *>(QStringLiteral("ButtonRead"))->click();
        if (form->context().guests().records() != Guests())
            error = QStringLiteral("the window did not read the whole list");
        tabs = form->findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"));
        auto *page = form->findChild<QWidget *>(QStringLiteral("Zimmer"));
        grid = form->findChild<QTableView *>(QStringLiteral("GridZimmer"));
        if (tabs == nullptr || page == nullptr || grid == nullptr)
            error = QStringLiteral("the calendar page was not found");
        else
            tabs->setCurrentWidget(page);
        QApplication::processEvents();
    }

    // A click on the calendar's tab while the page is in front, which fills it again
    // (TMainForm::ZimmerClick of old, now the calendar page's).
    void clickCalendarTab() const { Q_EMIT tabs->tabBar()->tabBarClicked(tabs->currentIndex()); }

    // Whatever went wrong, or a dialog the window would have shown.
    QString problem() const { return !error.isEmpty() ? error : said.join(QStringLiteral(" | ")); }
};

std::unique_ptr<Window> &TheWindow()
{
    static std::unique_ptr<Window> window;
    if (!window)
        window = std::make_unique<Window>();
    return window;
}

// Whether the grid shows the rows the core computed, with at least one booking among them: the
// time of a click that fills nothing would mean nothing.
bool GridShows(const QAbstractItemModel &model, const std::vector<CalendarRow> &rows)
{
    bool anyBooking = false;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r);
        if (model.index(row, 0).data().toString() != rows[r].datum)
            return false;
        for (std::size_t k = 0; k < rows[r].rooms.size(); ++k) {
            // A room two bookings share shows both guests' names instead of the later one.
            const calendar::CalendarCell &cell = rows[r].rooms[k];
            const QString &text = cell.clash && !cell.clashText.isEmpty() ? cell.clashText : cell.text;
            if (model.index(row, static_cast<int>(k) + 2).data().toString() != text)
                return false;
            anyBooking = anyBooking || !text.isEmpty();
        }
    }
    return anyBooking;
}

void Finish(benchmark::State &state, double program, double baseline)
{
    state.counters["ratio"] = program / baseline;
}

void BM_ZeigGridRows(benchmark::State &state)
{
    const std::vector<TGast> &list = Guests();
    const platform::TDateTime start = Starttag();
    double program = 0, baseline = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        auto texts = DateTextsOnly(start, kRows);
        const auto t1 = Clock::now();
        auto rows = ZeigGridRows(list, start, kRows);
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(texts.data());
        benchmark::DoNotOptimize(rows.data());
        baseline += Seconds(t0, t1);
        program += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t1, t2));
    }
    Finish(state, program, baseline);
}

// The tab click; with `paint` also the grid drawn as the user then sees it.
void TabClick(benchmark::State &state, bool paint)
{
    Window &w = *TheWindow();
    if (!w.problem().isEmpty()) {
        state.SkipWithError(w.problem().toStdString().c_str());
        return;
    }
    const platform::TDateTime start = Starttag();
    // The grid filled when the page was shown; a click that no longer fills it must not pass for a
    // quick one.
    auto *model = qobject_cast<calendar::RoomCalendarModel *>(w.grid->model());
    if (model == nullptr) {
        state.SkipWithError("the grid has no room calendar");
        return;
    }
    model->clear();
    w.clickCalendarTab();
    if (!GridShows(*model, ZeigGridRows(w.form->context().guests().records(), start, kRows))) {
        state.SkipWithError("a click on the calendar's tab does not fill the grid");
        return;
    }
    double program = 0, baseline = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        auto rows = ZeigGridRows(w.form->context().guests().records(), start, kRows);
        const auto t1 = Clock::now();
        w.clickCalendarTab();
        if (paint)
            w.grid->viewport()->repaint();
        const auto t2 = Clock::now();
        benchmark::DoNotOptimize(rows.data());
        baseline += Seconds(t0, t1);
        program += Seconds(t1, t2);
        state.SetIterationTime(Seconds(t1, t2));
    }
    if (!w.problem().isEmpty())
        state.SkipWithError(w.problem().toStdString().c_str());
    else if (!GridShows(*w.grid->model(), ZeigGridRows(w.form->context().guests().records(), start, kRows)))
        state.SkipWithError("the grid does not show the bookings");
    Finish(state, program, baseline);
}

void BM_ZimmerClick(benchmark::State &state)
{
    TabClick(state, false);
}

void BM_ZimmerClickPainted(benchmark::State &state)
{
    TabClick(state, true);
}

void Setup(benchmark::internal::Benchmark *b)
{
    bench::Timing(b, benchmark::kMillisecond, 5, 0.2);
}

BENCHMARK(BM_ZeigGridRows)->Apply(Setup);
BENCHMARK(BM_ZimmerClick)->Apply(Setup);
BENCHMARK(BM_ZimmerClickPainted)->Apply(Setup);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window makes its settings folder; keep it out of the user's home.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(kToday, QTime(10, 0)));

    const std::vector<bench::Target> targets = {
        {"BM_ZeigGridRows", "", 10, "ZeigGridRows, 1000 days of 10000 records"},
        {"BM_ZimmerClick", "", 100, "ZimmerClick (a click on the tab), 10000 records"},
        {"BM_ZimmerClickPainted", "", 100, "ZimmerClick and the grid painted, 10000 records"},
    };
    const int result = bench::RunWithTargets(argc, argv, targets);
    TheWindow().reset(); // before the application object goes
    return result;
}
