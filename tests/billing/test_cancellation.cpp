// Cancelling an invoice: a cancellation invoice with its own number that names the invoice, kept
// read-only and journaled; then the booking is free to be invoiced again. PDFs read back with poppler.

#include "billing/Cancellation.h"
#include "billing/CreateBill.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "hardening/HardeningSupport.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "support/GuestBuilder.h"
#include "support/ReadBack.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using billing::AbgelegteRechnung;
using billing::AbgelegteRechnungen;
using billing::deleteRefusal;
using billing::EInvoiceError;
using billing::ErsteFreieReNr;
using billing::RechnungErstellen;
using billing::RechnungsDateien;
using billing::RechnungsErgebnis;
using guests::GuestList;
using guests::TGast;

Q_DECLARE_METATYPE(TGast)

using hardening::FileBytes;
using hardening::WriteBytes;

namespace {

TGast weiss()
{
    return fixture::Stay(6, QStringLiteral("1"), 2, platform::EncodeDate(2026, 12, 18),
                         platform::EncodeDate(2026, 12, 20), QStringLiteral("Weiß"))
        .address(QStringLiteral("Hauptstraße 5"), 34117, QStringLiteral("Kassel"))
        .kosten(158);
}

int modeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

class Office
{
public:
    Office()
    {
        QImage form(2480, 3508, QImage::Format_RGB32);
        form.fill(Qt::white);
        form.save(path(QStringLiteral("REVORL.JPG")), "JPG", 90);
        WriteBytes(counter(), "1041\r\n");
        list.replace({TGast{}, weiss()});
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString counter() const { return path(QStringLiteral("ReNummer.DAT")); }
    QString ablage() const { return path(QStringLiteral("Rechnungen")); }
    RechnungsDateien dateien() const
    {
        return {path(QStringLiteral("REVORL.JPG")), [this] { return counter(); }, [this] { return ablage(); }};
    }
    static void toPdf(QPrinter &printer, const QString &file)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    RechnungsErgebnis issue(platform::TDateTime day)
    {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, path(QStringLiteral("rechnung.pdf")));
        return RechnungErstellen(list, 1, dateien(), nullptr, printer, day);
    }
    billing::CancellationResult cancel(const QString &printedTo, platform::TDateTime day)
    {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, printedTo);
        return billing::cancelInvoice(list, 1, dateien(), printer, day);
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/zimbrana-XXXXXX")};
    GuestList list;
};

QString pdfText(const QString &path)
{
    const auto document = readback::PdfDocument(FileBytes(path));
    return document ? document->page(0)->text(QRectF()).simplified() : QStringLiteral("<unreadable>");
}

} // namespace

class TestCancellation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { platform::Clock::release(); }

    void texts_data();
    void texts();
    void deleteRefusal_data();
    void deleteRefusal();

    void cancellationPrintsKeepsJournalsAndClears();
    void cancellationShowsWhatTheInvoiceSaid();
    void failedPrintLeavesTheInvoiceInForce();
    void cancellationJournaledButNotRecordedOnlyClears();
    void recordWithoutInvoiceIsRefused();
    void keptCancellationHoldsItsNumber();
};

void TestCancellation::initTestCase()
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(QDate(2027, 1, 5), QTime(9, 30)));
}

void TestCancellation::texts_data()
{
    QTest::addColumn<int>("nr");
    QTest::addColumn<int>("refersTo");
    QTest::addColumn<QDate>("invoiceDate");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("file");
    QTest::newRow("dated") << 1050 << 1042 << QDate(2026, 12, 14)
                           << QStringLiteral("Stornorechnung Nr. 1050 zu Rechnung Nr. 1042 vom 14.12.2026")
                           << QStringLiteral("Rechnung 1050 (Storno zu 1042).pdf");
    QTest::newRow("date unknown") << 7 << 3 << QDate() << QStringLiteral("Stornorechnung Nr. 7 zu Rechnung Nr. 3")
                                  << QStringLiteral("Rechnung 7 (Storno zu 3).pdf");
}

void TestCancellation::texts()
{
    QFETCH(int, nr);
    QFETCH(int, refersTo);
    QFETCH(QDate, invoiceDate);
    QFETCH(QString, title);
    QFETCH(QString, file);
    QCOMPARE(billing::cancellationTitle(nr, refersTo, invoiceDate), title);
    QCOMPARE(billing::cancellationFileName(nr, refersTo), file);
    const QStringList lines =
        billing::cancellationLines(weiss(), nr, refersTo, invoiceDate, 158, platform::EncodeDate(2027, 1, 5));
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[3], QStringLiteral("05.01.2027"));
    QCOMPARE(lines[4], title);
    QCOMPARE(lines[5], QStringLiteral("Für die Nutzung unserer Klosterherberge vom 18.12.2026 bis 20.12.2026"));
    QVERIFY2(lines[6].startsWith(QStringLiteral("2 Übernachtungen mit 2 Personen schreiben wir Ihnen gut")),
             qPrintable(lines[6]));
    QVERIFY2(lines[6].endsWith(QStringLiteral(" -158,00 Euro")), qPrintable(lines[6]));
    QCOMPARE(lines[7], QStringLiteral("Die Rechnung Nr. %1 ist damit storniert.").arg(refersTo));
}

