// The main window's work with files, the room calendar and the invoice, driven through the real
// window: the guest file, booking from the calendar, the cost and the printed invoice.

#include "billing/CreateBill.h"
#include "calendar/RoomCalendarModel.h"
#include "platform/AnsiText.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"
#include "support/ReadBack.h"
#include "support/WindowMoves.h"

#include <QAction>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QImage>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

using app::TMainForm;
using billing::NeueRechnungFrage;
using platform::EncodeDate;

using namespace moves;

class TestWorkflows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // the guest file
    void readAndSaveThroughTheButtons();
    void cancelledDialogUsesTheWorkingFolder();
    void badLineChangesNothing();
    void readingAsksToSaveUnsavedChanges_data();
    void readingAsksToSaveUnsavedChanges();
    void longFileShowsItsLastRecord();
    void realFileDialogChoosesTheFolder();

    // the room calendar
    void tabClickFillsFromFirstOfThisYear_data();
    void tabClickFillsFromFirstOfThisYear();
    void clickOnAHolidayNamesIt();
    void doubleClickOpensTheGuest();
    void bookingFromPicks_data();
    void bookingFromPicks();
    void deletionRefillsFromToday();

    // billing
    void costIsComputedOnEnteringTheField();
    void missingPriceFileIsReported();
    void printingTakesTheNextNumber();
    void missingTemplateTakesNoNumber();
    void cancelledPrinterDialogDoesNothing();
};

// --- the guest file -------------------------------------------------------------------------

void TestWorkflows::readAndSaveThroughTheButtons()
{
    AppFixture app;
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    app.writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
    app.dialogs.openFile = app.path(QStringLiteral("daten/anderer Name.DAT")); // only the folder counts

    app.click("ButtonRead");
    QCOMPARE(app.dialogs.openAsked, 1);
    QCOMPARE(app.status(), QStringLiteral("3 Gästedatensätze gelesen"));
    QCOMPARE(app.list().size(), 4);
    QCOMPARE(app.list().currentIndex(), 3);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Carl"));
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->value(), 3);
    QVERIFY(!app.list().changed());

    app.click("ButtonSave");
    QCOMPARE(app.dialogs.saveAsked, 0); // the folder is chosen for the whole run
    QCOMPARE(app.status(), QStringLiteral("3 Gästedatensätze in Gaeste.csv geschrieben"));
    QCOMPARE(app.readFile(QStringLiteral("daten/Gaeste.csv")), threeGuests());
    QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
}

void TestWorkflows::cancelledDialogUsesTheWorkingFolder()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), threeGuests());
    app.click("ButtonRead");
    QCOMPARE(app.list().size(), 4);
    app.click("ButtonRead");
    QCOMPARE(app.dialogs.openAsked, 2); // asked again while no folder is chosen
}

void TestWorkflows::badLineChangesNothing()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), kRecordZero + guestLine(1, "1", 2, "19.02.2025", "21.02.2025", "Anna") +
                                                    guestLine(2, "2", 1, "31.02.2025", "12.02.2025", "Bert"));
    app.click("ButtonNeuerGast");
    app.type("EditName", QStringLiteral("Dora"));
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Nein"); };
    app.click("ButtonRead");

    QCOMPARE(app.dialogs.errors.size(), 1);
    QCOMPARE(app.dialogs.errors.first(), QStringLiteral("'31.02.2025' ist kein gültiges Datum\nGaeste.csv, Zeile 3"));
    QCOMPARE(app.list().size(), 2);
    QCOMPARE(app.list().currentIndex(), 1);
    QCOMPARE(app.list().current().Name, QStringLiteral("Dora"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Dora"));
    QVERIFY(app.list().changed());
}

void TestWorkflows::readingAsksToSaveUnsavedChanges_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("Ja: saved, then read") << true;
    QTest::newRow("Nein: read, changes dropped") << false;
}

