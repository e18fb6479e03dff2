// Invoices through the window: the kept PDF, a second invoice only when asked, a copy without a
// new number, the file offered for printing to a file, the postal-code box, and the window
// "Rechnungen". The PDFs are read back with poppler.

#include "app/invoices/InvoiceListWindow.h"
#include "billing/CreateBill.h"
#include "billing/InvoiceArchive.h"
#include "guestfile/GuestFile.h"
#include "guestfile/Recovery.h"
#include "support/AppFixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <poppler-qt6.h>

using app::InvoiceListWindow;
using app::QtDialogs;
using app::TMainForm;
using billing::NeueRechnungFrage;
using guestfile::ReadGuestFile;
using guests::TGast;

namespace {

const QByteArray kRecordZero = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n";

QByteArray guestLine(int nr, const char *name, int plz, int reNr, const char *kosten, const char *bezahlt)
{
    return QByteArray::number(nr) + ";1;2;19.02.2025;14:00:00;21.02.2025;10:00:00;" + name + ";Weg 1;" +
           QByteArray::number(plz) + ";Halle (Saale);;;" + QByteArray::number(reNr) + ';' + kosten + ';' + bezahlt +
           ";False;\r\n";
}

// Anna without an invoice, Bert with invoice 40 from before copies were kept, paid.
QByteArray twoGuests()
{
    return kRecordZero + guestLine(1, "Anna", 6108, 0, " 0,00", "False") +
           guestLine(2, "Bert", 1067, 40, "90,00", "True");
}

// A window whose data folder "daten" holds two guests, the counter at 41 and the form, read in.
class InvoiceWindow : public AppFixture
{
public:
    InvoiceWindow() { readInvoicingHouse(twoGuests()); }
    void showGuest(int index) const { w<QSpinBox>("SpinBox1")->setValue(index); }
    QAction *action(const char *name) const
    {
        auto *found = window->findChild<QAction *>(QString::fromLatin1(name));
        if (!found)
            qFatal("no action %s", name);
        return found;
    }
    // Prints Anna's invoice (number 42) into "rechnung.pdf".
    void issueForAnna()
    {
        showGuest(1);
        printToPdf(path(QStringLiteral("rechnung.pdf")));
        click("ButtonPrintRe");
    }
};

std::unique_ptr<Poppler::Document> readPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return Poppler::Document::loadFromData(file.readAll());
}

QString topText(const Poppler::Document &document)
{
    const std::unique_ptr<Poppler::Page> page = document.page(0);
    return page->text(QRectF(0, 0, page->pageSizeF().width(), 20 * 72 / 25.4)).simplified();
}

} // namespace

class TestInvoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void printedInvoiceIsKeptAsPdf();
    void invoiceTheGuestFileCannotTakeIsSaidAndKept();
    void invoicePrintedToAFileIsTheHostsOnly();
    void invoiceLostFromTheRecordComesBack_data();
    void invoiceLostFromTheRecordComesBack();
    void twoCopiesNeverInvoiceOneStayTwice();
    void secondInvoiceAsksFirst_data();
    void secondInvoiceAsksFirst();
    void realQuestionDefaultsToNein();
    void copyEntryFollowsTheRecord();
    void copyTakesNoNumberAndChangesNoRecord();
    void copyOfAnInvoiceWithoutPdfKeepsOne();
    void printToFileOffersTheInvoiceName();
    void realPrintDialogOffersTheInvoiceFile();
    void postalCodeBoxShowsFiveDigits();

    void invoiceListShowsNumbersAndCopies();
    void invoiceListOpensCopiesAndExports();
    void invoiceListFollowsANewInvoice();
    void invoiceListSaysWhatTheJournalCheckFound();
};

