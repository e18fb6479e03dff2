// The sentences under the figures' table (the window and the printout show the same): the year's
// summary with its singular and rounding, and the unpaid invoices with the hint at other years.

#include "calendar/YearFigures.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"

#include <QTest>

#include <vector>

using calendar::Jahresauswertung;
using calendar::JahresZahlen;
using calendar::openInvoiceRow;
using calendar::openInvoicesText;
using calendar::yearSummaryText;
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
           float kosten, qint32 reNr = 0, bool bezahlt = false)
{
    return fixture::Stay(gastNr, zimmer, personen, von, bis, QStringLiteral("Gast Nummer %1").arg(gastNr))
        .kosten(kosten)
        .reNr(reNr)
        .bezahlt(bezahlt);
}

} // namespace

class TestYearFigureTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void summaries_data()
    {
        QTest::addColumn<Guests>("list");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("open");

        // Nothing booked: every figure is 0, and the nights' word stays plural.
        QTest::newRow("empty year")
            << Guests{}
            << QStringLiteral("2025: 0 Gäste mit 0 Personen, 0 Zimmernächte, Auslastung 0,0 %, durchschnittlicher "
                              "Aufenthalt 0,0 Nächte. Umsatz nach Anreise 0,00 €, nach Rechnung 0,00 €.")
            << QStringLiteral("Keine offenen Rechnungen 2025.");
        // 3 of 365 * 3 room nights = 0.27 %; the invoice is the year's only unpaid one.
        QTest::newRow("one unpaid stay")
            << List({Stay(1, "1", 2, Day(2025, 3, 3), Day(2025, 3, 6), 300, 5)})
            << QStringLiteral("2025: 1 Gäste mit 2 Personen, 3 Zimmernächte, Auslastung 0,3 %, durchschnittlicher "
                              "Aufenthalt 3,0 Nächte. Umsatz nach Anreise 300,00 €, nach Rechnung 300,00 €.")
            << QStringLiteral("Offene Rechnungen 2025: 1, zusammen 300,00 €.");
        // One night is "Nacht"; the unpaid invoice of December 2024 is no invoice of 2025, but the
        // hint at all years names it.
        QTest::newRow("unpaid only in an earlier year")
            << List({Stay(1, "2", 1, Day(2025, 5, 10), Day(2025, 5, 11), 80),
                     Stay(2, "1", 2, Day(2024, 12, 1), Day(2024, 12, 3), 200, 7)})
            << QStringLiteral("2025: 1 Gäste mit 1 Personen, 1 Zimmernächte, Auslastung 0,1 %, durchschnittlicher "
                              "Aufenthalt 1,0 Nacht. Umsatz nach Anreise 80,00 €, nach Rechnung 0,00 €.")
            << QStringLiteral("Keine offenen Rechnungen 2025. Alle Jahre: 1, zusammen 200,00 €.");
        // 4 nights over 3 stays = 1.33 on average; 4 of 1095 room nights = 0.37 %; the paid
        // invoice is not open, the cents of the others add up.
        QTest::newRow("rounded to one place")
            << List({Stay(1, "1", 1, Day(2025, 1, 2), Day(2025, 1, 3), 100.5f, 3),
                     Stay(2, "2", 1, Day(2025, 1, 2), Day(2025, 1, 3), 50, 4),
                     Stay(3, "3", 1, Day(2025, 1, 10), Day(2025, 1, 12), 70, 5, true)})
            << QStringLiteral("2025: 3 Gäste mit 3 Personen, 4 Zimmernächte, Auslastung 0,4 %, durchschnittlicher "
                              "Aufenthalt 1,3 Nächte. Umsatz nach Anreise 220,50 €, nach Rechnung 220,50 €.")
            << QStringLiteral("Offene Rechnungen 2025: 2, zusammen 150,50 €.");
    }

    void summaries()
    {
        QFETCH(Guests, list);
        QFETCH(QString, year);
        QFETCH(QString, open);

        const JahresZahlen zahlen = Jahresauswertung(list, 2025);
        QCOMPARE(yearSummaryText(zahlen), year);
        QCOMPARE(openInvoicesText(zahlen), open);
    }

    // One line of the unpaid invoices: number, guest, stay, amount.
    void openInvoiceLine()
    {
        const JahresZahlen zahlen =
            Jahresauswertung(List({Stay(4, "3", 1, Day(2025, 3, 3), Day(2025, 3, 6), 1234.5f, 12)}), 2025);
        QCOMPARE(zahlen.offen.size(), std::size_t(1));
        QCOMPARE(openInvoiceRow(zahlen.offen.front()),
                 (QStringList{QStringLiteral("12"), zahlen.offen.front().gast,
                              QStringLiteral("03.03.2025 bis 06.03.2025"), QStringLiteral("1234,50 €")}));
    }
};

QTEST_GUILESS_MAIN(TestYearFigureTexts)
#include "test_yearfiguretexts.moc"
