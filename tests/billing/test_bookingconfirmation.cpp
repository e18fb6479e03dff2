// The booking confirmation: placeholders, what the letter says, its file name, and the PDF as a
// PDF reader sees it.

#include "billing/BookingConfirmation.h"
#include "platform/FileIo.h"
#include "support/GuestBuilder.h"
#include "support/ReadBack.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using billing::Briefkopf;
using fixture::Stay;
using guests::TGast;

namespace {

platform::TDateTime d(int year, int month, int day)
{
    return platform::DateToDay(QDate(year, month, day));
}

Briefkopf linde()
{
    return {QStringLiteral("Gasthaus Linde"), QStringLiteral("Lindenweg 3\n34519 Diemelsee"),
            QStringLiteral("05632 1234"), QStringLiteral("info@linde.de"), QString()};
}

TGast anna()
{
    TGast g = Stay(12, "31", 2, d(2025, 3, 1), d(2025, 3, 4), QStringLiteral("Anna Müller")).kosten(540);
    g.Strasse = QStringLiteral("Hauptstraße 5");
    g.PLZ = 1067;
    g.Ort = QStringLiteral("Dresden");
    g.Anreise = platform::TimeToFraction(QTime(15, 0));
    g.Abreise = platform::TimeToFraction(QTime(10, 30));
    g.EMail = QStringLiteral("anna@example.de");
    return g;
}

QString pdfText(const QByteArray &pdf)
{
    const auto document = readback::PdfDocument(pdf);
    if (!document || document->numPages() < 1)
        return {};
    return document->page(0)->text(QRectF()).simplified();
}

} // namespace

class TestBookingConfirmation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeholders_data();
    void placeholders();
    void content();
    void fileName_data();
    void fileName();
    void pdfReadBack();
    void longTextStaysOnePage();
    void savedInTheConfirmationFolder();
};

void TestBookingConfirmation::placeholders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filled");
    QTest::newRow("every placeholder") << "{Name}|{Anreise}|{Abreise}|{Naechte}|{Zimmer}|{Personen}|{Preis}|{Haus}"
                                       << QStringLiteral(
                                              "Anna Müller|01.03.2025|04.03.2025|3|1 und 3|2|540,00 €|Gasthaus Linde");
    QTest::newRow("umlaut and case") << "{Nächte} Nächte, {name}" << QStringLiteral("3 Nächte, Anna Müller");
    QTest::newRow("unknown stays as written") << "{Anrede} {Name}" << QStringLiteral("{Anrede} Anna Müller");
    QTest::newRow("braces that are no placeholder")
        << "{ Name } {} {{Name}}" << QStringLiteral("{ Name } {} {Anna Müller}");
    QTest::newRow("no placeholders") << "Wir freuen uns."
                                     << "Wir freuen uns.";
    QTest::newRow("empty") << QString() << QString();
}

void TestBookingConfirmation::placeholders()
{
    QFETCH(QString, text);
    QFETCH(QString, filled);
    QCOMPARE(billing::fillPlaceholders(text, anna(), linde()), filled);
    // Every listed placeholder is one the filler knows.
    for (const auto &[placeholder, meaning] : billing::confirmationPlaceholders()) {
        QVERIFY(!meaning.isEmpty());
        QVERIFY2(billing::fillPlaceholders(placeholder, anna(), linde()) != placeholder, qPrintable(placeholder));
    }
}

void TestBookingConfirmation::content()
{
    // A guest whose name looks like a placeholder is not filled in again.
    TGast g = anna();
    g.Name = QStringLiteral("{Preis}");
    billing::ConfirmationContent c =
        billing::confirmationContent(g, linde(), QStringLiteral("Hallo {Name}"), d(2025, 2, 20));
    QCOMPARE(c.text, QStringLiteral("Hallo {Preis}"));

    c = billing::confirmationContent(anna(), linde(), QStringLiteral("Liebe(r) {Name}"), d(2025, 2, 20));
    QCOMPARE(c.house.value(0), QStringLiteral("Gasthaus Linde"));
    QCOMPARE(c.guest, (QStringList{QStringLiteral("Anna Müller"), QStringLiteral("Hauptstraße 5"),
                                   QStringLiteral("01067 Dresden")}));
    QCOMPARE(c.date, QStringLiteral("20.02.2025"));
    QStringList facts;
    for (const auto &[label, value] : c.facts)
        facts << label + QStringLiteral(": ") + value;
    QCOMPARE(facts, (QStringList{QStringLiteral("Zimmer: 1 und 3"), QStringLiteral("Personen: 2"),
                                 QStringLiteral("Anreise: Sa., 01.03.2025 ab 15:00"),
                                 QStringLiteral("Abreise: Di., 04.03.2025 bis 10:30"), QStringLiteral("Nächte: 3"),
                                 QStringLiteral("Preis: 540,00 €")}));

    // Without times and price those parts are left out, not shown as 00:00 or 0,00 €.
    g = anna();
    g.Anreise = 0;
    g.Abreise = 0;
    g.Kosten = 0;
    c = billing::confirmationContent(g, linde(), QString(), d(2025, 2, 20));
    facts.clear();
    for (const auto &[label, value] : c.facts)
        facts << label + QStringLiteral(": ") + value;
    QCOMPARE(facts, (QStringList{QStringLiteral("Zimmer: 1 und 3"), QStringLiteral("Personen: 2"),
                                 QStringLiteral("Anreise: Sa., 01.03.2025"), QStringLiteral("Abreise: Di., 04.03.2025"),
                                 QStringLiteral("Nächte: 3")}));
}