void TestInvoices::printedInvoiceIsKeptAsPdf()
{
    // GIVEN Anna without an invoice
    InvoiceWindow app;
    // WHEN her invoice is printed
    app.issueForAnna();
    // THEN number 42 is printed, kept as PDF, and saved with her
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    const QString kept = app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf"));
    QCOMPARE(app.status(), QStringLiteral("Rechnung Nr. 42 gedruckt und als PDF abgelegt"));
    const auto document = readPdf(kept);
    QVERIFY(document);
    QCOMPARE(document->info(QStringLiteral("Title")), QStringLiteral("Rechnung 42"));
    const QString text = document->page(0)->text(QRectF()).simplified();
    QVERIFY2(text.contains(QStringLiteral("06108 Halle (Saale)")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Rechnung Nr. 42")));
    QCOMPARE(QFileInfo(kept).permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
    QCOMPARE(ReadGuestFile(app.daten(QStringLiteral("Gaeste.csv"))).at(1).ReNr, 42);
    // Anna has no invoice before: nothing was asked.
    QVERIFY(app.dialogs.confirmations.isEmpty());
    // Now there is an invoice to print a copy of.
    QVERIFY(app.action("ActionRechnungskopie")->isEnabled());
}

void TestInvoices::secondInvoiceAsksFirst_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("number");
    QTest::addColumn<QByteArray>("counter");
    // No answer is Esc: Abbrechen.
    QTest::newRow("Esc") << QString() << 40 << QByteArray("41\r\n");
    QTest::newRow("Abbrechen") << QStringLiteral("Abbrechen") << 40 << QByteArray("41\r\n");
    QTest::newRow("Rechnungskopie") << QStringLiteral("Rechnungskopie") << 40 << QByteArray("41\r\n");
    // 42 cancels 40, 43 is the new invoice.
    QTest::newRow("Stornieren und neu berechnen")
        << QStringLiteral("Stornieren und neu berechnen") << 43 << QByteArray("43\r\n");
}

void TestInvoices::secondInvoiceAsksFirst()
{
    QFETCH(QString, answer);
    QFETCH(int, number);
    QFETCH(QByteArray, counter);
    // GIVEN Bert, who has invoice 40
    InvoiceWindow app;
    app.showGuest(2);
    const QByteArray guestFile = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    int printerAsked = 0;
    app.dialogs.printer = [&](QPrinter &printer) {
        ++printerAsked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(app.path(QStringLiteral("rechnung.pdf")));
        return true;
    };
    // Bert's 90,00 is not the list's 150,00: the amount typed is the one billed.
    app.dialogs.choose = [answer](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Eingetragener Betrag")) ? QStringLiteral("Eingetragener Betrag")
                                                                        : answer;
    };

    // WHEN "Rechnung drucken" is clicked
    app.click("ButtonPrintRe");

    // THEN the host is asked first, with a copy, a cancellation and Abbrechen to choose from
    QCOMPARE(app.dialogs.choicesAsked.first(),
             (QStringList{NeueRechnungFrage(40), QStringLiteral("Rechnungskopie"),
                          QStringLiteral("Stornieren und neu berechnen"), QStringLiteral("Abbrechen")})
                 .join(u'|'));
    QVERIFY(NeueRechnungFrage(40).contains(QStringLiteral("Eine ausgestellte Rechnung wird nicht geändert.")));
    QVERIFY(app.dialogs.noByDefault.isEmpty());
    QCOMPARE(app.list().current().ReNr, number);
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), counter);
    if (answer.isEmpty() || answer == QStringLiteral("Abbrechen")) {
        // Nothing printed, no number taken, nothing saved
        QCOMPARE(printerAsked, 0);
        QVERIFY(!QFile::exists(app.path(QStringLiteral("rechnung.pdf"))));
        QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), guestFile);
        QCOMPARE(app.status(), QStringLiteral("Keine neue Rechnung gedruckt"));
        QVERIFY(!app.list().changed());
    } else if (answer == QStringLiteral("Rechnungskopie")) {
        // The copy is printed as "Rechnungskopie" prints it: no number, the record as it was
        QCOMPARE(app.dialogs.printerTitles, QStringList{QStringLiteral("Rechnungskopie drucken")});
        QCOMPARE(printerAsked, 1);
        QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), guestFile);
        QVERIFY(app.list().current().Bezahlt);
    } else {
        // One printer question for both pages; the cancellation and the new invoice are kept
        QCOMPARE(printerAsked, 1);
        QVERIFY(QFile::exists(app.daten(QStringLiteral("Rechnungen/Rechnung 42 (Storno zu 40).pdf"))));
        QVERIFY(QFile::exists(app.daten(QStringLiteral("Rechnungen/Rechnung 43.pdf"))));
        QCOMPARE(ReadGuestFile(app.daten(QStringLiteral("Gaeste.csv"))).at(2).ReNr, 43);
        // The new invoice is not paid yet.
        QVERIFY(!app.list().current().Bezahlt);
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    }
}

