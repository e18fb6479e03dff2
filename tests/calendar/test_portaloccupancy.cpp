// Rooms taken through a portal in the calendar's cells, the double-booking texts, the plan and a
// drag across it: they count like bookings, and blocks that touch nothing change nothing.

#include "calendar/OccupancyPlan.h"
#include "calendar/RoomCalendar.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QTest>

using calendar::Belegungsplan;
using calendar::CalendarCell;
using calendar::CalendarRow;
using calendar::DoppelbelegungText;
using calendar::DoppeltBelegteZimmer;
using calendar::FreierTag;
using calendar::kTageVorStarttag;
using calendar::PlanBar;
using calendar::PlanGeometry;
using calendar::ZeigGridRows;
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

// The grid's cell of a room on a day, for a window that starts on 1 March.
CalendarCell cellOf(const std::vector<TGast> &list, const std::vector<PortalBlock> &blocks, int day, int room)
{
    const std::vector<CalendarRow> rows = ZeigGridRows({list, blocks}, d(1) + kTageVorStarttag, 40);
    for (const CalendarRow &row : rows)
        if (row.day == d(day))
            return row.rooms[static_cast<std::size_t>(room - 1)];
    return {};
}

} // namespace

class TestPortalOccupancy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void blocksThatTouchNothingChangeNothing();
    void cells_data();
    void cells();
    void doubleBookingTexts();
    void planBars();
    void tooltip();
    void dragStopsAtBlocks_data();
    void dragStopsAtBlocks();
};

void TestPortalOccupancy::blocksThatTouchNothingChangeNothing()
{
    const std::vector<TGast> list = List(
        {Stay(1, "1", 2, d(3), d(6), QStringLiteral("Anna")), Stay(2, "12", 1, d(5), d(8), QStringLiteral("Bert"))});
    // A room the house does not have, and a stay long after the days shown.
    const std::vector<PortalBlock> blocks{Block(4, d(5), d(8)), Block(1, d(5) + 400, d(8) + 400)};
    const std::vector<CalendarRow> plain = ZeigGridRows(list, d(12), 30);
    const std::vector<CalendarRow> with = ZeigGridRows({list, blocks}, d(12), 30);
    QCOMPARE(with.size(), plain.size());
    for (std::size_t r = 0; r < plain.size(); ++r)
        for (std::size_t k = 0; k < 3; ++k) {
            const CalendarCell &a = plain[r].rooms[k];
            const CalendarCell &b = with[r].rooms[k];
            QVERIFY(a.text == b.text && a.record == b.record && a.clash == b.clash && a.clashHint == b.clashHint &&
                    a.clashText == b.clashText && b.block == -1);
        }
    QCOMPARE(DoppelbelegungText({list, blocks}, 2), DoppelbelegungText(list, 2));
    QVERIFY(!DoppelbelegungText(list, 2).isEmpty());
    const PlanGeometry p1 = Belegungsplan(list, d(1), 31, d(1), 34519);
    const PlanGeometry p2 = Belegungsplan({list, blocks}, d(1), 31, d(1), 34519);
    QCOMPARE(p2.bars.size(), p1.bars.size());
    for (std::size_t i = 0; i < p1.bars.size(); ++i)
        QVERIFY(p2.bars[i].record == p1.bars[i].record && p2.bars[i].label == p1.bars[i].label &&
                p2.bars[i].doppelt == p1.bars[i].doppelt && p2.bars[i].block == -1);
}