void TestWorkflows::readingAsksToSaveUnsavedChanges()
{
    QFETCH(bool, answer);
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), threeGuests());
    app.click("ButtonRead");
    app.type("EditName", QStringLiteral("a")); // Carl becomes Carla
    app.dialogs.saveFile = app.path(QStringLiteral("Gaeste.csv"));
    app.dialogs.choose = [answer](const QString &, const QStringList &) {
        return answer ? QStringLiteral("Ja") : QStringLiteral("Nein");
    };
    app.click("ButtonRead");
    QCOMPARE(app.dialogs.choicesAsked, QStringList{QStringLiteral("Daten sichern?|Ja|Nein|Abbrechen")});
    QCOMPARE(app.list().current().Name, answer ? QStringLiteral("Carla") : QStringLiteral("Carl"));
    QVERIFY(!app.list().changed());
}

void TestWorkflows::longFileShowsItsLastRecord()
{
    AppFixture app;
    QByteArray file = kRecordZero;
    for (int i = 1; i < 150; ++i)
        file += guestLine(i, "1", 1, "01.03.2025", "02.03.2025", "Gast");
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.click("ButtonRead");
    QCOMPARE(app.list().currentIndex(), 149);
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->value(), 149);
    QCOMPARE(app.w<QSpinBox>("NumberBoxGastnr")->value(), 149);
}

void TestWorkflows::realFileDialogChoosesTheFolder()
{
    AppFixture app; // for its working folder with a price file
    app.window->close();
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    app.writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
    QDir dir(app.path(QStringLiteral("daten")));
    TMainForm window; // the shipped dialogs
    window.show();
    bool answered = false;
    QTimer::singleShot(0, &window, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("csv"));
        QCOMPARE(dialog->nameFilters(),
                 (QStringList{QStringLiteral("Gästedaten (*.csv)"), QStringLiteral("Daten (*.DAT)")}));
        dialog->selectFile(dir.filePath(QStringLiteral("Gaeste.csv")));
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog checks the chosen name
        answered = true;
    });
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("ButtonRead")), Qt::LeftButton);
    QVERIFY(answered);
    QCOMPARE(window.context().guests().size(), 4);
    QCOMPARE(window.context().dataFolder().pathOf(QStringLiteral("Gaeste.csv")),
             dir.filePath(QStringLiteral("Gaeste.csv")));
    window.close();
}

// --- the room calendar ----------------------------------------------------------------------

void TestWorkflows::tabClickFillsFromFirstOfThisYear_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("row0");
    QTest::addColumn<QString>("weekday0");
    QTest::addColumn<QString>("row999");
    QTest::newRow("2025") << QDate(2025, 2, 20) << "01.01.2025"
                          << "Mi"
                          << "27.09.2027";
    QTest::newRow("after September 2027") << QDate(2027, 12, 1) << "01.01.2027"
                                          << "Fr"
                                          << "26.09.2029";
}

void TestWorkflows::tabClickFillsFromFirstOfThisYear()
{
    QFETCH(QDate, today);
    QFETCH(QString, row0);
    QFETCH(QString, weekday0);
    QFETCH(QString, row999);
    AppFixture app;
    platform::Clock::fix(QDateTime(today, QTime(9, 30)));
    app.writeFile(QStringLiteral("Gaeste.csv"), threeGuests());
    app.click("ButtonRead");
    clickTab(app, 1);

    QCOMPARE(app.w<QTabWidget>("Tabcontrol1")->currentIndex(), 1);
    QCOMPARE(calendarModel(app)->cellText(0, 0), row0);
    QCOMPARE(calendarModel(app)->cellText(0, 1), weekday0);
    QCOMPARE(calendarModel(app)->cellText(999, 0), row999);
    QCOMPARE(calendarModel(app)->rowCount(), 1000);
    // Today's row is in view, and nothing was picked by scrolling to it.
    const int todayRow = calendarModel(app)->rowOfDay(platform::DateToDay(today));
    QVERIFY(todayRow > 0);
    const QRect todayCell = grid(app)->visualRect(calendarModel(app)->index(todayRow, 0));
    QVERIFY(grid(app)->viewport()->rect().contains(todayCell.center()));
    QVERIFY(app.window->context().picks().empty());
    if (today.year() == 2025) {
        // Carl (guest 3, four persons) holds room 3 on 1 and 2 January.
        QCOMPARE(calendarModel(app)->cellText(0, 4), QStringLiteral("3,4P"));
        QCOMPARE(calendarModel(app)->cellText(1, 4), QStringLiteral("3,4P"));
        QCOMPARE(calendarModel(app)->cellText(2, 4), QString());
    }
}