void TestInvoices::realQuestionDefaultsToNein()
{
    QtDialogs dialogs;
    QWidget parent;
    bool seen = false;
    QString text;
    bool defaultNo = false;
    QTimer::singleShot(0, &parent, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        text = box->text();
        defaultNo = box->defaultButton() == box->button(QMessageBox::No);
        seen = true;
        QTest::keyClick(box, Qt::Key_Return); // the default answer
    });
    QVERIFY(!dialogs.confirmDefaultNo(&parent, NeueRechnungFrage(7)));
    QVERIFY(seen);
    QCOMPARE(text, NeueRechnungFrage(7));
    QVERIFY(defaultNo);
}

void TestInvoices::copyEntryFollowsTheRecord()
{
    InvoiceWindow app;
    QAction *copy = app.action("ActionRechnungskopie");
    QCOMPARE(copy->text(), QStringLiteral("Rechnungs&kopie…"));
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuRechnung"))->actions().contains(copy));
    // Bert is shown after reading: he has invoice 40.
    QVERIFY(copy->isEnabled());
    app.showGuest(1);
    QVERIFY(!copy->isEnabled());
    // A number given through the list (another window, a printed invoice) enables it.
    app.window->context().guestList().modify(1, [](TGast &g) { g.ReNr = 44; });
    QVERIFY(copy->isEnabled());
    app.click("ButtonNeuerGast");
    QVERIFY(!copy->isEnabled());
    app.window->context().guestList().replace({TGast{}, TGast{}});
    QVERIFY(!copy->isEnabled());
}

void TestInvoices::copyTakesNoNumberAndChangesNoRecord()
{
    // GIVEN Anna's printed and saved invoice 42
    InvoiceWindow app;
    app.issueForAnna();
    const std::vector<TGast> records = app.list().records();
    const QByteArray guestFile = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    const QByteArray keptBytes = app.readFile(QStringLiteral("daten/Rechnungen/Rechnung 42.pdf"));

    // WHEN "Rechnungskopie" is chosen
    const QString copy = app.path(QStringLiteral("kopie.pdf"));
    app.printToPdf(copy);
    app.action("ActionRechnungskopie")->trigger();

    // THEN the kept invoice is printed marked "Kopie"; no number, no record, no file changes
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.status(), QStringLiteral("Kopie der Rechnung Nr. 42 gedruckt"));
    const auto printed = readPdf(copy);
    QVERIFY(printed);
    QCOMPARE(topText(*printed), QStringLiteral("Kopie"));
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("42\r\n"));
    QVERIFY(app.list().records() == records);
    QVERIFY(!app.list().changed());
    QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), guestFile);
    QCOMPARE(app.readFile(QStringLiteral("daten/Rechnungen/Rechnung 42.pdf")), keptBytes);
    QVERIFY(app.dialogs.confirmations.isEmpty());
}

