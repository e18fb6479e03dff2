// Leaving the program, or being made to leave it, loses no work: every question about unsaved
// changes can be cancelled, and a recovery copy of the changes outlives a kill, a session end
// without questions and a lost display, to be offered at the next start.

#include "app/ZimbranaApplication.h"
#include "guestfile/Backups.h"
#include "guestfile/Recovery.h"
#include "guestfile/Settings.h"
#include "platform/FolderLock.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <csignal>

using app::InstallGermanQtTexts;
using app::TMainForm;
using guestfile::BackupInfo;
using guestfile::ListBackups;
using guestfile::ReadGuestFile;
using guestfile::ReadRecoveryCopy;
using guestfile::RecoveryPath;
using guestfile::RememberDataFolder;
using guests::TGast;

using namespace moves;

namespace {

const QString kSaveQuestion = QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen");

QByteArray eightGuests()
{
    QByteArray file = kRecordZero;
    for (int nr = 1; nr <= 8; ++nr)
        file += guestLine(nr, "1", 1, "01.03.2025", "02.03.2025", "Gast");
    return file;
}

void readFrom(AppFixture &app, const QByteArray &file)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
}

void answer(AppFixture &app, const QString &button)
{
    app.dialogs.choose = [button](const QString &, const QStringList &) { return button; };
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

QString recoveryOf(const AppFixture &app)
{
    return RecoveryPath(app.path(QString()));
}

QString statusOf(const TMainForm &window)
{
    return window.findChild<QLabel *>(QStringLiteral("LabelStatus"))->text();
}

// The way out the host takes with unsaved changes.
enum class Way { Close, Read, RestoreBackup };

void takeTheWay(AppFixture &app, Way way)
{
    switch (way) {
    case Way::Close: app.window->close(); break;
    case Way::Read: app.click("ButtonRead"); break;
    case Way::RestoreBackup:
        app.dialogs.backupAnswer = 0;
        triggerMenu(app, "MenuDatei", QStringLiteral("Sicherung &wiederherstellen…"));
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void cancelKeepsEveryEdit_data();
    void cancelKeepsEveryEdit();
    void realQuestionIsCancelledByEscAndButton_data();
    void realQuestionIsCancelledByEscAndButton();
    void sessionEndMayBeCancelledOnlyWhereItAsks();
    void recoveryCopyFollowsAChangeWithinTwoSeconds();
    void neinAtClosingRemovesTheRecoveryCopy();
    void recoveryCopyIsOfferedAtTheNextStart_data();
    void recoveryCopyIsOfferedAtTheNextStart();
    void recoveryCopyOlderThanTheGuestFileIsKeptAside();
    void secondSignalClosesWithoutAnAnswer();
    void killedBySigtermAndSighupLeavesTheChangesRecoverable();
    void leftoversOfACutOffSaveGoAtTheNextStart_data();
    void leftoversOfACutOffSaveGoAtTheNextStart();
};

void TestClosing::cancelKeepsEveryEdit_data()
{
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("button"); // empty: Esc
    for (const auto &[name, way] : {std::pair{"closing", Way::Close}, std::pair{"Daten lesen", Way::Read},
                                    std::pair{"restoring a backup", Way::RestoreBackup}}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, Abbrechen").arg(QLatin1String(name)))) << way << "Abbrechen";
        QTest::newRow(qPrintable(QStringLiteral("%1, Esc").arg(QLatin1String(name)))) << way << "";
    }
}

void TestClosing::cancelKeepsEveryEdit()
{
    QFETCH(Way, way);
    QFETCH(QString, button);
    // GIVEN a read guest file with a backup, and a name being typed
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("x"));
    app.click("ButtonSave");
    const QByteArray saved = app.readFile(QStringLiteral("Gaeste.csv"));
    app.enter("EditName");
    app.keyClicks("EditName", QStringLiteral("yz"));

    // WHEN the host cancels "Daten sichern?" (after agreeing to restore the backup, for that way)
    answer(app, button);
    if (way == Way::RestoreBackup) {
        app.dialogs.choose = [button](const QString &text, const QStringList &) {
            return text.startsWith(QStringLiteral("Die Sicherung vom ")) ? QStringLiteral("Wiederherstellen") : button;
        };
    }
    takeTheWay(app, way);
    if (way == Way::RestoreBackup)
        QVERIFY(app.dialogs.choicesAsked.takeFirst().startsWith(QStringLiteral("Die Sicherung vom ")));

    // THEN nothing is saved, read or closed, and the edits are all there
    QCOMPARE(app.dialogs.choicesAsked, QStringList{kSaveQuestion});
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), saved);
    QVERIFY(app.list().changed());
    QCOMPARE(app.list().current().Name, QStringLiteral("Gastxyz"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Gastxyz"));
    QCOMPARE(app.list().guestCount(), 8);
}

void TestClosing::realQuestionIsCancelledByEscAndButton_data()
{
    QTest::addColumn<bool>("reading"); // else closing
    QTest::addColumn<QString>("how");
    for (const bool reading : {false, true})
        for (const char *how : {"Esc", "Abbrechen", "×"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(reading ? "Daten lesen" : "closing", how)))
                << reading << QString::fromUtf8(how);
}

void TestClosing::realQuestionIsCancelledByEscAndButton()
{
    QFETCH(bool, reading);
    QFETCH(QString, how);
    QVERIFY(InstallGermanQtTexts(*QCoreApplication::instance()));
    // GIVEN the shipped dialogs on a remembered data folder, and a changed name
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.window.reset();
    RememberDataFolder(app.path(QString()) + u'/');
    TMainForm window;
    window.show();
    QCOMPARE(window.context().guests().guestCount(), 8);
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("EditName"));
    name->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(name, QStringLiteral("q"));

    // WHEN the real "Daten sichern?" is answered by Esc, by its button "Abbrechen" or by its ×
    QString question;
    QStringList buttons;
    QTimer::singleShot(0, &window, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        question = box->text();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text().remove(u'&');
        if (how == QStringLiteral("Esc")) {
            QTest::keyClick(box, Qt::Key_Escape);
        } else if (how == QStringLiteral("×")) {
            box->close();
        } else {
            for (QAbstractButton *button : box->buttons())
                if (button->text().remove(u'&') == how)
                    button->click();
        }
    });
    if (reading)
        window.findChild<QPushButton *>(QStringLiteral("ButtonRead"))->click();
    else
        QVERIFY(!window.close());

    // THEN the window stays, with the edit, and the file is as it was
    QCOMPARE(question, QStringLiteral("Daten sichern?"));
    QCOMPARE(buttons, (QStringList{QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Abbrechen")}));
    QVERIFY(window.isVisible());
    QCOMPARE(name->text(), QStringLiteral("Gastq"));
    QCOMPARE(window.context().guests().current().Name, QStringLiteral("Gastq"));
    QVERIFY(window.context().guests().changed());
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
}

void TestClosing::sessionEndMayBeCancelledOnlyWhereItAsks()
{
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("s"));

    // WHEN the session lets the program ask and the host cancels THEN the session must not end
    answer(app, QStringLiteral("Abbrechen"));
    QVERIFY(!app.sessionEnds(true));
    QCOMPARE(app.dialogs.choicesAsked, QStringList{kSaveQuestion});
    QVERIFY(app.list().changed());

    // WHEN it allows no questions THEN nothing asks, the guest file stays, the changes are in the
    // recovery copy, and closing asks nothing more
    QVERIFY(app.sessionEnds(false));
    QVERIFY(app.window->close());
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    QCOMPARE(ReadRecoveryCopy(app.path(QString())).back().Name, QStringLiteral("Gasts"));
}

void TestClosing::recoveryCopyFollowsAChangeWithinTwoSeconds()
{
    AppFixture app;
    readFrom(app, eightGuests());
    QVERIFY(!QFile::exists(recoveryOf(app)));

    // WHEN the host types, without leaving the field
    app.enter("EditName");
    app.keyClicks("EditName", QStringLiteral("r"));
    QElapsedTimer timer;
    timer.start();

    // THEN within two seconds the unsaved list is in the recovery copy, for the owner only, and
    // the guest file is untouched
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recoveryOf(app)), 2000);
    QVERIFY(timer.elapsed() <= 2000);
    QCOMPARE(QFile::permissions(recoveryOf(app)) & 0x7777,
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
    const std::vector<TGast> recovered = ReadRecoveryCopy(app.path(QString()));
    QCOMPARE(recovered.size(), std::size_t(9));
    QCOMPARE(recovered.back().Name, QStringLiteral("Gastr"));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());

    // WHEN the host saves THEN the copy is gone, and no new one comes without a change
    app.click("ButtonSave");
    QVERIFY(!QFile::exists(recoveryOf(app)));
    QTest::qWait(1800);
    QVERIFY(!QFile::exists(recoveryOf(app)));
}

