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

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

namespace {

using app::GuestListWindow;
using app::TMainForm;
using guests::GuestList;
using guests::GuestListModel;
using guests::TGast;

using Clock = std::chrono::steady_clock;

// Today amid the bookings: 100,000 of them run from 2005 for some two hundred years. A smoke run
// takes a few years' worth.
int Bookings()
{
    return bench::SizeFor(100000, 3000);
}
const QDate kToday(2020, 6, 15);

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// The processor time of this thread: on a machine that others share, waiting for a core is not
// the program's time. The wall time is reported beside it.
double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Times one step: the iteration time is the thread's processor time, the wall time is kept apart.
class Stopwatch
{
public:
    void start()
    {
        cpu0_ = ThreadSeconds();
        wall0_ = Clock::now();
    }
    void stop(benchmark::State &state)
    {
        state.SetIterationTime(ThreadSeconds() - cpu0_);
        walls_.push_back(Seconds(wall0_, Clock::now()) * 1000);
    }
    void report(benchmark::State &state) const { state.counters["wall_ms"] = bench::Median(walls_); }

private:
    double cpu0_ = 0;
    Clock::time_point wall0_;
    std::vector<double> walls_;
};

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
        form->context().guestList().replace(bench::MakeGuests(Bookings()));
        QApplication::processEvents();
    }

    GuestListWindow *list() const { return form->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow")); }

    // Opens the window as "Ansicht" → "Gästeliste" does, and lets it paint; null when it has no
    // table to show.
    GuestListWindow *open()
    {
        if (auto *action = form->findChild<QAction *>(QStringLiteral("ActionGaesteliste")))
            action->trigger();
        QApplication::processEvents();
        GuestListWindow *window = list();
        QTableView *table = window != nullptr ? window->findChild<QTableView *>(QStringLiteral("TableGaeste")) : nullptr;
        if (table == nullptr)
            return nullptr;
        table->viewport()->repaint();
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
    Stopwatch watch;
    for (auto _ : state) {
        delete m.list(); // the window is made anew each time, as on the first opening of a run
        QApplication::processEvents();
        watch.start();
        GuestListWindow *window = m.open();
        watch.stop(state);
        if (!window || Table(window)->model()->rowCount() != Bookings()) {
            state.SkipWithError("the window does not show every booking");
            return;
        }
    }
    watch.report(state);
    if (!m.problem().isEmpty())
        state.SkipWithError(m.problem().toStdString().c_str());
}

// The first letter of a search typed into the search field of a window just opened: the first
// search also makes the records' search texts.
void BM_TypeOneLetter(benchmark::State &state)
{
    Main &m = *TheMain();
    const char letter = static_cast<char>(state.range(0));
    int shown = 0;
    Stopwatch watch;
    for (auto _ : state) {
        delete m.list();
        GuestListWindow *window = m.open();
        auto *edit = window != nullptr ? window->findChild<QLineEdit *>(QStringLiteral("EditSuche")) : nullptr;
        if (edit == nullptr) {
            state.SkipWithError("the window or its search field did not open");
            return;
        }
        QApplication::processEvents();
        watch.start();
        QTest::keyClick(edit, letter);
        Table(window)->viewport()->repaint();
        watch.stop(state);
        shown = Table(window)->model()->rowCount();
        if (edit->text() != QString(QChar::fromLatin1(letter))) {
            state.SkipWithError("the letter did not reach the search field");
            return;
        }
    }
    // How many bookings hold the letter: "e" is in every e-mail address, "w" in some names and places.
    state.counters["rows"] = shown;
    watch.report(state);
}

// The next letter, once the first has made the search texts.
void BM_TypeNextLetter(benchmark::State &state)
{
    Main &m = *TheMain();
    GuestListWindow *window = m.open();
    auto *edit = window != nullptr ? window->findChild<QLineEdit *>(QStringLiteral("EditSuche")) : nullptr;
    if (edit == nullptr) {
        state.SkipWithError("the window or its search field did not open");
        return;
    }
    Stopwatch watch;
    int shown = 0;
    for (auto _ : state) {
        edit->setText(QStringLiteral("w"));
        QApplication::processEvents();
        watch.start();
        QTest::keyClick(edit, 'e');
        Table(window)->viewport()->repaint();
        watch.stop(state);
        shown = Table(window)->model()->rowCount();
    }
    state.counters["rows"] = shown;
    watch.report(state);
    edit->clear();
}

// A click on a column's header while the table is ordered by the guest number.
void BM_SortByColumn(benchmark::State &state)
{
    Main &m = *TheMain();
    GuestListWindow *window = m.open();
    if (window == nullptr) {
        state.SkipWithError("the window did not open");
        return;
    }
    QTableView *table = Table(window);
    QHeaderView *header = table->horizontalHeader();
    const int column = static_cast<int>(state.range(0));
    Stopwatch watch;
    for (auto _ : state) {
        table->sortByColumn(GuestListModel::SpalteNr, Qt::DescendingOrder);
        QApplication::processEvents();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        watch.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        table->viewport()->repaint();
        watch.stop(state);
        if (header->sortIndicatorSection() != column) {
            state.SkipWithError("the click did not sort");
            return;
        }
    }
    watch.report(state);
}

// A booking changed elsewhere (a name mended on the page "Gast") while the list is open and sorted
// by name: the row moves to its new place and the sum is counted again.
void BM_EditWhileOpen(benchmark::State &state)
{
    Main &m = *TheMain();
    GuestListWindow *window = m.open();
    if (window == nullptr) {
        state.SkipWithError("the window did not open");
        return;
    }
    QTableView *table = Table(window);
    table->sortByColumn(GuestListModel::SpalteName, Qt::AscendingOrder);
    QApplication::processEvents();
    GuestList &list = m.form->context().guestList();
    const int index = Bookings() / 2;
    const QString name = list.at(index).Name;
    Stopwatch watch;
    int turn = 0;
    for (auto _ : state) {
        const QString changed = (++turn % 2 != 0) ? QStringLiteral("Aalto ") + name : name;
        watch.start();
        list.modify(index, [&changed](TGast &g) { g.Name = changed; });
        table->viewport()->repaint();
        watch.stop(state);
    }
    watch.report(state);
    list.modify(index, [&name](TGast &g) { g.Name = name; });
}

void Setup(benchmark::internal::Benchmark *b)
{
    bench::Timing(b, benchmark::kMillisecond, 5, 0.5);
}

BENCHMARK(BM_OpenWindow)->Apply(Setup);
BENCHMARK(BM_TypeOneLetter)->Arg('e')->Arg('w')->Apply(Setup);
BENCHMARK(BM_TypeNextLetter)->Apply(Setup);
BENCHMARK(BM_EditWhileOpen)->Apply(Setup);
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

    const std::string bookings = ", " + std::to_string(Bookings()) + " bookings";
    std::vector<bench::Target> targets = {
        {"BM_OpenWindow", "", 100, "Gästeliste opened" + bookings},
        {"BM_TypeOneLetter/101", "", 100, "one letter typed (\"e\")" + bookings},
        {"BM_TypeOneLetter/119", "", 100, "one letter typed (\"w\")" + bookings},
        {"BM_TypeNextLetter", "", 100, "a second letter typed (\"we\")" + bookings},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteName), "", 100, "sorted by Name" + bookings},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteOrt), "", 100, "sorted by Ort" + bookings},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteAnreise), "", 100, "sorted by Anreise" + bookings},
        {"BM_SortByColumn/" + std::to_string(GuestListModel::SpalteKosten), "", 100, "sorted by Kosten" + bookings},
    };
    targets.push_back({"BM_EditWhileOpen", "", 100, "a name mended, list open and sorted by name"});
    const int result = bench::RunWithTargets(argc, argv, targets);
    TheMain().reset(); // before the application object goes
    return result;
}
