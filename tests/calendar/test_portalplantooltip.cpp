// The tooltips of the plan's bars once portal blocks are among them: a block names its portal, and
// a double booking names the other side, whether a guest or a portal.

#include "calendar/OccupancyPlan.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QTest>

using calendar::PlanBar;
using calendar::PlanGeometry;
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

} // namespace

class TestPortalPlanTooltip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void tooltips_data()
    {
        QTest::addColumn<int>("room");      // the bar's room
        QTest::addColumn<bool>("blockBar"); // the bar of the block (else the guest's)
        QTest::addColumn<QString>("first"); // the tooltip's first line
        QTest::addColumn<QString>("clash"); // its last line for a double booking, else empty

        QTest::newRow("block alone") << 2 << true << QStringLiteral("Zimmer 2 belegt über Portal B") << QString();
        QTest::newRow("block clashing with a guest")
            << 1 << true << QStringLiteral("Zimmer 1 belegt über Portal A")
            << QStringLiteral("Doppelbelegung in Zimmer 1 mit Gast 1 (Anna Müller)");
        QTest::newRow("guest clashing with a block") << 1 << false << QStringLiteral("Gast 1: Anna Müller")
                                                     << QStringLiteral("Doppelbelegung in Zimmer 1 mit Portal A");
    }

    void tooltips()
    {
        QFETCH(int, room);
        QFETCH(bool, blockBar);
        QFETCH(QString, first);
        QFETCH(QString, clash);
        // Anna in room 1 from the 3rd to the 6th; Portal A takes room 1 from the 5th, Portal B room 2.
        const std::vector<TGast> list = List({Stay(1, "1", 2, d(3), d(6), QStringLiteral("Anna Müller"))});
        const std::vector<PortalBlock> blocks = {Block(1, d(5), d(8), QStringLiteral("Portal A")),
                                                 Block(2, d(10), d(12), QStringLiteral("Portal B"))};
        const PlanGeometry plan = calendar::Belegungsplan({list, blocks}, d(1), 31, d(1), 34519);
        const PlanBar *found = nullptr;
        for (const PlanBar &bar : plan.bars)
            if (bar.room == room && (bar.block >= 0) == blockBar)
                found = &bar;
        QVERIFY(found);
        const QStringList lines = calendar::PlanTooltip({list, blocks}, *found).split(u'\n');
        QCOMPARE(lines.first(), first);
        if (clash.isEmpty())
            QVERIFY(!lines.last().startsWith(QStringLiteral("Doppelbelegung")));
        else
            QCOMPARE(lines.last(), clash);
    }
};

QTEST_GUILESS_MAIN(TestPortalPlanTooltip)
#include "test_portalplantooltip.moc"