void TestClosing::neinAtClosingRemovesTheRecoveryCopy()
{
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("n"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(recoveryOf(app)), 2000);
    answer(app, QStringLiteral("Nein"));
    QVERIFY(app.window->close());
    QVERIFY(!QFile::exists(recoveryOf(app)));
    QTest::qWait(1800);
    QVERIFY(!QFile::exists(recoveryOf(app)));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
}

void TestClosing::recoveryCopyIsOfferedAtTheNextStart_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Ja: loaded as unsaved changes") << "Ja";
    QTest::newRow("Nein: kept aside as a backup") << "Nein";
}

void TestClosing::recoveryCopyIsOfferedAtTheNextStart()
{
    QFETCH(QString, button);
    // GIVEN a program that ended with unsaved changes in its recovery copy
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("w"));
    QVERIFY(app.sessionEnds(false));
    app.window.reset();
    QVERIFY(QFile::exists(recoveryOf(app)));
    const QDateTime written = QFileInfo(recoveryOf(app)).lastModified();

    // WHEN the program starts again on the data folder
    ScriptedDialogs::Script script;
    script.choose = [button](const QString &, const QStringList &) { return button; };
    TMainForm window(std::make_unique<ScriptedDialogs>(script));

    // THEN it offers the changes, naming when they were made
    QCOMPARE(script.choicesAsked,
             QStringList{QStringLiteral("Ungespeicherte Änderungen vom %1 wiederherstellen?|Ja|Nein")
                             .arg(written.toString(QStringLiteral("dd.MM.yyyy HH:mm")))});
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    if (button == QStringLiteral("Ja")) {
        QCOMPARE(window.context().guests().at(8).Name, QStringLiteral("Gastw"));
        QVERIFY(window.context().guests().changed());
        QVERIFY2(statusOf(window).startsWith(QStringLiteral("Ungespeicherte Änderungen wiederhergestellt")),
                 qPrintable(statusOf(window)));
        // ... which a save makes the guest file, without a question
        window.findChild<QPushButton *>(QStringLiteral("ButtonSave"))->click();
        QVERIFY(script.confirmations.isEmpty());
        QCOMPARE(ReadGuestFile(app.path(QStringLiteral("Gaeste.csv"))).back().Name, QStringLiteral("Gastw"));
        QVERIFY(!QFile::exists(recoveryOf(app)));
    } else {
        QCOMPARE(window.context().guests().at(8).Name, QStringLiteral("Gast"));
        QVERIFY(!window.context().guests().changed());
        QVERIFY(!QFile::exists(recoveryOf(app)));
        const std::vector<BackupInfo> backups = ListBackups(app.path(QString()));
        QCOMPARE(backups.size(), std::size_t(1));
        QCOMPARE(ReadGuestFile(backups.front().path).back().Name, QStringLiteral("Gastw"));
        QVERIFY(statusOf(window).contains(QStringLiteral("als Sicherung")));
    }
}

