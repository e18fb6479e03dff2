// The occupancy plan's geometry: where bars lie (halves of the arrival and departure day, cut at
// the span's edges), changeovers, double bookings with their overlaps and lanes, the days' marks,
// the tooltip, and how far a drag may pick a stay.

#include "calendar/OccupancyPlan.h"
#include "calendar/RoomCalendar.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QTest>

#include <limits>
#include <vector>

using calendar::Belegungsplan;
using calendar::FreierTag;
using calendar::HeuteStart;
using calendar::MonatsKurzname;
using calendar::MonatsName;
using calendar::PlanBar;
using calendar::PlanDay;
using calendar::PlanGeometry;
using calendar::PlanMonth;
using calendar::PlanOverlap;
using calendar::PlanTooltip;
using calendar::PlanZustand;
using calendar::ZeitraumText;
using fixture::List;
using guests::TGast;
using Guests = std::vector<TGast>;
Q_DECLARE_METATYPE(Guests)

namespace {

// The house of the tests, in Hessen.
constexpr qint32 kHausPLZ = 34519;

platform::TDateTime Day(int year, int month, int day)
{
    return platform::EncodeDate(year, month, day);
}

TGast Stay(int gastNr, const QString &zimmer, platform::TDateTime von, platform::TDateTime bis,
           const QString &name = {}, int personen = 2)
{
    return fixture::Stay(gastNr, zimmer, personen, von, bis, name);
}

// "record:room start-end lane/lanes", with "<" / ">" for a bar cut at the left / right edge and
// "!partner" for a double booking.
QString Describe(const PlanBar &bar)
{
    QString text = QStringLiteral("%1:%2 %3-%4 %5/%6")
                       .arg(bar.record)
                       .arg(bar.room)
                       .arg(bar.start)
                       .arg(bar.end)
                       .arg(bar.lane)
                       .arg(bar.lanes);
    if (bar.beginsBefore)
        text += QStringLiteral(" <");
    if (bar.endsAfter)
        text += QStringLiteral(" >");
    if (bar.doppelt)
        text += QStringLiteral(" !%1").arg(bar.partner);
    return text;
}

QStringList Bars(const PlanGeometry &plan)
{
    QStringList bars;
    for (const PlanBar &bar : plan.bars)
        bars << Describe(bar);
    return bars;
}

QStringList Overlaps(const PlanGeometry &plan)
{
    QStringList overlaps;
    for (const PlanOverlap &o : plan.overlaps)
        overlaps << QStringLiteral("%1 %2-%3").arg(o.room).arg(o.start).arg(o.end);
    return overlaps;
}

// February 2025: day 0 is 1 Feb, the span's edge 28 is 1 March.
platform::TDateTime Feb()
{
    return Day(2025, 2, 1);
}

} // namespace

