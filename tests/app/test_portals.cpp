// The portal subscriptions in the program: the settings page keeps them, "Jetzt abgleichen" fetches
// them (a local .ics file or the test's own HTTP server on 127.0.0.1, no internet), and the blocks
// appear in the room calendar, the plan and the guest list and clash with bookings.

#include "app/guestlist/GuestListWindow.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/occupancy/PlanView.h"
#include "app/settings/SettingsDialog.h"
#include "exchange/PortalFiles.h"
#include "guestfile/PortalSettings.h"
#include "support/CalendarServer.h"
#include "support/ReadBack.h"
#include "support/WindowMoves.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>

using app::AppContext;
using app::GuestListWindow;
using app::OccupancyPlanWindow;
using app::planBarColours;
using app::PlanView;
using app::SettingsDialog;
using app::TMainForm;
using calendar::PlanBar;
using calendar::RoomCalendarModel;
using guestfile::RememberDataFolder;
using guests::FilterArt;
using guests::TGast;

using namespace moves;

namespace {

platform::TDateTime feb(int day)
{
    return platform::DateToDay(QDate(2025, 2, day));
}

QByteArray vevent(const QByteArray &uid, const QByteArray &from, const QByteArray &to, const QByteArray &summary)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART;VALUE=DATE:" + from + "\r\nDTEND;VALUE=DATE:" + to +
           "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\n";
}

QByteArray calendarOf(const QByteArray &events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Portal//DE\r\n" + events + "END:VCALENDAR\r\n";
}

// The portal's booking: three nights from 20 February 2025 (today in the tests).
const QByteArray kPortalCalendar = calendarOf(vevent("a1", "20250220", "20250223", "Reserved"));

// A house whose data folder "daten" holds three guests (Anna in room 1 on 19–21 February, Bert,
// Carl), read at start; the portal's calendar lies beside it as a file and on the test's server.
class PortalHouse : public AppFixture
{
public:
    PortalHouse()
    {
        QDir(path(QString())).mkpath(QStringLiteral("daten"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
        writeFile(QStringLiteral("portal.ics"), kPortalCalendar);
        server.answers["/a.ics"] = {"200 OK", "text/calendar", kPortalCalendar};
        restart();
    }
    void restart() { restartWith(daten(QString())); }
    // "Portale/Abonnements.csv" as a host writes it, then the program started.
    void subscribe(const QString &address, int room = 3, const QByteArray &more = {})
    {
        QDir(daten(QString())).mkpath(QStringLiteral("Portale"));
        writeFile(QStringLiteral("daten/Portale/Abonnements.csv"), "Zimmer;Name;Adresse\r\n" +
                                                                       QByteArray::number(room) + ";Portal A;" +
                                                                       address.toUtf8() + "\r\n" + more);
        restart();
    }
    QString address(const QString &kind) const
    {
        if (kind == u"http")
            return server.url(QStringLiteral("/a.ics"));
        if (kind == u"file-url")
            return QUrl::fromLocalFile(path(QStringLiteral("portal.ics"))).toString();
        return path(QStringLiteral("portal.ics"));
    }
    // "Datei" → "Portale jetzt abgleichen", and the wait for its end (the window stays usable).
    bool syncFromMenu()
    {
        QSignalSpy done(&window->context().portals(), &app::PortalState::syncFinished);
        trigger("ActionAbgleichen");
        return window->context().portals().busy() && (done.count() > 0 || done.wait(10000)) &&
               status().startsWith(QStringLiteral("Abgleich beendet"));
    }
    QByteArray blocksFile() const { return readFile(QStringLiteral("daten/Portale/Blockierungen.csv")); }
    // The calendar's text of a room on a day of February 2025, as the page shows it.
    QString cell(int day, int room) const
    {
        clickTab(*this, 1);
        const int row = calendarModel(*this)->rowOfDay(feb(day));
        return calendarModel(*this)->cellText(row, room + 1);
    }
    QVariant cellData(int day, int room, int role) const
    {
        clickTab(*this, 1);
        const RoomCalendarModel *model = calendarModel(*this);
        return model->data(model->index(model->rowOfDay(feb(day)), room + 1), role);
    }

    CalendarServer server;
};

SettingsDialog *openPortalPage(AppFixture &app)
{
    app.trigger("ActionEinstellungen");
    QCoreApplication::processEvents();
    auto *dialog = app.window->findChild<SettingsDialog *>(QStringLiteral("SettingsDialog"));
    if (!dialog || !dialog->isVisible())
        qFatal("the settings window did not open");
    auto *tabs = dialog->findChild<QTabWidget *>(QStringLiteral("TabsEinstellungen"));
    tabs->setCurrentWidget(dialog->findChild<QWidget *>(QStringLiteral("PortalSettingsPage")));
    return dialog;
}

void addSubscription(QWidget *dialog, const QString &room, const QString &name, const QString &address)
{
    QTest::mouseClick(control<QPushButton>(dialog, "ButtonPortalHinzufuegen"), Qt::LeftButton);
    auto *table = control<QTableWidget>(dialog, "TablePortale");
    const int row = table->rowCount() - 1;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier); // leaves the cell editor opened for the room
    if (QWidget *editor = QApplication::focusWidget(); editor && table->viewport()->isAncestorOf(editor))
        QApplication::sendEvent(editor, &escape);
    table->item(row, 0)->setText(room);
    table->item(row, 1)->setText(name);
    table->item(row, 2)->setText(address);
}

void save(QWidget *dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, "ButtonEinstellungenSpeichern"), Qt::LeftButton);
    QCoreApplication::processEvents();
}

} // namespace

