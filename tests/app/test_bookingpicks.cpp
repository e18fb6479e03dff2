// Picks onto a booking (move it or add a room, as the host chooses) and double bookings said
// aloud, through the real window.

#include "app/guestlist/GuestListWindow.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/occupancy/PlanView.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"
#include "support/ReadBack.h"
#include "support/WindowMoves.h"

#include <QDateEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>

using app::GuestListWindow;
using app::OccupancyPlanWindow;
using app::PlanView;
using app::TMainForm;
using calendar::PickState;
using guests::TGast;

using platform::DateToDay;
using namespace moves;

namespace {

// Dr. Schäfer holds room 1 over the turn of the year; Jürgen Weiß is booked in room 2 within it.
QByteArray turnOfTheYear(const char *weissZimmer = "2", const char *weissVon = "27.12.2026",
                         const char *weissBis = "29.12.2026")
{
    return kRecordZero + guestLine(3, "1", 1, "26.12.2026", "02.01.2027", "Dr. Sch\xE4" "fer") +
           guestLine(6, weissZimmer, 2, weissVon, weissBis, "J\xFCrgen Wei\xDF");
}

void readFile(AppFixture &app, const QByteArray &file)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.click("ButtonRead");
}

void typeOver(const AppFixture &app, const char *name, const QString &text)
{
    app.enter(name);
    QWidget *field = app.w(name);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(field, text);
    app.leave();
}

PickState picksOf(int room, QDate first, QDate last)
{
    PickState picks;
    picks.pick(room, DateToDay(first));
    picks.pick(room, DateToDay(last));
    return picks;
}

} // namespace

class TestBookingPicks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void realQuestionOffersThreeButtons_data();
    void realQuestionOffersThreeButtons();
    void usedPicksLeaveEveryWindow();
    void doubleBookingIsSaid_data();
    void doubleBookingIsSaid();
    void browsingSaysNothing();
    void calendarShowsBothGuests();
    void dayListMarksTheRoom();
};

void TestBookingPicks::realQuestionOffersThreeButtons_data()
{
    QTest::addColumn<QString>("answer"); // a button's text; empty: the Esc key
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<QDate>("von");
    QTest::addColumn<bool>("picksStay");
    QTest::newRow("Esc") << "" << "1" << QDate(2027, 3, 15) << true;
    QTest::newRow("Abbrechen") << "Abbrechen" << "1" << QDate(2027, 3, 15) << true;
    QTest::newRow("Ersetzen") << "Ersetzen" << "3" << QDate(2027, 4, 1) << false;
    QTest::newRow("Hinzufügen") << "Hinzufügen" << "13" << QDate(2027, 4, 1) << false;
}

void TestBookingPicks::realQuestionOffersThreeButtons()
{
    QFETCH(QString, answer);
    QFETCH(QString, zimmer);
    QFETCH(QDate, von);
    QFETCH(bool, picksStay);
    AppFixture app; // its working folder holds the price file
    app.window.reset();
    TMainForm window; // the shipped dialogs
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.context().guestList().appendNew();
    window.context().guestList().modifyCurrent([](TGast &g) {
        g.Name = QStringLiteral("Pater Anselm");
        g.Zimmer = QStringLiteral("1");
        g.Von = DateToDay(QDate(2027, 3, 15));
        g.Bis = DateToDay(QDate(2027, 3, 17));
        g.ReNr = 1045;
    });
    window.context().offerPicks(picksOf(3, QDate(2027, 4, 1), QDate(2027, 4, 3)));

    QString question;
    QStringList buttons;
    QTimer::singleShot(0, &window, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        question = box->text();
        for (QAbstractButton *button : box->buttons())
            buttons << button->text();
        if (answer.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : box->buttons())
            if (button->text() == answer)
                button->click();
    });
    window.findChild<QWidget *>(QStringLiteral("DateEditVon"))->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();

    QVERIFY2(question.startsWith(QStringLiteral("Gast 1 (Pater Anselm) hat schon eine Buchung: Zimmer 1, 15.03.2027 "
                                                "bis 17.03.2027 (Rechnung Nr. 1045 ist schon ausgestellt).")),
             qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("Zimmer 3, 01.04.2027 bis 03.04.2027")), qPrintable(question));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Abbrechen", "Ersetzen", "Hinzufügen"}));
    const TGast &gast = window.context().guests().current();
    QCOMPARE(gast.Zimmer, zimmer);
    QCOMPARE(gast.Von, DateToDay(von));
    QCOMPARE(gast.Bis, DateToDay(von.addDays(2)));
    QCOMPARE(gast.ReNr, 1045);
    QCOMPARE(!window.context().picks().empty(), picksStay);
    const QString status = window.findChild<QLabel *>(QStringLiteral("LabelStatus"))->text();
    QCOMPARE(status.startsWith(QStringLiteral("Auswahl: Zimmer 3")), picksStay);
    window.context().guestList().markSaved(); // closing asks nothing
}

