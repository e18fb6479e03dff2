// Nothing the host has is lost by the window: a save never replaces a guest file it has not read,
// a cancelled folder dialog saves nothing, and the program starts on the host's data.

#include "app/backups/RestoreBackupDialog.h"
#include "guestfile/Backups.h"
#include "guestfile/Settings.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <csignal>

using app::RestoreBackupDialog;
using app::TMainForm;
using guestfile::BackupInfo;
using guestfile::LeftRecoveryCopies;
using guestfile::ReadRecoveryFile;
using guestfile::ListBackups;
using guestfile::RememberDataFolder;

using namespace moves;

namespace {

QByteArray eightGuests()
{
    QByteArray file = kRecordZero;
    for (int nr = 1; nr <= 8; ++nr)
        file += guestLine(nr, "1", 1, "01.03.2025", "02.03.2025", "Gast");
    return file;
}

// A second window on the same working folder, started as the program starts.
std::unique_ptr<TMainForm> startWindow(ScriptedDialogs::Script &script)
{
    auto window = std::make_unique<TMainForm>(std::make_unique<ScriptedDialogs>(script));
    window->show();
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

void readFrom(AppFixture &app, const QByteArray &file)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
}

QString statusOf(const TMainForm &window)
{
    return window.findChild<QLabel *>(QStringLiteral("LabelStatus"))->text();
}

} // namespace

class TestNothingLost : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void saveOverAnUnreadFileAsks_data();
    void saveOverAnUnreadFileAsks();
    void saveAfterAFailedReadAsks();
    void cancelledFolderDialogSavesNothing();
    void startReadsTheRememberedFolder();
    void longTextSurvivesAnEdit();
    void secondCopyOnTheSameFolderIsTold();
    void saveOverAFileAnotherProgramChangedAsks_data();
    void saveOverAFileAnotherProgramChangedAsks();
    void charactersTheFileCannotHoldAreAsked_data();
    void charactersTheFileCannotHoldAreAsked();
    void eachSaveKeepsABackupThatCanBeRestored();
    void restoreDialogListsTheBackups();
    void terminationClosesAsTheHostWould();
    void endingSessionWithoutQuestionsKeepsTheChanges();
    void twoCopiesKeepTheirOwnRecoveryCopies();
    void vanishedDataFolderIsNamed_data();
    void vanishedDataFolderIsNamed();
    void startWithoutTheRememberedFileSaysWhy_data();
    void startWithoutTheRememberedFileSaysWhy();
};

void TestNothingLost::saveOverAnUnreadFileAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Ja: replaced") << true;
    QTest::newRow("Nein: kept") << false;
}

void TestNothingLost::saveOverAnUnreadFileAsks()
{
    QFETCH(bool, answer);
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.dialogs.saveFile = app.path(QStringLiteral("Gaeste.csv"));
    app.dialogs.confirmAnswer = answer;
    app.click("ButtonSave"); // before any read
    QCOMPARE(app.dialogs.confirmations.size(), 1);
    QVERIFY(app.dialogs.confirmations.first().contains(QStringLiteral("Sie enthält 8 Gäste")));
    QVERIFY(app.dialogs.confirmations.first().contains(QStringLiteral("Gaeste.csv")));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")) == eightGuests(), !answer);
    QCOMPARE(app.status(), answer ? QStringLiteral("0 Gästedatensätze in Gaeste.csv geschrieben")
                                  : QStringLiteral("Nicht gespeichert"));

    // Once read or written, the file is the session's own: no more questions.
    app.dialogs.confirmAnswer = true;
    app.click("ButtonRead");
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
}

void TestNothingLost::saveAfterAFailedReadAsks()
{
    AppFixture app;
    QByteArray bad = eightGuests();
    bad.replace("02.03.2025", "kein Datum");
    app.writeFile(QStringLiteral("Gaeste.csv"), bad);
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    QCOMPARE(app.dialogs.errors.size(), 1);
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
    QVERIFY(app.dialogs.confirmations.first().contains(QStringLiteral("nicht lesbar")));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), bad);
}

