// The books through the windows: cancelling an invoice, refusing to delete an invoiced booking,
// the invoice list from the journal (a reissued number keeps its guest, a changed copy shows,
// the retention date), the revenue by date of issue, the information for a guest and the
// anonymising of old stays. PDFs are read back with poppler.

#include "app/privacy/AnonymizeDialog.h"
#include "app/statistics/StatisticsWindow.h"
#include "billing/Cancellation.h"
#include "billing/CreateBill.h"
#include "billing/InvoiceJournal.h"
#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "register/StayText.h"
#include "support/AppFixture.h"

#include <QAction>
#include <QDirIterator>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <map>
#include <poppler-qt6.h>

using app::StatisticsWindow;
using guestfile::BackupInfo;
using guestfile::ListBackups;
using guestfile::ReadGuestFile;
using guests::StornoFrage;
using guests::TGast;

namespace {

const QByteArray kRecordZero = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n";

// One line of the guest file (Windows-1252, as the program writes it).
QByteArray guestLine(int nr, const QString &von, const QString &bis, const QString &name, const QString &street,
                     int plz, const QString &town, int reNr, const char *kosten, bool paid)
{
    return QByteArray::number(nr) + ";1;2;" + von.toLatin1() + ";14:00:00;" + bis.toLatin1() + ";10:00:00;" +
           name.toLatin1() + ';' + street.toLatin1() + ';' + QByteArray::number(plz) + ';' + town.toLatin1() +
           ";0345 1;gast@example.org;" + QByteArray::number(reNr) + ';' + kosten + ';' + (paid ? "True" : "False") +
           ";False;Zimmer zum Hof\r\n";
}

// 1 Anna without an invoice; 2 Bert with invoice 40 from before the journal, paid; 3 and 4 the same
// person Weiß (written differently), in 2019 and 2024; 5 another Weiß in another street, 2021.
QByteArray guests()
{
    return kRecordZero +
           guestLine(1, "19.02.2025", "21.02.2025", "Anna", "Weg 1", 6108, "Halle (Saale)", 0, " 0,00", false) +
           guestLine(2, "19.02.2025", "21.02.2025", "Bert", "Weg 1", 1067, "Dresden", 40, "90,00", true) +
           guestLine(3, "01.08.2019", "03.08.2019", QStringLiteral("Jürgen Weiß"), "Lindenweg 4", 4109, "Leipzig", 0,
                     "100,00", true) +
           guestLine(4, "10.05.2024", "12.05.2024", QStringLiteral("JUERGEN WEISS"), "lindenweg 4", 4109, "LEIPZIG", 0,
                     "120,00", true) +
           guestLine(5, "08.06.2021", "10.06.2021", QStringLiteral("Jürgen Weiß"), "Gasse 2", 4109, "Leipzig", 0,
                     "80,00", true);
}

// A window whose data folder "daten" holds the guests above, the counter at 41 and the form.
class BooksWindow : public AppFixture
{
public:
    BooksWindow() { readInvoicingHouse(guests()); }
    void showGuest(int index) const { w<QSpinBox>("SpinBox1")->setValue(index); }
    // Prints the shown guest's invoice into "rechnung.pdf".
    void printInvoice()
    {
        printToPdf(path(QStringLiteral("rechnung.pdf")));
        click("ButtonPrintRe");
    }
    std::vector<TGast> saved() const { return ReadGuestFile(daten(QStringLiteral("Gaeste.csv"))); }
    billing::JournalContents journal() const
    {
        return billing::readJournal(billing::journalPath(daten(QStringLiteral("Rechnungen"))));
    }
    // Every file below "Rechnungen" with its bytes.
    std::map<QString, QByteArray> invoiceFiles() const
    {
        std::map<QString, QByteArray> files;
        QDirIterator it(daten(QStringLiteral("Rechnungen")), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            QFile f(file);
            files[file] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
        }
        return files;
    }
};

QString pdfText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(no file %1)").arg(path);
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(file.readAll());
    if (!document)
        return QStringLiteral("(no PDF %1)").arg(path);
    QString text;
    for (int page = 0; page < document->numPages(); ++page)
        text += document->page(page)->text(QRectF()) + u'\n';
    return text.simplified();
}

} // namespace

