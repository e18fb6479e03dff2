// The year's figures, checked by hand: nights across month and year ends, a stay split over two
// months, a booking of two rooms (twice for the rooms, once for the guests), double bookings,
// revenue by arrival and by invoice, unpaid invoices, the average stay and the CSV export.

#include "calendar/YearFigures.h"
#include "exchange/Csv.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QTest>

#include <vector>

using calendar::AuswertungKopf;
using calendar::AuswertungZeilen;
using calendar::BetragText;
using calendar::figuresTable;
using calendar::Jahresauswertung;
using calendar::JahresZahlen;
using calendar::OffeneRechnung;
using fixture::List;
using guests::TGast;
using Guests = std::vector<TGast>;
Q_DECLARE_METATYPE(Guests)

namespace {

platform::TDateTime Day(int year, int month, int day)
{
    return platform::EncodeDate(year, month, day);
}

TGast Stay(int gastNr, const QString &zimmer, int personen, platform::TDateTime von, platform::TDateTime bis,
           float kosten = 0, qint32 reNr = 0, bool bezahlt = false)
{
    return fixture::Stay(gastNr, zimmer, personen, von, bis, QStringLiteral("Gast Nummer %1").arg(gastNr))
        .kosten(kosten)
        .reNr(reNr)
        .bezahlt(bezahlt);
}

QStringList Row(const char *cells)
{
    return QString::fromUtf8(cells).split(u';');
}

} // namespace