void TestInvoices::copyOfAnInvoiceWithoutPdfKeepsOne()
{
    // GIVEN Bert's invoice 40, printed before copies were kept
    InvoiceWindow app;
    app.showGuest(2);
    const QString copy = app.path(QStringLiteral("kopie.pdf"));
    app.printToPdf(copy);

    // WHEN a copy is printed
    app.action("ActionRechnungskopie")->trigger();

    // THEN it is drawn from his record, printed, and kept marked "Kopie"; no number is taken
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.status(), QStringLiteral("Kopie der Rechnung Nr. 40 gedruckt und abgelegt"));
    const auto kept = readPdf(app.daten(QStringLiteral("Rechnungen/Rechnung 40.pdf")));
    QVERIFY(kept);
    const QString text = kept->page(0)->text(QRectF()).simplified();
    QVERIFY2(text.contains(QStringLiteral("Rechnung Nr. 40")) && text.contains(QStringLiteral("90,00 Euro")) &&
                 text.contains(QStringLiteral("01067 Halle (Saale)")),
             qPrintable(text));
    QCOMPARE(topText(*kept), QStringLiteral("Kopie"));
    QVERIFY(QFile::exists(copy));
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("41\r\n"));
    QCOMPARE(app.list().current().ReNr, 40);
    QVERIFY(!app.list().changed());
}

void TestInvoices::printToFileOffersTheInvoiceName()
{
    // GIVEN the counter at 41, and a host who prints to the file the dialog offers
    InvoiceWindow app;
    QStringList offered;
    app.dialogs.printer = [&](QPrinter &printer) {
        offered << printer.outputFileName();
        const QString name = printer.outputFileName();
        printer.setOutputFormat(QPrinter::PdfFormat); // "Print to File (PDF)"
        printer.setOutputFileName(name);
        return true;
    };
    // WHEN Anna's invoice is printed, and then a copy of it
    app.showGuest(1);
    app.click("ButtonPrintRe");
    app.action("ActionRechnungskopie")->trigger();
    // THEN the files offered are named after the invoice, in the data folder
    QCOMPARE(offered, (QStringList{app.daten(QStringLiteral("Rechnung 42.pdf")),
                                   app.daten(QStringLiteral("Rechnung 42 Kopie.pdf"))}));
    QVERIFY(readPdf(app.daten(QStringLiteral("Rechnung 42.pdf"))));
    const auto copy = readPdf(app.daten(QStringLiteral("Rechnung 42 Kopie.pdf")));
    QVERIFY(copy);
    QCOMPARE(topText(*copy), QStringLiteral("Kopie"));
}

void TestInvoices::realPrintDialogOffersTheInvoiceFile()
{
    InvoiceWindow scripted; // for its data folder, which it lets go of
    scripted.window.reset();
    QObject answering; // its timers end with the test
    bool printAsked = false;
    QString offered;
    QStringList unexpected;
    // The open dialog for the data folder (unless the window starts on it), then the print dialog;
    // any other box is noted and closed, so the test fails instead of waiting.
    const std::function<void()> answer = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            files->selectFile(scripted.daten(QStringLiteral("Gaeste.csv")));
            static_cast<QDialog *>(files)->accept();
        } else if (auto *print = qobject_cast<QPrintDialog *>(modal)) {
            if (auto *name = print->findChild<QLineEdit *>(QStringLiteral("filename")))
                offered = name->text();
            print->reject();
            printAsked = true;
            return;
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            unexpected << box->text();
            box->done(QMessageBox::No);
        }
        QTimer::singleShot(10, &answering, answer);
    };
    QTimer::singleShot(0, &answering, answer);
    TMainForm window; // the shipped dialogs
    window.show();
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("ButtonRead")), Qt::LeftButton);
    window.findChild<QSpinBox *>(QStringLiteral("SpinBox1"))->setValue(1);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("ButtonPrintRe")), Qt::LeftButton);
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(u'\n')));
    QVERIFY(printAsked);
    QCOMPARE(window.context().guests().at(1).Name, QStringLiteral("Anna"));
    QCOMPARE(offered, scripted.daten(QStringLiteral("Rechnung 42.pdf")));
    // Cancelled: no number taken.
    QCOMPARE(scripted.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("41\r\n"));
    window.close();
}

