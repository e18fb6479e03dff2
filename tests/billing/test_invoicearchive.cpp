// Every printed invoice is kept as a read-only PDF that is never replaced; a copy is printed from
// it without a new number; the invoice list puts the kept copies beside the records' numbers.
// The PDFs are read back with poppler.

#include "billing/CreateBill.h"
#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceNumber.h"
#include "billing/InvoicePdf.h"
#include "billing/PriceMatrix.h"
#include "hardening/HardeningSupport.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <poppler-qt6.h>
#include <sys/stat.h>

using billing::InvoiceLines;
using billing::LeeresRechnungsblatt;
using billing::linesPdf;
using billing::AbgelegteRechnung;
using billing::AbgelegteRechnungen;
using billing::EInvoiceError;
using billing::kKopieHoechstBytes;
using billing::KopieErgebnis;
using billing::LegeRechnungAb;
using billing::NaechsteReNrVorschau;
using billing::PreisMatrixAusZeilen;
using billing::RechnungErstellen;
using billing::RechnungsDateien;
using billing::RechnungsDateiname;
using billing::RechnungsErgebnis;
using billing::RechnungskopieDrucken;
using billing::RechnungsPdf;
using billing::TPreisMatrix;
using guests::GuestList;
using guests::TGast;

Q_DECLARE_METATYPE(TGast)

namespace {

using hardening::FileBytes;
using hardening::WriteBytes;

const QString kFolder = QStringLiteral("Rechnungen");

QImage whiteForm()
{
    QImage form(2480, 3508, QImage::Format_RGB32);
    form.fill(Qt::white);
    return form;
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
    return g;
}

int modeOf(const QString &path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

std::unique_ptr<Poppler::Document> readPdf(const QByteArray &bytes)
{
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document || document->isLocked())
        return nullptr;
    return document;
}

// The text of a page in reading order, blanks collapsed.
QString pageText(const Poppler::Document &document, int page = 0)
{
    return document.page(page)->text(QRectF()).simplified();
}

// The text within `mm` millimetres of the top edge.
QString topText(const Poppler::Document &document, qreal mm)
{
    const std::unique_ptr<Poppler::Page> page = document.page(0);
    return page->text(QRectF(0, 0, page->pageSizeF().width(), mm * 72 / 25.4)).simplified();
}

// A working folder with the form, the counter at 1041 and a list with one guest.
class Office
{
public:
    Office()
    {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        whiteForm().save(path(QStringLiteral("REVORL.JPG")), "JPG", 90);
        WriteBytes(counter(), "1041\r\n");
        std::vector<TGast> records(1);
        records.push_back(guest());
        list.replace(records);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString counter() const { return path(QStringLiteral("ReNummer.DAT")); }
    QString ablage() const { return path(kFolder); }
    QString kept(qint32 nr) const { return path(kFolder + u'/' + RechnungsDateiname(nr)); }
    RechnungsDateien dateien(const QString &vorschlag = QString()) const
    {
        return {path(QStringLiteral("REVORL.JPG")), [this] { return counter(); }, [this] { return ablage(); },
                vorschlag};
    }
    // A printer that writes an A4 PDF file.
    static void toPdf(QPrinter &printer, const QString &file)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    RechnungsErgebnis issue(const QString &printed)
    {
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, printed);
        return RechnungErstellen(list, 1, dateien(), nullptr, printer, platform::Today());
    }

    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/zimbrana-XXXXXX")};
    GuestList list;
};

// Mean difference of grey (0..255) of two renderings below the top margin.
double difference(const QImage &a, const QImage &b, int skipRows)
{
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale8).scaled(x.size());
    double sum = 0;
    qint64 n = 0;
    for (int row = skipRows; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col, ++n)
            sum += std::abs(int(x.constScanLine(row)[col]) - int(y.constScanLine(row)[col]));
    return n ? sum / double(n) : 255;
}

QImage render(const QByteArray &pdf, double dpi)
{
    const auto document = readPdf(pdf);
    if (!document)
        return QImage();
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    return document->page(0)->renderToImage(dpi, dpi);
}

} // namespace

class TestInvoiceArchive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { platform::Clock::release(); }

    void keptPdfHoldsTheInvoice_data();
    void keptPdfHoldsTheInvoice();
    void linesStandWhereTheyArePrinted();
    void existingCopyRaisesTheCounter();
    void counterBelowAnIssuedNumberIsRaised_data();
    void counterBelowAnIssuedNumberIsRaised();
    void reservationThatCannotBeWrittenTakesNoNumber();
    void secondInvoiceForAStayIsRefused();
    void unwritableFolderStopsBeforeANumber_data();
    void unwritableFolderStopsBeforeANumber();
    void copyThatDoesNotFitTakesNoNumber();
    void copyThatCannotBeKeptIsNeverPrinted();
    void failedPrintTakesItsCopyBack();
    void amountOfNothingTakesNoNumber_data();
    void amountOfNothingTakesNoNumber();
    void keptCopyIsNeverReplaced();
    void printFileFollowsTheNumberTaken();

    void copyPrintsTheKeptPdfMarked();
    void copyMarkNeverStandsOnTheLetterhead();
    void copyOfAnOldInvoiceIsDrawnAgainAndKept();
    void damagedCopyPrintsNothing();
    void foreignCopyIsRefused_data();
    void foreignCopyIsRefused();

    void peeksWithoutTaking_data();
    void peeksWithoutTaking();
    void findsKeptCopies();
};

