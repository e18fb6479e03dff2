// Through the real window: no export and no print to a file replaces one of the program's files,
// exports are offered in "Export" with the date, only guest files can be restored, and numbers in
// the guest file that cannot be read are listed after reading and asked about before the save.

#include "app/backups/RestoreBackupDialog.h"
#include "app/guestlist/GuestListWindow.h"
#include "guestfile/Backups.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

using app::GuestListWindow;
using app::RestoreBackupDialog;
using guestfile::BackupInfo;
using guestfile::ListBackups;

namespace {

// In the code page of the guest file (Windows-1252).
const QByteArray kGuests = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n"
                           "1;1;2;18.02.2025;15:00:00;21.02.2025;10:00:00;Hans M\xFCller;K\xF6nigstra\xDF"
                           "e 3;34117;Kassel;;;0;150,00;False;False;\r\n"
                           "2;2;1;19.02.2025;15:00:00;22.02.2025;10:00:00;Eva Mueller;;50667;K\xF6ln;;;0;90,00;False;"
                           "False;\r\n";

void readGuests(AppFixture &app, const QByteArray &bytes)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), bytes);
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
}

GuestListWindow *openGuestList(AppFixture &app)
{
    QApplication::setActiveWindow(app.window.get());
    QTest::keyClick(app.window.get(), Qt::Key_F, Qt::ControlModifier);
    auto *window = app.window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
    if (window && !QTest::qWaitForWindowExposed(window))
        return nullptr;
    return window;
}

void triggerMenu(const AppFixture &app, const char *menu, const QString &entry)
{
    for (QAction *action : app.w<QMenu>(menu)->actions())
        if (action->text() == entry) {
            action->trigger();
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no menu entry ") + entry));
}

} // namespace

class TestOwnFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportRefusesTheProgramsFiles_data();
    void exportRefusesTheProgramsFiles();
    void exportIsOfferedInTheExportFolder();
    void printToFileRefusesTheGuestFile();
    void invoiceToTheGuestFileTakesNoNumber();
    void onlyGuestFilesCanBeRestored();
    void unreadableNumbersAreListedAndAskedAbout_data();
    void unreadableNumbersAreListedAndAskedAbout();
};

void TestOwnFiles::exportRefusesTheProgramsFiles_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("named"); // the program's file the message names
    QTest::newRow("the guest file") << "Gaeste.csv"
                                    << "Gaeste.csv";
    QTest::newRow("the guest file, another case") << "gaeste.CSV"
                                                  << "Gaeste.csv";
    QTest::newRow("the invoice counter") << "ReNummer.DAT"
                                         << "ReNummer.DAT";
    QTest::newRow("the price list") << "Preismatrix.dat"
                                    << "Preismatrix.dat";
    QTest::newRow("the invoice form") << "REVORL.JPG"
                                      << "REVORL.JPG";
    QTest::newRow("a backup") << "Sicherung/Gaeste 2025-02-19 100000.csv"
                              << "Sicherung";
    QTest::newRow("among the invoices") << "Rechnungen/liste.csv"
                                        << "Rechnungen";
    QTest::newRow("a link to the guest file") << "Export/verweis.csv"
                                              << "Gaeste.csv";
}

void TestOwnFiles::exportRefusesTheProgramsFiles()
{
    QFETCH(QString, target);
    QFETCH(QString, named);

    AppFixture app;
    readGuests(app, kGuests);
    app.writeInvoiceForm();
    app.writeFile(QStringLiteral("ReNummer.DAT"), "41\r\n");
    QDir(app.path(QString())).mkpath(QStringLiteral("Sicherung"));
    QDir(app.path(QString())).mkpath(QStringLiteral("Rechnungen"));
    QDir(app.path(QString())).mkpath(QStringLiteral("Export"));
    app.writeFile(QStringLiteral("Sicherung/Gaeste 2025-02-19 100000.csv"), kGuests);
    QVERIFY(QFile::link(app.path(QStringLiteral("Gaeste.csv")), app.path(QStringLiteral("Export/verweis.csv"))));
    const QString ownPath = app.path(named);
    const QByteArray before = QFileInfo(ownPath).isFile() ? app.readFile(named) : QByteArray();

    GuestListWindow *window = openGuestList(app);
    QVERIFY(window);
    app.dialogs.exportFile = app.path(target);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonExport")), Qt::LeftButton);

    QCOMPARE(app.dialogs.errors.size(), 1);
    const QString message = app.dialogs.errors.first();
    QVERIFY2(message.contains(QDir::toNativeSeparators(app.path(target))), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("anderen Namen wählen")), qPrintable(message));
    if (QDir::cleanPath(app.path(target)) != QDir::cleanPath(ownPath))
        QVERIFY2(message.contains(QDir::toNativeSeparators(ownPath)), qPrintable(message));
    // Byte for byte as before; nothing was written in its place.
    if (QFileInfo(ownPath).isFile())
        QCOMPARE(app.readFile(named), before);
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), kGuests);
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Rechnungen/liste.csv"))));
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("gaeste.CSV"))));
}