void TestClosing::recoveryCopyOlderThanTheGuestFileIsKeptAside()
{
    AppFixture app;
    readFrom(app, eightGuests());
    app.type("EditName", QStringLiteral("o"));
    QVERIFY(app.sessionEnds(false));
    app.window.reset();
    // Another copy saved the guest file later.
    QFile guests(app.path(QStringLiteral("Gaeste.csv")));
    QVERIFY(guests.open(QIODevice::ReadWrite));
    QVERIFY(guests.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    guests.close();

    ScriptedDialogs::Script script;
    TMainForm window(std::make_unique<ScriptedDialogs>(script));
    QVERIFY(script.choicesAsked.isEmpty());
    QVERIFY(!QFile::exists(recoveryOf(app)));
    const std::vector<BackupInfo> backups = ListBackups(app.path(QString()));
    QCOMPARE(backups.size(), std::size_t(1));
    QCOMPARE(ReadGuestFile(backups.front().path).back().Name, QStringLiteral("Gasto"));
}

void TestClosing::secondSignalClosesWithoutAnAnswer()
{
    // GIVEN unsaved changes and the shipped dialogs
    QVERIFY(InstallGermanQtTexts(*QCoreApplication::instance()));
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.window.reset();
    RememberDataFolder(app.path(QString()) + u'/');
    TMainForm window;
    window.show();
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("EditName"));
    name->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(name, QStringLiteral("t"));

    // WHEN SIGTERM brings up "Daten sichern?" and SIGHUP follows while nobody answers
    bool asked = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, &window, [&] {
        if (!asked && qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            asked = true;
            ::raise(SIGHUP);
        }
    });
    watch.start(10);
    QCOMPARE(::raise(SIGTERM), 0);

    // THEN the question goes away, the window closes, and the changes wait in the recovery copy
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(asked);
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    QCOMPARE(ReadRecoveryCopy(app.path(QString())).back().Name, QStringLiteral("Gastt"));
}