void TestInvoiceArchive::initTestCase()
{
    platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    platform::Clock::fix(QDateTime(QDate(2027, 1, 5), QTime(10, 0)));
}

// --- keeping every invoice ------------------------------------------------------------------

void TestInvoiceArchive::keptPdfHoldsTheInvoice_data()
{
    QTest::addColumn<TGast>("gast");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("one night") << guest()
                               << QStringList{
                                      QStringLiteral("Jürgen Weiß"),
                                      QStringLiteral("Hauptstraße 5"),
                                      QStringLiteral("06108 Halle (Saale)"),
                                      QStringLiteral("05.01.2027"),
                                      QStringLiteral("Rechnung Nr. 1042"),
                                      QStringLiteral("vom 27.12.2026 bis 28.12.2026"),
                                      QStringLiteral("1 Übernachtung mit 1 Person berechnen wir Ihnen 45,00 Euro"),
                                      QStringLiteral("Wir hoffen, Sie hatten einen angenehmen Aufenthalt.")};
    TGast two = guest();
    two.Bis = two.Von + 3;
    two.Personen = 2;
    two.Kosten = 0; // computed before it is printed and kept
    two.Zimmer = QStringLiteral("12");
    QTest::newRow("cost computed") << two
                                   << QStringList{QStringLiteral("3 Übernachtungen mit 2 Personen berechnen wir Ihnen "
                                                                 "420,00 Euro")};
}

void TestInvoiceArchive::keptPdfHoldsTheInvoice()
{
    QFETCH(TGast, gast);
    QFETCH(QStringList, texts);
    // GIVEN a guest, the form, the counter at 1041 and a price list
    Office office;
    office.list.update(1, gast);
    TPreisMatrix matrix;
    matrix.Preis[1] = {80, 75, 70};
    QPrinter printer(QPrinter::HighResolution);
    Office::toPdf(printer, office.path(QStringLiteral("gedruckt.pdf")));

    // WHEN the invoice is printed
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    const RechnungsErgebnis result =
        RechnungErstellen(office.list, 1, office.dateien(), &matrix, printer, platform::Today());

    // THEN it is kept as "Rechnungen/Rechnung 1042.pdf", read-only, with the invoice's texts
    QCOMPARE(result.ReNr, 1042);
    QVERIFY(!result.kopie.isEmpty());
    QCOMPARE(QFileInfo(result.kopie).absoluteFilePath(), QFileInfo(office.kept(1042)).absoluteFilePath());
    QCOMPARE(modeOf(result.kopie), 0400);
    QCOMPARE(QDir(office.ablage()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("Rechnung 1042.pdf"), QStringLiteral("Rechnungsbuch.csv")}));
    const auto document = readPdf(FileBytes(result.kopie));
    QVERIFY(document);
    QCOMPARE(document->numPages(), 1);
    QCOMPARE(document->info(QStringLiteral("Title")), QStringLiteral("Rechnung 1042"));
    QCOMPARE(document->info(QStringLiteral("Creator")), QStringLiteral("Zimbrana"));
    const QDateTime created = document->date(QStringLiteral("CreationDate"));
    QVERIFY2(created >= before && created <= QDateTime::currentDateTime().addSecs(2),
             qPrintable(created.toString(Qt::ISODate)));
    const QSizeF a4 = document->page(0)->pageSizeF();
    QVERIFY2(qAbs(a4.width() - 595.3) < 1 && qAbs(a4.height() - 841.9) < 1, qPrintable(QString::number(a4.width())));
    const QString text = pageText(*document);
    for (const QString &line : texts)
        QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral("\nnot in: ") + text));
    QVERIFY(!text.contains(QStringLiteral("Kopie")));
}

void TestInvoiceArchive::linesStandWhereTheyArePrinted()
{
    // GIVEN the invoice kept as PDF from a form of 2480 × 3508 pixels on A4
    const QImage form = whiteForm();
    TGast g = guest();
    g.ReNr = 1042;
    const auto document = readPdf(RechnungsPdf(form, g, platform::Today(), QPageSize(QPageSize::A4), false));
    QVERIFY(document);
    const std::unique_ptr<Poppler::Page> page = document->page(0);

    // THEN each line's first word starts where the form's text starts, scaled onto the page:
    // column × width of "+" across, row × line height down.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(50);
    const QFontMetricsF fm(font, &form);
    const double sx = page->pageSizeF().width() / form.width();
    const double sy = page->pageSizeF().height() / form.height();
    const double w = fm.horizontalAdvance(u'+') * sx;
    const double h = fm.height() * sy;
    struct Expect
    {
        QString word;
        double zeile, spalte;
    };
    const Expect expected[] = {{QStringLiteral("Jürgen"), 13, 10},   {QStringLiteral("Hauptstraße"), 15, 10},
                               {QStringLiteral("06108"), 16, 10},    {QStringLiteral("05.01.2027"), 20, 70},
                               {QStringLiteral("Rechnung"), 24, 10}, {QStringLiteral("Wir"), 30, 10}};
    const auto boxes = page->textList();
    for (const Expect &e : expected) {
        const auto box = std::find_if(boxes.begin(), boxes.end(), [&e](const auto &b) { return b->text() == e.word; });
        QVERIFY2(box != boxes.end(), qPrintable(e.word));
        const QRectF r = (*box)->boundingBox();
        const QString where = QStringLiteral("%1 at %2,%3; expected %4,%5")
                                  .arg(e.word)
                                  .arg(r.left())
                                  .arg(r.top())
                                  .arg(e.spalte * w)
                                  .arg(e.zeile * h);
        QVERIFY2(qAbs(r.left() - e.spalte * w) < 2, qPrintable(where));
        QVERIFY2(r.top() > e.zeile * h - 2 && r.bottom() < (e.zeile + 1) * h + 2, qPrintable(where));
    }
}

