// The occupancy plan and the year's figures with twenty years of bookings: a whole year on screen
// must paint within one frame (16 ms), so scrolling and zooming stay smooth. Measured are the
// plan's geometry alone, one paint of a year into an image (geometry included, as after every
// change of the list or the span), the real window's repaint, and the figures of a year.

#include "BenchDialogs.h"
#include "GuestData.h"
#include "Summary.h"

#include "app/TMainForm.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/occupancy/PlanPainter.h"
#include "app/occupancy/PlanView.h"
#include "calendar/OccupancyPlan.h"
#include "calendar/RoomCalendar.h"
#include "calendar/YearFigures.h"
#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

namespace {

// The house of the tests, in Hessen.
constexpr qint32 kHausPLZ = 34519;

using app::OccupancyPlanWindow;
using app::PaintPlan;
using app::PlanLayout;
using app::PlanView;
using app::TMainForm;
using calendar::Belegungsplan;
using calendar::JahresZahlen;
using calendar::Jahresauswertung;
using calendar::PlanGeometry;
using guests::TGast;

using Clock = std::chrono::steady_clock;

constexpr int kGuests = 10000;
constexpr int kYear = 366;
// Today amid the bookings, which run from 2005 into 2027; the plan shows the year from 1 Jan 2020.
const QDate kToday(2020, 6, 15);
// The plan's drawing area in a window of 1400 pixels.
const QSize kArea(1380, 420);

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

const std::vector<TGast> &Guests()
{
    static const std::vector<TGast> list = bench::MakeGuests(kGuests);
    return list;
}

platform::TDateTime FirstDay()
{
    return platform::DateToDay(QDate(kToday.year(), 1, 1));
}

// A year's plan must show bookings, or its time would mean nothing.
bool ShowsBookings(const PlanGeometry &plan)
{
    return plan.days == kYear && plan.bars.size() > 300;
}

void BM_PlanGeometryYear(benchmark::State &state)
{
    std::size_t bars = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const PlanGeometry plan = Belegungsplan(Guests(), FirstDay(), kYear, platform::Now(), kHausPLZ);
        const auto t1 = Clock::now();
        bars = plan.bars.size();
        if (!ShowsBookings(plan))
            state.SkipWithError("the plan shows no bookings");
        state.SetIterationTime(Seconds(t0, t1));
    }
    state.counters["bars"] = static_cast<double>(bars);
}

// What a repaint after a change costs: the geometry worked out and the whole year drawn.
void BM_PlanPaintYear(benchmark::State &state)
{
    QImage image(kArea, QImage::Format_ARGB32_Premultiplied);
    const PlanLayout layout(QRectF(QPointF(0, 0), QSizeF(kArea)), kYear, 13);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const PlanGeometry plan = Belegungsplan(Guests(), FirstDay(), kYear, platform::Now(), kHausPLZ);
        QPainter painter(&image);
        PaintPlan(painter, layout, plan);
        painter.end();
        const auto t1 = Clock::now();
        if (!ShowsBookings(plan))
            state.SkipWithError("the plan shows no bookings");
        state.SetIterationTime(Seconds(t0, t1));
    }
}

// The main window with its list and the plan window open at a year, as the host has it.
struct Window
{
    QTemporaryDir dir;
    QStringList said;
    std::unique_ptr<TMainForm> form;
    OccupancyPlanWindow *plan = nullptr;
    PlanView *view = nullptr;
    QString error;

    Window()
    {
        QDir::setCurrent(dir.path());
        QFile prices(QStringLiteral("Preismatrix.dat"));
        if (prices.open(QIODevice::WriteOnly))
            prices.write("50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n");
        prices.close();
        form = std::make_unique<TMainForm>(std::make_unique<bench::BenchDialogs>(dir.path(), said));
        form->context().guestList().replace(Guests());
        form->show();
        if (auto *action = form->findChild<QAction *>(QStringLiteral("ActionBelegungsplan")))
            action->trigger();
        plan = form->findChild<OccupancyPlanWindow *>();
        // The window keeps its drawn plan to itself; it is its only PlanView.
        view = plan != nullptr ? plan->findChild<PlanView *>() : nullptr;
        if (view == nullptr) {
            error = QStringLiteral("the plan window did not open");
            return;
        }
        plan->resize(1400, 560);
        if (!QMetaObject::invokeMethod(plan, "showSpan", Qt::DirectConnection,
                                       Q_ARG(platform::TDateTime, FirstDay()), Q_ARG(int, kYear)))
            error = QStringLiteral("the plan window cannot be shown a span");
        QApplication::processEvents();
    }

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

// The plan window scrolled by a day and repainted: the geometry of the new span and the paint.
void BM_PlanWindowRepaintYear(benchmark::State &state)
{
    Window &w = *TheWindow();
    if (!w.problem().isEmpty()) {
        state.SkipWithError(w.problem().toStdString().c_str());
        return;
    }
    PlanView *view = w.view;
    int step = 0;
    for (auto _ : state) {
        const platform::TDateTime first = FirstDay() + (step++ % 2);
        const auto t0 = Clock::now();
        if (!QMetaObject::invokeMethod(w.plan, "showSpan", Qt::DirectConnection, Q_ARG(platform::TDateTime, first),
                                       Q_ARG(int, kYear))) {
            state.SkipWithError("the plan window cannot be shown a span");
            return;
        }
        view->repaint();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
    }
    if (!ShowsBookings(view->geometry()) || view->width() < 1000)
        state.SkipWithError("the window does not show a year of bookings");
}

void BM_Jahresauswertung(benchmark::State &state)
{
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const JahresZahlen z = Jahresauswertung(Guests(), kToday.year());
        const auto t1 = Clock::now();
        if (z.summe.naechteGesamt < 300)
            state.SkipWithError("the year has no nights");
        state.SetIterationTime(Seconds(t0, t1));
    }
}

void Setup(benchmark::internal::Benchmark *b)
{
    bench::Timing(b, benchmark::kMillisecond, 5, 0.3);
}

BENCHMARK(BM_PlanGeometryYear)->Apply(Setup);
BENCHMARK(BM_PlanPaintYear)->Apply(Setup);
BENCHMARK(BM_PlanWindowRepaintYear)->Apply(Setup);
BENCHMARK(BM_Jahresauswertung)->Apply(Setup);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows keep their settings; keep them out of the user's home.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(kToday, QTime(10, 0)));

    const std::vector<bench::Target> targets = {
        {"BM_PlanGeometryYear", "", 5, "occupancy plan geometry, a year of 10000 records"},
        {"BM_PlanPaintYear", "", 16, "one paint of a year (geometry included), 10000 records"},
        {"BM_PlanWindowRepaintYear", "", 16, "plan window scrolled and repainted at a year, 10000 records"},
        {"BM_Jahresauswertung", "", 20, "figures of a year from 10000 records"},
    };
    const int result = bench::RunWithTargets(argc, argv, targets);
    TheWindow().reset(); // before the application object goes
    return result;
}