class TestBooks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void invoiceIsJournaledOrItsNumberLeftFree_data();
    void invoiceIsJournaledOrItsNumberLeftFree();
    void cancellationPrintsJournalsAndClears_data();
    void cancellationPrintsJournalsAndClears();
    void reissueCancelsTheAmountInvoiced_data();
    void reissueCancelsTheAmountInvoiced();
    void deletingAnInvoicedGuestIsRefused_data();
    void deletingAnInvoicedGuestIsRefused();
    void invoiceListKeepsAReissuedNumber();
    void revenueByInvoiceCountsTheDateOfIssue();
    void informationListsExactlyThePersonsStays();
    void anonymisingTouchesOnlyTheChosenStays();
};

void TestBooks::invoiceIsJournaledOrItsNumberLeftFree_data()
{
    QTest::addColumn<bool>("printerWorks");
    QTest::newRow("printed") << true;
    QTest::newRow("printer fails") << false;
}

void TestBooks::invoiceIsJournaledOrItsNumberLeftFree()
{
    QFETCH(bool, printerWorks);
    // GIVEN Anna without an invoice and a printer that works or cannot start
    BooksWindow app;
    app.showGuest(1);
    app.printToPdf(printerWorks ? app.path(QStringLiteral("rechnung.pdf"))
                                : QStringLiteral("/nonexistent-folder/rechnung.pdf"));

    // WHEN her invoice is printed
    app.click("ButtonPrintRe");

    // THEN number 42 has its reservation and exactly one line after it, whatever became of the print
    const billing::JournalContents journal = app.journal();
    QCOMPARE(journal.lines.size(), std::size_t(2));
    QCOMPARE(journal.lines.front().nr, 42);
    QVERIFY(journal.lines.front().isReservation());
    const billing::JournalLine &line = journal.lines.back();
    QCOMPARE(line.nr, 42);
    QCOMPARE(line.gastNr, 1);
    QCOMPARE(line.name, QStringLiteral("Anna"));
    if (printerWorks) {
        // the line holds the hash of the kept PDF, and the record the number
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
        QVERIFY(line.used());
        const QStringList kept =
            QDir(app.daten(QStringLiteral("Rechnungen"))).entryList({QStringLiteral("Rechnung 42*.pdf")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(line.sha256, billing::sha256OfFile(app.daten(QStringLiteral("Rechnungen/") + kept.front())));
        QCOMPARE(app.list().current().ReNr, 42);
        QVERIFY(line.amount > 0);
    } else {
        // the number stays free, with the reason, and the host is told
        QVERIFY(!line.used());
        QVERIFY2(line.note.startsWith(QStringLiteral("Nummer bleibt frei: ")), qPrintable(line.note));
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors.front().contains(QStringLiteral("42")), qPrintable(app.dialogs.errors.front()));
        QCOMPARE(app.list().current().ReNr, 0);
    }
}

void TestBooks::cancellationPrintsJournalsAndClears_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("Ja") << true;
    QTest::newRow("Nein") << false;
}