void TestNothingLost::cancelledFolderDialogSavesNothing()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    app.click("ButtonSave"); // the folder dialog is cancelled
    QCOMPARE(app.dialogs.saveAsked, 1);
    QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
    QCOMPARE(app.status(), QStringLiteral("Nicht gespeichert: kein Datenordner gewählt"));
    QVERIFY(app.list().changed());
}

void TestNothingLost::longTextSurvivesAnEdit()
{
    AppFixture app;
    const QByteArray remark(40000, 'r');
    app.writeFile(QStringLiteral("Gaeste.csv"),
                  kRecordZero + "1;1;1;18.02.2025;14:00:00;20.02.2025;10:00:00;Lang;;0;;;;0; 0,00;False;False;" +
                      remark + "\r\n");
    app.click("ButtonRead");
    app.type("EditName", QStringLiteral("e"));
    app.enter("EditBem");
    QTest::keyClick(app.w("EditBem"), Qt::Key_End);
    app.keyClicks("EditBem", QStringLiteral("!"));
    app.leave();
    QCOMPARE(app.list().current().Name, QStringLiteral("Lange"));
    QCOMPARE(app.list().current().Bemerkung, QString::fromLatin1(remark) + u'!');
}

void TestNothingLost::secondCopyOnTheSameFolderIsTold()
{
    AppFixture app;
    readFrom(app, eightGuests());
    QVERIFY(app.dialogs.informations.isEmpty());

    ScriptedDialogs::Script script;
    script.openFile = app.path(QStringLiteral("Gaeste.csv"));
    const auto second = startWindow(script);
    QTest::mouseClick(second->findChild<QPushButton *>(QStringLiteral("ButtonRead")), Qt::LeftButton);
    QCOMPARE(script.informations.size(), 1);
    QVERIFY2(script.informations.first().contains(QStringLiteral("bereits")), qPrintable(script.informations.first()));
    QCOMPARE(second->context().guests().guestCount(), 8); // reading is allowed; the host now knows
}

void TestNothingLost::saveOverAFileAnotherProgramChangedAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Ja: replaced") << true;
    QTest::newRow("Nein: the other program's guest stays") << false;
}

void TestNothingLost::saveOverAFileAnotherProgramChangedAsks()
{
    QFETCH(bool, answer);
    AppFixture app;
    readFrom(app, eightGuests());
    // Another copy of the program adds a guest and saves.
    const QByteArray theirs = eightGuests() + guestLine(9, "2", 1, "05.03.2025", "06.03.2025", "Neu");
    app.writeFile(QStringLiteral("Gaeste.csv"), theirs);
    app.type("EditName", QStringLiteral("x"));
    app.dialogs.confirmAnswer = answer;
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
    QVERIFY2(app.dialogs.confirmations.first().contains(QStringLiteral("geändert")),
             qPrintable(app.dialogs.confirmations.first()));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")) == theirs, !answer);
    QCOMPARE(app.list().changed(), !answer);
}

void TestNothingLost::charactersTheFileCannotHoldAreAsked_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Ja: saved with ?") << true;
    QTest::newRow("Nein: nothing saved") << false;
}

void TestNothingLost::charactersTheFileCannotHoldAreAsked()
{
    QFETCH(bool, answer);
    AppFixture app;
    readFrom(app, eightGuests());
    app.enter("EditName");
    app.w<QLineEdit>("EditName")->selectAll();
    AppFixture::keyClicks(app.w("EditName"), QStringLiteral("Łukasz Dvořák"));
    app.leave();
    app.dialogs.confirmAnswer = answer;
    app.click("ButtonSave");
    QCOMPARE(app.dialogs.confirmations.size(), 1);
    const QString question = app.dialogs.confirmations.first();
    QVERIFY2(question.contains(QStringLiteral("Łukasz Dvořák")) && question.contains(u'Ł') && question.contains(u'ř'),
             qPrintable(question));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")).contains(";?ukasz Dvo?\xE1k;"), answer);
    QCOMPARE(app.list().changed(), !answer);
}

