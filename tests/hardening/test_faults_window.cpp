// The same faults met through the window, as the host meets them: the error box says what went
// wrong and where, the list and the form keep the host's work, the file on disk stays as it was,
// and the same click succeeds once the cause is gone.

#include "HardeningSupport.h"
#include "billing/CreateBill.h"
#include "support/AppFixture.h"

#include <QImage>
#include <QPrinter>
#include <QStandardPaths>

using billing::NeueRechnungFrage;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;

using namespace hardening;

namespace {

// A window whose data folder "daten" holds three guests and the invoice counter at 41, and has
// been read. "nobody" may pass through to the folder and write the files, so whatever stops him
// is the fault a test puts in place.
class LoadedWindow : public AppFixture
{
public:
    LoadedWindow()
    {
        QFile::setPermissions(path(QString()), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                   QFile::ExeOther);
        QDir(path(QString())).mkdir(QStringLiteral("daten"));
        setDataFolderWritable(true);
        WriteGuestFile(guestFile(), Guests(3));
        QVERIFY(WriteBytes(path(QStringLiteral("daten/ReNummer.DAT")), "41\r\n"));
        for (const char *name : {"daten/Gaeste.csv", "daten/ReNummer.DAT"})
            QFile::setPermissions(path(QString::fromLatin1(name)), QFile::ReadOwner | QFile::WriteOwner |
                                                                       QFile::ReadGroup | QFile::WriteGroup |
                                                                       QFile::ReadOther | QFile::WriteOther);
        dialogs.openFile = guestFile();
        // The guests' amounts are not the price list's: the amount typed is the one billed.
        dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Eingetragener Betrag"); };
        click("ButtonRead");
        QCOMPARE(list().size(), 4);
    }

    QString guestFile() const { return path(QStringLiteral("daten/Gaeste.csv")); }

    void setDataFolderWritable(bool writable) const
    {
        QFile::Permissions mode = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                  QFile::ReadOther | QFile::ExeOther;
        if (writable)
            mode |= QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(path(QStringLiteral("daten")), mode);
    }
};

} // namespace

class TestFaultsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void saveOnAFullDiskKeepsTheWork();
    void readOfAVanishedFileKeepsTheWork();
    void closingWhenTheFolderIsReadOnlyKeepsTheWindowOpen();
    void invoiceOnAFullDiskTakesNoNumber();
    void invoiceNumberOfAFailedSaveIsStillToBeSaved();
};