class TestYearFigures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    // Each row: the bookings, the year, the table row (1..12, 13 = Summe) and what it must read:
    // Monat; nights rooms 1, 2, 3, all; occupancy % rooms 1, 2, 3, all; guests; persons;
    // revenue by arrival; revenue by invoice.
    void tableRows_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<int>("jahr");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");

        // 30 Jan to 2 Feb: the nights of 30 and 31 Jan, and of 1 Feb. 2 / 31 = 6.45 %, 2 / 93 = 2.15 %.
        const Guests split = List({Stay(1, "1", 2, Day(2025, 1, 30), Day(2025, 2, 2), 300)});
        QTest::newRow("split stay, January") << split << 2025 << 1 << Row("01;2;0;0;2;6,5;0,0;0,0;2,2;1;2;300,00;0,00");
        // 1 / 28 = 3.57 %, 1 / 84 = 1.19 %; the guest arrived in January.
        QTest::newRow("split stay, February") << split << 2025 << 2 << Row("02;1;0;0;1;3,6;0,0;0,0;1,2;0;0;0,00;0,00");
        // 3 / 365 = 0.82 %, 3 / 1095 = 0.27 %.
        QTest::newRow("split stay, year")
            << split << 2025 << 13 << Row("Summe;3;0;0;3;0,8;0,0;0,0;0,3;1;2;300,00;0,00");

        // 30 Dec 2024 to 2 Jan 2025, invoice 7, paid: two nights in 2024, one in 2025; the guest
        // arrived in 2024, the invoice counts when the guest left, in 2025.
        const Guests newYear = List({Stay(1, "2", 1, Day(2024, 12, 30), Day(2025, 1, 2), 150, 7, true)});
        QTest::newRow("year end, old year")
            << newYear << 2024 << 12 << Row("12;0;2;0;2;0,0;6,5;0,0;2,2;1;1;150,00;0,00");
        // 1 / 31 = 3.23 %, 1 / 93 = 1.08 %.
        QTest::newRow("year end, new year")
            << newYear << 2025 << 1 << Row("01;0;1;0;1;0,0;3,2;0,0;1,1;0;0;0,00;150,00");

        // Rooms 1 and 3 for three nights: six room nights sold, one guest with two persons.
        // 3 / 31 = 9.68 %, 6 / 93 = 6.45 %.
        const Guests twoRooms = List({Stay(1, "13", 2, Day(2025, 3, 10), Day(2025, 3, 13), 240, 5)});
        QTest::newRow("two rooms") << twoRooms << 2025 << 3 << Row("03;3;0;3;6;9,7;0,0;9,7;6,5;1;2;240,00;240,00");

        // Room 1 booked twice over the night of 3 April: five nights sold, four nights occupied.
        // 4 / 30 = 13.33 %, 4 / 90 = 4.44 %.
        const Guests clash = List(
            {Stay(1, "1", 2, Day(2025, 4, 1), Day(2025, 4, 4)), Stay(2, "1", 1, Day(2025, 4, 3), Day(2025, 4, 5))});
        QTest::newRow("double booking") << clash << 2025 << 4 << Row("04;5;0;0;5;13,3;0,0;0,0;4,4;2;3;0,00;0,00");

        // February 2024 has 29 days: the whole month in room 3 is 100 %, 29 / 87 = 33.3 % of the house.
        const Guests leap = List({Stay(1, "3", 4, Day(2024, 2, 1), Day(2024, 3, 1), 1160.4f)});
        QTest::newRow("leap February") << leap << 2024 << 2 << Row("02;0;0;29;29;0,0;0,0;100,0;33,3;1;4;1160,40;0,00");

        // A changeover day is no double booking: both nights count, the month is full.
        const Guests changeover = List(
            {Stay(1, "2", 2, Day(2025, 6, 1), Day(2025, 6, 16)), Stay(2, "2", 3, Day(2025, 6, 16), Day(2025, 7, 1))});
        QTest::newRow("changeover") << changeover << 2025 << 6 << Row("06;0;30;0;30;0,0;100,0;0,0;33,3;2;5;0,00;0,00");

        // Record 0 never counts; a reversed stay and one without a room have no nights and no
        // guests, but their cost was earned in the month of arrival.
        Guests ignored = List({Stay(1, "2", 2, Day(2025, 5, 10), Day(2025, 5, 8), 100),
                               Stay(2, "", 2, Day(2025, 5, 12), Day(2025, 5, 14), 20.5f)});
        ignored[0] = Stay(0, "1", 3, Day(2025, 5, 1), Day(2025, 5, 5), 999, 9);
        QTest::newRow("not counted") << ignored << 2025 << 5 << Row("05;0;0;0;0;0,0;0,0;0,0;0,0;0;0;120,50;0,00");

        // A visit without a night is a guest but sells no night.
        const Guests visit = List({Stay(1, "1", 2, Day(2025, 8, 9), Day(2025, 8, 9), 30, 11)});
        QTest::newRow("visit without a night")
            << visit << 2025 << 8 << Row("08;0;0;0;0;0,0;0,0;0,0;0,0;1;2;30,00;30,00");
    }
    void tableRows()
    {
        QFETCH(Guests, list);
        QFETCH(int, jahr);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        const std::vector<QStringList> rows = AuswertungZeilen(Jahresauswertung(list, jahr));
        QCOMPARE(int(rows.size()), 13);
        QCOMPARE(rows[std::size_t(row - 1)], cells);
    }

    void headerMatchesRows()
    {
        const QStringList head = AuswertungKopf();
        QCOMPARE(head.first(), QStringLiteral("Monat"));
        for (const QStringList &row : AuswertungZeilen(Jahresauswertung(List({}), 2025)))
            QCOMPARE(row.size(), head.size());
    }

    void averageStay()
    {
        // Arriving in 2025: two nights (in two rooms, still one stay of two nights), three nights
        // and a visit without a night: 5 / 3 nights. The stay that began in 2024 does not count.
        const Guests list = List(
            {Stay(1, "12", 2, Day(2025, 3, 1), Day(2025, 3, 3)), Stay(2, "1", 2, Day(2025, 12, 30), Day(2026, 1, 2)),
             Stay(3, "3", 2, Day(2025, 5, 5), Day(2025, 5, 5)), Stay(4, "3", 2, Day(2024, 12, 20), Day(2025, 1, 10))});
        const JahresZahlen z = Jahresauswertung(list, 2025);
        QCOMPARE(z.mittlereAufenthaltsdauer, 5.0 / 3.0);
        QCOMPARE(z.summe.gaeste, 3);
        QCOMPARE(Jahresauswertung(List({}), 2025).mittlereAufenthaltsdauer, 0.0);
    }

    void unpaidInvoices()
    {
        const Guests list = List({Stay(1, "1", 2, Day(2025, 3, 1), Day(2025, 3, 3), 90, 5),
                                  Stay(2, "2", 2, Day(2024, 12, 1), Day(2024, 12, 3), 80, 3),
                                  Stay(3, "3", 2, Day(2025, 4, 1), Day(2025, 4, 3), 70, 8, true),
                                  Stay(4, "3", 2, Day(2025, 12, 30), Day(2026, 1, 2), 60, 9),
                                  Stay(5, "1", 2, Day(2025, 2, 1), Day(2025, 2, 3), 55.25f, 4),
                                  Stay(6, "2", 2, Day(2025, 6, 1), Day(2025, 6, 3), 50)});
        const JahresZahlen z = Jahresauswertung(list, 2025);
        // Invoices 4 and 5 were written on departures in 2025 and are open; 3 belongs to 2024,
        // 9 to 2026, 8 is paid and guest 6 has no invoice yet.
        QStringList got;
        for (const OffeneRechnung &o : z.offen)
            got << QStringLiteral("%1 %2 %3").arg(o.reNr).arg(o.gast).arg(BetragText(o.kosten));
        QCOMPARE(got, (QStringList{"4 Gast 5 (Gast Nummer 5) 55,25 €", "5 Gast 1 (Gast Nummer 1) 90,00 €"}));
        QCOMPARE(BetragText(z.offenSumme), QStringLiteral("145,25 €"));
        QCOMPARE(z.offenAlleJahre, 4);
        QCOMPARE(BetragText(z.offenSummeAlleJahre), QStringLiteral("285,25 €"));
    }

    void csvExport()
    {
        const JahresZahlen z = Jahresauswertung(List({Stay(1, "1", 2, Day(2025, 1, 30), Day(2025, 2, 2), 300)}), 2025);
        const QByteArray csv = exchange::csvFile(figuresTable(z), exchange::kFiguresCodePage);
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = csv.mid(3).split('\n');
        QCOMPARE(lines.size(), 15); // header, 12 months, Summe, and nothing after the last line end
        QCOMPARE(lines.last(), QByteArray());
        QCOMPARE(QString::fromUtf8(lines[0]),
                 QStringLiteral("Monat;Nächte Zi 1;Nächte Zi 2;Nächte Zi 3;Nächte;Auslastung Zi 1 (%);"
                                "Auslastung Zi 2 (%);Auslastung Zi 3 (%);Auslastung (%);Gäste;Personen;"
                                "Umsatz nach Anreise (€);Umsatz nach Rechnung (€)\r"));
        QCOMPARE(lines[1], QByteArray("01;2;0;0;2;6,5;0,0;0,0;2,2;1;2;300,00;0,00\r"));
        QCOMPARE(lines[12], QByteArray("12;0;0;0;0;0,0;0,0;0,0;0,0;0;0;0,00;0,00\r"));
        QCOMPARE(lines[13], QByteArray("Summe;3;0;0;3;0,8;0,0;0,0;0,3;1;2;300,00;0,00\r"));
    }

    void euroText_data()
    {
        QTest::addColumn<double>("euros");
        QTest::addColumn<QString>("text");
        QTest::newRow("cents") << 360.5 << "360,50 €";
        QTest::newRow("rounded") << 0.125 << "0,13 €";
        QTest::newRow("no minus zero") << -0.001 << "0,00 €";
        QTest::newRow("credit") << -12.0 << "-12,00 €";
    }
    void euroText()
    {
        QFETCH(double, euros);
        QFETCH(QString, text);
        QCOMPARE(BetragText(euros), text);
    }

    void yearsThatCannotBeShown()
    {
        const JahresZahlen z = Jahresauswertung(List({Stay(1, "1", 2, Day(2025, 1, 30), Day(2025, 2, 2), 300)}), 0);
        QCOMPARE(z.summe.naechteGesamt, 0);
        QCOMPARE(z.summe.tage, 0);
        QCOMPARE(Jahresauswertung(List({}), 2024).summe.tage, 366);
    }
};

QTEST_GUILESS_MAIN(TestYearFigures)
#include "test_yearfigures.moc"
