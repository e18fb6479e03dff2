// Double bookings said aloud (the status line, the calendar cell, the day list) and picks that
// move a booking or add a room to it.

#include "calendar/DayList.h"
#include "calendar/RoomCalendar.h"
#include "platform/Regional.h"
#include "support/GuestListFixture.h"

#include <QTest>

using calendar::AuswahlErsetzenFrage;
using calendar::AuswahlNutzung;
using calendar::CalendarCell;
using calendar::DoppelbelegungText;
using calendar::DoppeltBelegteZimmer;
using calendar::KurzName;
using calendar::PeekPicks;
using calendar::PickState;
using calendar::Tagesliste;
using calendar::TageslisteFuer;
using calendar::TageslistenTeile;
using calendar::TeilenEinZimmer;
using calendar::ZeigGridRows;
using fixture::Booking;
using guests::TGast;
using platform::DateToDay;

namespace {

// Dr. Schäfer holds room 1 over the turn of the year; the other guest is the one being booked.
std::vector<TGast> WithSchaefer(const TGast &other)
{
    return {TGast(), Booking(3, "Dr. Schäfer", "Kassel", QDate(2026, 12, 26), QDate(2027, 1, 2), "1"), other};
}

} // namespace

class TestDoubleBooking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void doubleBookingText_data();
    void doubleBookingText();
    void calendarCellNamesBoth();
    void shortNames_data();
    void shortNames();
    void dayListMarksTheRoom();
    void picksOntoABooking_data();
    void picksOntoABooking();
    void questionNamesBothStaysAndTheInvoice_data();
    void questionNamesBothStaysAndTheInvoice();
};

void TestDoubleBooking::doubleBookingText_data()
{
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<QDate>("von");
    QTest::addColumn<QDate>("bis");
    QTest::addColumn<QString>("expected");
    const QString schaefer = QStringLiteral("Doppelbelegung: Zimmer 1, 27.12.2026 bis 29.12.2026 auch Dr. Schäfer");
    QTest::newRow("inside her stay") << "1" << QDate(2026, 12, 27) << QDate(2026, 12, 29) << schaefer;
    QTest::newRow("one of two rooms") << "21" << QDate(2026, 12, 27) << QDate(2026, 12, 29) << schaefer;
    QTest::newRow("over her arrival")
        << "1" << QDate(2026, 12, 20) << QDate(2026, 12, 27)
        << QStringLiteral("Doppelbelegung: Zimmer 1, 26.12.2026 bis 27.12.2026 auch Dr. Schäfer");
    QTest::newRow("arrives the day she leaves") << "1" << QDate(2027, 1, 2) << QDate(2027, 1, 5) << QString();
    QTest::newRow("leaves the day she arrives") << "1" << QDate(2026, 12, 20) << QDate(2026, 12, 26) << QString();
    QTest::newRow("a day guest while she stays")
        << "1" << QDate(2026, 12, 28) << QDate(2026, 12, 28)
        << QStringLiteral("Doppelbelegung: Zimmer 1, 28.12.2026 bis 28.12.2026 auch Dr. Schäfer");
    QTest::newRow("another room") << "23" << QDate(2026, 12, 27) << QDate(2026, 12, 29) << QString();
    QTest::newRow("no room") << "" << QDate(2026, 12, 27) << QDate(2026, 12, 29) << QString();
    QTest::newRow("before") << "1" << QDate(2026, 12, 1) << QDate(2026, 12, 3) << QString();
}

void TestDoubleBooking::doubleBookingText()
{
    QFETCH(QString, zimmer);
    QFETCH(QDate, von);
    QFETCH(QDate, bis);
    QFETCH(QString, expected);
    const auto list = WithSchaefer(Booking(6, "Jürgen Weiß", "Fulda", von, bis, zimmer.toUtf8().constData()));
    QCOMPARE(DoppelbelegungText(list, 2), expected);
    QCOMPARE(TeilenEinZimmer(list[2], list[1]), !expected.isEmpty());
    // Said from her side just the same, naming him.
    QCOMPARE(DoppelbelegungText(list, 1).isEmpty(), expected.isEmpty());
    if (!expected.isEmpty())
        QVERIFY(DoppelbelegungText(list, 1).endsWith(QStringLiteral(" auch Jürgen Weiß")));
}

void TestDoubleBooking::calendarCellNamesBoth()
{
    auto list = WithSchaefer(Booking(6, "Jürgen Weiß", "Fulda", QDate(2026, 12, 27), QDate(2026, 12, 29), "1"));
    list.push_back(Booking(7, "Olga Becker", "Hamm", QDate(2026, 12, 27), QDate(2026, 12, 29), "2"));
    // Row 11 shows the start day, 28 December.
    const auto rows = ZeigGridRows(list, DateToDay(QDate(2026, 12, 28)), 20);
    const CalendarCell &shared = rows[11].rooms[0];
    QVERIFY(shared.clash);
    QCOMPARE(shared.text, QStringLiteral("6,2P"));
    QCOMPARE(shared.clashText, QStringLiteral("Schäfe/Weiß"));
    QCOMPARE(shared.clashHint, QStringLiteral("Doppelbelegung: Gast 3 (Dr. Schäfer) und Gast 6 (Jürgen Weiß)"));
    const CalendarCell &alone = rows[11].rooms[1];
    QVERIFY(!alone.clash);
    QCOMPARE(alone.clashText, QString());
    // Her days without him: no double booking.
    QVERIFY(!rows[9].rooms[0].clash);
    QCOMPARE(rows[9].rooms[0].clashText, QString());
}