void TestBooks::cancellationPrintsJournalsAndClears()
{
    QFETCH(bool, confirmed);
    // GIVEN Anna's printed invoice 42, which she has paid
    BooksWindow app;
    app.showGuest(1);
    app.printInvoice();
    QCOMPARE(app.list().current().ReNr, 42);
    app.window->context().guestList().modify(1, [](TGast &g) { g.Bezahlt = true; });
    QAction *storno = app.w<QAction>("ActionRechnungStornieren");
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuRechnung"))->actions().contains(storno));
    QVERIFY(storno->isEnabled());
    const TGast anna = app.list().current();

    // WHEN "Rechnung stornieren…" is chosen and answered
    app.dialogs.confirmAnswer = confirmed;
    app.printToPdf(app.path(QStringLiteral("storno.pdf")));
    storno->trigger();

    // THEN the host was asked, naming the guest and the invoice, with Nein as the default
    QCOMPARE(app.dialogs.noByDefault, QStringList{billing::cancellationQuestion(anna)});
    QVERIFY(billing::cancellationQuestion(anna).contains(QStringLiteral("Rechnung 42 von Gast 1 (Anna, ")));
    const QString kept = app.daten(QStringLiteral("Rechnungen/Rechnung 43 (Storno zu 42).pdf"));
    if (!confirmed) {
        QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("42\r\n"));
        QVERIFY(!QFile::exists(kept));
        QCOMPARE(app.list().current().ReNr, 42);
        QVERIFY(app.list().current().Bezahlt);
        QCOMPARE(app.journal().lines.size(), std::size_t(2)); // invoice 42: its reservation and its line
        return;
    }
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.status(), QStringLiteral("Stornorechnung Nr. 43 zu Rechnung Nr. 42 gedruckt und als PDF abgelegt"));
    // printed and kept: both numbers and the amount with a minus sign
    const QString text = pdfText(kept);
    QVERIFY2(text.contains(QStringLiteral("Stornorechnung Nr. 43 zu Rechnung Nr. 42 vom 20.02.2025")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("-150,00")), qPrintable(text));
    QVERIFY(QFileInfo(app.path(QStringLiteral("storno.pdf"))).size() > 0);
    // journaled with the kept PDF's hash
    // (each number reserved first, then its line)
    const billing::JournalContents journal = app.journal();
    QCOMPARE(journal.lines.size(), std::size_t(4));
    QVERIFY(journal.lines[2].isReservation());
    const billing::JournalLine &line = journal.lines.back();
    QCOMPARE(line.nr, 43);
    QVERIFY(line.isCancellation());
    QCOMPARE(line.refersTo, 42);
    QCOMPARE(line.amount, -150.0);
    QCOMPARE(line.sha256, billing::sha256OfFile(kept));
    // the record is cleared, in the list and in the saved file
    QCOMPARE(app.list().current().ReNr, 0);
    QVERIFY(!app.list().current().Bezahlt);
    QCOMPARE(app.saved().at(1).ReNr, 0);
    QVERIFY(!app.saved().at(1).Bezahlt);
    QVERIFY(!storno->isEnabled());

    // WHEN the booking is invoiced again THEN it is a new invoice, asked about like a first one
    const int asked = static_cast<int>(app.dialogs.choicesAsked.size());
    app.printInvoice();
    QCOMPARE(app.dialogs.choicesAsked.size(), asked);
    QCOMPARE(app.list().current().ReNr, 44);
    QCOMPARE(app.saved().at(1).ReNr, 44);
}

void TestBooks::reissueCancelsTheAmountInvoiced_data()
{
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("newAmount");
    QTest::newRow("Preisliste") << QStringLiteral("Preisliste") << QStringLiteral("150,00");
    QTest::newRow("Eingetragener Betrag") << QStringLiteral("Eingetragener Betrag") << QStringLiteral("90,00");
}