void TestWorkflows::clickOnAHolidayNamesIt()
{
    AppFixture app;
    clickTab(app, 1);
    clickCell(app, 0, 0); // 1 January
    clickCell(app, 1, 0); // 2 January: no holiday
    clickCell(app, 0, 1); // the weekday column says nothing
    QCOMPARE(app.dialogs.informations, QStringList{QStringLiteral("Neujahr")});
}

void TestWorkflows::doubleClickOpensTheGuest()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), threeGuests());
    app.click("ButtonRead");
    clickTab(app, 1);
    const int row = calendarModel(app)->rowOfDay(EncodeDate(2025, 2, 11));
    QCOMPARE(calendarModel(app)->cellText(row, 3), QStringLiteral("2,1P"));
    doubleClickCell(app, row, 3);
    QCOMPARE(app.list().currentIndex(), 2);
    QCOMPARE(app.w<QTabWidget>("Tabcontrol1")->currentIndex(), 0);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Bert"));
    QVERIFY(!app.list().changed());
}

void TestWorkflows::bookingFromPicks_data()
{
    QTest::addColumn<QList<QPoint>>("picks"); // (column, row)
    QTest::addColumn<QString>("roomsBefore");
    QTest::addColumn<QDate>("von");
    QTest::addColumn<QDate>("bis");
    QTest::addColumn<QString>("rooms");
    QTest::newRow("two picks in Zi 2") << QList<QPoint>{{3, 40}, {3, 43}} << "" << QDate(2025, 2, 10)
                                       << QDate(2025, 2, 13) << "2";
    QTest::newRow("later picks move the last day")
        << QList<QPoint>{{3, 40}, {4, 43}, {2, 45}} << "" << QDate(2025, 2, 10) << QDate(2025, 2, 15) << "2";
    QTest::newRow("backwards") << QList<QPoint>{{3, 43}, {3, 40}} << "" << QDate(2025, 2, 13) << QDate(2025, 2, 10)
                               << "2";
    QTest::newRow("a second room") << QList<QPoint>{{3, 40}, {3, 43}} << "1" << QDate(2025, 2, 10) << QDate(2025, 2, 13)
                                   << "12";
    QTest::newRow("the same room again") << QList<QPoint>{{3, 40}, {3, 43}} << "2" << QDate(2025, 2, 10)
                                         << QDate(2025, 2, 13) << "2";
    // A click on a date looks up a holiday; it picks nothing.
    QTest::newRow("first click on a date")
        << QList<QPoint>{{0, 40}, {3, 43}} << "" << QDate(2025, 2, 13) << QDate(2025, 2, 13) << "2";
    QTest::newRow("one pick books one day")
        << QList<QPoint>{{4, 40}} << "" << QDate(2025, 2, 10) << QDate(2025, 2, 10) << "3";
}

void TestWorkflows::bookingFromPicks()
{
    QFETCH(QList<QPoint>, picks);
    QFETCH(QString, roomsBefore);
    QFETCH(QDate, von);
    QFETCH(QDate, bis);
    QFETCH(QString, rooms);
    AppFixture app;
    clickTab(app, 1);
    for (const QPoint &pick : picks)
        clickCell(app, pick.y(), pick.x());
    clickTab(app, 0);
    app.click("ButtonNeuerGast");
    app.type("EditZimmer", roomsBefore);
    // A record that already names a room holds a booking: the picks change it only as the host
    // chooses; here the picked room is added to it.
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Hinzufügen"); };
    app.enter("DateEditVon");
    QCOMPARE(app.dialogs.choicesAsked.size(), roomsBefore.isEmpty() ? 0 : 1);
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QCOMPARE(app.w<QDateEdit>("DateEditVon")->date(), von);
    QCOMPARE(app.w<QDateEdit>("DateEditBis")->date(), bis);
    QCOMPARE(app.w<QLineEdit>("EditZimmer")->text(), rooms);
    QVERIFY(app.window->context().picks().empty());
    QVERIFY(app.dialogs.errors.isEmpty());
    app.leave();
    QCOMPARE(app.list().current().Von, platform::DateToDay(von));
    QCOMPARE(app.list().current().Bis, platform::DateToDay(bis));
    QCOMPARE(app.list().current().Zimmer, rooms);

    // Entering the field again changes nothing.
    app.enter("DateEditVon");
    QCOMPARE(app.w<QLineEdit>("EditZimmer")->text(), rooms);
}