class TestOccupancyPlan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void bars_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<QStringList>("bars");
        QTest::addColumn<QStringList>("overlaps");

        // A stay from the 3rd to the 5th (two nights) runs from the middle of day 2 to that of day 4.
        QTest::newRow("one stay") << List({Stay(1, "1", Day(2025, 2, 3), Day(2025, 2, 5))})
                                  << QStringList{"1:1 2.5-4.5 0/1"} << QStringList{};
        QTest::newRow("stay from the month before") << List({Stay(1, "2", Day(2025, 1, 28), Day(2025, 2, 3))})
                                                    << QStringList{"1:2 0-2.5 0/1 <"} << QStringList{};
        QTest::newRow("stay into the next month") << List({Stay(1, "3", Day(2025, 2, 26), Day(2025, 3, 2))})
                                                  << QStringList{"1:3 25.5-28 0/1 >"} << QStringList{};
        QTest::newRow("stay over the whole span") << List({Stay(1, "1", Day(2025, 1, 20), Day(2025, 3, 10))})
                                                  << QStringList{"1:1 0-28 0/1 < >"} << QStringList{};
        QTest::newRow("changeover: two halves in one day")
            << List({Stay(1, "3", Day(2025, 2, 3), Day(2025, 2, 5)), Stay(2, "3", Day(2025, 2, 5), Day(2025, 2, 7))})
            << QStringList{"1:3 2.5-4.5 0/1", "2:3 4.5-6.5 0/1"} << QStringList{};
        QTest::newRow("two rooms, two bars") << List({Stay(1, "13", Day(2025, 2, 10), Day(2025, 2, 12))})
                                             << QStringList{"1:1 9.5-11.5 0/1", "1:3 9.5-11.5 0/1"} << QStringList{};
        QTest::newRow("double booking: lanes and hatched overlap")
            << List({Stay(1, "1", Day(2025, 2, 3), Day(2025, 2, 6)), Stay(2, "1", Day(2025, 2, 5), Day(2025, 2, 8))})
            << QStringList{"1:1 2.5-5.5 0/2 !2", "2:1 4.5-7.5 1/2 !1"} << QStringList{"1 4.5-5.5"};
        QTest::newRow("same arrival day is a double booking")
            << List({Stay(1, "2", Day(2025, 2, 3), Day(2025, 2, 4)), Stay(2, "2", Day(2025, 2, 3), Day(2025, 2, 6))})
            << QStringList{"1:2 2.5-3.5 0/2 !2", "2:2 2.5-5.5 1/2 !1"} << QStringList{"2 2.5-3.5"};
        QTest::newRow("three in one room, overlaps merged")
            << List({Stay(1, "1", Day(2025, 2, 3), Day(2025, 2, 10)), Stay(2, "1", Day(2025, 2, 4), Day(2025, 2, 6)),
                     Stay(3, "1", Day(2025, 2, 5), Day(2025, 2, 8))})
            << QStringList{"1:1 2.5-9.5 0/3 !2", "2:1 3.5-5.5 1/3 !1", "3:1 4.5-7.5 2/3 !1"}
            << QStringList{"1 3.5-7.5"};
        QTest::newRow("double booking in one of two rooms")
            << List({Stay(1, "12", Day(2025, 2, 3), Day(2025, 2, 5)), Stay(2, "2", Day(2025, 2, 4), Day(2025, 2, 6))})
            << QStringList{"1:1 2.5-4.5 0/1", "1:2 2.5-4.5 0/2 !2", "2:2 3.5-5.5 1/2 !1"} << QStringList{"2 3.5-4.5"};
        QTest::newRow("visit without a night") << List({Stay(1, "2", Day(2025, 2, 10), Day(2025, 2, 10))})
                                               << QStringList{"1:2 9.25-9.75 0/1"} << QStringList{};
        QTest::newRow("visit amid a stay is a double booking")
            << List({Stay(1, "2", Day(2025, 2, 9), Day(2025, 2, 12)), Stay(2, "2", Day(2025, 2, 10), Day(2025, 2, 10))})
            << QStringList{"1:2 8.5-11.5 0/2 !2", "2:2 9.25-9.75 1/2 !1"} << QStringList{"2 9.25-9.75"};
        QTest::newRow("visit on a departure day: own lane, no double booking")
            << List({Stay(1, "2", Day(2025, 2, 8), Day(2025, 2, 10)), Stay(2, "2", Day(2025, 2, 10), Day(2025, 2, 10))})
            << QStringList{"1:2 7.5-9.5 0/2", "2:2 9.25-9.75 1/2"} << QStringList{};
        // The other booking and the overlap lie before the span: the visible bar still warns.
        QTest::newRow("double booking before the span")
            << List({Stay(1, "2", Day(2025, 1, 20), Day(2025, 2, 3)), Stay(2, "2", Day(2025, 1, 25), Day(2025, 1, 28))})
            << QStringList{"1:2 0-2.5 0/2 < !2"} << QStringList{};
        QTest::newRow("overlap cut at the span's edge")
            << List({Stay(1, "3", Day(2025, 1, 25), Day(2025, 2, 3)), Stay(2, "3", Day(2025, 1, 30), Day(2025, 2, 2))})
            << QStringList{"1:3 0-2.5 0/2 < !2", "2:3 0-1.5 1/2 < !1"} << QStringList{"3 0-1.5"};
        QTest::newRow("nothing to draw")
            << List({Stay(1, "2", Day(2025, 2, 8), Day(2025, 2, 5)), Stay(2, "", Day(2025, 2, 3), Day(2025, 2, 5)),
                     Stay(3, "04", Day(2025, 2, 3), Day(2025, 2, 5)), Stay(4, "1", Day(2025, 3, 1), Day(2025, 3, 3)),
                     Stay(5, "1", Day(2025, 1, 1), Day(2025, 1, 31)),
                     Stay(6, "1", std::numeric_limits<double>::quiet_NaN(), Day(2025, 2, 5))})
            << QStringList{} << QStringList{};
        // A stay that ends on the span's first day shows its last half day.
        QTest::newRow("departure on the first day") << List({Stay(1, "1", Day(2025, 1, 30), Day(2025, 2, 1))})
                                                    << QStringList{"1:1 0-0.5 0/1 <"} << QStringList{};
    }
    void bars()
    {
        QFETCH(Guests, list);
        QFETCH(QStringList, bars);
        QFETCH(QStringList, overlaps);
        const PlanGeometry plan = Belegungsplan(list, Feb(), 28, 0, kHausPLZ);
        QCOMPARE(Bars(plan), bars);
        QCOMPARE(Overlaps(plan), overlaps);
    }

    // Record 0 holds whatever the file's first line has; it is never a booking.
    void recordZeroNeverShows()
    {
        Guests list = List({});
        list[0] = Stay(0, "123", Day(2025, 2, 3), Day(2025, 2, 5));
        QVERIFY(Belegungsplan(list, Feb(), 28, 0, kHausPLZ).bars.empty());
    }

    // Scrolling must not change what a bar looks like: its lane and warning stay the same
    // whichever part of the span shows it.
    void barsKeepTheirLaneWhileScrolling()
    {
        const Guests list =
            List({Stay(1, "1", Day(2025, 2, 3), Day(2025, 2, 20)), Stay(2, "1", Day(2025, 2, 18), Day(2025, 2, 25)),
                  Stay(3, "1", Day(2025, 2, 24), Day(2025, 3, 5))});
        for (int offset = 0; offset < 30; ++offset) {
            const PlanGeometry plan = Belegungsplan(list, Feb() + offset, 14, 0, kHausPLZ);
            for (const PlanBar &bar : plan.bars) {
                QCOMPARE(bar.lanes, 2);
                QCOMPARE(bar.lane, bar.record == 2 ? 1 : 0);
                QVERIFY(bar.doppelt);
            }
        }
    }

    void barState_data()
    {
        QTest::addColumn<int>("reNr");
        QTest::addColumn<bool>("bezahlt");
        QTest::addColumn<int>("zustand");
        QTest::newRow("no invoice") << 0 << false << int(PlanZustand::OhneRechnung);
        QTest::newRow("invoiced") << 12 << false << int(PlanZustand::Berechnet);
        QTest::newRow("invoiced and paid") << 12 << true << int(PlanZustand::Bezahlt);
        QTest::newRow("paid without invoice") << 0 << true << int(PlanZustand::Bezahlt);
    }
    void barState()
    {
        QFETCH(int, reNr);
        QFETCH(bool, bezahlt);
        QFETCH(int, zustand);
        TGast g = Stay(1, "1", Day(2025, 2, 3), Day(2025, 2, 5), QStringLiteral("Anna"));
        g.ReNr = reNr;
        g.Bezahlt = bezahlt;
        const PlanGeometry plan = Belegungsplan(List({g}), Feb(), 28, 0, kHausPLZ);
        QCOMPARE(plan.bars.size(), std::size_t(1));
        QCOMPARE(int(plan.bars[0].zustand), zustand);
    }

    void barLabel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("personen");
        QTest::addColumn<QString>("label");
        QTest::newRow("name") << QStringLiteral("Jörg Weiß") << 2 << QStringLiteral("Jörg Weiß (2 P.)");
        QTest::newRow("blanks around") << "  Anna " << 1 << "Anna (1 P.)";
        QTest::newRow("no name") << "" << 4 << "Gast 7 (4 P.)";
    }
    void barLabel()
    {
        QFETCH(QString, name);
        QFETCH(int, personen);
        QFETCH(QString, label);
        const PlanGeometry plan =
            Belegungsplan(List({Stay(7, "1", Day(2025, 2, 3), Day(2025, 2, 5), name, personen)}), Feb(), 28, 0, 34519);
        QCOMPARE(plan.bars.at(0).label, label);
    }

    void days_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("dayOfMonth");
        QTest::addColumn<bool>("samstag");
        QTest::addColumn<bool>("sonnOderFeiertag");
        QTest::addColumn<QString>("feiertag");
        QTest::newRow("Neujahr") << QDate(2024, 12, 30) << 4 << 2 << 1 << false << true << "Neujahr";
        QTest::newRow("an ordinary Tuesday") << QDate(2024, 12, 30) << 4 << 1 << 31 << false << false << "";
        QTest::newRow("Karfreitag") << QDate(2025, 4, 1) << 30 << 17 << 18 << false << true << "Karfreitag";
        QTest::newRow("Saturday") << QDate(2025, 4, 1) << 30 << 18 << 19 << true << false << "";
        QTest::newRow("Sunday") << QDate(2025, 4, 1) << 30 << 26 << 27 << false << true << "";
        // Fronleichnam is kept in Hessen, where the house is.
        QTest::newRow("Fronleichnam") << QDate(2025, 6, 1) << 30 << 18 << 19 << false << true << "Fronleichnam";
    }
    void days()
    {
        QFETCH(QDate, first);
        QFETCH(int, days);
        QFETCH(int, index);
        QFETCH(int, dayOfMonth);
        QFETCH(bool, samstag);
        QFETCH(bool, sonnOderFeiertag);
        QFETCH(QString, feiertag);
        const PlanGeometry plan = Belegungsplan(List({}), platform::DateToDay(first), days, 0, kHausPLZ);
        QCOMPARE(int(plan.dayInfo.size()), days);
        const PlanDay &d = plan.dayInfo.at(std::size_t(index));
        QCOMPARE(d.day, platform::DateToDay(first) + index);
        QCOMPARE(d.dayOfMonth, dayOfMonth);
        QCOMPARE(d.samstag, samstag);
        QCOMPARE(d.sonnOderFeiertag, sonnOderFeiertag);
        QCOMPARE(d.feiertag, feiertag);
    }

    void months()
    {
        const PlanGeometry plan = Belegungsplan(List({}), Day(2024, 12, 30), 35, 0, kHausPLZ);
        QStringList got;
        for (const PlanMonth &m : plan.months)
            got << QStringLiteral("%1+%2 %3 %4").arg(m.firstIndex).arg(m.days).arg(MonatsName(m.month)).arg(m.year);
        QCOMPARE(got, (QStringList{"0+2 Dezember 2024", "2+31 Januar 2025", "33+2 Februar 2025"}));
        QCOMPARE(MonatsName(3), QStringLiteral("März"));
        QCOMPARE(MonatsKurzname(3), QStringLiteral("Mär"));
        QCOMPARE(MonatsName(13), QString());
    }

    void nowLine_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<double>("position"); // negative: no line
        QTest::newRow("20 Feb, 10:00") << QDateTime(QDate(2025, 2, 20), QTime(10, 0)) << 19 + 10.0 / 24;
        QTest::newRow("first day, midnight") << QDateTime(QDate(2025, 2, 1), QTime(0, 0)) << 0.0;
        QTest::newRow("before the span") << QDateTime(QDate(2025, 1, 31), QTime(23, 0)) << -1.0;
        QTest::newRow("after the span") << QDateTime(QDate(2025, 3, 1), QTime(12, 0)) << -1.0;
    }
    void nowLine()
    {
        QFETCH(QDateTime, now);
        QFETCH(double, position);
        const platform::TDateTime moment = platform::DateToDay(now.date()) + platform::TimeToFraction(now.time());
        const PlanGeometry plan = Belegungsplan(List({}), Feb(), 28, moment, kHausPLZ);
        if (position < 0) {
            QVERIFY(!plan.now.has_value());
        } else {
            QVERIFY(plan.now.has_value());
            QVERIFY(qAbs(*plan.now - position) < 1e-6);
        }
    }

    void spansThatCannotBeShown()
    {
        QVERIFY(Belegungsplan(List({}), Feb(), 0, 0, kHausPLZ).dayInfo.empty());
        QVERIFY(Belegungsplan(List({}), std::numeric_limits<double>::quiet_NaN(), 28, 0, kHausPLZ).dayInfo.empty());
        // A span running past 31 Dec 9999 stops there.
        QCOMPARE(Belegungsplan(List({}), Day(9999, 12, 30), 28, 0, kHausPLZ).days, 2);
    }

    void spanTitle_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("title");
        QTest::newRow("a month") << QDate(2025, 2, 1) << 28 << QStringLiteral("Februar 2025");
        QTest::newRow("March") << QDate(2025, 3, 1) << 31 << QStringLiteral("März 2025");
        QTest::newRow("a year") << QDate(2025, 1, 1) << 365 << QStringLiteral("2025");
        QTest::newRow("a leap year") << QDate(2024, 1, 1) << 366 << QStringLiteral("2024");
        QTest::newRow("a month and a day") << QDate(2025, 2, 1) << 29 << QStringLiteral("01.02.2025 bis 01.03.2025");
        QTest::newRow("two weeks") << QDate(2025, 2, 17) << 14 << QStringLiteral("17.02.2025 bis 02.03.2025");
        QTest::newRow("a year from March") << QDate(2025, 3, 1) << 366 << QStringLiteral("01.03.2025 bis 01.03.2026");
    }
    void spanTitle()
    {
        QFETCH(QDate, first);
        QFETCH(int, days);
        QFETCH(QString, title);
        QCOMPARE(ZeitraumText(platform::DateToDay(first), days), title);
    }

    void tooltip_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("tooltip");
        TGast billed = Stay(7, "13", Day(2025, 2, 19), Day(2025, 2, 21), QStringLiteral("Anna Müller"), 2);
        billed.Kosten = 360.5f;
        billed.ReNr = 42;
        TGast paid = Stay(8, "2", Day(2025, 2, 3), Day(2025, 2, 4), QString(), 1);
        paid.Kosten = 45;
        paid.ReNr = 43;
        paid.Bezahlt = true;
        QTest::newRow("invoice open, two rooms")
            << List({billed}) << 0
            << QStringLiteral("Gast 7: Anna Müller\n19.02.2025 bis 21.02.2025, 2 Nächte\nZimmer 1 und 3, 2 Personen\n"
                              "Kosten: 360,50 €\nRechnung Nr. 42, noch nicht bezahlt");
        QTest::newRow("paid, no name, one night")
            << List({paid}) << 0
            << QStringLiteral("Gast 8\n03.02.2025 bis 04.02.2025, 1 Nacht\nZimmer 2, 1 Person\nKosten: 45,00 €\n"
                              "Rechnung Nr. 43, bezahlt");
        QTest::newRow("no invoice, double booking")
            << List({Stay(3, "2", Day(2025, 2, 3), Day(2025, 2, 6), QStringLiteral("Bert")),
                     Stay(4, "2", Day(2025, 2, 5), Day(2025, 2, 7), QStringLiteral("Carla"))})
            << 0
            << QStringLiteral("Gast 3: Bert\n03.02.2025 bis 06.02.2025, 3 Nächte\nZimmer 2, 2 Personen\n"
                              "Kosten: noch nicht berechnet\nNoch keine Rechnung\n"
                              "Doppelbelegung in Zimmer 2 mit Gast 4 (Carla)");
    }
    void tooltip()
    {
        QFETCH(Guests, list);
        QFETCH(int, bar);
        QFETCH(QString, tooltip);
        const PlanGeometry plan = Belegungsplan(list, Feb(), 28, 0, kHausPLZ);
        QCOMPARE(PlanTooltip(list, plan.bars.at(std::size_t(bar))), tooltip);
    }

    void freeDay_data()
    {
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("anchor"); // days of February 2025
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("reached");
        // Room 2: a stay 10th to 13th, a changeover into one 13th to 15th, a visit on the 20th.
        QTest::newRow("up to an arrival") << 2 << 5 << 12 << 10;
        QTest::newRow("free all the way") << 2 << 21 << 25 << 25;
        QTest::newRow("up to a visit, not over it") << 2 << 15 << 25 << 20;
        QTest::newRow("starting inside a stay") << 2 << 11 << 20 << 11;
        QTest::newRow("starting on a changeover day") << 2 << 13 << 20 << 13;
        QTest::newRow("leftwards down to a departure") << 2 << 16 << 12 << 15;
        QTest::newRow("leftwards from an arrival day") << 2 << 10 << 5 << 5;
        QTest::newRow("leftwards down to a visit") << 2 << 25 << 18 << 20;
        QTest::newRow("another room is free") << 1 << 5 << 25 << 25;
        QTest::newRow("no move") << 2 << 7 << 7 << 7;
    }
    void freeDay()
    {
        QFETCH(int, room);
        QFETCH(int, anchor);
        QFETCH(int, target);
        QFETCH(int, reached);
        const Guests list =
            List({Stay(1, "2", Day(2025, 2, 10), Day(2025, 2, 13)), Stay(2, "2", Day(2025, 2, 13), Day(2025, 2, 15)),
                  Stay(3, "2", Day(2025, 2, 20), Day(2025, 2, 20))});
        QCOMPARE(FreierTag(list, room, Day(2025, 2, anchor), Day(2025, 2, target)), Day(2025, 2, reached));
    }

    void todaySpan_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("days");
        QTest::addColumn<QDate>("start");
        QTest::newRow("a month") << QDate(2025, 2, 20) << 28 << QDate(2025, 2, 1);
        QTest::newRow("a year") << QDate(2025, 2, 20) << 366 << QDate(2025, 2, 1);
        QTest::newRow("two weeks, early in the month") << QDate(2025, 2, 5) << 14 << QDate(2025, 2, 1);
        QTest::newRow("two weeks, late in the month") << QDate(2025, 2, 20) << 14 << QDate(2025, 2, 17);
        QTest::newRow("month's last day") << QDate(2025, 1, 31) << 31 << QDate(2025, 1, 1);
        QTest::newRow("three weeks at the month's end") << QDate(2025, 1, 30) << 21 << QDate(2025, 1, 27);
    }
    void todaySpan()
    {
        QFETCH(QDate, today);
        QFETCH(int, days);
        QFETCH(QDate, start);
        const platform::TDateTime first = HeuteStart(platform::DateToDay(today), days);
        QCOMPARE(platform::DayToDate(first), start);
        QVERIFY(first <= platform::DateToDay(today) && platform::DateToDay(today) < first + days);
    }
};

QTEST_GUILESS_MAIN(TestOccupancyPlan)
#include "test_occupancyplan.moc"