void TestNothingLost::eachSaveKeepsABackupThatCanBeRestored()
{
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("x"));
    app.click("ButtonSave");
    const std::vector<BackupInfo> backups = ListBackups(app.path(QString()) + u'/');
    QCOMPARE(backups.size(), std::size_t(1));
    QCOMPARE(backups.front().guests, 8);
    QVERIFY(app.readFile(QStringLiteral("Gaeste.csv")).contains(";Gastx;"));

    // The host goes back to the version before the save.
    app.type("EditName", QStringLiteral("y")); // unsaved, and asked about first
    app.dialogs.backupAnswer = 0;
    // Esc at the first question restores nothing.
    triggerMenu(app, "MenuDatei", QStringLiteral("Sicherung &wiederherstellen…"));
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QCOMPARE(app.list().current().Name, QStringLiteral("Gastxy"));
    QCOMPARE(app.status(), QStringLiteral("Keine Sicherung wiederhergestellt"));

    app.dialogs.choicesAsked.clear();
    app.dialogs.choose = [](const QString &, const QStringList &buttons) {
        return buttons.contains(QStringLiteral("Wiederherstellen")) ? QStringLiteral("Wiederherstellen")
                                                                     : QStringLiteral("Nein");
    };
    platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 0, 30)));
    triggerMenu(app, "MenuDatei", QStringLiteral("Sicherung &wiederherstellen…"));
    QCOMPARE(app.dialogs.backupsOffered, 1);
    QCOMPARE(app.dialogs.choicesAsked,
             (QStringList{QStringLiteral("Die Sicherung vom 20.02.2025 10:00:00 mit 8 Gästen ersetzt die Gästeliste im "
                                         "Programm (jetzt 8 Gäste).\n\nDie jetzige Gaeste.csv wird vorher im Ordner "
                                         "„Sicherung“ abgelegt; Rechnungen, Preise und Einstellungen bleiben, wie sie "
                                         "sind.\n\nSicherung wiederherstellen?|Wiederherstellen|Abbrechen"),
                          QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")}));
    QCOMPARE(app.list().current().Name, QStringLiteral("Gast"));
    QVERIFY(app.list().changed());
    QVERIFY(app.status().startsWith(QStringLiteral("Sicherung vom ")));
    // The file it replaces was kept first.
    QCOMPARE(ListBackups(app.path(QString()) + u'/').size(), std::size_t(2));

    platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 1)));
    app.click("ButtonSave"); // written back as Gaeste.csv, without a question
    QCOMPARE(app.dialogs.confirmations.size(), 0);
    QCOMPARE(app.dialogs.choicesAsked.size(), 2);
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    QCOMPARE(ListBackups(app.path(QString()) + u'/').size(), std::size_t(3));
}

void TestNothingLost::restoreDialogListsTheBackups()
{
    const std::vector<BackupInfo> backups = {
        {QStringLiteral("b.csv"), QDateTime(QDate(2025, 2, 20), QTime(10, 5, 3)), 8},
        {QStringLiteral("a.csv"), QDateTime(QDate(2025, 1, 31), QTime(23, 0)), -1}};
    RestoreBackupDialog dialog(backups);
    QCOMPARE(dialog.objectName(), QStringLiteral("RestoreBackupDialog"));
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("TableSicherungen"));
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("20.02.2025 10:05:03"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("8"));
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("nicht lesbar"));
    QCOMPARE(dialog.chosen(), 0);
    table->selectRow(1);
    QCOMPARE(dialog.chosen(), 1);
}

void TestNothingLost::terminationClosesAsTheHostWould()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    app.enter("EditName");
    app.keyClicks("EditName", QStringLiteral("x")); // still in the field when the system ends the program
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    QCOMPARE(::raise(SIGTERM), 0);
    QTRY_VERIFY(!app.window->isVisible());
    QCOMPARE(app.dialogs.choicesAsked, QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
    QVERIFY(app.readFile(QStringLiteral("Gaeste.csv")).contains(";Gastx;"));
}

void TestNothingLost::endingSessionWithoutQuestionsKeepsTheChanges()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    app.type("EditName", QStringLiteral("y"));
    QVERIFY(app.sessionEnds(false));
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QVERIFY(app.dialogs.choicesAsked.isEmpty());
    // Nobody said "Ja": the guest file stays, and the changes wait for the next start.
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    QVERIFY(app.readFile(QStringLiteral("Gaeste.csv.wiederherstellen")).contains(";Gasty;"));
    QVERIFY(app.list().changed());
}