void TestBookingPicks::usedPicksLeaveEveryWindow()
{
    AppFixture app;
    app.trigger("ActionBelegungsplan");
    auto *plan = app.opened<OccupancyPlanWindow>();
    QVERIFY(plan);
    auto *hint = plan->findChild<QLabel *>(QStringLiteral("LabelHinweis"));
    const QString idle = hint->text();
    // The host drags across 10 to 12 March in room 2.
    Q_EMIT plan->findChild<PlanView *>()->stayPicked(2, DateToDay(QDate(2025, 3, 10)), DateToDay(QDate(2025, 3, 12)));
    QVERIFY(hint->text().startsWith(QStringLiteral("Auswahl: Zimmer 2, 10.03.2025 bis 12.03.2025")));
    QCOMPARE(app.status(), QStringLiteral("Auswahl: Zimmer 2, 10.03.2025 bis 12.03.2025"));
    // Back to the main window.
    QApplication::setActiveWindow(app.window.get());
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    clickTab(app, 1);
    const int row = calendarModel(app)->rowOfDay(DateToDay(QDate(2025, 3, 11)));
    QVERIFY(calendarModel(app)->isPicked(row, 3));

    clickTab(app, 0);
    app.click("ButtonNeuerGast");
    QApplication::setActiveWindow(app.window.get());
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    app.enter("DateEditVon");
    QCOMPARE(app.list().current().Zimmer, QStringLiteral("2"));
    QCOMPARE(app.list().current().Von, DateToDay(QDate(2025, 3, 10)));
    // Used: no window offers them any longer.
    QCOMPARE(hint->text(), idle);
    QCOMPARE(plan->findChild<PlanView *>()->selection().room, 0);
    QVERIFY(!app.status().contains(QStringLiteral("Auswahl")));
    QVERIFY(!calendarModel(app)->isPicked(row, 3));
}

void TestBookingPicks::doubleBookingIsSaid_data()
{
    QTest::addColumn<QString>("move");
    QTest::addColumn<QString>("status");
    const QString schaefer = QStringLiteral("Doppelbelegung: Zimmer 1, 27.12.2026 bis 29.12.2026 auch Dr. Schäfer");
    QTest::newRow("room typed") << "room 1" << schaefer;
    QTest::newRow("second room typed") << "room 21" << schaefer;
    QTest::newRow("another free room") << "room 3" << "";
    QTest::newRow("arrival typed") << "arrival 20.12.2026"
                                   << "Doppelbelegung: Zimmer 2, 20.12.2026 bis 24.12.2026 auch Olga Becker";
    QTest::newRow("picked onto her room") << "picks" << schaefer;
}