void TestDoubleBooking::shortNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("family name last") << "Jürgen Weiß" << "Weiß";
    QTest::newRow("title") << "Dr. Schäfer" << "Schäfe";
    QTest::newRow("family name first") << "Weiß, Jürgen" << "Weiß";
    QTest::newRow("one word") << "Großmann" << "Großma";
    QTest::newRow("blanks") << "  Anna   Roth  " << "Roth";
    QTest::newRow("no name") << "" << "Gast 9";
}

void TestDoubleBooking::shortNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    TGast gast;
    gast.GastNr = 9;
    gast.Name = name;
    QCOMPARE(KurzName(gast), expected);
}

void TestDoubleBooking::dayListMarksTheRoom()
{
    auto list = WithSchaefer(Booking(6, "Jürgen Weiß", "Fulda", QDate(2026, 12, 27), QDate(2026, 12, 29), "12"));
    // A guest who takes room 2 the day Weiß leaves it shares no night with him.
    list.push_back(Booking(8, "Paul Roth", "Hamm", QDate(2026, 12, 29), QDate(2026, 12, 30), "2"));
    const Tagesliste tag = TageslisteFuer(list, DateToDay(QDate(2026, 12, 27)));
    const auto teile = TageslistenTeile(list, tag);
    QCOMPARE(teile[0].zeilen, (std::vector<QStringList>{{"15:00", "1 (Doppelbelegung), 2", "2", "Jürgen Weiß", ""}}));
    QCOMPARE(teile[2].zeilen, (std::vector<QStringList>{{"1 (Doppelbelegung)", "2", "Dr. Schäfer", "02.01.2027"}}));
    QCOMPARE(DoppeltBelegteZimmer(list, 2, DateToDay(QDate(2026, 12, 29))), (std::vector<int>{1}));
    QCOMPARE(DoppeltBelegteZimmer(list, 3, DateToDay(QDate(2026, 12, 29))), std::vector<int>{});
    QCOMPARE(DoppeltBelegteZimmer(list, 2, DateToDay(QDate(2026, 12, 30))), std::vector<int>{});
}

void TestDoubleBooking::picksOntoABooking_data()
{
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<int>("pickedRoom");
    QTest::addColumn<QString>("ersetzt");
    QTest::addColumn<QString>("hinzugefuegt");
    QTest::newRow("another room") << "2" << 3 << "3"
                                  << "23";
    QTest::newRow("the same room") << "2" << 2 << "2"
                                   << "2";
    QTest::newRow("one of its rooms") << "13" << 3 << "3"
                                      << "13";
    QTest::newRow("no room yet") << "" << 1 << "1"
                                 << "1";
}

void TestDoubleBooking::picksOntoABooking()
{
    QFETCH(QString, zimmer);
    QFETCH(int, pickedRoom);
    QFETCH(QString, ersetzt);
    QFETCH(QString, hinzugefuegt);
    PickState picks;
    picks.pick(pickedRoom, DateToDay(QDate(2027, 3, 15)));
    picks.pick(2, DateToDay(QDate(2027, 3, 17))); // the departure may be picked in any room
    for (const auto &[nutzung, rooms] : {std::pair{AuswahlNutzung::Ersetzen, ersetzt},
                                         std::pair{AuswahlNutzung::Hinzufuegen, hinzugefuegt}}) {
        const auto result = PeekPicks(picks, zimmer, nutzung);
        QVERIFY(result);
        QCOMPARE(result->Zimmer, rooms);
        QCOMPARE(result->Von, DateToDay(QDate(2027, 3, 15)));
        QCOMPARE(result->Bis, DateToDay(QDate(2027, 3, 17)));
    }
    QVERIFY(!picks.empty()); // looking does not use them
    QVERIFY(!PeekPicks(PickState(), zimmer, AuswahlNutzung::Ersetzen));
}

void TestDoubleBooking::questionNamesBothStaysAndTheInvoice_data()
{
    QTest::addColumn<int>("reNr");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no invoice") << 0
                                << "Gast 6 (Jürgen Weiß) hat schon eine Buchung: Zimmer 2, 14.12.2026 bis 16.12.2026."
                                   "\n\n„Ersetzen“ ändert sie in: Zimmer 3, 15.03.2027 bis 17.03.2027."
                                   "\n„Hinzufügen“ nimmt das Zimmer dazu: Zimmer 23, 15.03.2027 bis 17.03.2027.";
    QTest::newRow("invoice issued")
        << 1045
        << "Gast 6 (Jürgen Weiß) hat schon eine Buchung: Zimmer 2, 14.12.2026 bis 16.12.2026 (Rechnung Nr. 1045 ist "
           "schon ausgestellt).\n\n„Ersetzen“ ändert sie in: Zimmer 3, 15.03.2027 bis 17.03.2027."
           "\n„Hinzufügen“ nimmt das Zimmer dazu: Zimmer 23, 15.03.2027 bis 17.03.2027.";
}

void TestDoubleBooking::questionNamesBothStaysAndTheInvoice()
{
    QFETCH(int, reNr);
    QFETCH(QString, expected);
    TGast gast = Booking(6, "Jürgen Weiß", "Fulda", QDate(2026, 12, 14), QDate(2026, 12, 16), "2");
    gast.ReNr = reNr;
    PickState picks;
    picks.pick(3, DateToDay(QDate(2027, 3, 15)));
    picks.pick(3, DateToDay(QDate(2027, 3, 17)));
    QCOMPARE(AuswahlErsetzenFrage(gast, *PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Ersetzen),
                                  *PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Hinzufuegen)),
             expected);
}

QTEST_GUILESS_MAIN(TestDoubleBooking)
#include "test_doublebooking.moc"
