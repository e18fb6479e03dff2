#include "calendar/RoomCalendar.h"
#include "calendar/RoomCalendarModel.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QPoint>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

using calendar::AuswahlErsetzenFrage;
using calendar::AuswahlText;
using calendar::Belegt;
using calendar::CalendarCell;
using calendar::CalendarRow;
using calendar::IsMarkedDay;
using calendar::KalenderStarttag;
using calendar::PeekPicks;
using calendar::PickResult;
using calendar::PickState;
using calendar::RoomCalendarModel;
using calendar::RoomsOf;
using calendar::TakePicks;
using calendar::TeilenNacht;
using calendar::ZeigGridRows;
using calendar::ZimmerAmTag;
using fixture::List;
using fixture::Stay;
using guests::TGast;
using Guests = std::vector<TGast>;
Q_DECLARE_METATYPE(Guests)

namespace {

constexpr int kRows = 1000;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

platform::TDateTime Day(int year, int month, int day)
{
    return platform::EncodeDate(year, month, day);
}

// The grid of the tests starts on 12 Jan 2025: row 0 shows 1 Jan 2025.
platform::TDateTime Start()
{
    return Day(2025, 1, 12);
}

// Every non-empty room cell of the grid as "row/room=text".
QStringList OccupiedCells(const std::vector<CalendarRow> &rows)
{
    QStringList cells;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t k = 0; k < 3; ++k) {
            if (!rows[r].rooms[k].text.isEmpty())
                cells << QStringLiteral("%1/%2=%3").arg(r).arg(k + 1).arg(rows[r].rooms[k].text);
        }
    }
    return cells;
}

QStringList CellsOf(const QList<int> &rows, int room, const QString &text)
{
    QStringList cells;
    for (int r : rows)
        cells << QStringLiteral("%1/%2=%3").arg(r).arg(room).arg(text);
    return cells;
}

} // namespace

class TestCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
        platform::Clock::fix(QDateTime(QDate(2025, 1, 12), QTime(10, 0)));
    }
    void cleanupTestCase() { platform::Clock::release(); }

    void roomsOf_data()
    {
        QTest::addColumn<QString>("zimmer");
        QTest::addColumn<QList<int>>("rooms");
        QTest::newRow("one") << "2" << QList<int>{2};
        QTest::newRow("two") << "13" << QList<int>{1, 3};
        QTest::newRow("all, unordered") << "321" << QList<int>{1, 2, 3};
        QTest::newRow("digit twice") << "11" << QList<int>{1};
        QTest::newRow("empty") << "" << QList<int>{};
        QTest::newRow("zero") << "0" << QList<int>{};
        QTest::newRow("four") << "4" << QList<int>{};
        QTest::newRow("nine and one") << "91" << QList<int>{1};
        QTest::newRow("dash") << "1-" << QList<int>{1};
        QTest::newRow("letter and blank") << "x 2" << QList<int>{2};
        QTest::newRow("non-ASCII digit") << QStringLiteral("\u0662") << QList<int>{};
    }
    void roomsOf()
    {
        QFETCH(QString, zimmer);
        QFETCH(QList<int>, rooms);
        const std::vector<int> got = RoomsOf(zimmer);
        QCOMPARE(QList<int>(got.begin(), got.end()), rooms);
    }

    void rowDates_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("datum");
        QTest::addColumn<QString>("wochentag");
        QTest::addColumn<QDate>("date");
        QTest::newRow("first") << 0 << "01.01.2025"
                               << "Mi" << QDate(2025, 1, 1);
        QTest::newRow("saturday") << 3 << "04.01.2025"
                                  << "Sa" << QDate(2025, 1, 4);
        QTest::newRow("start day") << 11 << "12.01.2025"
                                   << "So" << QDate(2025, 1, 12);
        QTest::newRow("last") << 999 << "27.09.2027"
                              << "Mo" << QDate(2027, 9, 27);
    }
    void rowDates()
    {
        QFETCH(int, row);
        QFETCH(QString, datum);
        QFETCH(QString, wochentag);
        QFETCH(QDate, date);
        const auto rows = ZeigGridRows(List({}), Start(), kRows);
        QCOMPARE(int(rows.size()), kRows);
        const CalendarRow &r = rows[static_cast<std::size_t>(row)];
        QCOMPARE(r.datum, datum);
        QCOMPARE(r.wochentag, wochentag);
        QCOMPARE(r.day, platform::DateToDay(date));
    }

    void startDayTimeOfDayIgnored()
    {
        const auto rows = ZeigGridRows(List({}), Start() + 0.75, 12);
        QCOMPARE(rows[11].datum, QStringLiteral("12.01.2025"));
        QCOMPARE(rows[11].day, Start());
    }

    void unusableStartDay_data()
    {
        QTest::addColumn<double>("start");
        QTest::newRow("NaN") << kNaN;
        QTest::newRow("infinite") << kInf;
        QTest::newRow("beyond year 9999") << 1e12;
    }
    void unusableStartDay()
    {
        QFETCH(double, start);
        const Guests list = List({Stay(1, "123", 1, -kInf, kInf)});
        const auto rows = ZeigGridRows(list, start, 20);
        QCOMPARE(int(rows.size()), 20);
        for (const CalendarRow &r : rows) {
            QVERIFY(r.datum.isEmpty());
            QVERIFY(r.wochentag.isEmpty());
        }
    }

    void stays_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<QStringList>("cells");

        QTest::newRow("one day") << List({Stay(1, "2", 1, Day(2025, 1, 5), Day(2025, 1, 5))})
                                 << CellsOf({4}, 2, "1,1P");
        QTest::newRow("both ends count") << List({Stay(1, "1", 3, Day(2025, 1, 5), Day(2025, 1, 8))})
                                         << CellsOf({4, 5, 6, 7}, 1, "1,3P");
        QTest::newRow("two rooms") << List({Stay(7, "13", 2, Day(2025, 1, 5), Day(2025, 1, 6))})
                                   << CellsOf({4, 5}, 1, "7,2P") + CellsOf({4, 5}, 3, "7,2P");
        for (const char *zimmer : {"0", "", "4", "x"})
            QTest::addRow("room field \"%s\"", zimmer)
                << List({Stay(1, zimmer, 2, Day(2025, 1, 5), Day(2025, 1, 6))}) << QStringList();
        QTest::newRow("room field \"1-\"")
            << List({Stay(1, "1-", 2, Day(2025, 1, 5), Day(2025, 1, 5))}) << CellsOf({4}, 1, "1,2P");
        QTest::newRow("later record wins")
            << List({Stay(1, "1", 1, Day(2025, 1, 5), Day(2025, 1, 5)),
                     Stay(2, "3", 1, Day(2025, 1, 5), Day(2025, 1, 5)),
                     Stay(3, "2", 3, Day(2025, 1, 4), Day(2025, 1, 6)),
                     Stay(4, "1", 1, Day(2025, 1, 9), Day(2025, 1, 9)),
                     Stay(5, "2", 5, Day(2025, 1, 5), Day(2025, 1, 5))})
            << CellsOf({4}, 1, "1,1P") + CellsOf({4}, 3, "2,1P") + CellsOf({3}, 2, "3,3P") + CellsOf({4}, 2, "5,5P") +
                   CellsOf({5}, 2, "3,3P") + CellsOf({8}, 1, "4,1P");
        Guests placeholderBooked = List({Stay(1, "2", 1, Day(2025, 1, 5), Day(2025, 1, 5))});
        placeholderBooked[0] = Stay(0, "123", 4, Day(2000, 1, 1), Day(2030, 1, 1));
        QTest::newRow("record 0 never shown") << placeholderBooked << CellsOf({4}, 2, "1,1P");
        QTest::newRow("begins before the window")
            << List({Stay(1, "1", 1, Day(2024, 12, 20), Day(2025, 1, 2))}) << CellsOf({0, 1}, 1, "1,1P");
        QTest::newRow("ends after the window")
            << List({Stay(1, "3", 1, Day(2027, 9, 26), Day(2027, 10, 30))}) << CellsOf({998, 999}, 3, "1,1P");
        QTest::newRow("outside the window") << List({Stay(1, "1", 1, Day(2024, 1, 1), Day(2024, 12, 31)),
                                                     Stay(2, "1", 1, Day(2027, 9, 28), Day(2028, 1, 1)),
                                                     Stay(3, "2", 1, -1e300, -1e299), Stay(4, "2", 1, 1e299, 1e300)})
                                            << QStringList();
        QTest::newRow("departure before arrival")
            << List({Stay(1, "1", 1, Day(2025, 1, 8), Day(2025, 1, 5))}) << QStringList();
        QTest::newRow("NaN") << List({Stay(1, "1", 1, kNaN, Day(2025, 1, 5)), Stay(2, "2", 1, Day(2025, 1, 5), kNaN)})
                             << QStringList();
    }
    void stays()
    {
        QFETCH(Guests, list);
        QFETCH(QStringList, cells);
        const auto rows = ZeigGridRows(list, Start(), kRows);
        QStringList got = OccupiedCells(rows);
        got.sort();
        cells.sort();
        QCOMPARE(got, cells);
    }

    // The grid is built in one pass over the records; it must agree with the plain per-day
    // lookup and the pairwise night rule on a messy list.
    void matchesPerDayReference()
    {
        std::mt19937 gen(20250112);
        const QStringList fields = {"1", "2", "3", "12", "13", "23", "123", "", "0", "4", "x1", "2-", "22"};
        auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen); };
        const platform::TDateTime first = Day(2025, 1, 1);
        Guests list{TGast{}};
        for (int i = 1; i <= 400; ++i) {
            double von = first - 10 + pick(kRows + 20);
            double bis = von + pick(10);
            switch (pick(40)) {
            case 0: std::swap(von, bis); break;      // reversed
            case 1: von = kNaN; break;               // unreadable
            case 2: bis = kNaN; break;               // unreadable
            case 3: von -= 1e9, bis -= 1e9; break;   // long before the window
            case 4: von = 1e300, bis = 2e300; break; // far beyond it
            default: break;
            }
            list.push_back(
                Stay(i, fields[pick(int(fields.size()))], 1 + pick(4), von, bis, QStringLiteral("G%1").arg(i)));
        }
        // Stays that reach far out of the window at one end.
        list[10].Von = -1e9;
        list[10].Bis = first + 5;
        list[11].Von = first + 990;
        list[11].Bis = kInf;
        // Now and then a stay follows another in the same room on its departure day, so that
        // shared arrival and departure days occur.
        for (std::size_t i = 20; i < list.size(); i += 7) {
            list[i].Zimmer = list[i - 1].Zimmer;
            list[i].Von = list[i - 1].Bis;
            list[i].Bis = list[i].Von + 3;
        }
        std::vector<std::vector<int>> roomsOf;
        for (const TGast &g : list)
            roomsOf.push_back(RoomsOf(g.Zimmer));

        const auto rows = ZeigGridRows(list, Start(), kRows);
        int clashes = 0, sharedWithoutClash = 0;
        for (const CalendarRow &row : rows) {
            const std::array<int, 3> ref = ZimmerAmTag(list, row.day);
            for (int k = 0; k < 3; ++k) {
                const CalendarCell &cell = row.rooms[static_cast<std::size_t>(k)];
                const int shown = ref[static_cast<std::size_t>(k)];
                const TGast &occupant = list[static_cast<std::size_t>(shown)];
                QCOMPARE(cell.text,
                         shown == 0 ? QString() : QStringLiteral("%1,%2P").arg(occupant.GastNr).arg(occupant.Personen));

                std::vector<int> claimants;
                for (std::size_t i = 1; i < list.size(); ++i) {
                    const std::vector<int> &rooms = roomsOf[i];
                    if (Belegt(list[i], row.day) && std::count(rooms.begin(), rooms.end(), k + 1) > 0)
                        claimants.push_back(int(i));
                }
                bool shareNight = false;
                for (std::size_t a = 0; a < claimants.size(); ++a)
                    for (std::size_t b = a + 1; b < claimants.size(); ++b)
                        shareNight = shareNight || TeilenNacht(list[std::size_t(claimants[a])],
                                                               list[std::size_t(claimants[b])], row.day);
                QCOMPARE(cell.clash, shareNight);
                if (!cell.clash) {
                    QVERIFY(cell.clashHint.isEmpty());
                    sharedWithoutClash += claimants.size() >= 2;
                    continue;
                }
                ++clashes;
                QVERIFY(cell.clashHint.startsWith(QStringLiteral("Doppelbelegung: ")));
                QVERIFY2(cell.clashHint.contains(QStringLiteral("Gast %1 (G%1)").arg(shown)),
                         qPrintable(cell.clashHint));
                const bool namesOther = std::any_of(claimants.begin(), claimants.end(), [&](int i) {
                    return i != shown && cell.clashHint.contains(QStringLiteral("Gast %1 (G%1)").arg(i));
                });
                QVERIFY2(namesOther, qPrintable(cell.clashHint));
            }
        }
        // The list must really contain both kinds, or the comparison above proves little.
        QVERIFY(clashes > 20);
        QVERIFY(sharedWithoutClash > 0);
    }

    void clashes_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<int>("room");
        QTest::addColumn<QList<int>>("clashRows");
        QTest::addColumn<QString>("hint"); // of the first clash row

        const QString mueller = QStringLiteral("Müller");
        QTest::newRow("overlap shares nights")
            << List({Stay(3, "1", 2, Day(2025, 1, 5), Day(2025, 1, 8), mueller),
                     Stay(5, "1", 1, Day(2025, 1, 7), Day(2025, 1, 10), "Maier")})
            << 1 << QList<int>{6, 7} << QStringLiteral("Doppelbelegung: Gast 3 (Müller) und Gast 5 (Maier)");
        QTest::newRow("back to back") << List({Stay(3, "2", 2, Day(2025, 1, 5), Day(2025, 1, 8), mueller),
                                               Stay(5, "2", 1, Day(2025, 1, 8), Day(2025, 1, 10), "Maier")})
                                      << 2 << QList<int>{} << QString();
        QTest::newRow("back to back, later record first")
            << List({Stay(3, "2", 2, Day(2025, 1, 8), Day(2025, 1, 10), mueller),
                     Stay(5, "2", 1, Day(2025, 1, 5), Day(2025, 1, 8), "Maier")})
            << 2 << QList<int>{} << QString();
        QTest::newRow("same stay twice") << List({Stay(1, "3", 2, Day(2025, 1, 5), Day(2025, 1, 7), "Alt"),
                                                  Stay(2, "3", 2, Day(2025, 1, 5), Day(2025, 1, 7), "Neu")})
                                         << 3 << QList<int>{4, 5, 6}
                                         << QStringLiteral("Doppelbelegung: Gast 1 (Alt) und Gast 2 (Neu)");
        QTest::newRow("one shared room of two")
            << List({Stay(1, "12", 2, Day(2025, 1, 5), Day(2025, 1, 7), "Alt"),
                     Stay(2, "2", 2, Day(2025, 1, 6), Day(2025, 1, 9), "Neu")})
            << 2 << QList<int>{5, 6} << QStringLiteral("Doppelbelegung: Gast 1 (Alt) und Gast 2 (Neu)");
        // The shown day visitor shares no night, but the two who leave that day did.
        QTest::newRow("three claimants") << List({Stay(1, "1", 1, Day(2025, 1, 1), Day(2025, 1, 8), "A"),
                                                  Stay(2, "1", 1, Day(2025, 1, 4), Day(2025, 1, 8), "B"),
                                                  Stay(3, "1", 1, Day(2025, 1, 8), Day(2025, 1, 8), "C")})
                                         << 1 << QList<int>{3, 4, 5, 6, 7}
                                         << QStringLiteral("Doppelbelegung: Gast 1 (A) und Gast 2 (B)");
        QTest::newRow("no name") << List({Stay(8, "2", 1, Day(2025, 1, 5), Day(2025, 1, 9)),
                                          Stay(9, "2", 1, Day(2025, 1, 6), Day(2025, 1, 6), "Kurz")})
                                 << 2 << QList<int>{5} << QStringLiteral("Doppelbelegung: Gast 8 und Gast 9 (Kurz)");
    }
    void clashes()
    {
        QFETCH(Guests, list);
        QFETCH(int, room);
        QFETCH(QList<int>, clashRows);
        QFETCH(QString, hint);
        const auto rows = ZeigGridRows(list, Start(), kRows);
        QList<int> got;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int k = 1; k <= 3; ++k) {
                const CalendarCell &cell = rows[r].rooms[static_cast<std::size_t>(k - 1)];
                if (cell.clash) {
                    QCOMPARE(k, room);
                    got << int(r);
                }
            }
        }
        QCOMPARE(got, clashRows);
        if (!clashRows.isEmpty())
            QCOMPARE(
                rows[static_cast<std::size_t>(clashRows.first())].rooms[static_cast<std::size_t>(room - 1)].clashHint,
                hint);
    }

    void threeClaimantsShowLatest()
    {
        const Guests list = List({Stay(1, "1", 1, Day(2025, 1, 1), Day(2025, 1, 8), "A"),
                                  Stay(2, "1", 1, Day(2025, 1, 4), Day(2025, 1, 8), "B"),
                                  Stay(3, "1", 4, Day(2025, 1, 8), Day(2025, 1, 8), "C")});
        const CalendarCell cell = ZeigGridRows(list, Start(), kRows)[7].rooms[0];
        QCOMPARE(cell.text, QStringLiteral("3,4P"));
        QVERIFY(cell.clash);
        QCOMPARE(cell.clashHint, QStringLiteral("Doppelbelegung: Gast 2 (B) und Gast 3 (C)"));
    }

    void takePicks_data()
    {
        QTest::addColumn<QList<QPoint>>("picks"); // x = column, y = row
        QTest::addColumn<QString>("zimmerBefore");
        QTest::addColumn<QDate>("von");
        QTest::addColumn<QDate>("bis");
        QTest::addColumn<QString>("zimmer");

        QTest::newRow("arrival and departure")
            << QList<QPoint>{{3, 40}, {3, 43}} << "" << QDate(2025, 2, 10) << QDate(2025, 2, 13) << "2";
        QTest::newRow("later pick replaces departure")
            << QList<QPoint>{{3, 40}, {4, 43}, {2, 45}} << "" << QDate(2025, 2, 10) << QDate(2025, 2, 15) << "2";
        QTest::newRow("backwards") << QList<QPoint>{{3, 43}, {3, 40}} << "" << QDate(2025, 2, 13) << QDate(2025, 2, 10)
                                   << "2";
        // Looking up a holiday in the date or weekday column picks nothing.
        QTest::newRow("date column first")
            << QList<QPoint>{{0, 40}, {3, 43}, {3, 45}} << "" << QDate(2025, 2, 13) << QDate(2025, 2, 15) << "2";
        QTest::newRow("weekday column between")
            << QList<QPoint>{{2, 40}, {1, 43}} << "3" << QDate(2025, 2, 10) << QDate(2025, 2, 10) << "31";
        QTest::newRow("room already booked")
            << QList<QPoint>{{3, 40}, {3, 43}} << "2" << QDate(2025, 2, 10) << QDate(2025, 2, 13) << "2";
        QTest::newRow("room added") << QList<QPoint>{{3, 40}, {3, 43}} << "1" << QDate(2025, 2, 10)
                                    << QDate(2025, 2, 13) << "12";
        QTest::newRow("room 3") << QList<QPoint>{{4, 0}, {4, 1}} << "" << QDate(2025, 1, 1) << QDate(2025, 1, 2) << "3";
        QTest::newRow("single pick") << QList<QPoint>{{2, 40}} << "" << QDate(2025, 2, 10) << QDate(2025, 2, 10) << "1";
    }
    void takePicks()
    {
        QFETCH(QList<QPoint>, picks);
        QFETCH(QString, zimmerBefore);
        QFETCH(QDate, von);
        QFETCH(QDate, bis);
        QFETCH(QString, zimmer);
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(ZeigGridRows(List({}), Start(), kRows));
        PickState state;
        for (const QPoint &p : picks)
            model.pickCell(state, p.x(), p.y());

        const auto peeked = PeekPicks(state, zimmerBefore);
        QVERIFY(!state.empty());
        const auto result = TakePicks(state, zimmerBefore);
        QVERIFY(result.has_value());
        QCOMPARE(result->Von, platform::DateToDay(von));
        QCOMPARE(result->Bis, platform::DateToDay(bis));
        QCOMPARE(result->Zimmer, zimmer);
        QCOMPARE(peeked->Zimmer, result->Zimmer);
        QVERIFY(state.empty());
    }

    void picksKeepTheirDaysWhenTheGridMoves()
    {
        // Picked in a grid from one start day, then the grid is filled from another one: the picks
        // stay on the days the host saw marked.
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(ZeigGridRows(List({}), Start(), kRows));
        PickState state;
        QVERIFY(model.pickCell(state, 4, 40));
        QVERIFY(model.pickCell(state, 4, 42));
        model.setPicks(state);
        QVERIFY(model.isPicked(40, 4) && model.isPicked(41, 4) && model.isPicked(42, 4));
        QVERIFY(!model.isPicked(43, 4) && !model.isPicked(41, 3) && !model.isPicked(41, 0));
        QCOMPARE(AuswahlText(state), QStringLiteral("Auswahl: Zimmer 3, 10.02.2025 bis 12.02.2025"));

        model.setRows(ZeigGridRows(List({}), Start() + 5, kRows));
        QVERIFY(model.isPicked(35, 4) && model.isPicked(37, 4) && !model.isPicked(40, 4));
        const auto result = TakePicks(state, QString());
        QCOMPARE(result->Von, Day(2025, 2, 10));
        QCOMPARE(result->Bis, Day(2025, 2, 12));
    }

    void emptyRowsAreNoPicks_data()
    {
        QTest::addColumn<QList<QPoint>>("picks");
        QTest::newRow("arrival row empty") << QList<QPoint>{{3, 5}, {3, 8}};
        QTest::newRow("single pick on an empty row") << QList<QPoint>{{3, 5}};
        QTest::newRow("row outside the grid") << QList<QPoint>{{3, kRows + 5}, {3, 8}};
    }
    void emptyRowsAreNoPicks()
    {
        QFETCH(QList<QPoint>, picks);
        // Only rows 6..9 show a day, the rest are empty.
        std::vector<CalendarRow> rows = ZeigGridRows(List({}), Start(), 10);
        for (std::size_t r = 0; r < 6; ++r)
            rows[r] = CalendarRow{};
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRows(rows);
        PickState state;
        for (const QPoint &p : picks)
            model.pickCell(state, p.x(), p.y());
        // Whatever row showed no day was passed over: the first pick is row 8 or none.
        const auto result = TakePicks(state, QStringLiteral("1"));
        if (picks.size() == 1) {
            QVERIFY(!result.has_value());
        } else {
            QVERIFY(result.has_value());
            QCOMPARE(result->Von, ZeigGridRows(List({}), Start(), 10)[8].day);
            QCOMPARE(result->Bis, result->Von);
        }
    }

    void takePicksNothingPicked()
    {
        PickState state;
        QVERIFY(!TakePicks(state, QStringLiteral("1")).has_value());
        QVERIFY(state.empty());
        QCOMPARE(AuswahlText(state), QString());
    }

    void replacingABookingNamesBothStays()
    {
        TGast gast = Stay(6, "1", 2, Day(2026, 12, 18), Day(2026, 12, 20), QStringLiteral("Weiß"));
        PickResult ersetzen{Day(2026, 12, 14), Day(2026, 12, 16), QStringLiteral("3")};
        PickResult hinzufuegen{Day(2026, 12, 14), Day(2026, 12, 16), QStringLiteral("13")};
        QCOMPARE(AuswahlErsetzenFrage(gast, ersetzen, hinzufuegen),
                 QStringLiteral("Gast 6 (Weiß) hat schon eine Buchung: Zimmer 1, 18.12.2026 bis 20.12.2026.\n\n"
                                "„Ersetzen“ ändert sie in: Zimmer 3, 14.12.2026 bis 16.12.2026.\n"
                                "„Hinzufügen“ nimmt das Zimmer dazu: Zimmer 13, 14.12.2026 bis 16.12.2026."));
    }

    void startDayOfTheCalendar()
    {
        QCOMPARE(KalenderStarttag(Day(2026, 12, 10)), Day(2026, 1, 1) + 11);
        QCOMPARE(KalenderStarttag(Day(2025, 1, 1) + 0.75), Day(2025, 1, 1) + 11);
    }

    void modelContents()
    {
        const Guests list = List({Stay(3, "1", 2, Day(2025, 1, 5), Day(2025, 1, 8), QStringLiteral("Müller")),
                                  Stay(5, "13", 1, Day(2025, 1, 7), Day(2025, 1, 10), "Maier")});
        RoomCalendarModel model(kRows);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), kRows);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.cellText(0, 0), QString());
        QVERIFY(!model.dayOfRow(0).has_value());
        QCOMPARE(model.rowOfDay(Day(2025, 1, 1)), -1);

        model.setRows(ZeigGridRows(list, Start(), kRows));
        QCOMPARE(model.rowCount(), kRows);
        const QStringList headers = {"Datum", "WT", "Zi 1", "Zi 2", "Zi 3"};
        for (int c = 0; c < 5; ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers[c]);

        QCOMPARE(model.data(model.index(6, 0)).toString(), QStringLiteral("07.01.2025"));
        QCOMPARE(model.data(model.index(6, 1)).toString(), QStringLiteral("Di"));
        // Room 1 is shared that day: both guests are shown, not just the later one.
        QCOMPARE(model.data(model.index(6, 2)).toString(), QStringLiteral("Müller/Maier"));
        QCOMPARE(model.data(model.index(6, 3)).toString(), QString());
        QCOMPARE(model.data(model.index(6, 4)).toString(), QStringLiteral("5,1P"));
        QCOMPARE(model.data(model.index(4, 2)).toString(), QStringLiteral("3,2P"));
        QCOMPARE(model.cellText(4, 2), QStringLiteral("3,2P"));
        QCOMPARE(model.cellText(-1, 0), QString());
        QCOMPARE(model.cellText(kRows, 0), QString());
        QCOMPARE(model.cellText(4, 5), QString());

        // Room 1 is claimed twice on 7 and 8 Jan; room 3 only once.
        const QModelIndex clash = model.index(6, 2);
        QCOMPARE(model.data(clash, Qt::BackgroundRole).value<QBrush>().color(), QColor(0xFF, 0xD6, 0xD6));
        QCOMPARE(model.data(clash, Qt::ToolTipRole).toString(),
                 QStringLiteral("Doppelbelegung: Gast 3 (Müller) und Gast 5 (Maier)"));
        QVERIFY(!model.data(model.index(6, 4), Qt::BackgroundRole).isValid());
        QVERIFY(!model.data(model.index(4, 2), Qt::ToolTipRole).isValid());

        for (int c = 0; c < 5; ++c) {
            const Qt::ItemFlags f = model.flags(model.index(6, c));
            QVERIFY(f.testFlag(Qt::ItemIsEnabled));
            QVERIFY(f.testFlag(Qt::ItemIsSelectable));
            QVERIFY(!f.testFlag(Qt::ItemIsEditable));
            QVERIFY(!model.setData(model.index(6, c), QStringLiteral("x")));
        }

        QCOMPARE(model.data(model.index(11, 3), RoomCalendarModel::DayRole).toDouble(), Start());
        QCOMPARE(model.dayOfRow(11).value(), Start());
        QCOMPARE(model.rowOfDay(Start() + 0.5), 11);
        QCOMPARE(model.rowOfDay(Day(2027, 9, 27)), 999);
        QCOMPARE(model.rowOfDay(Day(2027, 9, 28)), -1);
    }

    void modelKeepsRowCount()
    {
        RoomCalendarModel model(20);
        const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setRows(ZeigGridRows(List({}), Start(), 30));
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(19, 0), QStringLiteral("20.01.2025"));
        QCOMPARE(changed.count() + reset.count(), 1);

        model.setRows(ZeigGridRows(List({}), Start(), 5));
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(4, 0), QStringLiteral("05.01.2025"));
        QCOMPARE(model.cellText(5, 0), QString());
        QVERIFY(!model.dayOfRow(5).has_value());

        model.clear();
        QCOMPARE(model.rowCount(), 20);
        QCOMPARE(model.cellText(0, 0), QString());
        QCOMPARE(model.cellText(0, 1), QString());
    }

    void isMarkedDay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");
        QTest::newRow("Neujahr") << "01.01.2025" << true;
        QTest::newRow("Sunday") << "12.01.2025" << true;
        QTest::newRow("Saturday") << "04.01.2025" << false;
        QTest::newRow("Thursday") << "02.01.2025" << false;
        QTest::newRow("Fronleichnam in Hessen") << "19.06.2025" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("not a date") << "Sa" << false;
    }
    void isMarkedDay()
    {
        QFETCH(QString, text);
        QFETCH(bool, marked);
        platform::TDateTime day = 0;
        const bool isDay = platform::TryStrToDate(text, day);
        QCOMPARE(isDay && IsMarkedDay(day, 34519), marked);
    }
};

QTEST_MAIN(TestCalendar)
#include "test_calendar.moc"
