// The window changes a booking only when the host does: focus that Qt gives back, picks, the cost
// field, guest numbers, deleting, printing and typed dates, all through the real window.

#include "calendar/RoomCalendarModel.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimeEdit>

using guests::TGast;

using platform::EncodeDate;
using namespace moves;

namespace {

// Jürgen Weiß stays in room 1 from 18 to 20 February; guest 6 of the example.
QByteArray weissFile(const char *reNr = "0", const char *kosten = " 0,00")
{
    return kRecordZero + guestLine(1, "2", 1, "10.02.2025", "12.02.2025", "Bert") +
           QByteArray("6;1;2;18.02.2025;14:00:00;20.02.2025;10:00:00;Wei\xDF;Weg 1;34519;Diemelsee;;;") + reNr + ';' +
           kosten + ";False;False;\r\n";
}

void readFile(AppFixture &app, const QByteArray &file)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.click("ButtonRead");
}

// Another window takes the focus away and gives it back, as switching programs does.
void deactivateAndReactivate(const AppFixture &app)
{
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    other.hide();
    QApplication::setActiveWindow(app.window.get());
    QVERIFY(QTest::qWaitForWindowActive(app.window.get()));
    QCoreApplication::processEvents();
}

void typeOver(const AppFixture &app, const char *name, const QString &text)
{
    app.enter(name);
    QWidget *field = app.w(name);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(field, text);
    app.leave();
}

} // namespace

class TestHostChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void returningFromTheCalendarAppliesNoPicks();
    void tabKeyIntoTheArrivalFieldAppliesPicks();
    void reactivatingTheWindowKeepsATypedCost();
    void tabClickStoresTheEditedFieldFirst();
    void doubleClickOpensTheCellsRecordAndIsNoPick();
    void picksAreShown();
    void replacingABookingAsks_data();
    void replacingABookingAsks();
    void picksWaitForAGuest();
    void costField_data();
    void costField();
    void costBeyondTheFieldIsRefused();
    void deletingAsks_data();
    void deletingAsks();
    void newGuestAfterADeletionGetsANewNumber();
    void printingNeedsAGuest();
    void typedDates_data();
    void typedDates();
    void impossibleDateIsRefused();
    void typedTimes_data();
    void typedTimes();
    void secondsStayUnlessEdited();
    void reversedStayIsShown();
    void browsingChangesNothing();
};

void TestHostChanges::returningFromTheCalendarAppliesNoPicks()
{
    AppFixture app;
    readFile(app, weissFile());
    app.enter("DateEditVon"); // the host was in Weiß's arrival field
    clickTab(app, 1);
    clickCell(app, 40, 4); // Zi 3 from 10 February ...
    clickCell(app, 42, 4); // ... to 12 February
    clickTab(app, 0);      // Qt gives the arrival field its focus back
    QCOMPARE(app.list().current().Zimmer, QStringLiteral("1"));
    QCOMPARE(app.list().current().Von, EncodeDate(2025, 2, 18));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 20));
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QVERIFY(!app.window->context().picks().empty());

    // The new guest made afterwards gets them on the host's click.
    app.click("ButtonNeuerGast");
    app.enter("DateEditVon");
    QCOMPARE(app.list().current().Zimmer, QStringLiteral("3"));
    QCOMPARE(app.list().current().Von, EncodeDate(2025, 2, 10));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 12));
    QCOMPARE(app.list().at(2).Zimmer, QStringLiteral("1"));
}

void TestHostChanges::tabKeyIntoTheArrivalFieldAppliesPicks()
{
    AppFixture app;
    clickTab(app, 1);
    clickCell(app, 40, 3);
    clickCell(app, 41, 3);
    clickTab(app, 0);
    app.click("ButtonNeuerGast");
    app.enter("EditOrt");
    QTest::keyClick(app.w("EditOrt"), Qt::Key_Tab); // the place is followed by the arrival field
    QCOMPARE(QApplication::focusWidget(), app.w("DateEditVon"));
    QCOMPARE(app.list().current().Zimmer, QStringLiteral("2"));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 11));
}