void TestWorkflows::deletionRefillsFromToday()
{
    AppFixture app;
    app.writeFile(QStringLiteral("Gaeste.csv"), threeGuests());
    app.click("ButtonRead");
    clickTab(app, 1);
    clickTab(app, 0);
    app.dialogs.confirmAnswer = true;
    app.click("ButtonStornieren"); // Carl goes
    // Today, 20 February, stands in row 11; Anna's departure day 21 February shows as occupied.
    QCOMPARE(calendarModel(app)->cellText(0, 0), QStringLiteral("09.02.2025"));
    QCOMPARE(calendarModel(app)->cellText(11, 0), QStringLiteral("20.02.2025"));
    QCOMPARE(calendarModel(app)->cellText(10, 2), QStringLiteral("1,2P"));
    QCOMPARE(calendarModel(app)->cellText(12, 2), QStringLiteral("1,2P"));
    QCOMPARE(calendarModel(app)->cellText(13, 2), QString());
    for (int row = 0; row < 1000; ++row)
        QVERIFY(!calendarModel(app)->cellText(row, 4).startsWith(QStringLiteral("3,")));
}

// --- billing --------------------------------------------------------------------------------

void TestWorkflows::costIsComputedOnEnteringTheField()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    app.type("EditZimmer", QStringLiteral("12"));
    app.enter("NumberBoxPersonen");
    app.w<QSpinBox>("NumberBoxPersonen")->setValue(2);
    app.leave();
    app.enter("DateEditBis");
    app.w<QDateEdit>("DateEditBis")->setDate(QDate(2025, 2, 24));
    app.leave();
    app.click("ButtonSave");
    app.enter("NumberBoxKosten"); // 4 nights, 2 persons: 70 a night and room, 2 rooms
    QCOMPARE(app.list().current().Kosten, 560.0f);
    QCOMPARE(app.w<QDoubleSpinBox>("NumberBoxKosten")->value(), 560.0);
    QVERIFY(app.list().changed());

    // A typed cost replaces the computed one when the field is left.
    app.w<QDoubleSpinBox>("NumberBoxKosten")->setValue(500);
    app.leave();
    QCOMPARE(app.list().current().Kosten, 500.0f);
}

void TestWorkflows::missingPriceFileIsReported()
{
    AppFixture app(nullptr);
    // A house without a price list is not set up yet: the status line says so, and no box pops up at start.
    QCOMPARE(app.dialogs.informations, QStringList());
    QVERIFY2(app.status().startsWith(QStringLiteral("Noch nicht eingerichtet")), qPrintable(app.status()));
    QCOMPARE(app.window->context().preisMatrix().Preis[1][2], 0);
    // A cost asked for names where the price list was looked for: the start folder, as no data folder is chosen yet.
    app.click("ButtonNeuerGast");
    app.window->findChild<QAction *>(QStringLiteral("ActionKostenBerechnen"))->trigger();
    QVERIFY2(app.status().contains(QDir::toNativeSeparators(app.path(QStringLiteral("Preismatrix.dat")))) ||
                 app.status().contains(QDir::toNativeSeparators(app.path(QString()))),
             qPrintable(app.status()));
}