void TestBooks::reissueCancelsTheAmountInvoiced()
{
    QFETCH(QString, amount);
    QFETCH(QString, newAmount);
    // GIVEN Bert's invoice 40 over 90,00 from before the journal; the price list says 150,00
    BooksWindow app;
    app.showGuest(2);
    app.printToPdf(app.path(QStringLiteral("rechnung.pdf")));
    app.dialogs.choose = [amount](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Stornieren und neu berechnen"))
                   ? QStringLiteral("Stornieren und neu berechnen")
                   : amount;
    };

    // WHEN it is cancelled and invoiced anew, with the list's amount or the one typed
    app.click("ButtonPrintRe");

    // THEN the cancellation takes back the 90,00 invoiced, whatever the new invoice's amount
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QVERIFY(pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 42 (Storno zu 40).pdf")))
                .contains(QStringLiteral("-90,00")));
    QVERIFY(pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 43.pdf"))).contains(newAmount));
    const billing::JournalContents journal = app.journal();
    QCOMPARE(journal.lines.size(), std::size_t(4)); // each number reserved first, then its line
    QVERIFY(journal.lines[0].isReservation());
    QCOMPARE(journal.lines[1].amount, -90.0);
    QVERIFY(journal.lines[2].isReservation());
    QCOMPARE(journal.lines[3].amount, newAmount == QStringLiteral("150,00") ? 150.0 : 90.0);
    QCOMPARE(app.saved().at(2).ReNr, 43);
}

void TestBooks::deletingAnInvoicedGuestIsRefused_data()
{
    QTest::addColumn<int>("guest");
    QTest::addColumn<QString>("answer");
    QTest::newRow("invoiced, Abbrechen") << 2 << QStringLiteral("Abbrechen");
    QTest::newRow("invoiced, Esc") << 2 << QString();
    QTest::newRow("invoiced, Rechnung stornieren") << 2 << QStringLiteral("Rechnung stornieren…");
    QTest::newRow("without invoice") << 1 << QString();
}

void TestBooks::deletingAnInvoicedGuestIsRefused()
{
    QFETCH(int, guest);
    QFETCH(QString, answer);
    BooksWindow app;
    app.showGuest(guest);
    const TGast shown = app.list().current();
    const int count = app.list().guestCount();
    app.dialogs.choose = [answer](const QString &, const QStringList &) { return answer; };
    app.dialogs.confirmAnswer = true;
    app.printToPdf(app.path(QStringLiteral("storno.pdf")));

    // WHEN "Gast stornieren" is clicked
    app.click("ButtonStornieren");

    if (shown.ReNr == 0) {
        // THEN a guest without an invoice is deleted after the usual question
        QVERIFY(app.dialogs.choicesAsked.isEmpty());
        QCOMPARE(app.dialogs.confirmations, QStringList{StornoFrage(shown)});
        QCOMPARE(app.list().guestCount(), count - 1);
        return;
    }
    // THEN Bert with invoice 40 is not deleted; the refusal names him, his stay and the invoice
    QCOMPARE(app.dialogs.choicesAsked.first(),
             QStringLiteral("Gast 2 (Bert, 19.02.2025 bis 21.02.2025) hat Rechnung 40: zuerst die Rechnung "
                            "stornieren|Rechnung stornieren…|Abbrechen"));
    QCOMPARE(app.list().guestCount(), count);
    QVERIFY(!app.dialogs.confirmations.contains(StornoFrage(shown)));
    if (answer != QStringLiteral("Rechnung stornieren…")) {
        QCOMPARE(app.list().current().ReNr, 40);
        QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("41\r\n"));
        return;
    }
    // ... and the button cancels the invoice: 42 cancels 40 (from the record: 40 has no journal line)
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.dialogs.noByDefault, QStringList{billing::cancellationQuestion(shown)});
    QVERIFY(pdfText(app.daten(QStringLiteral("Rechnungen/Rechnung 42 (Storno zu 40).pdf")))
                .contains(QStringLiteral("-90,00")));
    QCOMPARE(app.list().current().ReNr, 0);
    QCOMPARE(app.saved().at(2).ReNr, 0);

    // WHEN "Gast stornieren" is clicked again THEN the booking goes after the usual question
    app.click("ButtonStornieren");
    QCOMPARE(app.dialogs.confirmations.last(), StornoFrage(app.saved().at(2)));
    QCOMPARE(app.list().guestCount(), count - 1);
}