void TestInvoices::postalCodeBoxShowsFiveDigits()
{
    InvoiceWindow app;
    auto *box = app.w<QSpinBox>("NumberBoxPLZ");
    app.showGuest(1);
    QCOMPARE(box->text(), QStringLiteral("06108"));
    app.showGuest(2);
    QCOMPARE(box->text(), QStringLiteral("01067"));
    // A new guest has none: the box is empty, not "00000".
    app.click("ButtonNeuerGast");
    QCOMPARE(box->text(), QString());
    // Typed with its leading zero, kept as the number it is.
    app.enter("NumberBoxPLZ");
    box->selectAll();
    AppFixture::keyClicks(box, QStringLiteral("04109"));
    app.leave();
    QCOMPARE(app.list().current().PLZ, 4109);
    QCOMPARE(box->text(), QStringLiteral("04109"));
    app.click("ButtonSave");
    QVERIFY(app.readFile(QStringLiteral("daten/Gaeste.csv")).contains(";4109;"));
    // Emptied, it is none again.
    app.enter("NumberBoxPLZ");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    app.leave();
    QCOMPARE(app.list().current().PLZ, 0);
}

void TestInvoices::invoiceListShowsNumbersAndCopies()
{
    // GIVEN Anna's new invoice 42 and Bert's old 40 without a copy
    InvoiceWindow app;
    app.issueForAnna();

    // WHEN "Ansicht" → "Rechnungen" is chosen
    QAction *entry = app.action("ActionRechnungen");
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuAnsicht"))->actions().contains(entry));
    entry->trigger();
    auto *list = app.window->findChild<InvoiceListWindow *>(QStringLiteral("InvoiceList"));
    QVERIFY(list);
    QVERIFY(list->isVisible());
    QCOMPARE(list->windowTitle(), QStringLiteral("Rechnungen"));

    // THEN the numbers stand side by side with the copies, the gap and the missing copy marked;
    // 42's date of issue comes from the journal, 40 is from before it
    const QString today = QStringLiteral("20.02.2025");
    const auto shown = [list] {
        return tableLines(list->findChild<QTableView *>(QStringLiteral("TableRechnungen"))->model());
    };
    QCOMPARE(shown(),
             (QStringList{QStringLiteral("40||Rechnung||Bert|90,00|ja|fehlt||ohne Buchungszeile; Kopie fehlt"),
                          QStringLiteral("41||Lücke|||||||Lücke: keine Rechnung mit dieser Nummer bekannt"),
                          QStringLiteral("42|%1|Rechnung||Anna|150,00|nein|Rechnung 42.pdf|31.12.2033|").arg(today)}));
    QCOMPARE(list->findChild<QLabel *>(QStringLiteral("LabelRechnungenSumme"))->text(),
             QStringLiteral("2 Rechnungen, 1 Lücke, 1 ohne Kopie\n2025: 1 Rechnung, 0 Stornos, zusammen 150,00 €"));

    // WHEN a record changes elsewhere THEN the list follows
    app.window->context().guestList().modify(2, [](TGast &g) { g.Bezahlt = false; });
    QCOMPARE(shown().first(), QStringLiteral("40||Rechnung||Bert|90,00|nein|fehlt||ohne Buchungszeile; Kopie fehlt"));
    // WHEN the window is chosen again THEN it is the same one
    entry->trigger();
    QCOMPARE(app.window->findChildren<InvoiceListWindow *>().size(), 1);
}