void TestClosing::killedBySigtermAndSighupLeavesTheChangesRecoverable()
{
    // GIVEN the program in a process of its own, with a name typed but not saved
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.window.reset();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), app.path(QStringLiteral("home")));
    child.setProcessEnvironment(environment);
    child.start(QStringLiteral(CLOSING_CHILD), {app.path(QString()) + u'/', QStringLiteral("k")});
    QVERIFY(child.waitForReadyRead(30000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("changed"));

    // WHEN the session ends it: SIGTERM, and SIGHUP right after
    QCOMPARE(::kill(static_cast<pid_t>(child.processId()), SIGTERM), 0);
    QCOMPARE(::kill(static_cast<pid_t>(child.processId()), SIGHUP), 0);

    // THEN it ends by itself, without saving unasked, and the next start offers the changes
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
    RememberDataFolder(app.path(QString()) + u'/');
    ScriptedDialogs::Script script;
    script.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ja"); };
    TMainForm window(std::make_unique<ScriptedDialogs>(script));
    QCOMPARE(script.choicesAsked.size(), 1);
    QVERIFY(script.choicesAsked.first().startsWith(QStringLiteral("Ungespeicherte Änderungen vom ")));
    QCOMPARE(window.context().guests().at(8).Name, QStringLiteral("Gastk"));
    QVERIFY(window.context().guests().changed());
}

void TestClosing::leftoversOfACutOffSaveGoAtTheNextStart_data()
{
    QTest::addColumn<bool>("otherCopyRuns");
    QTest::newRow("alone: removed") << false;
    QTest::newRow("another copy runs: left to it") << true;
}

void TestClosing::leftoversOfACutOffSaveGoAtTheNextStart()
{
    QFETCH(bool, otherCopyRuns);
    // GIVEN what saves and an invoice left behind when they were cut off
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), eightGuests());
    app.window.reset();
    QVERIFY(QDir(app.path(QString())).mkpath(QStringLiteral("Sicherung")));
    QVERIFY(QDir(app.path(QString())).mkpath(QStringLiteral("Rechnungen")));
    const QStringList leftovers{QStringLiteral(".Gaeste.csv.pc1-4711-abc123.tmp"),
                                QStringLiteral("Sicherung/.Gaeste 2025-02-19 100000.csv.pc1-4711-Qw3e4r.tmp"),
                                QStringLiteral("Rechnungen/.Rechnung 1042.pdf.neu")};
    for (const QString &name : leftovers)
        app.writeFile(name, "x");
    platform::InstanceLock other;
    if (otherCopyRuns)
        QCOMPARE(other.lock(app.path(QString())), platform::InstanceLock::State::Locked);

    // WHEN the program starts on the folder
    RememberDataFolder(app.path(QString()) + u'/');
    ScriptedDialogs::Script script;
    TMainForm window(std::make_unique<ScriptedDialogs>(script));

    // THEN they are gone, unless another copy may still be writing them
    QCOMPARE(window.context().guests().guestCount(), 8);
    for (const QString &name : leftovers)
        QVERIFY2(QFile::exists(app.path(name)) == otherCopyRuns, qPrintable(name));
    QCOMPARE(app.readFile(QStringLiteral("Gaeste.csv")), eightGuests());
}

QTEST_MAIN(TestClosing)
#include "test_closing.moc"
