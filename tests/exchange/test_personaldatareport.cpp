// "Auskunft": every stored field of every stay of the person, as CSV rows and as a report to print.

#include "exchange/Csv.h"
#include "exchange/GuestListCsv.h"
#include "exchange/PersonalDataReport.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "register/PersonalData.h"

#include <QtTest>

using guests::TGast;

namespace {

TGast stay(qint32 nr, const QString &name, const QDate &arrival)
{
    TGast g;
    g.GastNr = nr;
    g.Zimmer = QStringLiteral("13");
    g.Personen = 2;
    g.Von = platform::DateToDay(arrival);
    g.Bis = g.Von + 2;
    g.Anreise = platform::TimeToFraction(QTime(15, 0));
    g.Abreise = platform::TimeToFraction(QTime(10, 30));
    g.Name = name;
    g.Strasse = QStringLiteral("Mühlweg 3");
    g.PLZ = 6108;
    g.Ort = QStringLiteral("Halle");
    g.Telefon = QStringLiteral("0345 %1").arg(nr);
    g.EMail = QStringLiteral("weiss@example.de");
    g.ReNr = 1040 + nr;
    g.Kosten = 158;
    g.Bezahlt = true;
    g.Schluessel = true;
    g.Bemerkung = QStringLiteral("Hund; kommt spät");
    return g;
}

} // namespace

class TestPersonalDataReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void reportHoldsEveryFieldOfEveryStay();
};

void TestPersonalDataReport::reportHoldsEveryFieldOfEveryStay()
{
    // GIVEN two stays of Weiß (spelled two ways) and one of another guest
    const std::vector<TGast> records{TGast{}, stay(1, QStringLiteral("Jürgen Weiß"), QDate(2024, 5, 1)),
                                     stay(2, QStringLiteral("Anna Bauer"), QDate(2024, 6, 1)),
                                     stay(3, QStringLiteral("juergen weiss"), QDate(2025, 1, 8))};
    const std::vector<int> stays = guests::staysOfPerson(records, 1);

    // WHEN the information is put together
    const QList<QStringList> rows = exchange::personalDataRows(records, stays);
    const exchange::PersonalDataReport report =
        exchange::personalDataReport(records, stays, platform::DateToDay(QDate(2025, 2, 20)) + 0.5);

    // THEN the CSV has the header and exactly the person's stays, with every field
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.front(), exchange::guestListHeader());
    QCOMPARE(rows.at(1).at(1), QStringLiteral("Jürgen Weiß"));
    QCOMPARE(rows.at(2).at(1), QStringLiteral("juergen weiss"));
    QVERIFY(!exchange::csvFile(rows, exchange::CsvCodePage::Utf8WithBom).contains("Anna Bauer"));
    // ... and the report the same, field by field, under a heading per stay
    QCOMPARE(report.title, QStringLiteral("Auskunft über gespeicherte Daten"));
    QVERIFY(report.intro.contains(QStringLiteral("Person: Jürgen Weiß")));
    QVERIFY(report.intro.contains(QStringLiteral("Gespeicherte Aufenthalte: 2")));
    QVERIFY(report.intro.contains(QStringLiteral("Stand: 20.02.2025 12:00:00")));
    QCOMPARE(report.stays.size(), std::size_t(2));
    QCOMPARE(report.stays[1].heading, QStringLiteral("Aufenthalt 08.01.2025 bis 10.01.2025"));
    for (std::size_t s = 0; s < report.stays.size(); ++s) {
        const auto &fields = report.stays[s].fields;
        QCOMPARE(int(fields.size()), rows.front().size());
        for (std::size_t f = 0; f < fields.size(); ++f) {
            QCOMPARE(fields[f].first, rows.front().at(int(f)));
            QCOMPARE(fields[f].second, rows.at(int(s) + 1).at(int(f)));
        }
    }
    const auto &first = report.stays[0].fields;
    const auto value = [&first](const QString &label) {
        for (const auto &field : first)
            if (field.first == label)
                return field.second;
        return QStringLiteral("<missing>");
    };
    QCOMPARE(value(QStringLiteral("Telefon")), QStringLiteral("0345 1"));
    QCOMPARE(value(QStringLiteral("E-Mail")), QStringLiteral("weiss@example.de"));
    QCOMPARE(value(QStringLiteral("Bemerkung")), QStringLiteral("Hund; kommt spät"));
    QCOMPARE(value(QStringLiteral("Rechnung Nr.")), QStringLiteral("1041"));
    QCOMPARE(value(QStringLiteral("Anreisezeit")), QStringLiteral("15:00"));
}

QTEST_MAIN(TestPersonalDataReport)
#include "test_personaldatareport.moc"