void TestOwnFiles::exportIsOfferedInTheExportFolder()
{
    AppFixture app;
    readGuests(app, kGuests);
    GuestListWindow *window = openGuestList(app);
    QVERIFY(window);
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Export"))));
    app.dialogs.exportFile = app.path(QStringLiteral("Export/Gästeliste 2025-02-20.csv"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonExport")), Qt::LeftButton);
    QCOMPARE(app.dialogs.exportsAsked,
             QStringList{QStringLiteral("Gästeliste exportieren|%1|CSV-Dateien (*.csv)")
                             .arg(app.path(QStringLiteral("Export/Gästeliste 2025-02-20.csv")))});
    QVERIFY(app.dialogs.errors.isEmpty());
    QVERIFY(app.readFile(QStringLiteral("Export/Gästeliste 2025-02-20.csv")).contains("Hans Müller"));

    // The calendars are not written into the program's folders either.
    app.dialogs.folder = app.path(QStringLiteral("Sicherung"));
    QDir(app.path(QString())).mkdir(QStringLiteral("Sicherung"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonKalenderExport")), Qt::LeftButton);
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(QDir(app.path(QStringLiteral("Sicherung"))).isEmpty());
}

void TestOwnFiles::printToFileRefusesTheGuestFile()
{
    AppFixture app;
    readGuests(app, kGuests);
    GuestListWindow *window = openGuestList(app);
    QVERIFY(window);
    app.printToPdf(app.path(QStringLiteral("Gaeste.csv")));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonTagesliste")), Qt::LeftButton);
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().contains(QDir::toNativeSeparators(app.path(QStringLiteral("Gaeste.csv")))));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), kGuests);
}

void TestOwnFiles::invoiceToTheGuestFileTakesNoNumber()
{
    AppFixture app;
    app.writeInvoiceForm();
    app.writeFile(QStringLiteral("ReNummer.DAT"), "41\r\n");
    readGuests(app, kGuests);
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.printToPdf(app.path(QStringLiteral("ReNummer.DAT")));
    // 150,00 is an agreed price, below the list's 210,00 for the stay.
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Eingetragener Betrag"); };
    app.click("ButtonPrintRe");
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().contains(QStringLiteral("ReNummer.DAT")));
    QCOMPARE(app.readFile(QStringLiteral("ReNummer.DAT")), QByteArray("41\r\n"));
    QCOMPARE(app.list().at(1).ReNr, 0);
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), kGuests);
}

void TestOwnFiles::onlyGuestFilesCanBeRestored()
{
    AppFixture app;
    readGuests(app, kGuests);
    // An export that found its way among the backups, named like one.
    QDir(app.path(QString())).mkdir(QStringLiteral("Sicherung"));
    app.writeFile(QStringLiteral("Sicherung/Gaeste 2025-02-19 100000.csv"), "\xEF\xBB\xBFNr.;Name;Stra\xC3\x9F"
                                                                            "e\r\n1;Hans;\r\n");
    const std::vector<BackupInfo> backups = ListBackups(app.path(QString()) + u'/');
    QCOMPARE(backups.size(), std::size_t(1));
    QCOMPARE(backups.front().guests, -1);

    app.dialogs.backupAnswer = 0;
    triggerMenu(app, "MenuDatei", QStringLiteral("Sicherung &wiederherstellen…"));
    QCOMPARE(app.dialogs.backupsOffered, 1);
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY(app.dialogs.errors.first().contains(QStringLiteral("keine lesbare Gästedatei")));
    QCOMPARE(app.list().size(), 3);
    QCOMPARE(app.list().at(1).Name, QStringLiteral("Hans Müller"));
    QVERIFY(!app.list().changed());

    // The dialog shows it as unreadable, and its button does not restore it.
    RestoreBackupDialog dialog({{QStringLiteral("b.csv"), QDateTime(QDate(2025, 2, 20), QTime(10, 5, 3)), 8},
                                {backups.front().path, backups.front().time, -1}});
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("TableSicherungen"));
    QPushButton *restore = nullptr;
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text() == QStringLiteral("Wiederherstellen"))
            restore = button;
    QVERIFY(table && restore);
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("nicht lesbar"));
    QVERIFY(restore->isEnabled());
    table->selectRow(1);
    QVERIFY(!restore->isEnabled());
    table->selectRow(0);
    QVERIFY(restore->isEnabled());
}

void TestOwnFiles::unreadableNumbersAreListedAndAskedAbout_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Nein saves nothing") << false;
    QTest::newRow("Ja writes them as 0") << true;
}

void TestOwnFiles::unreadableNumbersAreListedAndAskedAbout()
{
    QFETCH(bool, answer);

    AppFixture app;
    QByteArray damaged = kGuests;
    damaged.replace("Kassel;;;0;150,00;", "Kassel;;;1O40;1.280,00 \x80;");
    damaged.replace(";50667;K", ";D-01067;K");
    damaged.replace("90,00;False;False;", "90,00;False;False;Hund; Katze");
    readGuests(app, damaged);
    QCOMPARE(app.list().size(), 3);
    QCOMPARE(app.list().at(1).Kosten, 1280.0); // a form a person writes
    QCOMPARE(app.dialogs.informations.size(), 1);
    const QString listed = app.dialogs.informations.first();
    for (const QString &part :
         {QStringLiteral("Zeile 2, Rechnung Nr.: „1O40“"), QStringLiteral("Zeile 3, PLZ: „D-01067“"),
          QStringLiteral("Zeile 3, nach dem 18. Feld: „ Katze“")})
        QVERIFY2(listed.contains(part), qPrintable(listed));

    app.dialogs.confirmAnswer = answer;
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
    const QString question = app.dialogs.confirmations.first();
    QVERIFY2(question.contains(QStringLiteral("1O40")) && question.contains(QStringLiteral("D-01067")) &&
                 question.contains(QStringLiteral("als 0")),
             qPrintable(question));
    if (!answer) {
        QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), damaged);
        QCOMPARE(app.status(), QStringLiteral("Nicht gespeichert"));
        return;
    }
    const QByteArray written = app.readFile(QStringLiteral("Gaeste.csv"));
    QVERIFY2(written.contains(";Kassel;;;0;1280,00;"), written.constData());
    QVERIFY(written.contains(";0;K\xF6ln;"));
    // Asked once: the next save goes ahead.
    app.type("EditName", QStringLiteral("x"));
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
}

QTEST_MAIN(TestOwnFiles)
#include "test_ownfiles.moc"