void TestInvoiceArchive::existingCopyRaisesTheCounter()
{
    // GIVEN a kept copy with the number the counter would give next (the counter was set back)
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    QVERIFY(WriteBytes(office.kept(1042), "%PDF alt"));
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));

    // WHEN an invoice is printed
    const RechnungsErgebnis result = office.issue(printed);

    // THEN it never takes the copy's number: the counter is raised past it, and the result says so
    QCOMPARE(result.ReNr, 1043);
    QCOMPARE(result.counterNote, QStringLiteral("Der Rechnungszähler ReNummer.DAT stand auf 1041, aber die Nummer "
                                                "1042 ist schon vergeben; er wurde auf 1042 gestellt."));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1043\r\n"));
    QCOMPARE(FileBytes(office.kept(1042)), QByteArray("%PDF alt"));
    QVERIFY(QFile::exists(office.kept(1043)));
    QCOMPARE(office.list.at(1).ReNr, 1043);
    QVERIFY(QFile::exists(printed));
}

void TestInvoiceArchive::counterBelowAnIssuedNumberIsRaised_data()
{
    QTest::addColumn<QByteArray>("journal"); // lines after the header, as the journal writes them
    QTest::addColumn<qint32>("recordReNr");  // another guest's invoice number, 0 for none
    QTest::addColumn<qint32>("nr");
    QTest::addColumn<QString>("note");
    const QByteArray line = ";14.12.2026;10:15:30;Rechnung;;9;Anna;Kassel;18.12.2026;20.12.2026;2;2;1;90,00;";
    const QByteArray hash = QByteArray(64, 'a');
    const QString raised = QStringLiteral("Der Rechnungszähler ReNummer.DAT stand auf 1041, aber die Nummer %1 ist "
                                          "schon vergeben; er wurde auf %1 gestellt.");
    QTest::newRow("counter in step") << QByteArray() << 0 << 1042 << QString();
    QTest::newRow("an issued invoice") << "1045" + line + hash + ";;\r\n" << 0 << 1046 << raised.arg(1045);
    QTest::newRow("a reservation") << "1045" + line + ";Nummer reserviert;\r\n" << 0 << 1046 << raised.arg(1045);
    QTest::newRow("a number left free") << "1045" + line + ";Nummer bleibt frei: Papierstau;\r\n"
                                        << 0 << 1046 << raised.arg(1045);
    QTest::newRow("a record's number") << QByteArray() << 1050 << 1051 << raised.arg(1050);
}

void TestInvoiceArchive::counterBelowAnIssuedNumberIsRaised()
{
    QFETCH(QByteArray, journal);
    QFETCH(qint32, recordReNr);
    QFETCH(qint32, nr);
    QFETCH(QString, note);
    // GIVEN the counter at 1041 (set back, or made afresh) beside a journal and records that know more
    Office office;
    if (!journal.isEmpty()) {
        QVERIFY(QDir().mkpath(office.ablage()));
        billing::checkJournalWritable(billing::journalPath(office.ablage()));
        QFile file(billing::journalPath(office.ablage()));
        QVERIFY(file.open(QIODevice::Append));
        file.write(journal);
    }
    if (recordReNr != 0) {
        std::vector<TGast> records = office.list.records();
        records.push_back(guest());
        records.back().GastNr = 8;
        records.back().ReNr = recordReNr;
        office.list.replace(records);
    }

    // WHEN an invoice is printed
    const RechnungsErgebnis result = office.issue(office.path(QStringLiteral("gedruckt.pdf")));

    // THEN its number lies above every number given, and a raised counter is named
    QCOMPARE(result.ReNr, nr);
    QCOMPARE(result.counterNote, note);
    QCOMPARE(FileBytes(office.counter()), QByteArray::number(nr) + "\r\n");
    QVERIFY(QFile::exists(office.kept(nr)));
    QCOMPARE(office.list.at(1).ReNr, nr);
}

void TestInvoiceArchive::reservationThatCannotBeWrittenTakesNoNumber()
{
#ifdef Q_OS_UNIX
    // GIVEN a journal longer than the copy, on a disk that takes no file larger than it: the copy
    // still fits, the journal takes no byte more
    Office office;
    const QString journal = billing::journalPath(office.ablage());
    billing::JournalLine old = billing::journalLineFor(guest(), 1, QDateTime(QDate(2026, 1, 2), QTime(9, 0)));
    // (number 1 each time: the journal must not lift the number this invoice gets)
    old.note = QStringLiteral("Nummer bleibt frei: alt");
    QByteArray bytes = "\xEF\xBB\xBF" + billing::journalHeader().join(u';').toUtf8() + ";\r\n";
    while (bytes.size() < 2 * 1024 * 1024) {
        bytes += (billing::journalFields(old).join(u';') + u';').toUtf8() + "\r\n";
    }
    QVERIFY(QDir().mkpath(office.ablage()));
    QVERIFY(WriteBytes(journal, bytes));
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));

    // WHEN an invoice is printed
    QString message;
    {
        const testsupport::DiskFull full(static_cast<rlim_t>(bytes.size()));
        QVERIFY(full.ok());
        message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });
    }

    // THEN the number is not taken: the counter, the journal, the folder and the record are as they were
    QVERIFY2(message.startsWith(QStringLiteral("Die Nummer 1042 konnte nicht im Rechnungsbuch vorgemerkt werden:")),
             qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("Sie wurde deshalb nicht vergeben; ReNummer.DAT ist unverändert. Es "
                                             "wurde nichts abgelegt und nichts gedruckt.")),
             qPrintable(message));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    QCOMPARE(FileBytes(journal), bytes);
    QVERIFY(AbgelegteRechnungen(office.ablage()).empty());
    QVERIFY(!QFile::exists(printed));
    QCOMPARE(office.list.at(1).ReNr, 0);
    QVERIFY(!office.list.changed());
