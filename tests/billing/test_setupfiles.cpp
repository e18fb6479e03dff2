// What a house sets up for itself: the price list written as the program reads it, the invoice
// counter started at a number of the host's choosing (never lowered), and an invoice on a plain
// page with the house's letterhead instead of the scanned form. PDFs are read back with poppler.

#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceNumber.h"
#include "billing/InvoicePdf.h"
#include "billing/PriceMatrix.h"
#include "platform/Convert.h"
#include "platform/IoError.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <poppler-qt6.h>

using billing::AbgelegteRechnung;
using billing::Briefkopf;
using billing::BriefkopfZeilen;
using billing::ErsteFreieReNr;
using billing::LeeresRechnungsblatt;
using billing::LiesPreisMatrix;
using billing::LiesReNrStand;
using billing::NextReNr;
using billing::PreisFehler;
using billing::PreisMatrixSicherung;
using billing::RechnungsPdf;
using billing::ReNrBeginnen;
using billing::ReNrStand;
using billing::SchreibePreisMatrix;
using billing::TPreisMatrix;
using guests::TGast;

using Rows = QList<QList<int>>;
Q_DECLARE_METATYPE(Rows)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

TPreisMatrix matrixOf(const Rows &rows)
{
    TPreisMatrix matrix;
    for (std::size_t r = 0; r < 5; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            matrix.Preis[r][c] = rows.at(static_cast<qsizetype>(r)).at(static_cast<qsizetype>(c));
    return matrix;
}

Rows usual()
{
    return {{50, 45, 40}, {80, 75, 70}, {100, 95, 90}, {120, 115, 110}, {25, 22, 20}};
}

TGast guest()
{
    TGast g;
    g.GastNr = 7;
    g.Zimmer = QStringLiteral("1");
    g.Name = QStringLiteral("Jürgen Weiß");
    g.Strasse = QStringLiteral("Hauptstraße 5");
    g.PLZ = 6108;
    g.Ort = QStringLiteral("Halle (Saale)");
    g.Von = platform::EncodeDate(2026, 12, 27);
    g.Bis = platform::EncodeDate(2026, 12, 28);
    g.Personen = 1;
    g.Kosten = 45;
    g.ReNr = 1001;
    return g;
}

} // namespace

class TestSetupFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void priceListReadsBackAsWritten_data();
    void priceListReadsBackAsWritten();
    void priceOutsideTheRangeWritesNothing_data();
    void priceOutsideTheRangeWritesNothing();
    void oldPriceListIsKept();

    void counterStartsWhereTheHostSays_data();
    void counterStartsWhereTheHostSays();
    void lowerNumberIsRefused_data();
    void lowerNumberIsRefused();
    void counterShowsTheNextNumber_data();
    void counterShowsTheNextNumber();
    void firstFreeNumberSkipsIssuedOnes_data();
    void firstFreeNumberSkipsIssuedOnes();

    void letterheadLines_data();
    void letterheadLines();
    void invoiceWithoutFormCarriesTheHouse();
};

void TestSetupFiles::priceListReadsBackAsWritten_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("usual") << usual() << QByteArray("50;45;40\r\n80;75;70\r\n100;95;90\r\n120;115;110\r\n25;22;20\r\n");
    QTest::newRow("edges") << Rows{{0, 99999, 1}, {0, 0, 0}, {99999, 99999, 99999}, {7, 8, 9}, {10, 11, 12}}
                           << QByteArray("0;99999;1\r\n0;0;0\r\n99999;99999;99999\r\n7;8;9\r\n10;11;12\r\n");
}