void TestHostChanges::reactivatingTheWindowKeepsATypedCost()
{
    AppFixture app;
    readFile(app, weissFile());
    app.enter("NumberBoxKosten"); // computed: 2 nights, 2 persons, 75 a night
    QCOMPARE(app.list().current().Kosten, 150.0f);
    auto *kosten = app.w<QDoubleSpinBox>("NumberBoxKosten");
    kosten->setValue(128);
    deactivateAndReactivate(app);
    QCOMPARE(kosten->value(), 128.0);
    clickTab(app, 1);
    clickTab(app, 0);
    QCOMPARE(kosten->value(), 128.0);
    app.leave();
    QCOMPARE(app.list().current().Kosten, 128.0f);
}

void TestHostChanges::tabClickStoresTheEditedFieldFirst()
{
    AppFixture app;
    readFile(app, weissFile());
    // Weiß's departure is typed as 23 February, and the host goes straight to the calendar.
    auto *bis = app.w<QDateEdit>("DateEditBis");
    app.enter("DateEditBis");
    QTest::keyClick(bis, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(bis, QStringLiteral("23.02.2025"));
    clickTab(app, 1);
    const int row = calendarModel(app)->rowOfDay(EncodeDate(2025, 2, 23));
    QVERIFY(row >= 0);
    QCOMPARE(calendarModel(app)->cellText(row, 2), QStringLiteral("6,2P"));
}

void TestHostChanges::doubleClickOpensTheCellsRecordAndIsNoPick()
{
    AppFixture app;
    // An older file holds number 6 twice: the calendar opens the one in the cell.
    readFile(app, weissFile() + guestLine(6, "3", 1, "01.02.2025", "05.02.2025", "Zweiter"));
    clickTab(app, 1);
    const int row = calendarModel(app)->rowOfDay(EncodeDate(2025, 2, 3));
    doubleClickCell(app, row, 4);
    QCOMPARE(app.list().currentIndex(), 3);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Zweiter"));
    QVERIFY(app.window->context().picks().empty());

    // Opening Weiß and clicking his arrival field leaves his stay as it is.
    clickTab(app, 1);
    doubleClickCell(app, calendarModel(app)->rowOfDay(EncodeDate(2025, 2, 18)), 2);
    QCOMPARE(app.list().currentIndex(), 2);
    app.enter("DateEditVon");
    QCOMPARE(app.list().current().Von, EncodeDate(2025, 2, 18));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 20));
    QVERIFY(app.dialogs.confirmations.isEmpty());
}

void TestHostChanges::picksAreShown()
{
    AppFixture app;
    clickTab(app, 1);
    // The status line holds what the start said (the set-up hint of a house without a data folder).
    const QString atStart = app.status();
    clickCell(app, 40, 0); // a look at a date is no pick
    QCOMPARE(app.status(), atStart);
    clickCell(app, 40, 4);
    QCOMPARE(app.status(), QStringLiteral("Auswahl: Zimmer 3, 10.02.2025 bis 10.02.2025"));
    clickCell(app, 42, 4);
    QCOMPARE(app.status(), QStringLiteral("Auswahl: Zimmer 3, 10.02.2025 bis 12.02.2025"));
    for (int row : {40, 41, 42})
        QVERIFY(calendarModel(app)->isPicked(row, 4));
    QVERIFY(!calendarModel(app)->isPicked(43, 4));
    QVERIFY(calendarModel(app)->data(calendarModel(app)->index(41, 4), Qt::BackgroundRole).isValid());

    clickTab(app, 0);
    app.click("ButtonNeuerGast");
    app.enter("DateEditVon");
    QVERIFY(!calendarModel(app)->isPicked(41, 4));
}

void TestHostChanges::replacingABookingAsks_data()
{
    QTest::addColumn<QString>("answer"); // the button; empty: Esc
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<QDate>("von");
    QTest::addColumn<bool>("picksStay");
    QTest::newRow("Ersetzen: the picked room and days") << "Ersetzen" << "3" << QDate(2025, 2, 10) << false;
    QTest::newRow("Hinzufügen: a second room, the picked days") << "Hinzufügen" << "13" << QDate(2025, 2, 10) << false;
    QTest::newRow("Abbrechen: nothing changes, the picks stay") << "Abbrechen" << "1" << QDate(2025, 2, 18) << true;
    QTest::newRow("Esc: as Abbrechen") << "" << "1" << QDate(2025, 2, 18) << true;
}