#else
    QSKIP("a file size limit");
#endif
}

void TestInvoiceArchive::secondInvoiceForAStayIsRefused()
{
    // GIVEN an invoice whose number the record lost (a kill before the guest file was saved)
    Office office;
    QCOMPARE(office.issue(office.path(QStringLiteral("erste.pdf"))).ReNr, 1042);
    office.list.modify(1, [](TGast &g) { g.ReNr = 0; });
    const QString printed = office.path(QStringLiteral("zweite.pdf"));

    // WHEN the stay is invoiced again
    const QString message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });

    // THEN the journal's invoice stops it before a number is taken
    QCOMPARE(message,
             QStringLiteral("Für Gast 7 (Jürgen Weiß, 27.12.2026 bis 28.12.2026) gibt es schon die Rechnung 1042 "
                            "vom %1; sie ist nicht storniert. Eine zweite Rechnung für denselben Aufenthalt "
                            "wird nicht gedruckt: bitte eine Rechnungskopie drucken, oder die Rechnung Nr. "
                            "1042 zuerst stornieren.\nEs wurde keine Rechnungsnummer vergeben und nichts "
                            "gedruckt.")
                 .arg(QStringLiteral("05.01.2027")));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1042\r\n"));
    QVERIFY(!QFile::exists(printed));
    QCOMPARE(AbgelegteRechnungen(office.ablage()).size(), std::size_t(1));
}

void TestInvoiceArchive::unwritableFolderStopsBeforeANumber_data()
{
    QTest::addColumn<bool>("folderIsAFile");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a file named Rechnungen") << true << QStringLiteral("Ungültiger Dateiname");
    QTest::newRow("read-only folder") << false << QStringLiteral("Dateizugriff verweigert");
}