void TestInvoices::invoiceListOpensCopiesAndExports()
{
    InvoiceWindow app;
    app.issueForAnna();
    app.trigger("ActionRechnungen");
    auto *list = app.opened<InvoiceListWindow>();
    QVERIFY(list);
    const QStringList &opened = app.dialogs.documentsOpened;
    auto *table = list->findChild<QTableView *>(QStringLiteral("TableRechnungen"));
    auto *open = list->findChild<QPushButton *>(QStringLiteral("ButtonPdfOeffnen"));

    // A line without a copy opens nothing.
    table->selectRow(0);
    QVERIFY(!open->isEnabled());
    // The line of invoice 42 opens its copy, with the button or a double-click.
    table->selectRow(2);
    QVERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
    const QString kept = QFileInfo(app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf"))).absoluteFilePath();
    QCOMPARE(opened, QStringList{kept});
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(opened.size(), 2);
    // A desktop without a PDF viewer is said plainly.
    app.dialogs.documentOpens = false;
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().startsWith(QStringLiteral("Die Rechnungskopie konnte nicht geöffnet werden.")));

    // Exported as CSV for the tax adviser, where the host says.
    app.dialogs.exportFile = app.path(QStringLiteral("liste.csv"));
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("ButtonCsvExport")), Qt::LeftButton);
    QCOMPARE(app.dialogs.exportsAsked,
             QStringList{QStringLiteral("Rechnungsliste exportieren|%1|CSV-Dateien (*.csv)")
                             .arg(app.daten(QStringLiteral("Export/Rechnungsliste 2025-02-20.csv")))});
    QCOMPARE(app.readFile(QStringLiteral("liste.csv")),
             QByteArray("Nummer;Datum;Art;Zu Rechnung;Gast;Betrag;Bezahlt;Kopie;Aufbewahren bis;Hinweis\r\n"
                        "40;;Rechnung;;Bert;90,00;ja;fehlt;;\"ohne Buchungszeile; Kopie fehlt\"\r\n"
                        "41;;L\xFC"
                        "cke;;;;;;;L\xFC"
                        "cke: keine Rechnung mit dieser Nummer bekannt\r\n"
                        "42;20.02.2025;Rechnung;;Anna;150,00;nein;Rechnung 42.pdf;31.12.2033;\r\n"));
    // Cancelled, nothing is written.
    app.dialogs.exportFile.clear();
    QVERIFY(QFile::remove(app.path(QStringLiteral("liste.csv"))));
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("ButtonCsvExport")), Qt::LeftButton);
    QVERIFY(!QFile::exists(app.path(QStringLiteral("liste.csv"))));
}

void TestInvoices::invoiceListFollowsANewInvoice()
{
    // GIVEN the window "Rechnungen" open before Anna's invoice is printed
    InvoiceWindow app;
    app.trigger("ActionRechnungen");
    auto *list = app.opened<InvoiceListWindow>();
    QVERIFY(list);
    QAbstractItemModel *model = list->findChild<QTableView *>(QStringLiteral("TableRechnungen"))->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto *summary = list->findChild<QLabel *>(QStringLiteral("LabelRechnungenSumme"));
    QCOMPARE(summary->text(), QStringLiteral("1 Rechnung, 1 Lücke, 1 ohne Kopie"));

    // WHEN invoice 42 is printed and kept
    app.issueForAnna();

    // THEN the list has read the new copy and the counter again: 42 stands with its copy
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("42"));
    QCOMPARE(model->index(2, 7).data().toString(), QStringLiteral("Rechnung 42.pdf"));
    QCOMPARE(summary->text(),
             QStringLiteral("2 Rechnungen, 1 Lücke, 1 ohne Kopie\n2025: 1 Rechnung, 0 Stornos, zusammen 150,00 €"));
    // A note cut off by a narrow column is there whole as the cell's tooltip.
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex note = model->index(row, 9);
        QCOMPARE(note.data(Qt::ToolTipRole).toString(), note.data().toString());
    }
}