void TestSetupFiles::priceListReadsBackAsWritten()
{
    QFETCH(Rows, rows);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preismatrix.dat"));

    SchreibePreisMatrix(path, matrixOf(rows));

    QCOMPARE(fileBytes(path), bytes);
    TPreisMatrix read;
    read.Preis[0][0] = -1;
    QVERIFY(LiesPreisMatrix(path, read));
    for (std::size_t r = 0; r < 5; ++r)
        for (std::size_t c = 0; c < 3; ++c) {
            QCOMPARE(read.Preis[r][c], rows.at(static_cast<qsizetype>(r)).at(static_cast<qsizetype>(c)));
            QVERIFY(read.bekannt(r, c));
        }
    // Nothing to keep for a file that was not there.
    QVERIFY(!QFile::exists(PreisMatrixSicherung(path)));
}

void TestSetupFiles::priceOutsideTheRangeWritesNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("said");
    QTest::newRow("one above") << 1 << 2 << 100000
                               << "Zeile 2 (2 Personen), Feld 3 (ab 3 Nächten) ist 100.000 Euro; erlaubt sind 0 bis "
                                  "99.999 Euro.";
    QTest::newRow("negative") << 0 << 0 << -1
                              << "Zeile 1 (1 Person), Feld 1 (1 Nacht) ist -1 Euro; erlaubt sind 0 bis 99.999 Euro.";
    QTest::newRow("far out") << 4 << 1 << 2147483647
                             << "Zeile 5 (mehr als 4 Personen), Feld 2 (2 Nächte) ist 2.147.483.647 Euro";
}

void TestSetupFiles::priceOutsideTheRangeWritesNothing()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, value);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preismatrix.dat"));
    const QByteArray old = "45;42;38\r\n";
    writeBytes(path, old);
    TPreisMatrix matrix = matrixOf(usual());
    matrix.Preis[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = value;

    try {
        SchreibePreisMatrix(path, matrix);
        QFAIL("a price outside 0..99999 was written");
    } catch (const platform::EConvertError &error) {
        QVERIFY2(error.message().contains(said), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("nicht gespeichert")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QDir::toNativeSeparators(path)), qPrintable(error.message()));
    }
    QCOMPARE(fileBytes(path), old);
    QVERIFY(!QFile::exists(PreisMatrixSicherung(path)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Preismatrix.dat")});
    QCOMPARE(PreisFehler(static_cast<std::size_t>(row), static_cast<std::size_t>(column), value).isEmpty(), false);
}

void TestSetupFiles::oldPriceListIsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Preismatrix.dat"));
    // The host's own file, as an older program wrote it: LF only, a missing field.
    const QByteArray first = "45;42;38\n68;64;58\n 88;82;76\n104;x\n120;12;104\n";
    writeBytes(path, first);

    SchreibePreisMatrix(path, matrixOf(usual()));
    QCOMPARE(fileBytes(PreisMatrixSicherung(path)), first);
    const QByteArray second = fileBytes(path);

    // The same prices again keep the backup of the host's file; new ones keep the last version.
    SchreibePreisMatrix(path, matrixOf(usual()));
    QCOMPARE(fileBytes(PreisMatrixSicherung(path)), first);
    Rows dearer = usual();
    dearer[0][0] = 55;
    SchreibePreisMatrix(path, matrixOf(dearer));
    QCOMPARE(fileBytes(PreisMatrixSicherung(path)), second);
    QVERIFY(fileBytes(path).startsWith("55;45;40\r\n"));
    // No temporary copies stay behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("Preismatrix.dat"), QStringLiteral("Preismatrix.dat.bak")}));
}

void TestSetupFiles::counterStartsWhereTheHostSays_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no counter
    QTest::addColumn<int>("first");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new house at 1") << QByteArray() << 1 << QByteArray("0\r\n");
    QTest::newRow("new house at 2026001") << QByteArray() << 2026001 << QByteArray("2026000\r\n");
    QTest::newRow("raised") << QByteArray("41\r\n") << 100 << QByteArray("99\r\n");
    QTest::newRow("the next one anyway") << QByteArray("41\r\n") << 42 << QByteArray("41\r\n");
}

