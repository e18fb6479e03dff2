// The day list: who arrives, who leaves and who stays on a day, and the texts printed for each.

#include "calendar/DayList.h"
#include "platform/Regional.h"
#include "support/GuestListFixture.h"

#include <QTest>

using calendar::Tagesliste;
using calendar::TageslisteFuer;
using calendar::TageslistenTeil;
using calendar::TageslistenTeile;
using calendar::TageslistenTitel;
using guests::TGast;
using platform::DateToDay;

class TestDayList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void whoArrivesLeavesAndStays_data();
    void whoArrivesLeavesAndStays();
    void draftsAreNoBookings();
    void printedTexts();
};

void TestDayList::whoArrivesLeavesAndStays_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QList<int>>("anreisen"); // list indexes
    QTest::addColumn<QList<int>>("abreisen");
    QTest::addColumn<QList<int>>("bleiben");
    // Arrivals by time (15:00 before 18:30); departures at the same time by room, then list order;
    // the day guest arrives and leaves; Müller and the doctors stay (room 1 both, list order).
    QTest::newRow("today") << QDate(2025, 2, 20) << QList<int>{7, 2} << QList<int>{3, 7} << QList<int>{1, 8};
    QTest::newRow("tomorrow, by room") << QDate(2025, 2, 21) << QList<int>{} << QList<int>{1} << QList<int>{8, 2};
    QTest::newRow("a day nobody comes or goes") << QDate(2024, 1, 11) << QList<int>{} << QList<int>{} << QList<int>{6};
    QTest::newRow("an empty day") << QDate(2025, 1, 1) << QList<int>{} << QList<int>{} << QList<int>{};
}

void TestDayList::whoArrivesLeavesAndStays()
{
    QFETCH(QDate, day);
    QFETCH(QList<int>, anreisen);
    QFETCH(QList<int>, abreisen);
    QFETCH(QList<int>, bleiben);
    const auto list = fixture::Gaeste();
    // The time of day of the date asked for does not matter.
    const Tagesliste result = TageslisteFuer(list, DateToDay(day) + 0.75);
    QCOMPARE(result.tag, DateToDay(day));
    QCOMPARE(QList<int>(result.anreisen.begin(), result.anreisen.end()), anreisen);
    QCOMPARE(QList<int>(result.abreisen.begin(), result.abreisen.end()), abreisen);
    QCOMPARE(QList<int>(result.bleiben.begin(), result.bleiben.end()), bleiben);
}

void TestDayList::draftsAreNoBookings()
{
    auto list = fixture::Gaeste();
    // "Neuer Gast" clicked and left alone: today's dates, no name, no room.
    TGast draft;
    draft.GastNr = 20;
    draft.Von = DateToDay(fixture::Heute());
    draft.Bis = draft.Von;
    list.push_back(draft);
    // Record 0 is no guest even when it holds a stay.
    list[0] = fixture::Booking(0, "Platzhalter", "", fixture::Heute(), fixture::Heute(), "1");
    const Tagesliste result = TageslisteFuer(list, DateToDay(fixture::Heute()));
    QCOMPARE(QList<int>(result.anreisen.begin(), result.anreisen.end()), (QList<int>{7, 2}));
    QCOMPARE(QList<int>(result.abreisen.begin(), result.abreisen.end()), (QList<int>{3, 7}));
}

void TestDayList::printedTexts()
{
    auto list = fixture::Gaeste();
    list[7].Name.clear(); // a name not known yet is printed as the guest number
    const Tagesliste tagesliste = TageslisteFuer(list, DateToDay(fixture::Heute()));
    QCOMPARE(TageslistenTitel(tagesliste.tag), QStringLiteral("Tagesliste für Donnerstag, 20. Februar 2025"));

    const std::vector<TageslistenTeil> teile = TageslistenTeile(list, tagesliste);
    QCOMPARE(teile.size(), std::size_t(3));
    QCOMPARE(teile[0].titel, QStringLiteral("Anreisen"));
    QCOMPARE(teile[0].spalten, (QStringList{"Zeit", "Zimmer", "Personen", "Name", "Bemerkung"}));
    QCOMPARE(teile[0].zeilen,
             (std::vector<QStringList>{{"15:00", "3 (Doppelbelegung)", "2", "Gast 7", ""},
                                       {"18:30", "2", "1", "Eva Mueller", ""}}));
    QCOMPARE(teile[1].titel, QStringLiteral("Abreisen"));
    QCOMPARE(teile[1].spalten, (QStringList{"Zeit", "Zimmer", "Name", "Schlüssel", "Bezahlt"}));
    QCOMPARE(teile[1].zeilen,
             (std::vector<QStringList>{{"10:00", "3 (Doppelbelegung)", "Jörg Schäfer", "nicht ausgegeben", "bezahlt"},
                                       {"10:00", "3 (Doppelbelegung)", "Gast 7", "nicht ausgegeben",
                                        "offen (Rechnung 19)"}}));
    QCOMPARE(teile[2].titel, QStringLiteral("Bleibende Gäste"));
    QCOMPARE(teile[2].spalten, (QStringList{"Zimmer", "Personen", "Name", "Abreise"}));
    // The team shares rooms 1 and 3 with Müller, Schäfer and guest 7 that day: the fixture's double
    // bookings are marked.
    QCOMPARE(teile[2].zeilen,
             (std::vector<QStringList>{{"1 (Doppelbelegung)", "2", "Hans Müller", "21.02.2025"},
                                       {"1 (Doppelbelegung), 3 (Doppelbelegung)", "4", "Ärzte Team", "23.02.2025"}}));
}

QTEST_GUILESS_MAIN(TestDayList)
#include "test_daylist.moc"