void TestInvoices::invoiceTheGuestFileCannotTakeIsSaidAndKept()
{
    InvoiceWindow app;
    // No backup can be kept, so no save can happen (as on a full disk); printing is not touched.
    app.writeFile(QStringLiteral("daten/Sicherung"), "kein Ordner");
    app.issueForAnna();

    QCOMPARE(app.list().at(1).ReNr, 42);
    QVERIFY(QFileInfo::exists(app.daten(QStringLiteral("Rechnungen/Rechnung 42.pdf"))));
    QCOMPARE(app.status(), QStringLiteral("Die Rechnung Nr. 42 ist gedruckt, aber noch nicht in Gaeste.csv eingetragen"));
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.front().startsWith(QStringLiteral(
                 "Die Rechnung Nr. 42 ist gedruckt und als PDF abgelegt, aber noch nicht in Gaeste.csv eingetragen:\n")),
             qPrintable(app.dialogs.errors.front()));
    QCOMPARE(ReadGuestFile(app.daten(QStringLiteral("Gaeste.csv"))).at(1).ReNr, 0);
    // At once, not a moment later: the recovery copy holds the number.
    QCOMPARE(guestfile::ReadRecoveryCopy(app.daten(QString())).at(1).ReNr, 42);

    // The disk is mended; the next save enters it.
    QVERIFY(QFile::remove(app.daten(QStringLiteral("Sicherung"))));
    app.click("ButtonSave");
    QCOMPARE(ReadGuestFile(app.daten(QStringLiteral("Gaeste.csv"))).at(1).ReNr, 42);
}

void TestInvoices::invoicePrintedToAFileIsTheHostsOnly()
{
    // GIVEN the host prints Anna's invoice, and then its copy, to files outside the data folder
    InvoiceWindow app;
    app.issueForAnna();
    const QString copy = app.path(QStringLiteral("kopie.pdf"));
    app.printToPdf(copy);
    app.trigger("ActionRechnungskopie");

    // THEN both name the guest and are the host's only, as every such file is
    const auto onlyOwner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (const QString &file : {app.path(QStringLiteral("rechnung.pdf")), copy}) {
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
        QCOMPARE(QFileInfo(file).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), onlyOwner);
    }
}

void TestInvoices::invoiceLostFromTheRecordComesBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("killed before the guest file was saved") << "Neustart";
    QTest::newRow("\"Daten lesen\" of an older file") << "Daten lesen";
    QTest::newRow("a backup older than the invoice") << "Sicherung";
}

void TestInvoices::invoiceLostFromTheRecordComesBack()
{
    QFETCH(QString, how);
    // GIVEN Anna's invoice 42, in the journal and kept, but the guest file without it
    InvoiceWindow app;
    const QByteArray before = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    app.issueForAnna();
    QCOMPARE(app.list().at(1).ReNr, 42);
    if (how == u"Sicherung") {
        app.dialogs.backupAnswer = 0; // the backup of the save after the invoice: Anna without it
        app.dialogs.choose = [](const QString &, const QStringList &buttons) {
            return buttons.contains(QStringLiteral("Wiederherstellen")) ? QStringLiteral("Wiederherstellen")
                                                                         : QString();
        };
        for (QAction *action : app.w<QMenu>("MenuDatei")->actions())
            if (action->text() == QStringLiteral("Sicherung &wiederherstellen…"))
                action->trigger();
    } else {
        app.writeFile(QStringLiteral("daten/Gaeste.csv"), before);
        if (how == u"Neustart")
            app.restartWith(app.daten(QString()));
        else
            app.click("ButtonRead");
    }

    // THEN the record has its invoice again, and the host is told which
    QCOMPARE(app.list().at(1).ReNr, 42);
    QVERIFY(app.list().changed());
    QVERIFY2(app.dialogs.informations.contains(QStringLiteral("Rechnung 42 wieder bei Gast 1 eingetragen")),
             qPrintable(app.dialogs.informations.join(u'/')));

    // and a second print asks first, naming the invoice and its date
    app.dialogs.choicesAsked.clear();
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Abbrechen"); };
    app.showGuest(1);
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY2(app.dialogs.choicesAsked.front().startsWith(NeueRechnungFrage(42, QDate(2025, 2, 20))),
             qPrintable(app.dialogs.choicesAsked.front()));
    QVERIFY(app.dialogs.choicesAsked.front().contains(QStringLiteral("vom 20.02.2025")));
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("42\r\n"));
}