void TestSetupFiles::counterStartsWhereTheHostSays()
{
    QFETCH(QByteArray, before);
    QFETCH(int, first);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    if (!before.isEmpty())
        writeBytes(path, before);

    ReNrBeginnen(path, first);

    QCOMPARE(fileBytes(path), after);
    QCOMPARE(LiesReNrStand(path).naechste, std::optional<qint32>(first));
    // The first invoice carries the number.
    QCOMPARE(NextReNr(path), first);
    QCOMPARE(NextReNr(path), first + 1);
}

void TestSetupFiles::lowerNumberIsRefused_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("said");
    QTest::newRow("issued already") << QByteArray("41\r\n") << 41 << "Die Rechnungsnummer 41 ist schon vergeben";
    QTest::newRow("far below") << QByteArray("41\r\n") << 1 << "dürfen sich nicht wiederholen";
    QTest::newRow("zero") << QByteArray() << 0 << "mindestens 1";
    QTest::newRow("negative on a counter") << QByteArray("41\r\n") << -5 << "mindestens 1";
    QTest::newRow("counter without a number") << QByteArray("vierzig\r\n") << 50 << "keine Rechnungsnummer";
}

void TestSetupFiles::lowerNumberIsRefused()
{
    QFETCH(QByteArray, before);
    QFETCH(int, first);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    if (!before.isEmpty())
        writeBytes(path, before);

    try {
        ReNrBeginnen(path, first);
        QFAIL("the counter was set");
    } catch (const platform::EConvertError &error) {
        QVERIFY2(error.message().contains(said), qPrintable(error.message()));
    }
    QCOMPARE(fileBytes(path), before.isEmpty() ? QByteArray("<missing>") : before);
}

void TestSetupFiles::counterShowsTheNextNumber_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no counter
    QTest::addColumn<bool>("missing");
    QTest::addColumn<int>("next"); // 0: none
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << QByteArray() << true << 0 << "noch keinen Rechnungszähler";
    QTest::newRow("41") << QByteArray("41\r\n") << false << 42 << "";
    QTest::newRow("no number") << QByteArray("abc\r\n") << false << 0 << "keine Rechnungsnummer";
    QTest::newRow("negative") << QByteArray("-3\r\n") << false << 0 << "nicht negativ";
    QTest::newRow("largest") << QByteArray("2147483647\r\n") << false << 0 << "die größte mögliche";
}

void TestSetupFiles::counterShowsTheNextNumber()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, missing);
    QFETCH(int, next);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    if (!bytes.isEmpty())
        writeBytes(path, bytes);

    const ReNrStand stand = LiesReNrStand(path);

    QCOMPARE(stand.fehlt, missing);
    QCOMPARE(stand.naechste.value_or(0), next);
    QVERIFY2(stand.meldung.contains(said), qPrintable(stand.meldung));
    if (!next) // every message names the file in full
        QVERIFY2(stand.meldung.contains(QDir::toNativeSeparators(path)), qPrintable(stand.meldung));
    else
        QVERIFY(stand.meldung.isEmpty());
    // Looking takes no number.
    QCOMPARE(fileBytes(path), bytes.isEmpty() ? QByteArray("<missing>") : bytes);
}

void TestSetupFiles::firstFreeNumberSkipsIssuedOnes_data()
{
    QTest::addColumn<QList<int>>("records"); // ReNr of records 1..n
    QTest::addColumn<QList<int>>("copies");
    QTest::addColumn<int>("first");
    QTest::newRow("nothing issued") << QList<int>{0, 0} << QList<int>{} << 1;
    QTest::newRow("a record") << QList<int>{0, 40, 12} << QList<int>{} << 41;
    QTest::newRow("a kept copy above") << QList<int>{0, 40} << QList<int>{39, 57} << 58;
}