void TestBookingConfirmation::fileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("von");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << "Anna Müller" << d(2025, 3, 1)
                           << QStringLiteral("Bestätigung 12 Anna Müller 01.03.2025.pdf");
    QTest::newRow("slashes and colons") << "Müller/Schmidt: GbR" << d(2025, 3, 1)
                                        << QStringLiteral("Bestätigung 12 Müller_Schmidt_ GbR 01.03.2025.pdf");
    QTest::newRow("a way out of the folder")
        << "../../etc/x" << d(2025, 3, 1) << QStringLiteral("Bestätigung 12 _.._etc_x 01.03.2025.pdf");
    QTest::newRow("no name") << "" << d(2025, 3, 1) << QStringLiteral("Bestätigung 12 01.03.2025.pdf");
    QTest::newRow("no date") << "Anna" << 0.0 << QStringLiteral("Bestätigung 12 Anna.pdf");
}

void TestBookingConfirmation::fileName()
{
    QFETCH(QString, name);
    QFETCH(double, von);
    QFETCH(QString, file);
    TGast g = anna();
    g.Name = name;
    g.Von = von;
    const QString made = billing::confirmationFileName(g);
    QCOMPARE(made, file);
    QVERIFY(!made.contains(u'/'));
}

void TestBookingConfirmation::pdfReadBack()
{
    const QString hostText = QStringLiteral("Liebe(r) {Name},\nwir freuen uns auf Ihren Besuch vom {Anreise} bis "
                                            "{Abreise}.\nStornierung bis 14 Tage vorher kostenfrei.");
    const QByteArray pdf =
        billing::confirmationPdf(billing::confirmationContent(anna(), linde(), hostText, d(2025, 2, 20)), 12);
    QCOMPARE(readback::PdfPageCount(pdf), 1);
    const auto document = readback::PdfDocument(pdf);
    QCOMPARE(document->info(QStringLiteral("Title")), QStringLiteral("Buchungsbestätigung 12"));
    const QString text = pdfText(pdf);
    for (const QString &expected :
         {QStringLiteral("Gasthaus Linde"), QStringLiteral("Lindenweg 3"), QStringLiteral("34519 Diemelsee"),
          QStringLiteral("Anna Müller"), QStringLiteral("Hauptstraße 5"), QStringLiteral("01067 Dresden"),
          QStringLiteral("Buchungsbestätigung"), QStringLiteral("1 und 3"), QStringLiteral("Sa., 01.03.2025 ab 15:00"),
          QStringLiteral("Di., 04.03.2025 bis 10:30"), QStringLiteral("540,00 €"),
          QStringLiteral("Liebe(r) Anna Müller,"), QStringLiteral("vom 01.03.2025 bis 04.03.2025"),
          QStringLiteral("Stornierung bis 14 Tage vorher kostenfrei.")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in: ") + text));
}

void TestBookingConfirmation::longTextStaysOnePage()
{
    const QString last = QStringLiteral("Das letzte Wort.");
    const QString hostText =
        QStringLiteral("Ein langer Absatz über die Anreise mit Bus und Bahn. ").repeated(60) + last;
    const QByteArray pdf =
        billing::confirmationPdf(billing::confirmationContent(anna(), linde(), hostText, d(2025, 2, 20)), 12);
    QCOMPARE(readback::PdfPageCount(pdf), 1);
    QVERIFY(pdfText(pdf).contains(last));
}

void TestBookingConfirmation::savedInTheConfirmationFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path =
        billing::saveConfirmation(folder.path(), anna(), linde(), QStringLiteral("Hallo {Name}"), d(2025, 2, 20));
    QCOMPARE(path,
             QDir(folder.path()).filePath(QStringLiteral("Bestätigungen/Bestätigung 12 Anna Müller 01.03.2025.pdf")));
    QVERIFY(pdfText(platform::ReadFileBytes(path)).contains(QStringLiteral("Hallo Anna Müller")));
    QCOMPARE(billing::confirmationSubject(anna(), linde()),
             QStringLiteral("Buchungsbestätigung Gasthaus Linde: 01.03.2025 bis 04.03.2025"));
}

QTEST_MAIN(TestBookingConfirmation)
#include "test_bookingconfirmation.moc"