void TestHostChanges::replacingABookingAsks()
{
    QFETCH(QString, answer);
    QFETCH(QString, zimmer);
    QFETCH(QDate, von);
    QFETCH(bool, picksStay);
    AppFixture app;
    readFile(app, weissFile());
    clickTab(app, 1);
    clickCell(app, 40, 4);
    clickCell(app, 42, 4);
    clickTab(app, 0);
    app.dialogs.choose = [answer](const QString &, const QStringList &) { return answer; };
    app.enter("DateEditVon");
    QCOMPARE(app.dialogs.choicesAsked,
             QStringList{QStringLiteral("Gast 6 (Weiß) hat schon eine Buchung: Zimmer 1, 18.02.2025 bis 20.02.2025.\n\n"
                                        "„Ersetzen“ ändert sie in: Zimmer 3, 10.02.2025 bis 12.02.2025.\n"
                                        "„Hinzufügen“ nimmt das Zimmer dazu: Zimmer 13, 10.02.2025 bis 12.02.2025."
                                        "|Ersetzen|Hinzufügen|Abbrechen")});
    QVERIFY(app.dialogs.confirmations.isEmpty());
    QCOMPARE(app.list().current().Zimmer, zimmer);
    QCOMPARE(app.list().current().Von, platform::DateToDay(von));
    QCOMPARE(app.list().changed(), !picksStay);
    QCOMPARE(!app.window->context().picks().empty(), picksStay);
    QCOMPARE(calendarModel(app)->isPicked(41, 4), picksStay);
}

void TestHostChanges::picksWaitForAGuest()
{
    AppFixture app;
    clickTab(app, 1);
    clickCell(app, 40, 2);
    clickTab(app, 0);
    app.enter("DateEditVon"); // record 0 is no guest
    QCOMPARE(app.list().at(0), TGast());
    QVERIFY(app.status().startsWith(QStringLiteral("Kein Gast gewählt")));
    QVERIFY(!app.window->context().picks().empty());
}

void TestHostChanges::costField_data()
{
    QTest::addColumn<QByteArray>("reNr");
    QTest::addColumn<QByteArray>("kosten");
    QTest::addColumn<bool>("priceFile");
    QTest::addColumn<float>("expected");
    QTest::addColumn<QString>("status");
    QTest::newRow("invoiced and paid: kept") << QByteArray("17") << QByteArray("128,00") << true << 128.0f
                                             << "Rechnung Nr. 17 ist gestellt: die Kosten bleiben 128,00 Euro";
    // "%1": the folder the price file was looked for in.
    QTest::newRow("no price file: nothing computed") << QByteArray("0") << QByteArray(" 0,00") << false << 0.0f
                                                     << "Preismatrix.dat fehlt (gesucht in %1/): die Kosten werden "
                                                        "nicht berechnet";
    QTest::newRow("an amount for the stay as read stays") << QByteArray("0") << QByteArray("128,00") << true << 128.0f
                                                          << "2 Gästedatensätze gelesen";
    QTest::newRow("nothing before: nothing to say")
        << QByteArray("0") << QByteArray(" 0,00") << true << 150.0f << "2 Gästedatensätze gelesen";
}

void TestHostChanges::costField()
{
    QFETCH(QByteArray, reNr);
    QFETCH(QByteArray, kosten);
    QFETCH(bool, priceFile);
    QFETCH(float, expected);
    QFETCH(QString, status);
    AppFixture app(priceFile ? "50;45;40\n80;75;70\n100;95;90\n120;115;110\n25;22;20\n" : nullptr);
    readFile(app, weissFile(reNr.constData(), kosten.constData()));
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, expected);
    QCOMPARE(app.w<QDoubleSpinBox>("NumberBoxKosten")->value(), double(expected));
    QCOMPARE(app.status(), status.contains(QStringLiteral("%1")) ? status.arg(QDir::toNativeSeparators(app.path(QString())))
                                                                 : status);
}