void TestSetupFiles::firstFreeNumberSkipsIssuedOnes()
{
    QFETCH(QList<int>, records);
    QFETCH(QList<int>, copies);
    QFETCH(int, first);
    std::vector<TGast> list(1);
    list[0].ReNr = 999; // record 0 is no invoice
    for (int nr : records) {
        TGast g;
        g.ReNr = nr;
        list.push_back(g);
    }
    std::vector<AbgelegteRechnung> kopien;
    for (int nr : copies)
        kopien.push_back({nr, QString(), QDateTime()});
    QCOMPARE(ErsteFreieReNr(list, kopien), first);
}

void TestSetupFiles::letterheadLines_data()
{
    QTest::addColumn<QStringList>("fields"); // name, address, telephone, e-mail, free line
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("all") << QStringList{"Haus am See", "Seeweg 1\n34519 Diemelsee", "05632 1234", "info@haus.de",
                                        "Steuernummer 012/345/67890"}
                         << QStringList{"Haus am See", "Seeweg 1", "34519 Diemelsee",
                                        "Telefon 05632 1234 · E-Mail info@haus.de", "Steuernummer 012/345/67890"};
    QTest::newRow("gaps") << QStringList{" Pension Linde ", "\r\nDorfstraße 3\r\n", "", "linde@example.de", ""}
                          << QStringList{"Pension Linde", "Dorfstraße 3", "E-Mail linde@example.de"};
    QTest::newRow("nothing") << QStringList{"", "", "", "", ""} << QStringList{};
}

void TestSetupFiles::letterheadLines()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, lines);
    const Briefkopf kopf{fields[0], fields[1], fields[2], fields[3], fields[4]};
    QCOMPARE(BriefkopfZeilen(kopf), lines);
}

void TestSetupFiles::invoiceWithoutFormCarriesTheHouse()
{
    // GIVEN a house with its details and no scanned form
    const Briefkopf kopf{QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2\n34519 Diemelsee"),
                         QStringLiteral("05633 4711"), QStringLiteral("post@lindenhof.de"),
                         QStringLiteral("USt-IdNr. DE123456789")};
    // WHEN the invoice is made on a plain page
    const QByteArray pdf = RechnungsPdf(LeeresRechnungsblatt(), guest(), platform::EncodeDate(2026, 12, 28),
                                        QPageSize(QPageSize::A4), false, &kopf);

    // THEN the page holds the letterhead at its top and the guest's lines below it
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    QVERIFY(document);
    QCOMPARE(document->numPages(), 1);
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    const QString text = page->text(QRectF()).simplified();
    for (const QString &expected :
         {QStringLiteral("Gästehaus Lindenhof"), QStringLiteral("Kirchweg 2"), QStringLiteral("34519 Diemelsee"),
          QStringLiteral("Telefon 05633 4711"), QStringLiteral("post@lindenhof.de"),
          QStringLiteral("USt-IdNr. DE123456789"), QStringLiteral("Jürgen Weiß"), QStringLiteral("Hauptstraße 5"),
          QStringLiteral("06108 Halle (Saale)"), QStringLiteral("Rechnung Nr. 1001")})
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in: ") + text));
    // The letterhead stands above the guest's address, and nothing of it overlaps it.
    const QSizeF size = page->pageSizeF();
    const QString top = page->text(QRectF(0, 0, size.width(), size.height() * 0.2)).simplified();
    QVERIFY2(top.contains(QStringLiteral("Gästehaus Lindenhof")) && top.contains(QStringLiteral("USt-IdNr.")),
             qPrintable(top));
    QVERIFY2(!top.contains(QStringLiteral("Jürgen")), qPrintable(top));

    // A form of its own carries no letterhead.
    const QByteArray plain = RechnungsPdf(LeeresRechnungsblatt(), guest(), platform::EncodeDate(2026, 12, 28),
                                          QPageSize(QPageSize::A4), false);
    const std::unique_ptr<Poppler::Document> other = Poppler::Document::loadFromData(plain);
    QVERIFY(other);
    QVERIFY(!other->page(0)->text(QRectF()).contains(QStringLiteral("Lindenhof")));
}

QTEST_MAIN(TestSetupFiles)
#include "test_setupfiles.moc"
