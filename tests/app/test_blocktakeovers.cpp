// A portal block taken over as a guest ("Neuer Gast" on the block in the room calendar): the guest
// stands for the portal's booking, so the block is no second booking of the room anywhere, until
// the guest is deleted or the portal's booking moves.

#include "app/guestlist/GuestListWindow.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/occupancy/PlanView.h"
#include "exchange/PortalFiles.h"
#include "guestfile/PortalSettings.h"
#include "support/ReadBack.h"
#include "support/WindowMoves.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

using app::GuestListWindow;
using app::OccupancyPlanWindow;
using app::PlanView;
using app::TMainForm;
using calendar::PlanBar;
using calendar::RoomCalendarModel;
using guestfile::RememberDataFolder;

using namespace moves;

namespace {

platform::TDateTime feb(int day)
{
    return platform::DateToDay(QDate(2025, 2, day));
}

QByteArray portalCalendar(const QByteArray &from, const QByteArray &to)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Portal//DE\r\nBEGIN:VEVENT\r\nUID:a1\r\n"
           "DTSTART;VALUE=DATE:" +
           from + "\r\nDTEND;VALUE=DATE:" + to + "\r\nSUMMARY:Reserved\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// Three guests in the data folder "daten" and Portal A's booking of room 3 on 20–23 February
// (today is the 20th), fetched from a local file.
class TakeoverHouse : public AppFixture
{
public:
    TakeoverHouse()
    {
        QDir(path(QString())).mkpath(QStringLiteral("daten/Portale"));
        writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
        writeFile(QStringLiteral("portal.ics"), portalCalendar("20250220", "20250223"));
        writeFile(QStringLiteral("daten/Portale/Abonnements.csv"),
                  "Zimmer;Name;Adresse\r\n3;Portal A;" + path(QStringLiteral("portal.ics")).toUtf8() + "\r\n");
        restart();
    }
    void restart() { restartWith(path(QStringLiteral("daten"))); }
    bool sync()
    {
        QSignalSpy done(&window->context().portals(), &app::PortalState::syncFinished);
        trigger("ActionAbgleichen");
        return (done.count() > 0 || done.wait(10000)) && status().startsWith(QStringLiteral("Abgleich beendet"));
    }
    // "Neuer Gast" on the block in the calendar; the index of the new guest.
    int takeOver()
    {
        dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Neuer Gast"); };
        clickTab(*this, 1);
        doubleClickCell(*this, calendarModel(*this)->rowOfDay(feb(21)), 4);
        return list().currentIndex();
    }
    QVariant cell(int day, int role) const
    {
        clickTab(*this, 1);
        const RoomCalendarModel *model = calendarModel(*this);
        return model->data(model->index(model->rowOfDay(feb(day)), 4), role);
    }
    int planBlocks() const
    {
        auto *plan = window->findChild<OccupancyPlanWindow *>(QStringLiteral("OccupancyPlan"));
        int count = 0;
        for (const PlanBar &bar : plan->findChild<PlanView *>()->geometry().bars)
            count += bar.block >= 0 ? 1 : 0;
        return count;
    }
    QString dayList()
    {
        auto *list = window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
        list->findChild<QDateEdit *>(QStringLiteral("DateTagesliste"))->setDate(QDate(2025, 2, 21));
        const QString pdf = path(QStringLiteral("Tagesliste.pdf"));
        QFile::remove(pdf);
        printToPdf(pdf);
        QTest::mouseClick(list->findChild<QPushButton *>(QStringLiteral("ButtonTagesliste")), Qt::LeftButton);
        return readback::PdfText(pdf);
    }
    int blockRows() const
    {
        return window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"))
            ->findChild<QTableWidget *>(QStringLiteral("TableBlockierungen"))
            ->rowCount();
    }
    // The plan and the guest list with its blocks open, so their showing follows every change.
    void openWindows()
    {
        trigger("ActionBelegungsplan");
        trigger("ActionGaesteliste");
        window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"))
            ->findChild<QCheckBox *>(QStringLiteral("CheckBoxBlockierungen"))
            ->setChecked(true);
        QApplication::setActiveWindow(window.get());
    }
};

} // namespace