class TestPortals : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // What an earlier test kept in the settings file does not carry over.
        guestfile::setPortalFilters({});
        guestfile::setPortalSyncAtStart(false);
        guestfile::setLastAutomaticPortalSync({});
    }

    void settingsPageKeepsSubscriptions()
    {
        PortalHouse app;
        SettingsDialog *dialog = openPortalPage(app);
        QCOMPARE(control<QTableWidget>(dialog, "TablePortale")->rowCount(), 0);
        QVERIFY(!control<QCheckBox>(dialog, "CheckBoxBeimStartAbgleichen")->isChecked());
        addSubscription(dialog, QStringLiteral("3"), QStringLiteral("Portal A"), app.address(QStringLiteral("file")));
        addSubscription(dialog, QStringLiteral("Zimmer 1"), QStringLiteral(" Portal B "),
                        QStringLiteral("https://b.example/1.ics"));
        control<QPlainTextEdit>(dialog, "EditPortalFilter")
            ->setPlainText(QStringLiteral("Not available\n\n  Blocked  "));
        control<QCheckBox>(dialog, "CheckBoxBeimStartAbgleichen")->setChecked(true);
        const QPointer<SettingsDialog> kept = dialog;
        save(dialog);
        QVERIFY(!kept || !kept->isVisible());
        QVERIFY(app.dialogs.errors.isEmpty());
        QCOMPARE(app.readFile(QStringLiteral("daten/Portale/Abonnements.csv")),
                 "Zimmer;Name;Adresse\r\n3;Portal A;" + app.address(QStringLiteral("file")).toUtf8() +
                     "\r\n1;Portal B;https://b.example/1.ics\r\n");
        QCOMPARE(guestfile::portalFilters(), (QStringList{QStringLiteral("Not available"), QStringLiteral("Blocked")}));
        QVERIFY(guestfile::portalSyncAtStart());
        // A new start reads them back into the page.
        guestfile::setPortalSyncAtStart(false);
        app.restart();
        dialog = openPortalPage(app);
        auto *table = control<QTableWidget>(dialog, "TablePortale");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("1"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("Portal B"));
        QCOMPARE(table->item(0, 3)->text(), QStringLiteral("Noch nie abgeglichen"));
        QCOMPARE(control<QPlainTextEdit>(dialog, "EditPortalFilter")->toPlainText(),
                 QStringLiteral("Not available\nBlocked"));
    }

    void settingsPageRemovesTheChosenSubscription_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("Entf in der Tabelle") << true;
        QTest::newRow("Knopf") << false;
    }

    void settingsPageRemovesTheChosenSubscription()
    {
        QFETCH(bool, byKey);
        PortalHouse app;
        SettingsDialog *dialog = openPortalPage(app);
        addSubscription(dialog, QStringLiteral("1"), QStringLiteral("Portal A"),
                        QStringLiteral("https://a.example/1.ics"));
        addSubscription(dialog, QStringLiteral("2"), QStringLiteral("Portal B"),
                        QStringLiteral("https://b.example/2.ics"));
        auto *table = control<QTableWidget>(dialog, "TablePortale");
        // Delete typed into a cell's editor changes the text only.
        table->setCurrentCell(0, 1);
        table->editItem(table->item(0, 1));
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && table->viewport()->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key_Delete);
        QCOMPARE(table->rowCount(), 2);
        QTest::keyClick(editor, Qt::Key_Escape);

        table->setCurrentCell(0, 1);
        table->setFocus(Qt::OtherFocusReason);
        if (byKey)
            QTest::keyClick(table, Qt::Key_Delete);
        else
            QTest::mouseClick(control<QPushButton>(dialog, "ButtonPortalEntfernen"), Qt::LeftButton);
        QCOMPARE(table->rowCount(), 1);
        save(dialog);
        QVERIFY(app.dialogs.errors.isEmpty());
        QCOMPARE(app.readFile(QStringLiteral("daten/Portale/Abonnements.csv")),
                 QByteArray("Zimmer;Name;Adresse\r\n2;Portal B;https://b.example/2.ics\r\n"));
    }

    void settingsPageRefusesWrongRows_data()
    {
        QTest::addColumn<QString>("room");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown room") << "4"
                                      << "Portal B"
                                      << "/tmp/b.ics"
                                      << "Zeile 2: Ein Zimmer „4“ gibt es nicht";
        QTest::newRow("empty name") << "2"
                                    << " "
                                    << "/tmp/b.ics"
                                    << "Zeile 2: Der Name fehlt.";
        QTest::newRow("same name twice in a room") << "3"
                                                   << "portal a"
                                                   << "/tmp/b.ics"
                                                   << "Zeile 2: Zimmer 3 hat schon ein Abonnement „portal a“.";
        QTest::newRow("address not fetchable") << "2"
                                               << "Portal B"
                                               << "ftp://b.example/b.ics"
                                               << "Zeile 2: „ftp://b.example/b.ics“ ist keine Adresse";
    }

    void settingsPageRefusesWrongRows()
    {
        QFETCH(QString, room);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, error);
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("file")));
        const QByteArray kept = app.readFile(QStringLiteral("daten/Portale/Abonnements.csv"));
        SettingsDialog *dialog = openPortalPage(app);
        addSubscription(dialog, room, name, address);
        save(dialog);
        // The window stays on the page, says what is wrong, and the file is as it was.
        QVERIFY(dialog->isVisible());
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(
            app.dialogs.errors.first().startsWith(QStringLiteral("Die Abonnements werden so nicht gespeichert:\n")),
            qPrintable(app.dialogs.errors.first()));
        QVERIFY2(app.dialogs.errors.first().contains(error), qPrintable(app.dialogs.errors.first()));
        QCOMPARE(app.readFile(QStringLiteral("daten/Portale/Abonnements.csv")), kept);
        QCOMPARE(control<QTabWidget>(dialog, "TabsEinstellungen")->currentWidget()->objectName(),
                 QStringLiteral("PortalSettingsPage"));
    }

    void syncFromMenuShowsBlockInCalendar_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("path of a local file") << "file";
        QTest::newRow("file address") << "file-url";
        QTest::newRow("http server") << "http";
    }

    void syncFromMenuShowsBlockInCalendar()
    {
        QFETCH(QString, kind);
        PortalHouse app;
        app.subscribe(app.address(kind));
        QCOMPARE(app.cell(21, 3), QString());
        app.trigger("ActionAbgleichen");
        // The fetch runs while the window goes on; the status line says so.
        QCOMPARE(app.status(), QStringLiteral("Abgleich läuft…"));
        QTRY_VERIFY_WITH_TIMEOUT(app.status().startsWith(QStringLiteral("Abgleich beendet")), 10000);
        QVERIFY2(app.status().startsWith(QStringLiteral("Abgleich beendet: Portal A (Zimmer 3): ")),
                 qPrintable(app.status()));
        QVERIFY(!app.status().contains(QStringLiteral("nicht abgeglichen")));
        const exchange::BlockList blocks = exchange::readBlocks(app.daten(QString()));
        QCOMPARE(blocks.blocks.size(), std::size_t(1));
        QCOMPARE(blocks.blocks.front().room, 3);
        QCOMPARE(blocks.blocks.front().from, feb(20));
        QCOMPARE(blocks.blocks.front().to, feb(23));
        // The guest file knows nothing of it.
        QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), threeGuests());
        for (int day : {20, 21, 22, 23})
            QCOMPARE(app.cell(day, 3), QStringLiteral("Portal A"));
        QCOMPARE(app.cell(24, 3), QString());
        QVERIFY(app.cellData(21, 3, Qt::ToolTipRole)
                    .toString()
                    .startsWith(QStringLiteral("Zimmer 3 belegt über Portal A\n")));
        QVERIFY(app.cellData(21, 3, Qt::BackgroundRole).isValid());
        QCOMPARE(app.cellData(21, 3, RoomCalendarModel::RecordRole).toInt(), 0);
        // A new start reads the blocks back without fetching.
        app.server.requests.clear();
        app.restart();
        QCOMPARE(app.cell(22, 3), QStringLiteral("Portal A"));
        QVERIFY(app.server.requests.isEmpty());
    }

    void failedFetchChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason"); // part of the status line's reason
        QTest::newRow("file gone") << "file"
                                   << "gone"
                                   << "portal.ics";
        QTest::newRow("file without calendar") << "file"
                                               << "garbage"
                                               << "";
        QTest::newRow("server says 404") << "http"
                                         << "404"
                                         << "404";
        QTest::newRow("server sends a page") << "http"
                                             << "page"
                                             << "";
    }

    void failedFetchChangesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        PortalHouse app;
        app.subscribe(app.address(kind));
        QVERIFY(app.syncFromMenu());
        const QByteArray blocks = app.blocksFile();
        QVERIFY(blocks.contains("Portal A"));
        // WHEN the calendar can no longer be had
        if (failure == u"gone")
            QVERIFY(QFile::remove(app.path(QStringLiteral("portal.ics"))));
        else if (failure == u"garbage")
            app.writeFile(QStringLiteral("portal.ics"), "<html><body>Bitte anmelden</body></html>");
        else if (failure == u"404")
            app.server.answers.remove("/a.ics");
        else
            app.server.answers["/a.ics"] = {"200 OK", "text/html", "<!DOCTYPE html><html>Anmelden</html>"};
        QVERIFY(app.syncFromMenu());
        // THEN the blocks stay as they were, and the status line says which subscription failed and why
        QCOMPARE(app.blocksFile(), blocks);
        const QString prefix = QStringLiteral("Abgleich beendet: Portal A (Zimmer 3): nicht abgeglichen, ");
        QVERIFY2(app.status().startsWith(prefix), qPrintable(app.status()));
        QVERIFY(app.status().size() > prefix.size() + 5);
        QVERIFY2(app.status().contains(reason), qPrintable(app.status()));
        QCOMPARE(app.cell(21, 3), QStringLiteral("Portal A"));
        // The settings page tells it too.
        SettingsDialog *dialog = openPortalPage(app);
        QVERIFY(control<QTableWidget>(dialog, "TablePortale")
                    ->item(0, 3)
                    ->text()
                    .contains(QStringLiteral("fehlgeschlagen")));
    }

    void serverThatNeverAnswersKeepsTheWindowGoing()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")));
        QVERIFY(app.syncFromMenu());
        const QByteArray blocks = app.blocksFile();
        app.server.silent << "/a.ics";
        app.window->context().portals().setTimeout(1500);
        QSignalSpy done(&app.window->context().portals(), &app::PortalState::syncFinished);
        app.trigger("ActionAbgleichen");
        // While the server keeps silent the host goes on working.
        QTest::qWait(300);
        QCOMPARE(app.status(), QStringLiteral("Abgleich läuft…"));
        app.w<QSpinBox>("SpinBox1")->setValue(2);
        QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Bert"));
        QVERIFY(done.wait(10000));
        QVERIFY2(app.status().startsWith(QStringLiteral("Abgleich beendet: Portal A (Zimmer 3): nicht abgeglichen, ")),
                 qPrintable(app.status()));
        QCOMPARE(app.blocksFile(), blocks);
    }

    void closingDuringAFetchLosesNothing()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")));
        app.server.silent << "/a.ics";
        app.trigger("ActionAbgleichen");
        QTRY_COMPARE(app.server.requests.size(), 1);
        // The window closes while the request is open: nothing is written, nothing crashes.
        app.window.reset();
        QCoreApplication::processEvents();
        QVERIFY(!QFileInfo::exists(app.daten(QStringLiteral("Portale/Blockierungen.csv"))));
        QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), threeGuests());
    }

    void syncWithoutSubscriptionsSaysSo()
    {
        PortalHouse app;
        app.trigger("ActionAbgleichen");
        QCOMPARE(
            app.status(),
            QStringLiteral("Kein Abgleich: es ist kein Abonnement eingerichtet (Einstellungen, Seite „Portale“)."));
        QVERIFY(!QFileInfo::exists(app.daten(QStringLiteral("Portale/Blockierungen.csv"))));
    }

    void filtersLeaveOutThePortalsOwnDays()
    {
        PortalHouse app;
        app.writeFile(QStringLiteral("portal.ics"), calendarOf(vevent("a1", "20250220", "20250223", "Reserved") +
                                                               vevent("n1", "20250301", "20250310", "Not available")));
        app.subscribe(app.address(QStringLiteral("file")));
        SettingsDialog *dialog = openPortalPage(app);
        control<QPlainTextEdit>(dialog, "EditPortalFilter")->setPlainText(QStringLiteral("not available"));
        // "Jetzt abgleichen" on the page keeps the page first, then fetches.
        QTest::mouseClick(control<QPushButton>(dialog, "ButtonJetztAbgleichen"), Qt::LeftButton);
        auto *state = control<QLabel>(dialog, "LabelPortalAbgleich");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith(QStringLiteral("Abgleich beendet")), 10000);
        const exchange::BlockList blocks = exchange::readBlocks(app.daten(QString()));
        QCOMPARE(blocks.blocks.size(), std::size_t(1));
        QCOMPARE(blocks.blocks.front().uid, QStringLiteral("a1"));
        QVERIFY(control<QTableWidget>(dialog, "TablePortale")
                    ->item(0, 3)
                    ->text()
                    .startsWith(QStringLiteral("Zuletzt abgeglichen am 20.02.2025 um 10:00")));
    }

    void bookingOverlappingBlockIsDoubleBooking()
    {
        // GIVEN Portal A has room 1 on 1–3 January, and Carl stays in room 3 on 1–2 January
        PortalHouse app;
        app.writeFile(QStringLiteral("portal.ics"), calendarOf(vevent("j1", "20250101", "20250103", "Reserved")));
        app.subscribe(app.address(QStringLiteral("file")), 1);
        QVERIFY(app.syncFromMenu());
        app.w<QSpinBox>("SpinBox1")->setValue(3);
        QVERIFY(!app.status().contains(QStringLiteral("Doppelbelegung")));
        // WHEN the host moves Carl to room 1
        app.enter("EditZimmer");
        QTest::keyClick(app.w("EditZimmer"), Qt::Key_A, Qt::ControlModifier);
        app.keyClicks("EditZimmer", QStringLiteral("1"));
        app.leave();
        // THEN it is said as for two guests, and the calendar marks the day
        QVERIFY2(app.status().startsWith(QStringLiteral("Doppelbelegung")), qPrintable(app.status()));
        QVERIFY2(app.status().contains(QStringLiteral("Portal A")), qPrintable(app.status()));
        clickTab(app, 1);
        const RoomCalendarModel *model = calendarModel(app);
        const QModelIndex jan1 = model->index(model->rowOfDay(platform::DateToDay(QDate(2025, 1, 1))), 2);
        QCOMPARE(model->data(jan1, Qt::ToolTipRole).toString(),
                 QStringLiteral("Doppelbelegung: Gast 3 (Carl) und Portal A"));
    }

    // A double-click on a portal's block, in the calendar or in the plan, offers a new guest with
    // the block's days and room.
    void newGuestFromBlock_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("added");
        for (const char *where : {"Zimmerkalender", "Belegungsplan"}) {
            QTest::addRow("%s, Neuer Gast", where) << where << "Neuer Gast" << true;
            QTest::addRow("%s, Abbrechen", where) << where << "Abbrechen" << false;
        }
    }

    void newGuestFromBlock()
    {
        QFETCH(QString, where);
        QFETCH(QString, answer);
        QFETCH(bool, added);
        // GIVEN Portal A's block in room 3
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")));
        QVERIFY(app.syncFromMenu());
        app.dialogs.choose = [answer](const QString &, const QStringList &) { return answer; };
        const int before = app.list().lastIndex();

        // WHEN the host double-clicks it
        PlanView *view = nullptr;
        if (where == u"Zimmerkalender") {
            clickTab(app, 1);
            doubleClickCell(app, calendarModel(app)->rowOfDay(feb(21)), 4);
        } else {
            app.trigger("ActionBelegungsplan");
            auto *planWindow = app.window->findChild<OccupancyPlanWindow *>(QStringLiteral("OccupancyPlan"));
            QVERIFY(planWindow);
            view = planWindow->findChild<PlanView *>();
            const PlanBar *block = nullptr;
            for (const PlanBar &bar : view->geometry().bars)
                if (bar.block >= 0)
                    block = &bar;
            QVERIFY(block);
            QTest::mouseDClick(view, Qt::LeftButton, {}, view->planLayout().barRect(*block).center().toPoint());
        }

        // THEN the host is asked, and the answer taken
        QCOMPARE(app.dialogs.choicesAsked.size(), 1);
        QVERIFY2(app.dialogs.choicesAsked.first().startsWith(
                     QStringLiteral("Zimmer 3 ist vom 20.02.2025 bis 23.02.2025 über Portal A belegt.")),
                 qPrintable(app.dialogs.choicesAsked.first()));
        QCOMPARE(app.list().lastIndex(), before + (added ? 1 : 0));
        if (!added)
            return;
        const TGast &gast = app.list().current();
        QCOMPARE(app.list().currentIndex(), before + 1);
        QCOMPARE(gast.Zimmer, QStringLiteral("3"));
        QCOMPARE(platform::DateOf(gast.Von), feb(20));
        QCOMPARE(platform::DateOf(gast.Bis), feb(23));
        QCOMPARE(app.w<QTabWidget>("Tabcontrol1")->currentWidget()->objectName(), QStringLiteral("Gast"));
        QCOMPARE(app.w<QLineEdit>("EditZimmer")->text(), QStringLiteral("3"));
        // The block now stands for the guest: the plan shows it no more.
        if (view)
            for (const PlanBar &bar : view->geometry().bars)
                QCOMPARE(bar.block, -1);
    }

    void planShowsGreyBarAndPrintsIt()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")));
        QVERIFY(app.syncFromMenu());
        app.trigger("ActionBelegungsplan");
        auto *planWindow = app.window->findChild<OccupancyPlanWindow *>(QStringLiteral("OccupancyPlan"));
        QVERIFY(planWindow);
        auto *view = planWindow->findChild<PlanView *>();
        const PlanBar *block = nullptr;
        const PlanBar *guest = nullptr;
        for (const PlanBar &bar : view->geometry().bars)
            (bar.block >= 0 ? block : guest) = &bar;
        QVERIFY(block);
        QVERIFY(guest);
        QCOMPARE(block->room, 3);
        QCOMPARE(block->record, 0);
        QCOMPARE(block->label, QStringLiteral("belegt über Portal A"));
        const QColor fill = planBarColours(*block).first;
        QVERIFY(fill.red() == fill.green() && fill.green() == fill.blue());
        QVERIFY(planBarColours(*guest).first != fill);
        // A double-click on the block opens no record.
        const int current = app.list().currentIndex();
        const QPoint at = view->planLayout().barRect(*block).center().toPoint();
        QTest::mouseDClick(view, Qt::LeftButton, {}, at);
        QCOMPARE(app.list().currentIndex(), current);
        // Printing keeps working, with the block on the page.
        const QString pdf = app.path(QStringLiteral("plan.pdf"));
        app.printToPdf(pdf);
        planWindow->findChild<QPushButton *>(QStringLiteral("ButtonDrucken"))->click();
        QVERIFY(app.dialogs.errors.isEmpty());
        QVERIFY2(readback::PdfText(pdf).contains(QStringLiteral("Portal A")), qPrintable(readback::PdfText(pdf)));
        // A new fetch that releases it takes the bar away at once.
        app.server.answers["/a.ics"] = {"200 OK", "text/calendar", calendarOf({})};
        QVERIFY(app.syncFromMenu());
        for (const PlanBar &bar : view->geometry().bars)
            QCOMPARE(bar.block, -1);
    }

    void guestListShowsBlocksOnRequest()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("file")));
        QVERIFY(app.syncFromMenu());
        app.trigger("ActionGaesteliste");
        auto *list = app.window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
        QVERIFY(list);
        auto *withBlocks = control<QCheckBox>(list, "CheckBoxBlockierungen");
        auto *blocks = control<QTableWidget>(list, "TableBlockierungen");
        auto *guests = control<QTableView>(list, "TableGaeste");
        const int guestRows = guests->model()->rowCount();
        QVERIFY(!withBlocks->isChecked());
        QVERIFY(blocks->isHidden());
        QTest::mouseClick(withBlocks, Qt::LeftButton, {}, QPoint(4, withBlocks->height() / 2));
        QVERIFY(withBlocks->isChecked());
        QVERIFY(!blocks->isHidden());
        QCOMPARE(blocks->rowCount(), 1);
        QCOMPARE(blocks->item(0, 0)->text(), QStringLiteral("Portal A"));
        QCOMPARE(blocks->item(0, 1)->text(), QStringLiteral("3"));
        QCOMPARE(blocks->item(0, 2)->text(), QStringLiteral("20.02.2025"));
        QCOMPARE(blocks->item(0, 3)->text(), QStringLiteral("23.02.2025"));
        QCOMPARE(blocks->item(0, 4)->text(), QStringLiteral("3"));
        QCOMPARE(guests->model()->rowCount(), guestRows);
        // Not editable, and opening it opens no guest.
        QVERIFY(!(blocks->item(0, 0)->flags() & Qt::ItemIsEditable) ||
                blocks->editTriggers() == QAbstractItemView::NoEditTriggers);
        const int current = app.list().currentIndex();
        QTest::mouseDClick(blocks->viewport(), Qt::LeftButton, {}, blocks->visualItemRect(blocks->item(0, 0)).center());
        QCOMPARE(app.list().currentIndex(), current);
        QCOMPARE(blocks->item(0, 0)->text(), QStringLiteral("Portal A"));
        // The filter of the guests applies: a portal's booking is never unpaid here.
        auto *filter = control<QComboBox>(list, "FilterZeitraum");
        filter->setCurrentIndex(static_cast<int>(FilterArt::Unbezahlt));
        QCOMPARE(blocks->rowCount(), 0);
        filter->setCurrentIndex(static_cast<int>(FilterArt::HeuteImHaus));
        QCOMPARE(blocks->rowCount(), 1);
    }

    void anotherDataFolderBringsItsOwnBlocks()
    {
        // GIVEN this folder's Portal A holds room 3, and another folder follows Portal B in room 2
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("file")));
        QVERIFY(app.syncFromMenu());
        QDir(app.path(QString())).mkpath(QStringLiteral("anders/Portale"));
        app.writeFile(QStringLiteral("anders/Gaeste.csv"),
                      kRecordZero + guestLine(1, "1", 1, "01.03.2025", "03.03.2025", "Dora"));
        const guests::PortalBlock other{2,
                                        feb(24),
                                        feb(26),
                                        QStringLiteral("Portal B"),
                                        QStringLiteral("b1"),
                                        QStringLiteral("Reserved"),
                                        QDateTime(QDate(2025, 2, 19), QTime(8, 0))};
        exchange::saveSubscriptions(app.path(QStringLiteral("anders")),
                                    {{2, QStringLiteral("Portal B"), QStringLiteral("https://b.example/b.ics")}});
        exchange::saveBlocks(app.path(QStringLiteral("anders")), {other});
        // WHEN the host chooses that folder in the settings
        QSignalSpy changed(&app.window->context(), &AppContext::portalBlocksChanged);
        SettingsDialog *dialog = openPortalPage(app);
        app.dialogs.folder = app.path(QStringLiteral("anders"));
        QTest::mouseClick(control<QAbstractButton>(dialog, "ButtonDatenordner"), Qt::LeftButton);
        // THEN its blocks are the ones shown, in the calendar and on the settings page
        QVERIFY(changed.count() >= 1);
        QCOMPARE(app.window->context().portalBlocks(), std::vector<guests::PortalBlock>{other});
        QCOMPARE(app.cell(21, 3), QString());
        QCOMPARE(app.cell(25, 2), QStringLiteral("Portal B"));
        auto *table = control<QTableWidget>(dialog, "TablePortale");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 1)->text(), QStringLiteral("Portal B"));
    }

    void leftOutLinesAreToldOnce()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("file")), 3, "7;Portal X;/tmp/x.ics\r\n");
        const auto told = [&app] {
            return app.dialogs.informations.filter(QStringLiteral("Ein Zimmer „7“ gibt es nicht")).size();
        };
        QCOMPARE(told(), 1);
        QVERIFY(app.dialogs.informations.last().contains(QStringLiteral("Abonnements.csv, Zeile 3")));
        // Reading the guests again, or a fetch, says it no more.
        app.click("ButtonRead");
        QVERIFY(app.syncFromMenu());
        QCOMPARE(told(), 1);
        QCOMPARE(app.cell(21, 3), QStringLiteral("Portal A"));
    }

    void fetchesAtStartOnlyWhenAskedAndDue()
    {
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")));
        QTest::qWait(200);
        QVERIFY(app.server.requests.isEmpty()); // off by default: no network use
        guestfile::setPortalSyncAtStart(true);
        app.restart();
        QTRY_COMPARE_WITH_TIMEOUT(app.server.requests.size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(app.blocksFile().contains("Portal A"), 10000);
        // Started again within 15 minutes: no fetch of its own.
        app.restart();
        QTest::qWait(200);
        QCOMPARE(app.server.requests.size(), 1);
        platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 16)));
        app.restart();
        QTRY_COMPARE_WITH_TIMEOUT(app.server.requests.size(), 2, 10000);
    }

    void fetchNamesTheGuestOnTheBlocksNights()
    {
        // GIVEN Anna in room 1 on 19–21 February, and Portal A of room 1
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")), 1);
        // WHEN the portal's block of 20–23 February is fetched
        QVERIFY(app.syncFromMenu());
        // THEN the status line names her at once
        QVERIFY2(app.status().contains(
                     QStringLiteral("Portal A blockiert Zimmer 1 vom 20.02.2025 bis 23.02.2025: auch Anna (Gast 1)")),
                 qPrintable(app.status()));
        // and a block in a free room names nobody
        app.subscribe(app.address(QStringLiteral("http")), 3);
        QVERIFY(app.syncFromMenu());
        QVERIFY2(!app.status().contains(QStringLiteral("blockiert")), qPrintable(app.status()));
    }

    void bookingThePortalNoLongerShowsIsNamedAndKept()
    {
        // GIVEN a guest made from Portal A's block of 20–23 February in room 1, over Anna's nights
        PortalHouse app;
        app.subscribe(app.address(QStringLiteral("http")), 1);
        QVERIFY(app.syncFromMenu());
        app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Neuer Gast"); };
        clickTab(app, 1);
        doubleClickCell(app, calendarModel(app)->rowOfDay(feb(22)), 2);
        QCOMPARE(app.list().lastIndex(), 4);
        app.type("EditName", QStringLiteral("Sabine Krüger"));
        app.click("ButtonSave");
        const TGast made = app.list().at(4);
        QCOMPARE(made.Name, QStringLiteral("Sabine Krüger"));
        // A fetch no longer names her as a second booking of the block, only Anna.
        QVERIFY(app.syncFromMenu());
        QVERIFY2(app.status().contains(QStringLiteral("auch Anna (Gast 1)")), qPrintable(app.status()));
        QVERIFY2(!app.status().contains(QStringLiteral("Sabine")), qPrintable(app.status()));
        const QByteArray saved = app.readFile(QStringLiteral("daten/Gaeste.csv"));

        // WHEN the portal's calendar no longer holds the booking
        app.server.answers["/a.ics"] = {"200 OK", "text/calendar", calendarOf({})};
        QVERIFY(app.syncFromMenu());

        // THEN the host is told to check it, and her record stays as it was
        QVERIFY2(app.status().contains(QStringLiteral(
                     "Portal A hat die Buchung von Sabine Krüger (Gast 4, 20.02.–23.02.2025) nicht mehr im Kalender "
                     "– bitte prüfen, ob sie storniert wurde.")),
                 qPrintable(app.status()));
        QCOMPARE(app.list().lastIndex(), 4);
        QVERIFY(app.list().at(4) == made);
        QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), saved);
    }

    void unreadableCalendarCountsAsFailed_data()
    {
        QTest::addColumn<QByteArray>("before"); // the events first fetched
        QTest::addColumn<QByteArray>("after");  // what the server answers then
        QTest::addColumn<QString>("reason");
        const QByteArray broken = "BEGIN:VEVENT\r\nUID:x1\r\nDTSTART;VALUE=DATE:2025-02-30\r\nEND:VEVENT\r\n";
        QTest::newRow("no readable event") << vevent("a1", "20250220", "20250223", "Reserved") << broken
                                           << "Der einzige Termin im Kalender ist nicht lesbar; die bisherigen "
                                              "Blockierungen bleiben bestehen.";
        QTest::newRow("under half left, one unreadable")
            << vevent("a1", "20250220", "20250223", "Reserved") + vevent("a2", "20250301", "20250303", "Reserved") +
                   vevent("a3", "20250310", "20250312", "Reserved")
            << vevent("a1", "20250220", "20250223", "Reserved") + broken
            << "Im Kalender sind nur noch 1 von bisher 3 Blockierungen, und 1 Termin ist nicht lesbar; die "
               "bisherigen Blockierungen bleiben bestehen.";
    }

    void unreadableCalendarCountsAsFailed()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, reason);
        // GIVEN the portal's blocks fetched from the test's calendar server
        PortalHouse app;
        app.server.answers["/a.ics"] = {"200 OK", "text/calendar", calendarOf(before)};
        app.subscribe(app.address(QStringLiteral("http")));
        QVERIFY(app.syncFromMenu());
        const QByteArray blocks = app.blocksFile();
        QCOMPARE(app.cell(21, 3), QStringLiteral("Portal A"));

        // WHEN the server sends a calendar whose events the program mostly cannot read
        app.server.answers["/a.ics"] = {"200 OK", "text/calendar", calendarOf(after)};
        SettingsDialog *dialog = openPortalPage(app);
        QTest::mouseClick(control<QPushButton>(dialog, "ButtonJetztAbgleichen"), Qt::LeftButton);
        auto *state = control<QLabel>(dialog, "LabelPortalAbgleich");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith(QStringLiteral("Abgleich beendet")), 10000);

        // THEN it failed, with the reason and the reader's note, and every block stays
        const QString said = QStringLiteral("Abgleich beendet: Portal A (Zimmer 3): nicht abgeglichen, ") + reason +
                             QStringLiteral(" – Hinweise: Termin");
        QVERIFY2(state->text().startsWith(said), qPrintable(state->text()));
        QVERIFY2(state->text().contains(QStringLiteral("„2025-02-30“ ausgelassen.")), qPrintable(state->text()));
        QVERIFY2(app.status().startsWith(said), qPrintable(app.status()));
        QCOMPARE(app.blocksFile(), blocks);
        QCOMPARE(app.cell(21, 3), QStringLiteral("Portal A"));
        QTRY_VERIFY(control<QTableWidget>(dialog, "TablePortale")->item(0, 3)->text().contains(reason));
    }

    void readersNotesReachTheHost()
    {
        // GIVEN a calendar with a repeating event and a summary in Windows-1252
        PortalHouse app;
        app.server.answers["/a.ics"] = {
            "200 OK", "text/calendar",
            calendarOf(vevent("a1", "20250220", "20250223", "Gr\xfc\xdf\x65") +
                       "BEGIN:VEVENT\r\nUID:w1\r\nDTSTART;VALUE=DATE:20250301\r\nRRULE:FREQ=WEEKLY\r\n"
                       "SUMMARY:Woche\r\nEND:VEVENT\r\n")};
        app.subscribe(app.address(QStringLiteral("http")));
        // WHEN it is fetched from the settings page
        SettingsDialog *dialog = openPortalPage(app);
        QTest::mouseClick(control<QPushButton>(dialog, "ButtonJetztAbgleichen"), Qt::LeftButton);
        auto *state = control<QLabel>(dialog, "LabelPortalAbgleich");
        QTRY_VERIFY_WITH_TIMEOUT(state->text().startsWith(QStringLiteral("Abgleich beendet")), 10000);
        // THEN the blocks are taken, and the page and the status line say what was read otherwise
        for (const QString &shown : {state->text(), app.status()}) {
            QVERIFY2(shown.startsWith(QStringLiteral("Abgleich beendet: Portal A (Zimmer 3): 2 Blockierungen (2 neu, "
                                                     "0 verschoben, 0 freigegeben) – Hinweise: ")),
                     qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("nicht in UTF-8 geschrieben")), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("wiederholt sich")), qPrintable(shown));
        }
        QCOMPARE(exchange::readBlocks(app.daten(QString())).blocks.size(), std::size_t(2));
    }

};

QTEST_MAIN(TestPortals)
#include "test_portals.moc"