void TestBookingPicks::doubleBookingIsSaid()
{
    QFETCH(QString, move);
    QFETCH(QString, status);
    AppFixture app;
    // Olga Becker has room 2 before Christmas.
    readFile(app, turnOfTheYear() + guestLine(7, "2", 1, "18.12.2026", "24.12.2026", "Olga Becker"));
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    QCOMPARE(app.list().current().GastNr, 6);
    if (move.startsWith(QStringLiteral("room ")))
        typeOver(app, "EditZimmer", move.mid(5));
    else if (move.startsWith(QStringLiteral("arrival ")))
        typeOver(app, "DateEditVon", move.mid(8));
    else {
        app.window->context().offerPicks(picksOf(1, QDate(2026, 12, 27), QDate(2026, 12, 29)));
        app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Ersetzen"); };
        app.enter("DateEditVon");
        QCOMPARE(app.list().current().Zimmer, QStringLiteral("1"));
    }
    if (status.isEmpty())
        QVERIFY2(!app.status().contains(QStringLiteral("Doppelbelegung")), qPrintable(app.status()));
    else
        QCOMPARE(app.status(), status);
    // A note in the status line, never a box the host must click away.
    QVERIFY(app.dialogs.informations.isEmpty());
    QVERIFY(app.dialogs.errors.isEmpty());
}

void TestBookingPicks::browsingSaysNothing()
{
    AppFixture app;
    readFile(app, turnOfTheYear("1"));
    // Showing a booking that is already double is not a change: the status says what was read.
    QCOMPARE(app.status(), QStringLiteral("2 Gästedatensätze gelesen"));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    QVERIFY(!app.status().contains(QStringLiteral("Doppelbelegung")));
    // Changing something else of it neither.
    typeOver(app, "EditTelefon", QStringLiteral("0561 1234"));
    QVERIFY(!app.status().contains(QStringLiteral("Doppelbelegung")));
}

void TestBookingPicks::calendarShowsBothGuests()
{
    AppFixture app;
    readFile(app, turnOfTheYear("1"));
    clickTab(app, 1);
    const int row = calendarModel(app)->rowOfDay(DateToDay(QDate(2026, 12, 28)));
    QVERIFY(row >= 0);
    const QModelIndex cell = calendarModel(app)->index(row, 2);
    QCOMPARE(calendarModel(app)->data(cell).toString(), QStringLiteral("Schäfe/Weiß"));
    QCOMPARE(calendarModel(app)->data(cell, Qt::ToolTipRole).toString(),
             QStringLiteral("Doppelbelegung: Gast 3 (Dr. Schäfer) und Gast 6 (Jürgen Weiß)"));
    // Both names fit the cell as the window shows it.
    const QRect rect = grid(app)->visualRect(cell);
    QVERIFY2(grid(app)->fontMetrics().horizontalAdvance(QStringLiteral("Schäfe/Weiß")) < rect.width(),
             qPrintable(QString::number(rect.width())));
    // Her days alone show her as before.
    const int alone = calendarModel(app)->rowOfDay(DateToDay(QDate(2027, 1, 1)));
    QCOMPARE(calendarModel(app)->data(calendarModel(app)->index(alone, 2)).toString(), QStringLiteral("3,1P"));
}

void TestBookingPicks::dayListMarksTheRoom()
{
    AppFixture app;
    readFile(app, turnOfTheYear("1"));
    app.trigger("ActionGaesteliste");
    auto *window = app.opened<GuestListWindow>();
    QVERIFY(window);
    window->findChild<QDateEdit *>(QStringLiteral("DateTagesliste"))->setDate(QDate(2026, 12, 27));
    const QString pdf = app.path(QStringLiteral("Tagesliste.pdf"));
    app.printToPdf(pdf);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonTagesliste")), Qt::LeftButton);
    QVERIFY(app.dialogs.errors.isEmpty());
    const QString text = readback::PdfText(pdf);
    QStringList marked;
    for (const QString &line : text.split(u'\n'))
        if (line.contains(QStringLiteral("(Doppelbelegung)")))
            marked << line.simplified();
    QCOMPARE(marked.size(), 2);
    // The day's tasks name the room once more.
    QVERIFY2(text.contains(QStringLiteral("Doppelbelegung: Zimmer 1")), qPrintable(text));
    QVERIFY2(marked[0].contains(QStringLiteral("Jürgen Weiß")), qPrintable(marked[0]));
    QVERIFY2(marked[1].contains(QStringLiteral("Dr. Schäfer")), qPrintable(marked[1]));
}

QTEST_MAIN(TestBookingPicks)
#include "test_bookingpicks.moc"