void TestPortalOccupancy::cells_data()
{
    QTest::addColumn<std::vector<TGast>>("list");
    QTest::addColumn<std::vector<PortalBlock>>("blocks");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("room");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("blockShown");
    QTest::addColumn<QString>("clashHint");
    QTest::addColumn<QString>("clashText");

    const std::vector<TGast> anna = List({Stay(1, "2", 2, d(3), d(6), QStringLiteral("Anna Müller"))});
    QTest::newRow("a free day names the portal") << List({}) << std::vector<PortalBlock>{Block(2, d(10), d(12))} << 11
                                                 << 2 << "Portal A" << 0 << 0 << QString() << QString();
    QTest::newRow("the departure day too, as for guests")
        << List({}) << std::vector<PortalBlock>{Block(2, d(10), d(12))} << 12 << 2 << "Portal A" << 0 << 0 << QString()
        << QString();
    QTest::newRow("the day after is free") << List({}) << std::vector<PortalBlock>{Block(2, d(10), d(12))} << 13 << 2
                                           << QString() << 0 << -1 << QString() << QString();
    QTest::newRow("another room is free") << List({}) << std::vector<PortalBlock>{Block(2, d(10), d(12))} << 11 << 1
                                          << QString() << 0 << -1 << QString() << QString();
    QTest::newRow("a guest sharing the night is a double booking")
        << anna << std::vector<PortalBlock>{Block(2, d(5), d(8))} << 5 << 2 << "1,2P" << 1 << 0
        << "Doppelbelegung: Gast 1 (Anna Müller) und Portal A" << QStringLiteral("Müller/Portal");
    QTest::newRow("the block arrives as the guest leaves") << anna << std::vector<PortalBlock>{Block(2, d(6), d(8))}
                                                           << 6 << 2 << "1,2P" << 1 << -1 << QString() << QString();
    QTest::newRow("the guest arrives as the block leaves") << anna << std::vector<PortalBlock>{Block(2, d(1), d(3))}
                                                           << 3 << 2 << "1,2P" << 1 << -1 << QString() << QString();
    QTest::newRow("two portals on one night")
        << List({})
        << std::vector<PortalBlock>{Block(3, d(10), d(12)), Block(3, d(11), d(14), QStringLiteral("Portal Bergblick"))}
        << 11 << 3 << "Portal A" << 0 << 0 << "Doppelbelegung: Portal A und Portal Bergblick"
        << QStringLiteral("Portal/Portal");
    QTest::newRow("a block of no room of the house is left out")
        << List({}) << std::vector<PortalBlock>{Block(4, d(10), d(12)), Block(0, d(10), d(12))} << 11 << 1 << QString()
        << 0 << -1 << QString() << QString();
}

void TestPortalOccupancy::cells()
{
    QFETCH(std::vector<TGast>, list);
    QFETCH(std::vector<PortalBlock>, blocks);
    QFETCH(int, day);
    QFETCH(int, room);
    QFETCH(QString, text);
    QFETCH(int, record);
    QFETCH(int, blockShown);
    QFETCH(QString, clashHint);
    QFETCH(QString, clashText);
    const CalendarCell cell = cellOf(list, blocks, day, room);
    QCOMPARE(cell.text, text);
    QCOMPARE(cell.record, record);
    QCOMPARE(cell.block, blockShown);
    QCOMPARE(cell.clash, !clashHint.isEmpty());
    QCOMPARE(cell.clashHint, clashHint);
    QCOMPARE(cell.clashText, clashText);
}

void TestPortalOccupancy::doubleBookingTexts()
{
    const std::vector<TGast> list = List({Stay(1, "12", 2, d(1), d(6), QStringLiteral("Anna Müller")),
                                          Stay(2, "1", 1, d(4), d(9), QStringLiteral("Bert Berg"))});
    const std::vector<PortalBlock> blocks{Block(2, d(3), d(7)), Block(2, d(6), d(9), QStringLiteral("Portal B")),
                                          Block(1, d(20), d(22))};
    QCOMPARE(DoppelbelegungText({list, blocks}, 1),
             QStringLiteral("Doppelbelegung: Zimmer 1, 04.03.2025 bis 06.03.2025 auch Bert Berg\n"
                            "Doppelbelegung: Zimmer 2, 03.03.2025 bis 06.03.2025 auch Portal A"));
    QCOMPARE(DoppelbelegungText({list, blocks}, 2),
             QStringLiteral("Doppelbelegung: Zimmer 1, 04.03.2025 bis 06.03.2025 auch Anna Müller"));
    QCOMPARE(DoppelbelegungText({list, blocks}, 0), QString());
    QCOMPARE(DoppelbelegungText({list, blocks}, 3), QString());
    QCOMPARE(DoppeltBelegteZimmer({list, blocks}, 1, d(3)), std::vector<int>{2});
    QCOMPARE(DoppeltBelegteZimmer({list, blocks}, 1, d(5)), (std::vector<int>{1, 2}));
    QCOMPARE(DoppeltBelegteZimmer({list, blocks}, 1, d(2)), std::vector<int>{});
    // A block whose subscription lost its name is still said to be a portal's.
    const std::vector<PortalBlock> nameless{Block(2, d(3), d(4), QString())};
    QCOMPARE(DoppelbelegungText({list, nameless}, 1),
             QStringLiteral("Doppelbelegung: Zimmer 1, 04.03.2025 bis 06.03.2025 auch Bert Berg\n"
                            "Doppelbelegung: Zimmer 2, 03.03.2025 bis 04.03.2025 auch Portal"));
}

