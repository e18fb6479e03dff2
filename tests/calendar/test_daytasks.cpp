// The day's tasks: breakfast for who slept here the night before, the rooms to make ready with
// changeovers first, double bookings and portal blocks.

#include "calendar/DayTasks.h"
#include "support/GuestBuilder.h"

#include <QTest>

using fixture::Block;
using fixture::List;
using fixture::Stay;
using guests::PortalBlock;
using guests::TGast;

namespace {

platform::TDateTime d(int day)
{
    return platform::DateToDay(QDate(2025, 3, day));
}

TGast draft(qint32 persons)
{
    TGast g;
    g.GastNr = 9;
    g.Personen = persons;
    g.Von = d(1);
    g.Bis = d(20);
    return g;
}

} // namespace

class TestDayTasks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void breakfast_data();
    void breakfast();
    void roomsToPrepareChangeoverFirst();
    void doubleBookingsAndBlocks();
    void lines();
};

void TestDayTasks::breakfast_data()
{
    QTest::addColumn<std::vector<TGast>>("list");
    QTest::addColumn<int>("persons");
    QTest::addColumn<std::vector<int>>("guests");

    // The day is 10 March 2025 throughout.
    QTest::newRow("nobody") << List({}) << 0 << std::vector<int>{};
    QTest::newRow("arrives today: not yet") << List({Stay(1, "1", 2, d(10), d(12))}) << 0 << std::vector<int>{};
    QTest::newRow("leaves today: yes") << List({Stay(1, "1", 2, d(8), d(10))}) << 2 << std::vector<int>{1};
    QTest::newRow("came yesterday, leaves today") << List({Stay(1, "1", 3, d(9), d(10))}) << 3 << std::vector<int>{1};
    QTest::newRow("stays over") << List({Stay(1, "1", 4, d(5), d(15))}) << 4 << std::vector<int>{1};
    QTest::newRow("left yesterday") << List({Stay(1, "1", 2, d(5), d(9))}) << 0 << std::vector<int>{};
    QTest::newRow("day visit yesterday: no night") << List({Stay(1, "1", 2, d(9), d(9))}) << 0 << std::vector<int>{};
    QTest::newRow("day visit today") << List({Stay(1, "1", 2, d(10), d(10))}) << 0 << std::vector<int>{};
    QTest::newRow("two rooms count the persons once")
        << List({Stay(1, "13", 5, d(8), d(11))}) << 5 << std::vector<int>{1};
    QTest::newRow("a draft is no booking") << std::vector<TGast>{TGast{}, draft(4)} << 0 << std::vector<int>{};
    QTest::newRow("record 0 is no guest")
        << std::vector<TGast>{Stay(0, "1", 3, d(1), d(20))} << 0 << std::vector<int>{};
    QTest::newRow("a name without a room still has breakfast")
        << List({Stay(1, "", 2, d(9), d(11), QStringLiteral("Anna"))}) << 2 << std::vector<int>{1};
    QTest::newRow("arrival with a time of day")
        << List({Stay(1, "2", 2, d(9) + 0.75, d(11))}) << 2 << std::vector<int>{1};
    QTest::newRow("negative persons count nothing")
        << List({Stay(1, "2", -3, d(9), d(11))}) << 0 << std::vector<int>{1};
    QTest::newRow("reversed stay") << List({Stay(1, "2", 2, d(11), d(9))}) << 0 << std::vector<int>{};
    QTest::newRow("a house, sorted by room") << List({Stay(1, "3", 2, d(7), d(10)), Stay(2, "1", 1, d(9), d(12)),
                                                      Stay(3, "2", 4, d(10), d(13)), Stay(4, "2", 2, d(3), d(9))})
                                             << 3 << std::vector<int>{2, 1};
}

void TestDayTasks::breakfast()
{
    QFETCH(std::vector<TGast>, list);
    QFETCH(int, persons);
    QFETCH(std::vector<int>, guests);
    const calendar::DayTasks tasks = calendar::dayTasks(list, d(10) + 0.4);
    QCOMPARE(tasks.day, d(10));
    QCOMPARE(tasks.breakfastPersons, persons);
    QCOMPARE(tasks.breakfastGuests, guests);
    QVERIFY(tasks.breakfastBlocks.empty());
}

