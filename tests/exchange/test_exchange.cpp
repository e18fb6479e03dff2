// What leaves the program for other programs: the guest list's CSV file for a spreadsheet (the
// rules of its fields are in test_csv) and the rooms' iCalendar files, each read back by a real
// reader.

#include "exchange/GuestListCsv.h"
#include "exchange/ICalendar.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "support/GuestListFixture.h"
#include "support/ReadBack.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using exchange::ExportiereKalender;
using exchange::FalteZeile;
using exchange::ZimmerKalender;

namespace {

const QDateTime kStamp(QDate(2025, 2, 20), QTime(9, 30), Qt::UTC);

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void csvFileOfTheRowsShown();
    void csvFailureKeepsTheOldFile();
    void calendarsReadByARealParser();
    void calendarLinesAreShortAndEndInCrLf();
    void foldedLinesAreReadWhole();
    void uidsStayFromExportToExport();
};

void TestExchange::csvFileOfTheRowsShown()
{
    auto list = fixture::Gaeste();
    list[1].Bemerkung = QStringLiteral("spät; nach 22 Uhr");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Gästeliste.csv"));
    // The rows in the order shown, not in the list's order.
    exchange::exportGuestListCsv(path, list, {6, 1, 2});
    const QByteArray bytes = ReadAll(path);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5); // header, three rows, nothing after the last line end
    QCOMPARE(lines[0], QStringLiteral("Nr.;Name;Straße;PLZ;Ort;Telefon;E-Mail;Anreise;Anreisezeit;Abreise;Abreisezeit;"
                                      "Nächte;Zimmer;Personen;Kosten;Rechnung Nr.;Bezahlt;Schlüssel;Bemerkung"));
    QCOMPARE(lines[1], QStringLiteral("6;Olga Becker;;;Fulda;0661 / 98 76 54;o.becker@example.de;10.01.2024;15:00;"
                                      "12.01.2024;10:00;2;2;2;95,00;5;ja;nein;Allergie gegen Nüsse"));
    QCOMPARE(lines[2], QStringLiteral("1;Hans Müller;Königstraße 3;34117;Kassel;;;18.02.2025;15:00;21.02.2025;10:00;"
                                      "3;1;2;180,00;17;nein;ja;\"spät; nach 22 Uhr\""));
    QCOMPARE(lines[3],
             QStringLiteral("2;Eva Mueller;;;Köln;;;20.02.2025;18:30;22.02.2025;10:00;2;2;1;120,50;;nein;nein;"));
    QCOMPARE(lines[4], QString());
    QCOMPARE(lines[0].count(u';'), lines[1].count(u';'));
}

void TestExchange::csvFailureKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fehlt/Gäste.csv"));
    try {
        exchange::exportGuestListCsv(path, fixture::Gaeste(), {1});
        QFAIL("writing into a missing folder must fail");
    } catch (const platform::EInOutError &error) {
        QVERIFY2(!error.message().isEmpty(), "the error names what went wrong");
    }
    QVERIFY(!QFile::exists(path));
}

void TestExchange::calendarsReadByARealParser()
{
    const auto list = fixture::Gaeste();
    QTemporaryDir dir;
    const QStringList files = ExportiereKalender(dir.path(), list, kStamp);
    QCOMPARE(files,
             (QStringList{dir.filePath("Zimmer 1.ics"), dir.filePath("Zimmer 2.ics"), dir.filePath("Zimmer 3.ics")}));

    const QStringList seen = readback::IcsLines(files);
    const QString stamp = QStringLiteral("2025-02-20T09:30:00+00:00");
    const auto event = [&stamp](int nr, int room, const char *von, const char *bis) {
        return QStringLiteral("EVENT|zimbrana-gast-%1-zimmer-%2@zimbrana|%3|%4|date|Zimmer %2 belegt|%5")
            .arg(nr)
            .arg(room)
            .arg(QString::fromLatin1(von), QString::fromLatin1(bis), stamp);
    };
    const QString calendar = QStringLiteral("CALENDAR|2.0|-//Kestrumbel//Zimbrana//DE|");
    // The day guest without a night holds no night of room 3; the doctors hold rooms 1 and 3.
    const QStringList expected = {calendar,
                                  event(1, 1, "2025-02-18", "2025-02-21"),
                                  event(4, 1, "2025-03-21", "2025-03-24"),
                                  event(12, 1, "2025-02-19", "2025-02-23"),
                                  calendar,
                                  event(2, 2, "2025-02-20", "2025-02-22"),
                                  event(5, 2, "2025-03-22", "2025-03-25"),
                                  event(6, 2, "2024-01-10", "2024-01-12"),
                                  calendar,
                                  event(3, 3, "2025-02-15", "2025-02-20"),
                                  event(12, 3, "2025-02-19", "2025-02-23")};
    QCOMPARE(seen, expected);

    // Nothing about the guests leaves the house.
    for (const QString &file : files) {
        const QString text = QString::fromUtf8(ReadAll(file));
        for (std::size_t i = 1; i < list.size(); ++i) {
            QVERIFY2(!text.contains(list[i].Name), qPrintable(list[i].Name));
            QVERIFY2(!text.contains(list[i].Ort), qPrintable(list[i].Ort));
        }
    }
}

