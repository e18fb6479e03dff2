// How far the plan's scroll bar reaches: a year beyond the first and the last booking and beyond
// today, never cutting off the span shown; bookings without a room or with broken dates do not
// stretch it.

#include "calendar/OccupancyPlan.h"
#include "platform/Convert.h"

#include <QTest>

#include <limits>
#include <vector>

using calendar::PlanScrollRange;
using calendar::planScrollRange;
using guests::TGast;

namespace {

platform::TDateTime Day(int year, int month, int day)
{
    return platform::EncodeDate(year, month, day);
}

TGast Stay(const QString &zimmer, platform::TDateTime von, platform::TDateTime bis)
{
    TGast g;
    g.Zimmer = zimmer;
    g.Von = von;
    g.Bis = bis;
    return g;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

using Guests = std::vector<TGast>;
Q_DECLARE_METATYPE(Guests)

class TestPlanScrollRange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void range_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<double>("first"); // the first day shown
        QTest::addColumn<int>("days");
        QTest::addColumn<double>("lowest");
        QTest::addColumn<double>("highest");
        const double today = Day(2025, 2, 20);
        const double feb = Day(2025, 2, 1);
        QTest::newRow("no bookings: around today") << Guests{TGast{}} << feb << 28 << today - 366 << today + 366 - 28;
        QTest::newRow("a booking next year stretches the end")
            << Guests{TGast{}, Stay("1", Day(2026, 5, 1), Day(2026, 5, 4))} << feb << 28 << today - 366
            << Day(2026, 5, 4) + 366 - 28;
        QTest::newRow("an old booking stretches the start")
            << Guests{TGast{}, Stay("2", Day(2020, 7, 1) + 0.5, Day(2020, 7, 3))} << feb << 28 << Day(2020, 7, 1) - 366
            << today + 366 - 28;
        QTest::newRow("without a room it does not count") << Guests{TGast{}, Stay("", Day(2020, 7, 1), Day(2020, 7, 3))}
                                                          << feb << 28 << today - 366 << today + 366 - 28;
        QTest::newRow("departure before arrival does not count")
            << Guests{TGast{}, Stay("1", Day(2030, 7, 3), Day(2030, 7, 1))} << feb << 28 << today - 366
            << today + 366 - 28;
        QTest::newRow("a date that is none does not count")
            << Guests{TGast{}, Stay("1", kNaN, Day(2030, 7, 1)), Stay("3", 0, Day(2030, 7, 1))} << feb << 28
            << today - 366 << today + 366 - 28;
        QTest::newRow("the span shown stays inside")
            << Guests{TGast{}} << Day(2010, 1, 1) << 366 << Day(2010, 1, 1) << today + 366 - 366;
        QTest::newRow("far ahead stays inside")
            << Guests{TGast{}} << Day(2040, 1, 1) << 14 << today - 366 << Day(2040, 1, 1);
    }
    void range()
    {
        QFETCH(Guests, list);
        QFETCH(double, first);
        QFETCH(int, days);
        QFETCH(double, lowest);
        QFETCH(double, highest);
        const PlanScrollRange range = planScrollRange(list, Day(2025, 2, 20), first, days);
        QCOMPARE(range.lowest, static_cast<int>(lowest));
        QCOMPARE(range.highest, static_cast<int>(highest));
    }
};

QTEST_GUILESS_MAIN(TestPlanScrollRange)
#include "test_planscrollrange.moc"