class TestBlockTakeovers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        guestfile::setPortalFilters({});
        guestfile::setPortalSyncAtStart(false);
    }

    void takenOverBlockCountsOnce()
    {
        TakeoverHouse app;
        QVERIFY(app.sync());
        app.openWindows();
        QCOMPARE(app.planBlocks(), 1);
        QCOMPARE(app.blockRows(), 1);
        QVERIFY(app.dayList().contains(QStringLiteral("belegt über Portal A")));

        const int index = app.takeOver();
        QCOMPARE(index, 4);
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
        const qint32 nr = app.list().at(index).GastNr;
        QCOMPARE(app.readFile(QStringLiteral("daten/Portale/Übernommen.csv")),
                 "UID;Abonnement;Gast-Nr\r\na1;Portal A;" + QByteArray::number(nr) + "\r\n");
        // The page "Gast" shows the new guest without a double booking, and so does the calendar.
        QVERIFY2(!app.status().contains(QStringLiteral("Doppelbelegung")), qPrintable(app.status()));
        for (int day : {20, 21, 22}) {
            QCOMPARE(app.cell(day, RoomCalendarModel::RecordRole).toInt(), index);
            QCOMPARE(app.cell(day, RoomCalendarModel::BlockRole).toInt(), -1);
            QVERIFY(!app.cell(day, Qt::ToolTipRole).toString().contains(QStringLiteral("Doppelbelegung")));
        }
        QCOMPARE(app.planBlocks(), 0);
        QCOMPARE(app.blockRows(), 0);
        const QString dayList = app.dayList();
        QVERIFY2(!dayList.contains(QStringLiteral("Doppelbelegung")), qPrintable(dayList));
        QVERIFY2(!dayList.contains(QStringLiteral("belegt über Portal A")), qPrintable(dayList));

        // Kept, and read again at the next start.
        app.click("ButtonSave");
        app.restart();
        QCOMPARE(app.cell(21, RoomCalendarModel::BlockRole).toInt(), -1);
        QCOMPARE(app.cell(21, RoomCalendarModel::RecordRole).toInt(), index);
    }

    void blockComesBack_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("guest deleted") << "delete"
                                       << "";
        QTest::newRow("portal moved its booking") << "move"
                                                  << "Doppelbelegung: Gast 4";
        QTest::newRow("host moved the guest") << "days"
                                              << "Doppelbelegung: Gast 4";
    }

    void blockComesBack()
    {
        QFETCH(QString, change);
        QFETCH(QString, tooltip);
        TakeoverHouse app;
        QVERIFY(app.sync());
        app.openWindows();
        const int index = app.takeOver();
        QCOMPARE(app.planBlocks(), 0);
        if (change == u"delete") {
            app.dialogs.confirmAnswer = true;
            app.click("ButtonStornieren");
            QCOMPARE(app.list().lastIndex(), index - 1);
        } else if (change == u"move") {
            app.writeFile(QStringLiteral("portal.ics"), portalCalendar("20250221", "20250224"));
            QVERIFY(app.sync());
        } else {
            app.window->context().guestList().modify(index, [](guests::TGast &g) { g.Bis = feb(22); });
        }
        QCOMPARE(app.cell(21, RoomCalendarModel::BlockRole).toInt(), 0);
        QCOMPARE(app.planBlocks(), 1);
        QCOMPARE(app.blockRows(), 1);
        const QString hint = app.cell(21, Qt::ToolTipRole).toString();
        QVERIFY2(tooltip.isEmpty() ? !hint.contains(QStringLiteral("Doppelbelegung")) : hint.startsWith(tooltip),
                 qPrintable(hint));
        QVERIFY(app.dayList().contains(QStringLiteral("belegt über Portal A")));
    }

    void unsavedTakeoverIsSaidAndTheGuestMade()
    {
        TakeoverHouse app;
        // A folder where the file should be: it can be neither read nor written.
        QDir(app.path(QStringLiteral("daten/Portale"))).mkdir(QStringLiteral("Übernommen.csv"));
        QVERIFY(app.sync());
        const int index = app.takeOver();
        QCOMPARE(index, 4);
        QCOMPARE(app.list().at(index).Zimmer, QStringLiteral("3"));
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors.first().startsWith(
                     QStringLiteral("Dass der neue Gast die Buchung über Portal A ist, konnte nicht vermerkt werden")),
                 qPrintable(app.dialogs.errors.first()));
        // The block still counts: the double booking is shown rather than hidden unnoted.
        QCOMPARE(app.cell(21, RoomCalendarModel::BlockRole).toInt(), 0);
        QVERIFY(app.cell(21, Qt::ToolTipRole).toString().startsWith(QStringLiteral("Doppelbelegung: Gast 4")));
    }
};

QTEST_MAIN(TestBlockTakeovers)
#include "test_blocktakeovers.moc"