void TestNothingLost::twoCopiesKeepTheirOwnRecoveryCopies()
{
    AppFixture first;
    readFrom(first, eightGuests());
    const QString folder = first.path(QString());
    const QString shared = first.path(QStringLiteral("Gaeste.csv.wiederherstellen"));
    first.type("EditName", QStringLiteral("x"));
    QTest::qWait(2000); // longer than the program waits before it writes the recovery copy
    QVERIFY(ReadRecoveryFile(shared).back().Name == QStringLiteral("Gastx"));

    // A second copy on the same folder edits, pauses and saves: the first copy's work stays.
    ScriptedDialogs::Script script;
    auto second = startWindow(script);
    auto *telefon = second->findChild<QLineEdit *>(QStringLiteral("EditTelefon"));
    telefon->setFocus(Qt::MouseFocusReason);
    AppFixture::keyClicks(telefon, QStringLiteral("0301"));
    QTest::qWait(2000);
    QVERIFY(ReadRecoveryFile(shared).back().Telefon.isEmpty());
    const auto ownFiles = [&] {
        return QDir(folder).entryList({QStringLiteral("Gaeste.csv.wiederherstellen.*")}, QDir::Files);
    };
    QCOMPARE(ownFiles().size(), 2); // the second copy's recovery copy and its lock
    QTest::mouseClick(second->findChild<QAbstractButton *>(QStringLiteral("ButtonSave")), Qt::LeftButton);
    QVERIFY(first.readFile(QStringLiteral("Gaeste.csv")).contains(";0301;"));
    QCOMPARE(ownFiles().size(), 1); // its lock, while it runs
    QCOMPARE(ReadRecoveryFile(shared).back().Name, QStringLiteral("Gastx"));

    // Both copies are ended with unsaved work, as a kill would leave them.
    second->findChild<QLineEdit *>(QStringLiteral("EditBem"))->setFocus(Qt::MouseFocusReason);
    AppFixture::keyClicks(second->findChild<QLineEdit *>(QStringLiteral("EditBem")), QStringLiteral("zweite"));
    QTest::qWait(2000);
    second.reset();
    QVERIFY(first.sessionEnds(false));
    first.window.reset();
    QCOMPARE(LeftRecoveryCopies(folder + u'/').size(), std::size_t(2));

    // The next start offers each, named with its time; what is not taken is kept as a backup.
    ScriptedDialogs::Script third;
    int asked = 0;
    third.choose = [&asked](const QString &, const QStringList &) {
        return ++asked == 1 ? QStringLiteral("Nein") : QStringLiteral("Ja");
    };
    const auto window = startWindow(third);
    QCOMPARE(third.choicesAsked.size(), 2);
    for (const QString &question : third.choicesAsked)
        QVERIFY2(question.startsWith(QStringLiteral("Ungespeicherte Änderungen vom ")), qPrintable(question));
    QVERIFY(window->context().guests().changed());
    QVERIFY(statusOf(*window).contains(QStringLiteral("wiederhergestellt")));
    QCOMPARE(ListBackups(folder + u'/').size(), std::size_t(2)); // the second copy's save, and the copy not taken
    QVERIFY(ownFiles().isEmpty());
}

void TestNothingLost::vanishedDataFolderIsNamed_data()
{
    QTest::addColumn<QString>("button"); // empty: Esc
    QTest::addColumn<QString>("savedIn"); // empty: nothing saved
    QTest::newRow("Neu anlegen") << "Neu anlegen" << "daten";
    QTest::newRow("Anderen Ordner wählen…") << "Anderen Ordner wählen…" << "anderswo";
    QTest::newRow("Abbrechen") << "Abbrechen" << "";
    QTest::newRow("Esc") << "" << "";
}