void TestInvoices::twoCopiesNeverInvoiceOneStayTwice()
{
    // GIVEN two copies of the program on one folder, both showing Anna without an invoice
    InvoiceWindow app;
    ScriptedDialogs::Script script;
    auto second = std::make_unique<TMainForm>(std::make_unique<ScriptedDialogs>(script));
    second->show();
    QCOMPARE(second->context().guests().at(1).ReNr, 0);

    // WHEN the first prints Anna's invoice, and the second prints it too
    app.issueForAnna();
    QCOMPARE(app.list().at(1).ReNr, 42);
    script.printer = app.dialogs.printer;
    script.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Eingetragener Betrag")) ? QStringLiteral("Eingetragener Betrag")
                                                                        : QStringLiteral("Abbrechen");
    };
    second->findChild<QSpinBox *>(QStringLiteral("SpinBox1"))->setValue(1);
    QTest::mouseClick(second->findChild<QPushButton *>(QStringLiteral("ButtonPrintRe")), Qt::LeftButton);

    // THEN the second copy learns of invoice 42 from the journal and asks; no second number
    QCOMPARE(second->context().guests().at(1).ReNr, 42);
    QVERIFY2(!script.choicesAsked.isEmpty() && script.choicesAsked.front().startsWith(NeueRechnungFrage(42, QDate(2025, 2, 20))),
             qPrintable(script.choicesAsked.join(u'/')));
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("42\r\n"));
    const auto journal = billing::readJournal(app.daten(QStringLiteral("Rechnungen/Rechnungsbuch.csv")));
    int issued = 0;
    for (const billing::JournalLine &line : journal.lines)
        issued += line.used() ? 1 : 0;
    QCOMPARE(issued, 1);
}

void TestInvoices::invoiceListSaysWhatTheJournalCheckFound()
{
    // GIVEN Anna's invoice 42, journaled and kept
    InvoiceWindow app;
    app.issueForAnna();
    app.trigger("ActionRechnungen");
    auto *list = app.opened<InvoiceListWindow>();
    QVERIFY(list);
    auto *check = list->findChild<QLabel *>(QStringLiteral("LabelJournalPruefung"));
    auto *unheld = list->findChild<QLabel *>(QStringLiteral("LabelRechnungenOhneGast"));
    QVERIFY(check && unheld);
    // THEN all is well: nothing is said
    QVERIFY(check->isHidden());
    QVERIFY(unheld->isHidden());

    // WHEN the amount in the journal is changed by hand, and the list read again
    const QString journal = app.daten(QStringLiteral("Rechnungen/Rechnungsbuch.csv"));
    QByteArray bytes = app.readFile(QStringLiteral("daten/Rechnungen/Rechnungsbuch.csv"));
    QVERIFY(bytes.contains(";150,00;"));
    {
        QFile file(journal);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The issued line, not the reservation before it.
        const qsizetype at = bytes.lastIndexOf(";150,00;");
        QVERIFY(file.write(bytes.replace(at, 8, ";15,00;")) == bytes.size());
    }
    QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("ButtonAktualisieren")), Qt::LeftButton);

    // THEN the window names the line above the table
    QVERIFY(check->isVisible());
    QCOMPARE(check->text(), QStringLiteral("Rechnungsbuch Zeile 3: geändert, eingefügt oder verschoben, oder eine "
                                           "Zeile davor wurde entfernt – die Prüfsumme passt nicht zur Zeile davor"));

    // WHEN Anna's record no longer holds the invoice
    app.window->context().guestList().modify(1, [](TGast &g) { g.ReNr = 0; });

    // THEN the window says so
    QVERIFY(unheld->isVisible());
    QCOMPARE(unheld->text(), QStringLiteral("Rechnung 42 ist bei keinem Gast eingetragen"));
}

QTEST_MAIN(TestInvoices)
#include "test_invoices.moc"