void TestBooks::invoiceListKeepsAReissuedNumber()
{
    // GIVEN Anna's invoice 42 of 14.12.2026, cancelled and reissued as 44 with another amount
    BooksWindow app;
    platform::Clock::fix(QDateTime(QDate(2026, 12, 14), QTime(9, 30)));
    app.showGuest(1);
    app.printInvoice();
    app.window->context().guestList().modify(1, [](TGast &g) { g.Kosten = 130; });
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Stornieren und neu berechnen"))
                   ? QStringLiteral("Stornieren und neu berechnen")
                   : QStringLiteral("Eingetragener Betrag");
    };
    app.click("ButtonPrintRe");
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.list().current().ReNr, 44);

    // WHEN "Rechnungen" is opened
    app.trigger("ActionRechnungen");
    auto *window = app.window->findChild<QWidget *>(QStringLiteral("InvoiceList"));
    QVERIFY(window);
    const QAbstractItemModel *model = window->findChild<QTableView *>(QStringLiteral("TableRechnungen"))->model();
    QCOMPARE(model->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Aufbewahren bis"));

    // THEN 42 stays with Anna and 150,00, the cancellation refers to it, every one kept to 2034;
    // Bert's 40 from before the journal is marked so, and 41 is a gap
    QCOMPARE(tableLines(model),
             (QStringList{QStringLiteral("40||Rechnung||Bert|90,00|ja|fehlt||ohne Buchungszeile; Kopie fehlt"),
                          QStringLiteral("41||Lücke|||||||Lücke: keine Rechnung mit dieser Nummer bekannt"),
                          QStringLiteral("42|14.12.2026|Rechnung||Anna|150,00||Rechnung 42.pdf|31.12.2034|storniert "
                                         "durch Nr. 43"),
                          QStringLiteral("43|14.12.2026|Storno|42|Anna|-150,00||Rechnung 43 (Storno zu 42).pdf|"
                                         "31.12.2034|"),
                          QStringLiteral("44|14.12.2026|Rechnung||Anna|130,00|nein|Rechnung 44.pdf|31.12.2034|")}));
    auto *summary = window->findChild<QLabel *>(QStringLiteral("LabelRechnungenSumme"));
    QCOMPARE(summary->text(), QStringLiteral("3 Rechnungen, 1 Lücke, 1 ohne Kopie, 1 Storno\n"
                                             "2026: 2 Rechnungen, 1 Storno, zusammen 130,00 €"));

    // WHEN the kept PDF of 44 is changed and the list read again THEN it shows "verändert"
    const QString copy = app.daten(QStringLiteral("Rechnungen/Rechnung 44.pdf"));
    QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner));
    {
        QFile file(copy);
        QVERIFY(file.open(QIODevice::Append));
        file.write("% nachträglich geändert\n");
    }
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonAktualisieren")), Qt::LeftButton);
    QCOMPARE(model->index(4, 9).data().toString(), QStringLiteral("verändert: die Kopie ist nicht mehr die gedruckte"));
    QVERIFY(model->index(4, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(!model->index(3, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(summary->text().startsWith(QStringLiteral("3 Rechnungen, 1 Lücke, 1 ohne Kopie, 1 Storno, 1 verändert\n")));

    // The CSV for the tax adviser has the same columns and rows.
    app.dialogs.exportFile = app.path(QStringLiteral("liste.csv"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonCsvExport")), Qt::LeftButton);
    const QStringList csv =
        QString::fromLatin1(app.readFile(QStringLiteral("liste.csv"))).split(QStringLiteral("\r\n"));
    QCOMPARE(csv.first(),
             QStringLiteral("Nummer;Datum;Art;Zu Rechnung;Gast;Betrag;Bezahlt;Kopie;Aufbewahren bis;Hinweis"));
    QCOMPARE(csv.at(4),
             QStringLiteral("43;14.12.2026;Storno;42;Anna;-150,00;;Rechnung 43 (Storno zu 42).pdf;31.12.2034;"));
}

void TestBooks::revenueByInvoiceCountsTheDateOfIssue()
{
    // GIVEN Anna's stay in February 2025 invoiced on 2 March, and Bert's 40 (February) without a
    // journal line
    BooksWindow app;
    platform::Clock::fix(QDateTime(QDate(2025, 3, 2), QTime(9, 0)));
    app.showGuest(1);
    app.printInvoice();
    QCOMPARE(app.list().current().ReNr, 42);

    // WHEN "Auswertung" shows 2025
    app.trigger("ActionAuswertung");
    auto *statistics = app.opened<StatisticsWindow>();
    QVERIFY(statistics);
    statistics->findChild<QSpinBox *>(QStringLiteral("SpinJahr"))->setValue(2025);
    auto *table = statistics->findChild<QTableWidget *>(QStringLiteral("TabelleMonate"));
    const int column = table->columnCount() - 1;
    QCOMPARE(table->horizontalHeaderItem(column)->text(), QStringLiteral("Umsatz\nnach Rechnung (€)"));

    // THEN Anna's invoice counts in March, its month of issue; Bert's by departure in February, marked
    QCOMPARE(table->item(1, column)->text(), QStringLiteral("90,00"));
    QVERIFY(table->item(1, column)->font().italic());
    QCOMPARE(table->item(1, column)->toolTip(),
             QStringLiteral("Darin 90,00 € aus Rechnungen ohne Buchungszeile, nach Abreisemonat gezählt"));
    QCOMPARE(table->item(2, column)->text(), QStringLiteral("150,00"));
    QVERIFY(!table->item(2, column)->font().italic());
    QCOMPARE(table->item(12, column)->text(), QStringLiteral("240,00"));
    auto *note = statistics->findChild<QLabel *>(QStringLiteral("LabelNachAbreise"));
    QVERIFY(note->isVisible());
    QVERIFY2(note->text().contains(QStringLiteral("1 Rechnung ohne Buchungszeile im Rechnungsbuch")),
             qPrintable(note->text()));

    // WHEN Bert's invoice is cancelled THEN the cancellation counts in its own month, March, and
    // his invoice from before the journal still in February: the year's total loses exactly 90,00
    app.window->context().openRecord(2);
    app.dialogs.confirmAnswer = true;
    app.trigger("ActionRechnungStornieren");
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.list().at(2).ReNr, 0);
    QCOMPARE(table->item(1, column)->text(), QStringLiteral("90,00"));
    QCOMPARE(table->item(2, column)->text(), QStringLiteral("60,00"));
    QCOMPARE(table->item(12, column)->text(), QStringLiteral("150,00"));
}

void TestBooks::informationListsExactlyThePersonsStays()
{
    // GIVEN Jürgen Weiß shown, who stayed in 2019 and (written otherwise) in 2024; another Jürgen
    // Weiß lives in another street
    BooksWindow app;
    app.showGuest(3);
    QAction *entry = app.w<QAction>("ActionAuskunft");
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuGast"))->actions().contains(entry));

    // WHEN "Gast" → "Auskunft…" is chosen
    entry->trigger();

    // THEN a CSV and a PDF with exactly his two stays are in "Export", and the host is told where
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    // The guest number keeps two persons' files apart.
    const QString base = QStringLiteral("Export/Auskunft %1 Jürgen Weiß 2025-02-20").arg(app.list().at(3).GastNr);
    const QString csvPath = app.daten(base + QStringLiteral(".csv"));
    const QString pdfPath = app.daten(base + QStringLiteral(".pdf"));
    QCOMPARE(app.dialogs.informations.size(), 1);
    QVERIFY(app.dialogs.informations.first().contains(QDir::toNativeSeparators(QFileInfo(csvPath).absoluteFilePath())));
    QVERIFY(app.dialogs.informations.first().contains(QDir::toNativeSeparators(QFileInfo(pdfPath).absoluteFilePath())));

    QFile csvFile(csvPath);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    QStringList csv = QString::fromUtf8(csvFile.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(csv.size(), 3); // the header and two stays
    QVERIFY2(csv.at(1).contains(QStringLiteral("01.08.2019")) && csv.at(1).contains(QStringLiteral("Lindenweg 4")),
             qPrintable(csv.at(1)));
    QVERIFY2(csv.at(2).contains(QStringLiteral("10.05.2024")) && csv.at(2).contains(QStringLiteral("JUERGEN WEISS")),
             qPrintable(csv.at(2)));
    QVERIFY(!csv.join(u'\n').contains(QStringLiteral("Gasse 2")));

    const QString text = pdfText(pdfPath);
    QVERIFY2(text.contains(QStringLiteral("Auskunft über gespeicherte Daten")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Gespeicherte Aufenthalte: 2")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Aufenthalt 01.08.2019 bis 03.08.2019")));
    QVERIFY(text.contains(QStringLiteral("Aufenthalt 10.05.2024 bis 12.05.2024")));
    QVERIFY(text.contains(QStringLiteral("gast@example.org")));
    QVERIFY(!text.contains(QStringLiteral("08.06.2021")));
    QVERIFY(!text.contains(QStringLiteral("Gasse 2")));
    QVERIFY(!text.contains(QStringLiteral("Bert")));
}

void TestBooks::anonymisingTouchesOnlyTheChosenStays()
{
    // GIVEN Anna's invoice 42 kept and journaled, and stays from 2019, 2021 and 2024
    BooksWindow app;
    app.showGuest(1);
    app.printInvoice();
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    const std::map<QString, QByteArray> invoices = app.invoiceFiles();
    QVERIFY(invoices.size() >= 2);
    const std::vector<TGast> before = app.saved();
    const QByteArray fileBefore = app.readFile(QStringLiteral("daten/Gaeste.csv"));

    // WHEN "Datei" → "Alte Aufenthalte anonymisieren…" is chosen
    QAction *entry = app.w<QAction>("ActionAnonymisieren");
    QVERIFY(app.window->findChild<QMenu *>(QStringLiteral("MenuDatei"))->actions().contains(entry));
    entry->trigger();
    auto *dialog = app.window->findChild<app::AnonymizeDialog *>(QStringLiteral("AnonymizeDialog"));
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    auto *years = dialog->findChild<QSpinBox *>(QStringLiteral("SpinJahre"));
    auto *stays = dialog->findChild<QTableWidget *>(QStringLiteral("TabelleAufenthalte"));

    // THEN three years back are offered: the stays of 2019 and 2021
    QCOMPARE(years->value(), 3);
    QCOMPARE(stays->rowCount(), 2);
    QCOMPARE(stays->item(0, 0)->text(), QStringLiteral("3"));
    QCOMPARE(stays->item(0, 2)->text(), QStringLiteral("01.08.2019 bis 03.08.2019"));
    QCOMPARE(stays->item(1, 0)->text(), QStringLiteral("5"));
    // four years back leave out the stay of June 2021
    years->setValue(4);
    QCOMPARE(stays->rowCount(), 1);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("LabelAnzahl"))->text(),
             QStringLiteral("1 Aufenthalt wird anonymisiert."));
    // Abbrechen changes nothing
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ButtonAbbrechen")), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), fileBefore);
    QVERIFY(!app.list().changed());

    // WHEN it is chosen again and confirmed for three years
    entry->trigger();
    dialog = app.window->findChild<app::AnonymizeDialog *>(QStringLiteral("AnonymizeDialog"));
    QVERIFY(dialog && dialog->isVisible());
    dialog->findChild<QSpinBox *>(QStringLiteral("SpinJahre"))->setValue(3);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("ButtonAnonymisieren")), Qt::LeftButton);

    // THEN the guest file as it was is kept as a backup, and only stays 3 and 5 are erased and saved
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    bool backedUp = false;
    for (const BackupInfo &backup : ListBackups(app.daten(QString())))
        if (QFile file(backup.path); file.open(QIODevice::ReadOnly) && file.readAll() == fileBefore)
            backedUp = true;
    QVERIFY(backedUp);
    const std::vector<TGast> after = app.saved();
    QCOMPARE(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i == 3 || i == 5) {
            QCOMPARE(after[i].Name, QStringLiteral("anonymisiert"));
            QCOMPARE(after[i].Strasse, QStringLiteral("anonymisiert"));
            QCOMPARE(after[i].EMail, QStringLiteral("anonymisiert"));
            QCOMPARE(after[i].PLZ, 0);
            QCOMPARE(after[i].Kosten, before[i].Kosten);
            QCOMPARE(after[i].Von, before[i].Von);
        } else {
            QCOMPARE(after[i], before[i]);
        }
    }
    QVERIFY(!app.list().changed());
    // nothing below "Rechnungen" changed
    QCOMPARE(app.invoiceFiles(), invoices);

    // The guest list, the plan and the figures open on the anonymised stays.
    app.trigger("ActionGaesteliste");
    app.trigger("ActionBelegungsplan");
    app.trigger("ActionAuswertung");
    auto *statistics = app.opened<StatisticsWindow>();
    QVERIFY(statistics);
    statistics->findChild<QSpinBox *>(QStringLiteral("SpinJahr"))->setValue(2019);
    auto *table = statistics->findChild<QTableWidget *>(QStringLiteral("TabelleMonate"));
    QCOMPARE(table->item(7, table->columnCount() - 2)->text(), QStringLiteral("100,00"));
    app.window->context().openRecord(3);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("anonymisiert"));
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
}

QTEST_MAIN(TestBooks)
#include "test_books.moc"