void TestHostChanges::costBeyondTheFieldIsRefused()
{
    // 10,000 nights in three rooms at 40 euros: 1.200.000,00 fits the field and is kept whole;
    // 1,000,000 nights do not fit.
    AppFixture app;
    readFile(app, kRecordZero + guestLine(1, "123", 1, "01.01.2025", "19.05.2052", "Lang") +
                      guestLine(2, "123", 1, "01.01.2025", "29.11.4762", "Sehr lang"));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 1200000.0f);
    app.leave();
    QCOMPARE(app.list().current().Kosten, 1200000.0f);

    app.w<QSpinBox>("SpinBox1")->setValue(2);
    app.enter("NumberBoxKosten");
    QCOMPARE(app.list().current().Kosten, 0.0f);
    QVERIFY2(app.status().contains(QStringLiteral("passen nicht in das Feld")), qPrintable(app.status()));
}

void TestHostChanges::deletingAsks_data()
{
    QTest::addColumn<QByteArray>("reNr");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question");
    const QString plain = QStringLiteral("Gast 6 (Weiß, 18.02.2025 bis 20.02.2025) stornieren?");
    QTest::newRow("Ja") << QByteArray("0") << true << plain;
    QTest::newRow("Nein") << QByteArray("0") << false << plain;
    // An invoiced booking is not deleted: the host is told to cancel the invoice first, with
    // "Rechnung stornieren…" and "Abbrechen" (Esc) to choose from.
    QTest::newRow("invoiced") << QByteArray("1042") << false
                              << QStringLiteral("Gast 6 (Weiß, 18.02.2025 bis 20.02.2025) hat Rechnung 1042: zuerst "
                                                "die Rechnung stornieren|Rechnung stornieren…|Abbrechen");
}

void TestHostChanges::deletingAsks()
{
    QFETCH(QByteArray, reNr);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    AppFixture app;
    readFile(app, weissFile(reNr.constData()));
    app.dialogs.confirmAnswer = answer;
    app.click("ButtonStornieren");
    QCOMPARE(reNr == "0" ? app.dialogs.confirmations : app.dialogs.choicesAsked, QStringList{question});
    if (reNr != "0")
        QVERIFY(app.dialogs.confirmations.isEmpty());
    QCOMPARE(app.list().guestCount(), answer ? 1 : 2);
    QCOMPARE(app.list().changed(), answer);
    if (answer)
        QCOMPARE(app.status(), QStringLiteral("Gast 6 (Weiß) storniert"));
}

void TestHostChanges::newGuestAfterADeletionGetsANewNumber()
{
    AppFixture app;
    QByteArray file = kRecordZero;
    for (int nr = 1; nr <= 8; ++nr)
        file += guestLine(nr, "1", 1, "01.03.2025", "02.03.2025", "Gast");
    readFile(app, file);
    app.w<QSpinBox>("SpinBox1")->setValue(6);
    app.dialogs.confirmAnswer = true;
    app.click("ButtonStornieren");
    app.click("ButtonNeuerGast");
    QCOMPARE(app.list().current().GastNr, 9);
    app.click("ButtonNeuerGast");
    QCOMPARE(app.list().current().GastNr, 10);
}

void TestHostChanges::printingNeedsAGuest()
{
    AppFixture app;
    app.writeInvoiceForm();
    app.writeFile(QStringLiteral("ReNummer.DAT"), "41\r\n");
    bool asked = false;
    app.dialogs.printer = [&asked](QPrinter &) { return asked = true; };
    app.click("ButtonPrintRe");
    QCOMPARE(app.status(), QStringLiteral("Kein Gast gewählt"));
    QVERIFY(!asked);
    QCOMPARE(app.readFile(QStringLiteral("ReNummer.DAT")), QByteArray("41\r\n"));
    QVERIFY(!QFile::exists(app.path(QStringLiteral("Gaeste.csv"))));
}

void TestHostChanges::typedDates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("whole") << "15.03.2027" << QDate(2027, 3, 15);
    QTest::newRow("short month") << "15.3.2027" << QDate(2027, 3, 15);
    QTest::newRow("two-digit year") << "15.3.27" << QDate(2027, 3, 15);
    QTest::newRow("two-digit year 50 years back") << "1.1.76" << QDate(1976, 1, 1);
    QTest::newRow("leap day") << "29.2.2028" << QDate(2028, 2, 29);
}