void TestCancellation::deleteRefusal_data()
{
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QString>("refusal");
    TGast invoiced = weiss();
    invoiced.ReNr = 1042;
    QTest::newRow("invoiced") << invoiced
                              << QStringLiteral(
                                     "Gast 6 (Weiß, 18.12.2026 bis 20.12.2026) hat Rechnung 1042: zuerst die "
                                     "Rechnung stornieren");
    TGast nameless = invoiced;
    nameless.Name.clear();
    QTest::newRow("without a name") << nameless
                                    << QStringLiteral(
                                           "Gast 6 (18.12.2026 bis 20.12.2026) hat Rechnung 1042: zuerst die "
                                           "Rechnung stornieren");
    QTest::newRow("no invoice: may be deleted") << weiss() << QString();
}

void TestCancellation::deleteRefusal()
{
    QFETCH(TGast, gast);
    QFETCH(QString, refusal);
    QCOMPARE(billing::deleteRefusal(gast), refusal);
}

void TestCancellation::cancellationPrintsKeepsJournalsAndClears()
{
    // GIVEN a paid invoice 1042 of 14.12.2026
    Office office;
    QCOMPARE(office.issue(platform::EncodeDate(2026, 12, 14)).ReNr, 1042);
    office.list.modify(1, [](TGast &g) { g.Bezahlt = true; });
    office.list.markSaved();

    // WHEN it is cancelled on 05.01.2027
    const QString printed = office.path(QStringLiteral("storno.pdf"));
    const billing::CancellationResult result = office.cancel(printed, platform::EncodeDate(2027, 1, 5));

    // THEN the cancellation has its own number, names the invoice and credits the amount, on paper and kept
    QCOMPARE(result.nr, 1043);
    QCOMPARE(result.refersTo, 1042);
    QVERIFY(!result.alreadyCancelled);
    QVERIFY(result.journalError.isEmpty());
    QCOMPARE(QFileInfo(result.kopie).fileName(), QStringLiteral("Rechnung 1043 (Storno zu 1042).pdf"));
    QCOMPARE(modeOf(result.kopie), 0400);
    const QString text = pdfText(result.kopie);
    QVERIFY2(text.contains(QStringLiteral("Stornorechnung Nr. 1043 zu Rechnung Nr. 1042 vom 14.12.2026")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("-158,00 Euro")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("vom 18.12.2026 bis 20.12.2026")), qPrintable(text));
    // The printer got the page too (printed as an image, as every invoice is).
    QCOMPARE(readback::PdfPageCount(FileBytes(printed)), 1);
    QCOMPARE(readback::PdfDocument(FileBytes(result.kopie))->info(QStringLiteral("Title")),
             QStringLiteral("Stornorechnung 1043"));
    // ... journaled as "Storno" with the invoice it refers to
    // (each number reserved first, then its line)
    const billing::JournalContents journal = billing::readJournal(billing::journalPath(office.ablage()));
    QCOMPARE(journal.lines.size(), std::size_t(4));
    QCOMPARE(journal.lines[2].nr, 1043);
    QCOMPARE(journal.lines[2].kind, QStringLiteral("Storno"));
    QVERIFY(journal.lines[2].isReservation());
    const billing::JournalLine &storno = journal.lines.back();
    QCOMPARE(storno.nr, 1043);
    QCOMPARE(storno.kind, QStringLiteral("Storno"));
    QCOMPARE(storno.refersTo, 1042);
    QCOMPARE(storno.amount, -158.0);
    QCOMPARE(storno.issued.date(), QDate(2027, 1, 5));
    QCOMPARE(storno.sha256, billing::sha256OfFile(result.kopie));
    // ... and the record is free again, its stay and cost kept
    QCOMPARE(office.list.at(1).ReNr, 0);
    QCOMPARE(office.list.at(1).Bezahlt, false);
    QCOMPARE(office.list.at(1).Kosten, 158.0);
    QVERIFY(office.list.changed());
    QVERIFY(billing::deleteRefusal(office.list.at(1)).isEmpty());

    // WHEN it is invoiced again THEN it gets the next number; the first invoice stays kept
    QCOMPARE(office.issue(platform::EncodeDate(2027, 1, 5)).ReNr, 1044);
    QVERIFY(QFile::exists(QDir(office.ablage()).filePath(QStringLiteral("Rechnung 1042.pdf"))));
    QCOMPARE(billing::readJournal(billing::journalPath(office.ablage())).lines.size(), std::size_t(6));
}