void TestWorkflows::printingTakesTheNextNumber()
{
    AppFixture app;
    app.writeInvoiceForm();
    QDir(app.path(QString())).mkdir(QStringLiteral("daten"));
    app.writeFile(QStringLiteral("daten/Gaeste.csv"), threeGuests());
    app.writeFile(QStringLiteral("daten/ReNummer.DAT"), "41\r\nalte Zeile\r\n");
    app.dialogs.openFile = app.path(QStringLiteral("daten/Gaeste.csv"));
    app.click("ButtonRead");
    app.w<QSpinBox>("SpinBox1")->setValue(1); // Anna: 2 nights, 2 persons, room 1
    const QString pdf = app.path(QStringLiteral("rechnung.pdf"));
    app.printToPdf(pdf);

    app.click("ButtonPrintRe");
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("42\r\n"));
    QCOMPARE(app.list().current().ReNr, 42);
    QCOMPARE(app.w<QSpinBox>("NumberBoxReNr")->value(), 42);
    QCOMPARE(app.list().current().Kosten, 150.0f); // 2 × 75 × 1
    const QByteArray saved = app.readFile(QStringLiteral("daten/Gaeste.csv"));
    QVERIFY(saved.contains(";Anna;Weg 1;34519;Diemelsee;;;42;150,00;"));
    QVERIFY(!app.list().changed());
    QFile printed(pdf);
    QVERIFY(printed.open(QIODevice::ReadOnly));
    QCOMPARE(readback::PdfPageCount(printed.readAll()), 1);

    // A second invoice for the same guest comes only after a cancellation the host chooses: 43
    // cancels 42, and 44 is the new invoice.
    app.dialogs.choose = [](const QString &text, const QStringList &) {
        return text == NeueRechnungFrage(42, platform::Clock::now().date()) ? QStringLiteral("Stornieren und neu berechnen")
                                                                            : QString();
    };
    app.click("ButtonPrintRe");
    QVERIFY(app.dialogs.choicesAsked.last().startsWith(NeueRechnungFrage(42, platform::Clock::now().date())));
    QCOMPARE(app.list().current().ReNr, 44);
    QCOMPARE(app.readFile(QStringLiteral("daten/ReNummer.DAT")), QByteArray("44\r\n"));
}

void TestWorkflows::missingTemplateTakesNoNumber()
{
    AppFixture app;
    app.writeFile(QStringLiteral("ReNummer.DAT"), "41\r\n");
    app.click("ButtonNeuerGast");
    app.printToPdf(app.path(QStringLiteral("x.pdf")));
    app.click("ButtonPrintRe");
    // The missing form is named, with a choice of what to do; cancelling it prints nothing.
    QCOMPARE(app.dialogs.choicesAsked.size(), 1);
    QVERIFY(app.dialogs.choicesAsked.first().contains(QStringLiteral("REVORL.JPG")));
    QVERIFY(app.dialogs.choicesAsked.first().endsWith(QStringLiteral("|Bild wählen…|Ohne Vorlage|Abbrechen")));
    QVERIFY(app.dialogs.errors.isEmpty());
    QCOMPARE(app.status(), QStringLiteral("Keine Rechnung gedruckt"));
    QCOMPARE(app.readFile(QStringLiteral("ReNummer.DAT")), QByteArray("41\r\n"));
    QCOMPARE(app.list().current().ReNr, 0);
    QCOMPARE(app.dialogs.openAsked, 0);
    QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
}

void TestWorkflows::cancelledPrinterDialogDoesNothing()
{
    AppFixture app;
    app.writeInvoiceForm();
    app.writeFile(QStringLiteral("ReNummer.DAT"), "41\r\n");
    app.click("ButtonNeuerGast");
    app.dialogs.confirmAnswer = true; // yes, without an address: it is the printer dialog that is cancelled
    app.dialogs.printer = [](QPrinter &) { return false; };
    app.click("ButtonPrintRe");
    QCOMPARE(app.readFile(QStringLiteral("ReNummer.DAT")), QByteArray("41\r\n"));
    QCOMPARE(app.list().current().ReNr, 0);
    QVERIFY(app.dialogs.errors.isEmpty());
}

QTEST_MAIN(TestWorkflows)
#include "test_workflows.moc"