void TestFaultsWindow::saveOnAFullDiskKeepsTheWork()
{
    // GIVEN a read list whose last guest the host has renamed
    LoadedWindow app;
    const QByteArray old = FileBytes(app.guestFile());
    app.type("EditName", QStringLiteral("x"));
    QCOMPARE(app.list().current().Name, QStringLiteral("Gäst 3x"));

    // WHEN "Daten speichern" is clicked with the disk full
    {
        const DiskFull full(0);
        QVERIFY(full.ok());
        app.click("ButtonSave");
    }

    // THEN the error box names the cause and the file; the file, the list and the form are kept
    QCOMPARE(app.dialogs.errors, QStringList{IoMessage(platform::kDiskFull, app.guestFile())});
    QCOMPARE(FileBytes(app.guestFile()), old);
    QCOMPARE(app.list().current().Name, QStringLiteral("Gäst 3x"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Gäst 3x"));
    QVERIFY(app.list().changed());
    QCOMPARE(app.status(), QStringLiteral("3 Gästedatensätze gelesen"));

    // WHEN there is room again THEN the same click saves the renamed guest
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QCOMPARE(ReadGuestFile(app.guestFile()), app.list().records());
    QCOMPARE(ReadGuestFile(app.guestFile()).back().Name, QStringLiteral("Gäst 3x"));
    QVERIFY(!app.list().changed());
    QCOMPARE(app.status(), QStringLiteral("3 Gästedatensätze in Gaeste.csv geschrieben"));
}

void TestFaultsWindow::readOfAVanishedFileKeepsTheWork()
{
    // GIVEN a read list with a new, unsaved guest, and the file deleted behind the program's back
    LoadedWindow app;
    app.click("ButtonNeuerGast");
    app.type("EditName", QStringLiteral("Dora"));
    const QByteArray old = FileBytes(app.guestFile());
    QVERIFY(QFile::rename(app.guestFile(), app.guestFile() + QStringLiteral(".weg")));

    // WHEN "Daten lesen" is clicked and the changes are not to be saved first
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Nein"); };
    app.click("ButtonRead");

    // THEN the error box names the missing file, and the list and the form keep Dora
    QCOMPARE(app.dialogs.errors, QStringList{IoMessage(platform::kFileNotFound, app.guestFile())});
    QCOMPARE(app.list().size(), 5);
    QCOMPARE(app.list().current().Name, QStringLiteral("Dora"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Dora"));
    QVERIFY(app.list().changed());

    // WHEN the file is back THEN the same click reads it
    QVERIFY(QFile::rename(app.guestFile() + QStringLiteral(".weg"), app.guestFile()));
    app.click("ButtonRead");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QCOMPARE(app.list().size(), 4);
    QCOMPARE(FileBytes(app.guestFile()), old);
}

void TestFaultsWindow::closingWhenTheFolderIsReadOnlyKeepsTheWindowOpen()
{
    // GIVEN a read list with a renamed guest and a data folder that may not be written
    LoadedWindow app;
    const QByteArray old = FileBytes(app.guestFile());
    app.type("EditName", QStringLiteral("x"));
    app.setDataFolderWritable(false);

    // WHEN the window is closed by a user whose rights the folder limits, answering "Ja" to saving
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    {
        const AsNobody nobody;
        QVERIFY(nobody.ok());
        app.window->close();
    }

    // THEN the error box names the cause and the file, and the window stays open with the work
    // The amount was asked about before printing; closing asks once about the unsaved number.
    QCOMPARE(app.dialogs.choicesAsked.filter(QStringLiteral("Daten sichern?")),
             QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
    QCOMPARE(app.dialogs.choicesAsked.last(), QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen"));
    QCOMPARE(app.dialogs.errors, QStringList{IoMessage(platform::kAccessDenied, app.guestFile())});
    QVERIFY(app.window->isVisible());
    QCOMPARE(FileBytes(app.guestFile()), old);
    QCOMPARE(app.list().current().Name, QStringLiteral("Gäst 3x"));
    QVERIFY(app.list().changed());

    // WHEN the folder may be written again THEN closing saves the work and the window closes
    app.setDataFolderWritable(true);
    {
        const AsNobody nobody;
        app.window->close();
    }
    QVERIFY(!app.window->isVisible());
    QCOMPARE(ReadGuestFile(app.guestFile()).back().Name, QStringLiteral("Gäst 3x"));
}

void TestFaultsWindow::invoiceOnAFullDiskTakesNoNumber()
{
    // GIVEN a read list, the invoice form, and a printer that writes a PDF file
    LoadedWindow app;
    app.writeInvoiceForm();
    const QString pdf = app.path(QStringLiteral("rechnung.pdf"));
    app.printToPdf(pdf);
    const QByteArray old = FileBytes(app.guestFile());
    const QString counter = app.path(QStringLiteral("daten/ReNummer.DAT"));
    // The guest has invoice 3: it is cancelled, and a new one printed.
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Stornieren und neu berechnen"))
                   ? QStringLiteral("Stornieren und neu berechnen")
                   : QStringLiteral("Eingetragener Betrag");
    };

    // WHEN "Rechnung drucken" is clicked with the disk full
    {
        const DiskFull full(0);
        QVERIFY(full.ok());
        app.click("ButtonPrintRe");
    }

    // THEN the check before a number finds no room for the invoice's copy (an empty probe file
    // would have fitted) and names the folder; no number is used, nothing printed, nothing saved
    QCOMPARE(app.dialogs.errors,
             QStringList{QStringLiteral("In den Ordner für die Rechnungskopien kann nicht geschrieben werden (%1).\n%2\n"
                                        "Es wurde keine Rechnungsnummer vergeben und nichts gedruckt.")
                             .arg(platform::IoErrorText(platform::kDiskFull),
                                  QDir::toNativeSeparators(app.path(QStringLiteral("daten/Rechnungen"))))});
    QCOMPARE(FileBytes(counter), QByteArray("41\r\n"));
    QCOMPARE(app.list().current().ReNr, 3); // the guest's old number, as read
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(FileBytes(app.guestFile()), old);

    // WHEN there is room again THEN the same click cancels 3 with number 42, takes number 43 for
    // the new invoice and saves it with the guest
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QCOMPARE(app.list().current().ReNr, 43);
    QCOMPARE(FileBytes(counter), QByteArray("43\r\n"));
    QCOMPARE(ReadGuestFile(app.guestFile()).back().ReNr, 43);
    QVERIFY(QFile::exists(pdf));
    QVERIFY(QFile::exists(app.path(QStringLiteral("rechnung (Storno).pdf"))));
    QVERIFY(QFile::exists(app.path(QStringLiteral("daten/Rechnungen/Rechnung 42 (Storno zu 3).pdf"))));
    QVERIFY(QFile::exists(app.path(QStringLiteral("daten/Rechnungen/Rechnung 43.pdf"))));
}

void TestFaultsWindow::invoiceNumberOfAFailedSaveIsStillToBeSaved()
{
    // GIVEN a read list, the invoice form, a printer, and a guest file that may not be written
    LoadedWindow app;
    app.writeInvoiceForm();
    const QString pdf = app.path(QStringLiteral("daten/rechnung.pdf"));
    app.printToPdf(pdf);
    const QByteArray old = FileBytes(app.guestFile());
    QFile::setPermissions(app.guestFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    // The guest has invoice 3: it is cancelled, and a new one printed.
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Stornieren und neu berechnen"))
                   ? QStringLiteral("Stornieren und neu berechnen")
                   : QStringLiteral("Eingetragener Betrag");
    };

    // WHEN the invoice is printed by a user who may not write the guest file
    {
        const AsNobody nobody;
        QVERIFY(nobody.ok());
        app.click("ButtonPrintRe");
    }

    // THEN the cancellation is taken, printed and kept as PDF before the guest file is written; the
    // save of the guest file fails with its error, so the new invoice is not drawn: nothing is left
    // between the two that the next start could not explain, and the cancellation counts as unsaved work
    QVERIFY(QFile::exists(app.path(QStringLiteral("daten/Rechnungen/Rechnung 42 (Storno zu 3).pdf"))));
    QVERIFY(!QFile::exists(app.path(QStringLiteral("daten/Rechnungen/Rechnung 43.pdf"))));
    QCOMPARE(FileBytes(app.path(QStringLiteral("daten/ReNummer.DAT"))), QByteArray("42\r\n"));
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.front().startsWith(
                 QStringLiteral("Die Stornorechnung Nr. 42 ist gedruckt und als PDF abgelegt, aber noch nicht in "
                                "Gaeste.csv eingetragen:\n") +
                 IoMessage(platform::kAccessDenied, app.guestFile())),
             qPrintable(app.dialogs.errors.front()));
    QVERIFY(app.dialogs.errors.front().endsWith(QStringLiteral("Die neue Rechnung wurde nicht gedruckt.")));
    QCOMPARE(FileBytes(app.guestFile()), old);
    QCOMPARE(app.list().current().ReNr, 0);
    QVERIFY(app.list().changed());

    // WHEN the file may be written again and the window is closed THEN it asks, and saves the cancellation
    QFile::setPermissions(app.guestFile(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                                               QFile::ReadOther | QFile::WriteOther);
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    app.window->close();
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QCOMPARE(app.dialogs.choicesAsked.filter(NeueRechnungFrage(3)).size(), 1);
    // Closing asks once about the unsaved cancellation.
    QCOMPARE(app.dialogs.choicesAsked.filter(QStringLiteral("Daten sichern?")),
             QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
    QCOMPARE(app.dialogs.choicesAsked.last(), QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen"));
    QCOMPARE(ReadGuestFile(app.guestFile()).back().ReNr, 0);
}

QTEST_MAIN(TestFaultsWindow)
#include "test_faults_window.moc"