void TestPortalOccupancy::planBars()
{
    const std::vector<TGast> list = List({Stay(1, "2", 2, d(3), d(6), QStringLiteral("Anna Müller"))});
    const std::vector<PortalBlock> blocks{Block(1, d(10), d(12)), Block(2, d(5), d(8))};
    const PlanGeometry plan = Belegungsplan({list, blocks}, d(1), 31, d(1), 34519);
    QCOMPARE(plan.bars.size(), std::size_t(3));
    const PlanBar *guest = nullptr;
    const PlanBar *free = nullptr;
    const PlanBar *clashing = nullptr;
    for (const PlanBar &bar : plan.bars) {
        if (bar.record == 1)
            guest = &bar;
        else if (bar.block == 0)
            free = &bar;
        else if (bar.block == 1)
            clashing = &bar;
    }
    QVERIFY(guest && free && clashing);
    // From the middle of the first day to the middle of the day the room is free again.
    QCOMPARE(free->room, 1);
    QCOMPARE(free->record, 0);
    QCOMPARE(free->start, 9.5);
    QCOMPARE(free->end, 11.5);
    QCOMPARE(free->label, QStringLiteral("belegt über Portal A"));
    QVERIFY(!free->doppelt);
    // The guest and the block share the nights of 5 March: both double, in two lanes, hatched.
    QVERIFY(guest->doppelt && clashing->doppelt);
    QCOMPARE(guest->partner, 0);
    QCOMPARE(guest->partnerBlock, 1);
    QCOMPARE(clashing->partner, 1);
    QCOMPARE(guest->lanes, 2);
    QVERIFY(guest->lane != clashing->lane);
    QCOMPARE(plan.overlaps.size(), std::size_t(1));
    QCOMPARE(plan.overlaps[0].room, 2);
}

void TestPortalOccupancy::tooltip()
{
    const std::vector<PortalBlock> blocks{Block(1, d(10), d(11)), Block(2, d(5), d(8))};
    QCOMPARE(calendar::blockTooltip(blocks, 1),
             QStringLiteral("Zimmer 2 belegt über Portal A\n05.03.2025 bis 08.03.2025 (3 Nächte)\nReserved"));
    QCOMPARE(calendar::blockTooltip(blocks, 0),
             QStringLiteral("Zimmer 1 belegt über Portal A\n10.03.2025 bis 11.03.2025 (1 Nacht)\nReserved"));
    QCOMPARE(calendar::blockTooltip(blocks, 2), QString());
}

void TestPortalOccupancy::dragStopsAtBlocks_data()
{
    QTest::addColumn<std::vector<PortalBlock>>("blocks");
    QTest::addColumn<int>("room");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("reached");

    // Anna holds room 2 from the 20th to the 22nd throughout.
    const std::vector<PortalBlock> block{Block(2, d(10), d(12))};
    QTest::newRow("stops on the block's first day") << block << 2 << 5 << 18 << 10;
    QTest::newRow("leftwards on its last day") << block << 2 << 15 << 1 << 12;
    QTest::newRow("may begin as the block leaves") << block << 2 << 12 << 18 << 18;
    QTest::newRow("the nearer of block and guest") << block << 2 << 5 << 28 << 10;
    QTest::newRow("past the block the guest stops it") << block << 2 << 13 << 28 << 20;
    QTest::newRow("another room is free") << block << 1 << 5 << 18 << 18;
    QTest::newRow("a room the house does not have")
        << std::vector<PortalBlock>{Block(4, d(10), d(12))} << 2 << 5 << 18 << 18;
    QTest::newRow("a block without a night is passed only by a stay over it")
        << std::vector<PortalBlock>{Block(2, d(10), d(10))} << 2 << 5 << 18 << 10;
}

void TestPortalOccupancy::dragStopsAtBlocks()
{
    QFETCH(std::vector<PortalBlock>, blocks);
    QFETCH(int, room);
    QFETCH(int, anchor);
    QFETCH(int, target);
    QFETCH(int, reached);
    const std::vector<TGast> list = List({Stay(1, "2", 2, d(20), d(22), QStringLiteral("Anna Müller"))});
    QCOMPARE(FreierTag({list, blocks}, room, d(anchor), d(target)), d(reached));
}

QTEST_GUILESS_MAIN(TestPortalOccupancy)
#include "test_portaloccupancy.moc"