void TestNothingLost::vanishedDataFolderIsNamed()
{
    QFETCH(QString, button);
    QFETCH(QString, savedIn);
    // GIVEN the data folder "daten", read, and an edit
    AppFixture app;
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    QDir(app.path(QString())).mkdir(QStringLiteral("anderswo"));
    app.writeFile(QStringLiteral("daten/Gaeste.csv"), eightGuests());
    app.dialogs.openFile = app.daten(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    app.type("EditName", QStringLiteral("x"));

    // WHEN the folder vanishes while the program runs, and the host saves
    QVERIFY(QDir(app.daten(QString())).removeRecursively());
    app.dialogs.choose = [button](const QString &, const QStringList &) { return button; };
    app.dialogs.folder = app.path(QStringLiteral("anderswo"));
    app.click("ButtonSave");

    // THEN the host is told that the folder is gone, and chooses
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY2(app.dialogs.choicesAsked.front().startsWith(
                 QStringLiteral("Der Datenordner %1 ist nicht mehr da")
                     .arg(QDir::toNativeSeparators(app.daten(QString())))),
             qPrintable(app.dialogs.choicesAsked.front()));
    QVERIFY(app.dialogs.choicesAsked.front().endsWith(QStringLiteral("|Neu anlegen|Anderen Ordner wählen…|Abbrechen")));
    QVERIFY(app.dialogs.errors.isEmpty());
    if (savedIn.isEmpty()) {
        // nothing is written anywhere, and the list keeps the edit
        QVERIFY(!QFileInfo::exists(app.daten(QString())));
        QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("anderswo/Gaeste.csv"))));
        QVERIFY(app.list().changed());
        QVERIFY(app.status().startsWith(QStringLiteral("Nicht gespeichert: der Datenordner")));
    } else {
        QVERIFY(app.readFile(savedIn + QStringLiteral("/Gaeste.csv")).contains(";Gastx;"));
        QVERIFY(!app.list().changed());
    }
    QCOMPARE(app.list().current().Name, QStringLiteral("Gastx"));
}

void TestNothingLost::startReadsTheRememberedFolder()
{
    AppFixture app;
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    app.writeFile(QStringLiteral("daten/Gaeste.csv"), eightGuests());
    app.dialogs.openFile = app.path(QStringLiteral("daten/Gaeste.csv"));
    app.click("ButtonRead"); // the folder is chosen, and remembered

    ScriptedDialogs::Script script;
    const auto window = startWindow(script);
    QCOMPARE(window->context().guests().guestCount(), 8);
    QCOMPARE(window->context().guests().currentIndex(), 8);
    QCOMPARE(script.openAsked, 0);
    // Followed by what the folder still lacks (it holds no invoice counter, form or price list).
    const QString read = QStringLiteral("8 Gästedatensätze gelesen aus %1")
                             .arg(QDir::toNativeSeparators(app.path(QStringLiteral("daten/"))));
    QVERIFY2(statusOf(*window) == read ||
                 statusOf(*window).startsWith(read + QStringLiteral(" – Noch nicht eingerichtet")),
             qPrintable(statusOf(*window)));
}

void TestNothingLost::startWithoutTheRememberedFileSaysWhy_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: no file at all
    QTest::addColumn<QString>("status");
    QTest::newRow("missing") << QByteArray() << "Gaeste.csv nicht gelesen: Datei nicht gefunden – ";
    QTest::newRow("damaged") << QByteArray("0;;0;kaputt\r\n")
                             << "Gaeste.csv nicht gelesen: 'kaputt' ist kein gültiges Datum – Gaeste.csv, Zeile 1";
}

void TestNothingLost::startWithoutTheRememberedFileSaysWhy()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, status);
    AppFixture app;
    if (!file.isEmpty())
        app.writeFile(QStringLiteral("Gaeste.csv"), file);
    RememberDataFolder(app.path(QString()));
    ScriptedDialogs::Script script;
    const auto window = startWindow(script);
    QCOMPARE(window->context().guests().size(), 1);
    QVERIFY2(statusOf(*window).startsWith(status), qPrintable(statusOf(*window)));
    QVERIFY(script.errors.isEmpty());
}

QTEST_MAIN(TestNothingLost)
#include "test_nothinglost.moc"