void TestExchange::calendarLinesAreShortAndEndInCrLf()
{
    const QByteArray ics = ZimmerKalender(fixture::Gaeste(), 1, kStamp);
    QVERIFY(ics.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:"));
    QVERIFY(ics.endsWith("END:VCALENDAR\r\n"));
    QCOMPARE(ics.count("\n"), ics.count("\r\n"));
    QCOMPARE(ics.count("\r"), ics.count("\r\n"));
    for (const QByteArray &line : ics.split('\n'))
        QVERIFY2(line.size() <= 76, line.constData()); // 75 octets and the CR
    QVERIFY(ics.contains("\r\nDTSTART;VALUE=DATE:20250218\r\nDTEND;VALUE=DATE:20250221\r\n"));
}

void TestExchange::foldedLinesAreReadWhole()
{
    // Long enough to be folded twice, with umlauts where a cut by bytes would split one.
    const QString description = QStringLiteral("Belegung der Zimmer im Gästehaus am Dom, für Buchungsportale und "
                                               "Telefonkalender; Änderungen über Zimbrana, nicht hier: ÄÖÜäöüß");
    QByteArray line = "X-WR-CALDESC:" + description.toUtf8();
    line.replace(";", "\\;").replace(",", "\\,");
    const QByteArray folded = FalteZeile(line);
    const QList<QByteArray> parts = folded.chopped(2).split('\n');
    QVERIFY(parts.size() >= 3);
    for (const QByteArray &part : parts) {
        const QByteArray bare = part.endsWith('\r') ? part.chopped(1) : part;
        QVERIFY2(bare.size() <= 75, bare.constData());
        QVERIFY2(!QString::fromUtf8(bare).contains(QChar::ReplacementCharacter), "a character was cut");
    }
    QByteArray unfolded = folded;
    unfolded.replace("\r\n ", "");
    QCOMPARE(unfolded, line + "\r\n");

    // The real parser joins the parts again.
    QByteArray ics = ZimmerKalender(fixture::Gaeste(), 2, kStamp);
    ics.replace("METHOD:PUBLISH\r\n", "METHOD:PUBLISH\r\n" + folded);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zimmer 2.ics"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ics);
    file.close();
    const QStringList seen = readback::IcsLines({path});
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.first(), QStringLiteral("CALENDAR|2.0|-//Kestrumbel//Zimbrana//DE|") + description);
    QCOMPARE(seen.size(), 4);
}

void TestExchange::uidsStayFromExportToExport()
{
    auto list = fixture::Gaeste();
    const auto uids = [](const QByteArray &ics) {
        QStringList found;
        for (const QByteArray &line : ics.split('\n'))
            if (line.startsWith("UID:"))
                found << QString::fromUtf8(line.mid(4).trimmed());
        return found;
    };
    const QStringList before = uids(ZimmerKalender(list, 2, kStamp));
    QCOMPARE(before.size(), 3);

    // A later export, after a booking was cancelled and another changed its dates.
    list.erase(list.begin() + 2);
    list[4].Bis += 1; // guest 5
    const QStringList after = uids(ZimmerKalender(list, 2, kStamp.addDays(3)));
    QCOMPARE(after, (QStringList{before[1], before[2]}));

    // Older files may hold a guest number twice; each booking still has a UID of its own.
    list.push_back(fixture::Booking(5, "Zweiter Fünfer", "Hamm", QDate(2025, 5, 1), QDate(2025, 5, 3), "2"));
    QStringList twice = uids(ZimmerKalender(list, 2, kStamp));
    QCOMPARE(twice.size(), 3);
    QCOMPARE(twice.removeDuplicates(), 0);
}

QTEST_GUILESS_MAIN(TestExchange)
#include "test_exchange.moc"
