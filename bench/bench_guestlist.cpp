// The guest list window with 100,000 bookings, as the host uses it: opening it, typing the first
// letter of a search, and clicking a column header to sort. Each time includes the table painted
// as the host then sees it.

#include "BenchDialogs.h"
#include "GuestData.h"
#include "Summary.h"

#include "app/TMainForm.h"
#include "app/guestlist/GuestListWindow.h"
#include "platform/Clock.h"
#include "platform/Regional.h"
#include "register/GuestListModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kGuests = 100000;
// Today amid the bookings: 100,000 of them run from 2005 for some two hundred years.
const QDate kToday(2020, 6, 15);

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// The main window in a working folder of its own, holding the bookings.
struct Main
{
    QTemporaryDir dir;
    QStringList said;
    std::unique_ptr<TMainForm> form;

    Main()
    {
        QDir::setCurrent(dir.path());
        QFile prices(QStringLiteral("Preismatrix.dat"));
        if (prices.open(QIODevice::WriteOnly))
            prices.write("50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n");
        prices.close();
        form = std::make_unique<TMainForm>(std::make_unique<bench::BenchDialogs>(dir.path(), said));
        form->show();
        form->guestList().replace(bench::MakeGuests(kGuests));
        QApplication::processEvents();
    }

    GuestListWindow *list() const { return form->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow")); }

    // Opens the window as "Ansicht" → "Gästeliste" does, and lets it paint.
    GuestListWindow *open()
    {
        form->GaestelisteClick();
        QApplication::processEvents();
        GuestListWindow *window = list();
        if (window)
            window->findChild<QTableView *>(QStringLiteral("TableGaeste"))->viewport()->repaint();
        return window;
    }

    // Whatever went wrong: a dialog the window would have shown.
    QString problem() const { return said.join(QStringLiteral(" | ")); }
};

std::unique_ptr<Main> &TheMain()
{
    static std::unique_ptr<Main> main;
    if (!main)
        main = std::make_unique<Main>();
    return main;
}

QTableView *Table(GuestListWindow *window)
{
    return window->findChild<QTableView *>(QStringLiteral("TableGaeste"));
}

void BM_OpenWindow(benchmark::State &state)
{
    Main &m = *TheMain();
    for (auto _ : state) {
        delete m.list(); // the window is made anew each time, as on the first opening of a run
        QApplication::processEvents();
        const auto t0 = Clock::now();
        GuestListWindow *window = m.open();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        if (!window || Table(window)->model()->rowCount() != kGuests) {
            state.SkipWithError("the window does not show every booking");
            return;
        }
    }
    if (!m.problem().isEmpty())
        state.SkipWithError(m.problem().toStdString().c_str());
}

// The first letter of a search typed into an empty search field.
void BM_TypeOneLetter(benchmark::State &state)
{
    Main &m = *TheMain();
    GuestListWindow *window = m.open();
    auto *edit = window->findChild<QLineEdit *>(QStringLiteral("EditSuche"));
    const char letter = static_cast<char>(state.range(0));
    int shown = 0;
    for (auto _ : state) {
        edit->clear();
        QApplication::processEvents();
        const auto t0 = Clock::now();
        QTest::keyClick(edit, letter);
        Table(window)->viewport()->repaint();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        shown = Table(window)->model()->rowCount();
    }
    state.counters["rows"] = shown;
    edit->clear();
    if (shown == 0 || shown == kGuests)
        state.SkipWithError("the letter did not narrow the list");
}

// A click on a column's header while the table is ordered by the guest number.
void BM_SortByColumn(benchmark::State &state)
{
    Main &m = *TheMain();
    GuestListWindow *window = m.open();
    QTableView *table = Table(window);
    QHeaderView *header = table->horizontalHeader();
    const int column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        table->sortByColumn(GuestListModel::SpalteNr, Qt::DescendingOrder);
        QApplication::processEvents();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        const auto t0 = Clock::now();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        table->viewport()->repaint();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        if (header->sortIndicatorSection() != column) {
            state.SkipWithError("the click did not sort");
            return;
        }
    }
}

void Setup(benchmark::internal::Benchmark *b)
{
    b->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_OpenWindow)->Apply(Setup);
BENCHMARK(BM_TypeOneLetter)->Arg('e')->Arg('q')->Apply(Setup);
BENCHMARK(BM_SortByColumn)
    ->Arg(GuestListModel::SpalteName)
    ->Arg(GuestListModel::SpalteOrt)
    ->Arg(GuestListModel::SpalteAnreise)
    ->Arg(GuestListModel::SpalteKosten)
    ->Apply(Setup);

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
        {"BM_OpenWindow", "", 100, "Gästeliste opened, 100000 bookings"},
        {"BM_TypeOneLetter/101", "", 100, "one letter typed (\"e\"), 100000 bookings"},
        {"BM_TypeOneLetter/113", "", 100, "one letter typed (\"q\"), 100000 bookings"},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteName), "", 100, "sorted by Name, 100000 bookings"},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteOrt), "", 100, "sorted by Ort, 100000 bookings"},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteAnreise), "", 100,
         "sorted by Anreise, 100000 bookings"},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteKosten), "", 100,
         "sorted by Kosten, 100000 bookings"},
    };
    const int result = bench::RunWithTargets(argc, argv, targets);
    TheMain().reset(); // before the application object goes
    return result;
}