void TestInvoiceArchive::unwritableFolderStopsBeforeANumber()
{
    QFETCH(bool, folderIsAFile);
    QFETCH(QString, reason);
    // GIVEN a folder for the copies that cannot take a file
    Office office;
    if (folderIsAFile) {
        QVERIFY(WriteBytes(office.ablage(), "kein Ordner"));
    } else {
        QVERIFY(QDir().mkpath(office.ablage()));
        QFile::setPermissions(office.ablage(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                                   QFile::ReadOther | QFile::ExeOther);
    }
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));

    // WHEN an invoice is printed (by a user whom permissions stop)
    QString message;
    {
        const hardening::AsNobody nobody;
        QVERIFY(nobody.ok());
        message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });
    }

    // THEN it says so before a number is taken; nothing is printed
    QCOMPARE(message, QStringLiteral("In den Ordner für die Rechnungskopien kann nicht geschrieben werden (%1).\n%2\n"
                                     "Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                          .arg(reason, QDir::toNativeSeparators(office.ablage())));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    QCOMPARE(office.list.at(1).ReNr, 0);
    QVERIFY(!QFile::exists(printed));
}

void TestInvoiceArchive::copyThatDoesNotFitTakesNoNumber()
{
    // GIVEN a printer that takes the page, and a disk with room for the counter but not the copy
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));
    QString message;
    {
        const hardening::DiskFull full(2000);
        QVERIFY(full.ok());
        message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });
    }
    // THEN the check before the number finds the disk full (an empty probe file would fit): no
    // number is taken, nothing is printed, and no probe is left behind
    QCOMPARE(message, QStringLiteral("In den Ordner für die Rechnungskopien kann nicht geschrieben werden (Zu wenig "
                                     "Speicherplatz).\n%1\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                          .arg(QDir::toNativeSeparators(office.ablage())));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    QCOMPARE(office.list.at(1).ReNr, 0);
    QVERIFY(!QFile::exists(printed));
    // The journal, proven writable before the number, is all that is there.
    QCOMPARE(QDir(office.ablage()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Rechnungsbuch.csv")});

    // WHEN there is room again THEN the same invoice goes through
    QCOMPARE(office.issue(printed).ReNr, 1042);
    QVERIFY(QFile::exists(office.kept(1042)));
}

void TestInvoiceArchive::copyThatCannotBeKeptIsNeverPrinted()
{
    // GIVEN a copy that cannot be written once the number is taken: its hidden part file's name
    // is held by a folder
    Office office;
    QVERIFY(QDir().mkpath(office.path(kFolder + QStringLiteral("/.Rechnung 1042.pdf.neu"))));
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));

    // WHEN the invoice is printed
    const QString message = hardening::ErrorOf<EInvoiceError>([&] { office.issue(printed); });

    // THEN nothing is printed, the record names no invoice, and the message says the number stays unused
    QVERIFY2(message.startsWith(QStringLiteral("Die Kopie der Rechnung konnte nicht abgelegt werden:")),
             qPrintable(message));
    QVERIFY2(message.endsWith(QStringLiteral("Rechnung Nr. 1042 wurde nicht gedruckt und bleibt frei.")),
             qPrintable(message));
    QVERIFY(!QFile::exists(printed));
    QVERIFY(!QFile::exists(office.kept(1042)));
    QCOMPARE(office.list.at(1).ReNr, 0);
    QVERIFY(!office.list.changed());
    QCOMPARE(FileBytes(office.counter()), QByteArray("1042\r\n")); // the books show the gap
}

void TestInvoiceArchive::failedPrintTakesItsCopyBack()
{
    // GIVEN a printer that cannot start (a PDF into a folder that does not exist)
    Office office;
    QPrinter printer(QPrinter::HighResolution);
    Office::toPdf(printer, office.path(QStringLiteral("fehlt/gedruckt.pdf")));

    // WHEN the invoice is printed
    const QString message = hardening::ErrorOf<EInvoiceError>(
        [&] { RechnungErstellen(office.list, 1, office.dateien(), nullptr, printer, platform::Today()); });

    // THEN the copy kept for it goes again: no copy claims an invoice that nobody got
    QVERIFY2(message.endsWith(QStringLiteral("Rechnung Nr. 1042 wurde nicht gedruckt und bleibt frei.")),
             qPrintable(message));
    // Only the journal remains, which says why the number stayed unused.
    QCOMPARE(QDir(office.ablage()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Rechnungsbuch.csv")});
    QCOMPARE(office.list.at(1).ReNr, 0);
}

void TestInvoiceArchive::amountOfNothingTakesNoNumber_data()
{
    QTest::addColumn<double>("kosten");
    QTest::addColumn<QByteArray>("preise"); // the price file's lines
    QTest::addColumn<QString>("start");     // how the message begins
    QTest::newRow("negative amount typed") << -45.0 << QByteArray("50;45;40")
                                           << QStringLiteral("Die Kosten sind -45,00 Euro; eine Rechnung über nichts");
    QTest::newRow("price list says 0") << 0.0 << QByteArray("0;0;0")
                                       << QStringLiteral("Die Kosten sind 0,00 Euro; eine Rechnung über nichts");
    QTest::newRow("price not a number") << 0.0 << QByteArray("x;45;40")
                                        << QStringLiteral("Preismatrix.dat, Zeile 1 (1 Person), Feld 1 (1 Nacht) ist "
                                                          "keine Zahl: die Kosten werden nicht berechnet.\nBitte die "
                                                          "Kosten eintragen.");
    QTest::newRow("negative price") << 0.0 << QByteArray("-45;45;40")
                                    << QStringLiteral("Preismatrix.dat, Zeile 1 (1 Person), Feld 1 (1 Nacht) ist "
                                                      "negativ: die Kosten werden nicht berechnet.");
    QTest::newRow("line missing") << 0.0 << QByteArray("")
                                  << QStringLiteral("Preismatrix.dat, Zeile 1 (1 Person), Feld 1 (1 Nacht) fehlt: die "
                                                    "Kosten werden nicht berechnet.");
}

void TestInvoiceArchive::amountOfNothingTakesNoNumber()
{
    QFETCH(double, kosten);
    QFETCH(QByteArray, preise);
    QFETCH(QString, start);
    // GIVEN one night for one person, with the amount and the price list of the row
    Office office;
    office.list.modify(1, [kosten](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(kosten); });
    office.list.markSaved();
    TPreisMatrix matrix;
    PreisMatrixAusZeilen(QString::fromLatin1(preise).split(u'\n', Qt::SkipEmptyParts), matrix);
    const QString printed = office.path(QStringLiteral("gedruckt.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    Office::toPdf(printer, printed);

    // WHEN the invoice is printed
    const QString error = hardening::ErrorOf<EInvoiceError>(
        [&] { RechnungErstellen(office.list, 1, office.dateien(), &matrix, printer, platform::Today()); });

    // THEN it is refused before a number is taken
    QVERIFY2(error.startsWith(start), qPrintable(error));
    QVERIFY(error.endsWith(QStringLiteral("Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")));
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    QVERIFY(!QFile::exists(printed));
    QVERIFY(!QFile::exists(office.ablage()) || QDir(office.ablage()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QVERIFY(!office.list.changed());
}

void TestInvoiceArchive::keptCopyIsNeverReplaced()
{
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    // A hidden half file of an attempt that was cut off does not stand in the way.
    const QString part = office.path(kFolder + QStringLiteral("/.Rechnung 7.pdf.neu"));
    QVERIFY(WriteBytes(part, "halb"));
    QFile::setPermissions(part, QFile::ReadOwner);

    QCOMPARE(LegeRechnungAb(office.ablage(), 7, "%PDF eins"), office.kept(7));
    QCOMPARE(modeOf(office.kept(7)), 0400);
    QVERIFY(!QFile::exists(part));
    try {
        LegeRechnungAb(office.ablage(), 7, "%PDF zwei");
        QFAIL("a kept copy was replaced");
    } catch (const EInvoiceError &error) {
        QVERIFY(error.message().contains(QStringLiteral("„Rechnung 7.pdf“ gibt es schon")));
    }
    QCOMPARE(FileBytes(office.kept(7)), QByteArray("%PDF eins"));
    QCOMPARE(modeOf(office.kept(7)), 0400);
    QCOMPARE(QDir(office.ablage()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Rechnung 7.pdf")});
}

void TestInvoiceArchive::printFileFollowsTheNumberTaken()
{
    // GIVEN the print dialog offered "Rechnung 1042.pdf", and another program takes 1042 meanwhile
    Office office;
    const QString offered = office.path(QStringLiteral("Rechnung 1042.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    Office::toPdf(printer, offered);
    QVERIFY(WriteBytes(office.counter(), "1042\r\n"));

    // WHEN the invoice is printed to the offered file
    const RechnungsErgebnis result =
        RechnungErstellen(office.list, 1, office.dateien(offered), nullptr, printer, platform::Today());

    // THEN the file is named after the number on the invoice
    QCOMPARE(result.ReNr, 1043);
    QVERIFY(!QFile::exists(offered));
    const auto printed = readPdf(FileBytes(office.path(QStringLiteral("Rechnung 1043.pdf"))));
    QVERIFY(printed);
    QCOMPARE(printed->numPages(), 1);

    // A file the host named himself keeps its name (another guest's invoice: this stay has its own).
    std::vector<TGast> records = office.list.records();
    records.push_back(guest());
    records.back().GastNr = 8;
    office.list.replace(records);
    QPrinter own(QPrinter::HighResolution);
    const QString mine = office.path(QStringLiteral("Rechnung 1044.pdf"));
    Office::toPdf(own, office.path(QStringLiteral("meine.pdf")));
    QCOMPARE(RechnungErstellen(office.list, 2, office.dateien(mine), nullptr, own, platform::Today()).ReNr, 1044);
    QVERIFY(QFile::exists(office.path(QStringLiteral("meine.pdf"))));
    QVERIFY(!QFile::exists(mine));
}

// --- copies -----------------------------------------------------------------------------------

void TestInvoiceArchive::copyPrintsTheKeptPdfMarked()
{
    // GIVEN an issued and kept invoice
    Office office;
    const RechnungsErgebnis issued = office.issue(office.path(QStringLiteral("gedruckt.pdf")));
    const QByteArray kept = FileBytes(issued.kopie);
    const TGast record = office.list.at(1);

    // WHEN a copy is printed (on a page without margins, so it compares with the kept one)
    QPrinter printer(QPrinter::HighResolution);
    const QString copy = office.path(QStringLiteral("kopie.pdf"));
    Office::toPdf(printer, copy);
    printer.setFullPage(true);
    const KopieErgebnis result = RechnungskopieDrucken(record, office.path(QStringLiteral("REVORL.JPG")),
                                                       office.ablage(), printer, platform::Today() + 3);

    // THEN it is the kept invoice marked "Kopie" in the top margin; no number is taken
    QVERIFY(!result.neuGezeichnet);
    QVERIFY(result.fehler.isEmpty());
    QCOMPARE(FileBytes(office.counter()), QByteArray("1042\r\n"));
    QCOMPARE(FileBytes(issued.kopie), kept);
    QCOMPARE(office.list.at(1), record);
    const auto printed = readPdf(FileBytes(copy));
    QVERIFY(printed);
    QCOMPARE(printed->numPages(), 1);
    QCOMPARE(topText(*printed, 20), QStringLiteral("Kopie"));
    // Below the mark's band (10,5 mm) the page shows the kept invoice, a little smaller, so that the
    // mark stands on nothing of it.
    const QImage original = render(kept, 40);
    const QImage again = render(FileBytes(copy), 40);
    const double band = 10.5 / 25.4 * 40;
    const double height = again.height() - band;
    const double width = again.width() * height / again.height();
    const QImage below = again.copy(QRectF((again.width() - width) / 2, band, width, height).toRect());
    const double diff = difference(original, below, int(25 / 25.4 * 40));
    QVERIFY2(diff < 3, qPrintable(QString::number(diff)));
    // and the band holds the mark alone: nothing of the page above it.
    QCOMPARE(printed->page(0)->text(QRectF(0, 0, 595, 10.5 * 72 / 25.4)).simplified(), QStringLiteral("Kopie"));
    // and not an empty page: the kept one differs from a blank form.
    QVERIFY(difference(original, render(RechnungsPdf(whiteForm(), TGast{}, 0, QPageSize(QPageSize::A4), false), 40),
                       int(25 / 25.4 * 40)) > 0.2);
}

void TestInvoiceArchive::copyMarkNeverStandsOnTheLetterhead()
{
    // GIVEN a scanned form whose letterhead is a dark bar across its top 15 mm
    QImage form = LeeresRechnungsblatt();
    {
        QPainter painter(&form);
        painter.fillRect(QRectF(0, 0, form.width(), 15 / 25.4 * 300), Qt::black);
    }
    TGast g = guest();
    g.ReNr = 1042;

    // WHEN an invoice on it is drawn as a copy
    const QByteArray pdf = linesPdf(form, InvoiceLines(g, platform::Today()), QStringLiteral("Rechnung 1042"),
                                    QStringLiteral("Rechnung Nr. 1042"), QPageSize(QPageSize::A4), true, nullptr);

    // THEN the band of the mark holds the mark on white paper, not on the letterhead
    const QImage page = render(pdf, 40).convertToFormat(QImage::Format_Grayscale8);
    const int bandRows = int(10 / 25.4 * 40);
    qint64 dark = 0;
    for (int row = 0; row < bandRows; ++row)
        for (int col = 0; col < page.width(); ++col)
            dark += page.constScanLine(row)[col] < 128 ? 1 : 0;
    const double share = double(dark) / double(bandRows * page.width());
    QVERIFY2(share < 0.1, qPrintable(QString::number(share)));
    const auto document = readPdf(pdf);
    QVERIFY(document);
    QCOMPARE(topText(*document, 10.5), QStringLiteral("Kopie"));
    // and the letterhead is all there below it.
    QVERIFY(page.pixelColor(page.width() / 2, int(12 / 25.4 * 40)).lightness() < 128);
}

void TestInvoiceArchive::copyOfAnOldInvoiceIsDrawnAgainAndKept()
{
    // GIVEN a guest with invoice 17 from before copies were kept
    Office office;
    TGast old = guest();
    old.ReNr = 17;
    old.Kosten = 0; // billed as it stands; a copy computes nothing

    // WHEN a copy is printed
    QPrinter printer(QPrinter::HighResolution);
    const QString copy = office.path(QStringLiteral("kopie.pdf"));
    Office::toPdf(printer, copy);
    printer.setFullPage(true);
    const KopieErgebnis result = RechnungskopieDrucken(old, office.path(QStringLiteral("REVORL.JPG")), office.ablage(),
                                                       printer, platform::Today());

    // THEN the invoice is drawn from the record with its number, marked, printed and kept
    QVERIFY(result.neuGezeichnet);
    QVERIFY2(result.fehler.isEmpty(), qPrintable(result.fehler));
    QCOMPARE(result.kopie, office.kept(17));
    QCOMPARE(modeOf(office.kept(17)), 0400);
    QCOMPARE(FileBytes(office.counter()), QByteArray("1041\r\n"));
    const QByteArray keptBytes = FileBytes(office.kept(17));
    const auto kept = readPdf(keptBytes);
    QVERIFY(kept);
    QCOMPARE(kept->info(QStringLiteral("Title")), QStringLiteral("Rechnung 17"));
    QVERIFY(pageText(*kept).contains(QStringLiteral("Rechnung Nr. 17")));
    QVERIFY(pageText(*kept).contains(QStringLiteral("0,00 Euro")));
    QCOMPARE(topText(*kept, 20), QStringLiteral("Kopie"));
    // The page printed is the kept one, with its mark, and the mark is not written over it again.
    const auto printed = readPdf(FileBytes(copy));
    QVERIFY(printed);
    QVERIFY(!pageText(*printed).contains(QStringLiteral("Kopie")));
    const QImage keptPage = render(keptBytes, 40);
    QVERIFY2(difference(keptPage, render(FileBytes(copy), 40), 0) < 2, "the printed copy is not the kept one");
    const int margin = int(20 / 25.4 * 40);
    QVERIFY(difference(keptPage.copy(0, 0, keptPage.width(), margin),
                       render(RechnungsPdf(whiteForm(), old, 0, QPageSize(QPageSize::A4), false), 40)
                           .copy(0, 0, keptPage.width(), margin),
                       0) > 0.2); // the mark is in the top margin

    // WHEN another copy is printed THEN the kept one is used, marked once
    QPrinter second(QPrinter::HighResolution);
    Office::toPdf(second, office.path(QStringLiteral("kopie2.pdf")));
    const KopieErgebnis again = RechnungskopieDrucken(old, office.path(QStringLiteral("REVORL.JPG")), office.ablage(),
                                                      second, platform::Today() + 1);
    QVERIFY(!again.neuGezeichnet);
    QCOMPARE(FileBytes(office.kept(17)), keptBytes);
    QVERIFY(
        !pageText(*readPdf(FileBytes(office.path(QStringLiteral("kopie2.pdf"))))).contains(QStringLiteral("Kopie")));
}

void TestInvoiceArchive::damagedCopyPrintsNothing()
{
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    QVERIFY(WriteBytes(office.kept(17), "%PDF-1.4 kaputt"));
    TGast old = guest();
    old.ReNr = 17;
    QPrinter printer(QPrinter::HighResolution);
    const QString copy = office.path(QStringLiteral("kopie.pdf"));
    Office::toPdf(printer, copy);
    const QString message = hardening::ErrorOf<EInvoiceError>([&] {
        RechnungskopieDrucken(old, office.path(QStringLiteral("REVORL.JPG")), office.ablage(), printer,
                              platform::Today());
    });
    QCOMPARE(message, QStringLiteral("Die Rechnungskopie Rechnung 17.pdf ist beschädigt und kann nicht gedruckt "
                                     "werden.\n") +
                          QDir::toNativeSeparators(office.kept(17)));
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(FileBytes(office.kept(17)), QByteArray("%PDF-1.4 kaputt"));
}

void TestInvoiceArchive::foreignCopyIsRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("another invoice's copy") << "1043" << "ihr Titel ist „Rechnung 1043“";
    QTest::newRow("three pages") << "pages" << "sie hat 3 Seiten, eine Rechnung hat eine oder zwei";
    QTest::newRow("a poster") << "poster" << "ihre Seite 1 ist keine Seite einer Rechnung";
    QTest::newRow("no title") << "untitled" << "sie trägt keinen Titel „Rechnung 1042“";
    QTest::newRow("huge file") << "huge" << "sie ist mit 65 MB viel zu groß für eine Rechnung";
    QTest::newRow("a pipe") << "fifo" << "sie ist keine Datei, sondern eine benannte Pipe (FIFO)";
}

void TestInvoiceArchive::foreignCopyIsRefused()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    // GIVEN invoice 1042, and in place of its kept copy a file that is not it
    Office office;
    QVERIFY(QDir().mkpath(office.ablage()));
    TGast record = guest();
    record.ReNr = 1042;
    const auto pdfOf = [](const QString &title, int pages, QPageSize size) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setPageSize(size);
        QPainter painter(&writer);
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                writer.newPage();
            painter.drawText(100, 100, QStringLiteral("Rechnung Nr. 1042"));
        }
        painter.end();
        return bytes;
    };
    const QString kept = office.kept(1042);
    if (kind == QLatin1String("1043")) {
        TGast other = record;
        other.ReNr = 1043;
        QVERIFY(WriteBytes(kept, RechnungsPdf(whiteForm(), other, 0, QPageSize(QPageSize::A4), false)));
    } else if (kind == QLatin1String("pages")) {
        QVERIFY(WriteBytes(kept, pdfOf(QStringLiteral("Rechnung 1042"), 3, QPageSize(QPageSize::A4))));
    } else if (kind == QLatin1String("poster")) {
        QVERIFY(WriteBytes(kept, pdfOf(QStringLiteral("Rechnung 1042"), 1, QPageSize(QPageSize::A0))));
    } else if (kind == QLatin1String("untitled")) {
        QVERIFY(WriteBytes(kept, pdfOf(QString(), 1, QPageSize(QPageSize::A4))));
    } else if (kind == QLatin1String("huge")) {
        QVERIFY(WriteBytes(kept, RechnungsPdf(whiteForm(), record, 0, QPageSize(QPageSize::A4), false)));
        QVERIFY(QFile::resize(kept, kKopieHoechstBytes + 1024 * 1024)); // sparse: no room taken
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(kept).constData(), 0600), 0);
    }
    QPrinter printer(QPrinter::HighResolution);
    const QString copy = office.path(QStringLiteral("kopie.pdf"));
    Office::toPdf(printer, copy);

    // WHEN a copy of 1042 is printed
    QElapsedTimer timer;
    timer.start();
    const QString message = hardening::ErrorOf<EInvoiceError>([&] {
        RechnungskopieDrucken(record, office.path(QStringLiteral("REVORL.JPG")), office.ablage(), printer,
                              platform::Today());
    });

    // THEN it is refused, saying why and naming the file, and nothing is printed
    QCOMPARE(message, QStringLiteral("Die Datei „Rechnung 1042.pdf“ wird nicht als Kopie der Rechnung Nr. 1042 "
                                     "gedruckt: %1.\n%2\nBitte prüfen, was im Ordner „Rechnungen“ liegt.")
                          .arg(why, QDir::toNativeSeparators(QFileInfo(kept).absoluteFilePath())));
    QVERIFY(!QFile::exists(copy));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

// --- the list of invoices ---------------------------------------------------------------------

void TestInvoiceArchive::peeksWithoutTaking_data()
{
    QTest::addColumn<QByteArray>("content"); // "<none>": no file
    QTest::addColumn<int>("next");           // 0: none
    QTest::newRow("number") << QByteArray("41\r\nalt\r\n") << 42;
    QTest::newRow("missing") << QByteArray("<none>") << 0;
    QTest::newRow("no number") << QByteArray("abc\r\n") << 0;
    QTest::newRow("largest") << QByteArray("2147483647\r\n") << 0;
    QTest::newRow("negative") << QByteArray("-5\r\n") << 0;
}

void TestInvoiceArchive::peeksWithoutTaking()
{
    QFETCH(QByteArray, content);
    QFETCH(int, next);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    if (content != "<none>")
        QVERIFY(WriteBytes(path, content));
    const std::optional<qint32> peeked = NaechsteReNrVorschau(path);
    QCOMPARE(peeked.value_or(0), next);
    QCOMPARE(FileBytes(path), content == "<none>" ? QByteArray("<missing>") : content);
}

void TestInvoiceArchive::findsKeptCopies()
{
    QTemporaryDir dir;
    for (const char *name : {"Rechnung 12.pdf", "Rechnung 3.pdf", "Rechnung 12 alt.pdf", "Rechnung 0.pdf",
                             "Rechnung 99999999999.pdf", ".Rechnung 5.pdf.neu", "notiz.txt"})
        QVERIFY(WriteBytes(dir.filePath(QString::fromUtf8(name)), "x"));
    QDir(dir.path()).mkdir(QStringLiteral("Rechnung 8.pdf"));
    const std::vector<AbgelegteRechnung> kept = AbgelegteRechnungen(dir.path());
    QCOMPARE(kept.size(), std::size_t(2));
    QCOMPARE(kept[0].nr, 3);
    QCOMPARE(kept[1].nr, 12);
    QCOMPARE(kept[1].pfad, dir.filePath(QStringLiteral("Rechnung 12.pdf")));
    QVERIFY(kept[1].abgelegt.isValid());
    QVERIFY(AbgelegteRechnungen(dir.filePath(QStringLiteral("fehlt"))).empty());
}

QTEST_MAIN(TestInvoiceArchive)
#include "test_invoicearchive.moc"