void TestCancellation::cancellationShowsWhatTheInvoiceSaid()
{
    // GIVEN an invoice over 158,00 for two nights whose record was changed afterwards
    Office office;
    QCOMPARE(office.issue(platform::EncodeDate(2026, 12, 14)).ReNr, 1042);
    office.list.modify(1, [](TGast &g) {
        g.Kosten = 999;
        g.Bis = g.Von + 5;
    });

    // WHEN it is cancelled
    const billing::CancellationResult result =
        office.cancel(office.path(QStringLiteral("storno.pdf")), platform::EncodeDate(2027, 1, 5));

    // THEN the cancellation credits what the invoice charged, for the stay it named
    const QString text = pdfText(result.kopie);
    QVERIFY2(text.contains(QStringLiteral("-158,00 Euro")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("vom 18.12.2026 bis 20.12.2026")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("2 Übernachtungen")), qPrintable(text));
    QCOMPARE(billing::readJournal(billing::journalPath(office.ablage())).lines.back().amount, -158.0);
}

void TestCancellation::failedPrintLeavesTheInvoiceInForce()
{
    // GIVEN an invoice, and a printer that cannot start
    Office office;
    QCOMPARE(office.issue(platform::EncodeDate(2026, 12, 14)).ReNr, 1042);

    // WHEN it is cancelled
    const QString message = hardening::ErrorOf<EInvoiceError>(
        [&] { office.cancel(office.path(QStringLiteral("fehlt/storno.pdf")), platform::EncodeDate(2027, 1, 5)); });

    // THEN the number taken is journaled as unused, no copy remains, and the record keeps its invoice
    QVERIFY2(message.endsWith(QStringLiteral("Stornorechnung Nr. 1043 wurde nicht gedruckt und bleibt frei.")),
             qPrintable(message));
    const billing::JournalContents journal = billing::readJournal(billing::journalPath(office.ablage()));
    QCOMPARE(journal.lines.size(), std::size_t(4));
    QVERIFY(journal.lines[2].isReservation());
    QCOMPARE(journal.lines.back().nr, 1043);
    QCOMPARE(journal.lines.back().kind, QStringLiteral("Storno"));
    QCOMPARE(journal.lines.back().refersTo, 1042);
    QVERIFY(!journal.lines.back().used());
    QVERIFY(!QFile::exists(QDir(office.ablage()).filePath(QStringLiteral("Rechnung 1043 (Storno zu 1042).pdf"))));
    QCOMPARE(office.list.at(1).ReNr, 1042);
}

void TestCancellation::cancellationJournaledButNotRecordedOnlyClears()
{
    // GIVEN a cancellation that was printed and journaled, but whose record change was never saved
    Office office;
    QCOMPARE(office.issue(platform::EncodeDate(2026, 12, 14)).ReNr, 1042);
    const TGast invoiced = office.list.at(1);
    office.cancel(office.path(QStringLiteral("storno.pdf")), platform::EncodeDate(2027, 1, 5));
    office.list.update(1, invoiced);
    const QByteArray counterBefore = FileBytes(office.counter());

    // WHEN it is cancelled again
    const billing::CancellationResult again =
        office.cancel(office.path(QStringLiteral("nochmal.pdf")), platform::EncodeDate(2027, 1, 6));

    // THEN no second cancellation is issued; the record is only cleared
    QVERIFY(again.alreadyCancelled);
    QCOMPARE(again.nr, 1043);
    QCOMPARE(FileBytes(office.counter()), counterBefore);
    QVERIFY(!QFile::exists(office.path(QStringLiteral("nochmal.pdf"))));
    QCOMPARE(billing::readJournal(billing::journalPath(office.ablage())).lines.size(), std::size_t(4));
    QCOMPARE(office.list.at(1).ReNr, 0);
}

void TestCancellation::recordWithoutInvoiceIsRefused()
{
    Office office;
    const QString message = hardening::ErrorOf<EInvoiceError>(
        [&] { office.cancel(office.path(QStringLiteral("storno.pdf")), platform::EncodeDate(2027, 1, 5)); });
    QCOMPARE(message, QStringLiteral("Gast 6 (Weiß) hat keine Rechnung; es gibt nichts zu stornieren."));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
}

void TestCancellation::keptCancellationHoldsItsNumber()
{
    // GIVEN a kept cancellation 1042, and a counter that went back to 1041
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    const QString storno = QDir(office.ablage()).filePath(QStringLiteral("Rechnung 1042 (Storno zu 1040).pdf"));
    QVERIFY(WriteBytes(storno, "%PDF"));

    // THEN the folder's list knows it, and no invoice takes its number
    const std::vector<AbgelegteRechnung> kept = AbgelegteRechnungen(office.ablage());
    QCOMPARE(kept.size(), std::size_t(1));
    QCOMPARE(kept.front().nr, 1042);
    QCOMPARE(ErsteFreieReNr({TGast{}}, kept), 1043);
    // ... the counter is raised past it, and the invoice says so
    const billing::RechnungsErgebnis issued = office.issue(platform::EncodeDate(2027, 1, 5));
    QCOMPARE(issued.ReNr, 1043);
    QVERIFY2(issued.counterNote.contains(QStringLiteral("stand auf 1041, aber die Nummer 1042 ist schon vergeben")),
             qPrintable(issued.counterNote));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1043\r\n"));
    QCOMPARE(FileBytes(storno), QByteArray("%PDF"));
    QCOMPARE(office.list.at(1).ReNr, 1043);
}

QTEST_MAIN(TestCancellation)
#include "test_cancellation.moc"