void TestDayTasks::roomsToPrepareChangeoverFirst()
{
    // Room 1 is left, room 2 taken, room 3 left and taken again.
    const std::vector<TGast> list = List(
        {Stay(1, "1", 2, d(7), d(10), QStringLiteral("Abel")), Stay(2, "2", 2, d(10), d(12), QStringLiteral("Berg")),
         Stay(3, "3", 2, d(8), d(10), QStringLiteral("Cohn")), Stay(4, "3", 2, d(10), d(14), QStringLiteral("Dorn"))});
    const auto order = [](const calendar::DayTasks &t) {
        std::vector<int> rooms;
        for (const calendar::RoomToPrepare &r : t.rooms)
            rooms.push_back(r.room);
        return rooms;
    };
    calendar::DayTasks tasks = calendar::dayTasks(list, d(10));
    QCOMPARE(order(tasks), (std::vector<int>{3, 1, 2}));
    QCOMPARE(tasks.rooms[0].leaving, QStringList{QStringLiteral("Cohn")});
    QCOMPARE(tasks.rooms[0].coming, QStringList{QStringLiteral("Dorn")});
    QVERIFY(tasks.rooms[1].departure && !tasks.rooms[1].arrival);
    QVERIFY(!tasks.rooms[2].departure && tasks.rooms[2].arrival);
    QVERIFY(tasks.doubleBooked.empty());

    // A portal guest arriving in room 1 makes it a changeover too; rooms keep their order within.
    tasks = calendar::dayTasks({list, {Block(1, d(10), d(12))}}, d(10));
    QCOMPARE(order(tasks), (std::vector<int>{1, 3, 2}));
    QCOMPARE(tasks.rooms[0].coming, QStringList{QStringLiteral("Portal A")});

    // A day without comings and goings has nothing to prepare.
    QVERIFY(calendar::dayTasks(list, d(11)).rooms.empty());
}

void TestDayTasks::doubleBookingsAndBlocks()
{
    const std::vector<TGast> list =
        List({Stay(1, "2", 2, d(8), d(12)), Stay(2, "13", 2, d(9), d(10)), Stay(3, "3", 1, d(10), d(11))});
    const std::vector<PortalBlock> blocks{Block(2, d(10), d(11)), Block(1, d(5), d(10), QStringLiteral("Portal B")),
                                          Block(3, d(20), d(22))};
    const calendar::DayTasks tasks = calendar::dayTasks({list, blocks}, d(10));
    // Room 2: guest 1 and Portal A both hold the night of the 10th. Room 3: guest 2 leaves as
    // guest 3 comes, no double booking; room 1: Portal B and guest 2 both leave.
    QCOMPARE(tasks.doubleBooked, std::vector<int>{2});
    QCOMPARE(tasks.blocksOnDay, (std::vector<int>{1, 0}));
    QCOMPARE(tasks.breakfastBlocks, std::vector<int>{1});
    QCOMPARE(tasks.breakfastPersons, 4);
}

void TestDayTasks::lines()
{
    const std::vector<TGast> list = List({Stay(1, "2", 2, d(8), d(12), QStringLiteral("Anna Müller")),
                                          Stay(2, "13", 1, d(9), d(10), QStringLiteral("Jürgen Weiß"))});
    const std::vector<PortalBlock> blocks{Block(2, d(10), d(11)), Block(1, d(10), d(13), QStringLiteral("Portal B"))};
    const calendar::DayTasks tasks = calendar::dayTasks({list, blocks}, d(10));
    QCOMPARE(calendar::dayTaskLines({list, blocks}, tasks),
             (QStringList{
                 QStringLiteral("Frühstück: 3 Personen (Zimmer 1, 3: Jürgen Weiß, 1 P.; Zimmer 2: Anna Müller, 2 P.)"),
                 QStringLiteral("Zimmer 1: Wechsel – ab Jürgen Weiß, an Portal B"),
                 QStringLiteral("Zimmer 3: Abreise Jürgen Weiß – reinigen"),
                 QStringLiteral("Zimmer 2: Anreise Portal A – vorbereiten"), QStringLiteral("Doppelbelegung: Zimmer 2"),
                 QStringLiteral("Zimmer 1 belegt über Portal B"), QStringLiteral("Zimmer 2 belegt über Portal A")}));
    QVERIFY(calendar::dayTaskLines(List({}), calendar::dayTasks(List({}), d(10))).isEmpty());
}

QTEST_GUILESS_MAIN(TestDayTasks)
#include "test_daytasks.moc"