void TestHostChanges::typedDates()
{
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    AppFixture app;
    app.click("ButtonNeuerGast");
    typeOver(app, "DateEditBis", typed);
    QCOMPARE(app.w<QDateEdit>("DateEditBis")->date(), expected);
    QCOMPARE(app.list().current().Bis, platform::DateToDay(expected));
    QVERIFY(app.dialogs.errors.isEmpty());
}

void TestHostChanges::impossibleDateIsRefused()
{
    AppFixture app;
    app.click("ButtonNeuerGast");
    typeOver(app, "DateEditBis", QStringLiteral("31.02.2027"));
    QCOMPARE(app.w<QDateEdit>("DateEditBis")->date(), QDate(2025, 2, 20));
    QCOMPARE(app.list().current().Bis, EncodeDate(2025, 2, 20));
    QTRY_COMPARE(app.dialogs.errors, QStringList{QStringLiteral("'31.02.2027' ist kein gültiges Datum")});
}

void TestHostChanges::typedTimes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QTime>("expected");
    QTest::newRow("with colon") << "15:00" << QTime(15, 0);
    QTest::newRow("four digits") << "1530" << QTime(15, 30);
    QTest::newRow("three digits") << "930" << QTime(9, 30);
    QTest::newRow("the hour") << "8" << QTime(8, 0);
}

void TestHostChanges::typedTimes()
{
    QFETCH(QString, typed);
    QFETCH(QTime, expected);
    AppFixture app;
    app.click("ButtonNeuerGast");
    typeOver(app, "TimeEditAnreise", typed);
    QCOMPARE(app.w<QTimeEdit>("TimeEditAnreise")->time(), expected);
    QCOMPARE(app.list().current().Anreise, platform::TimeToFraction(expected));
}

void TestHostChanges::secondsStayUnlessEdited()
{
    AppFixture app;
    readFile(app,
             kRecordZero + "1;1;1;18.02.2025;14:05:30;20.02.2025;10:00:45;Sekunden;;0;;;;0; 0,00;False;False;\r\n");
    QCOMPARE(app.w<QTimeEdit>("TimeEditAnreise")->text(), QStringLiteral("14:05"));
    app.enter("TimeEditAnreise");
    app.leave();
    QCOMPARE(app.list().current().Anreise, platform::TimeToFraction(QTime(14, 5, 30)));
    typeOver(app, "TimeEditAbreise", QStringLiteral("11:00"));
    QCOMPARE(app.list().current().Abreise, platform::TimeToFraction(QTime(11, 0)));
    QCOMPARE(app.list().current().Anreise, platform::TimeToFraction(QTime(14, 5, 30)));
}

void TestHostChanges::reversedStayIsShown()
{
    AppFixture app;
    readFile(app, kRecordZero + guestLine(1, "1", 1, "20.02.2025", "18.02.2025", "Rückwärts") +
                      guestLine(2, "1", 1, "18.02.2025", "20.02.2025", "Vorwärts"));
    QCOMPARE(app.status(), QStringLiteral("2 Gästedatensätze gelesen"));
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    QCOMPARE(app.status(), QStringLiteral("Abreise liegt vor Anreise"));
    typeOver(app, "DateEditBis", QStringLiteral("22.02.2025"));
    QCOMPARE(app.status(), QString());
}

void TestHostChanges::browsingChangesNothing()
{
    AppFixture app;
    readFile(app, weissFile("17", "128,00"));
    // Looking at records, entering fields without typing, the calendar and back: nothing changes.
    app.w<QSpinBox>("SpinBox1")->setValue(1);
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    for (const char *field : {"EditName", "DateEditVon", "TimeEditAnreise", "DateEditBis", "NumberBoxKosten"}) {
        app.enter(field);
        app.leave();
    }
    clickTab(app, 1);
    clickTab(app, 0);
    deactivateAndReactivate(app);
    QVERIFY(!app.list().changed());
    QCOMPARE(app.list().current().Kosten, 128.0f);
}

QTEST_MAIN(TestHostChanges)
#include "test_hostchanges.moc"
