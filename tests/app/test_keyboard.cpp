// The guest form with the keyboard alone, typed dates and times that are refused, and a window
// that grows with the screen; all through the real window.

#include "app/ToolWindow.h"
#include "app/guestlist/GuestListWindow.h"
#include "app/invoices/InvoiceListWindow.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/statistics/StatisticsWindow.h"
#include "guestfile/Settings.h"
#include "platform/DayNumber.h"
#include "support/AppFixture.h"
#include "support/WindowMoves.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimeEdit>

using app::GuestListWindow;
using app::StatisticsWindow;
using guestfile::OpenSettings;
using guests::TGast;

using namespace moves;

namespace {

// The controls of the page "Gast" in the order they are reached with Tab, left to right and top to
// bottom as they are seen.
const QStringList kVisualOrder = {
    "SpinBox1",        "NumberBoxGastnr", "EditZimmer",    "EditName",        "NumberBoxPersonen", "EditStrasse",
    "NumberBoxPLZ",    "EditOrt",         "DateEditVon",   "TimeEditAnreise", "DateEditBis",       "TimeEditAbreise",
    "EditTelefon",     "EditEMail",       "EditBem",       "NumberBoxReNr",   "NumberBoxKosten",   "CheckBoxBez",
    "CheckBoxKey",     "ButtonNeuerGast", "ButtonStornieren", "ButtonPrintRe", "ButtonRead",       "ButtonSave"};

// Weiss in room 1 from 18 to 20 February 2025, arriving 14:00.
const QByteArray kWeiss = kRecordZero + guestLine(6, "1", 2, "18.02.2025", "20.02.2025", "Weiss");

void readFile(AppFixture &app, const QByteArray &file)
{
    app.writeFile(QStringLiteral("Gaeste.csv"), file);
    app.click("ButtonRead");
}

QRect onPage(const AppFixture &app, const QWidget *control)
{
    return QRect(control->mapTo(app.w("Gast"), QPoint(0, 0)), control->size());
}

void pressTab(Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    QCoreApplication::processEvents();
}

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    // Each window opens as on a first run, at its usual size.
    void init() { OpenSettings()->remove(QStringLiteral("Fenster/Hauptfenster")); }
    void cleanup() { init(); }

    void tabWalksTheForm_data();
    void tabWalksTheForm();
    void tabOrderIsTheVisualOrder();
    void wholeTypedValueAndTab_data();
    void wholeTypedValueAndTab();
    void mnemonics_data();
    void mnemonics();
    void mnemonicsAreUnique();
    void refusedInputKeepsTheValue_data();
    void refusedInputKeepsTheValue();
    void otherWindowsTakeWholeDates_data();
    void otherWindowsTakeWholeDates();
    void opensAtItsUsualSize();
    void fieldsGrowWithTheWindow();
    void sizeIsRemembered();
    void statisticsFitASmallScreen();
    void dateReachedByTabIsTypedWhole_data();
    void dateReachedByTabIsTypedWhole();
    void everyWayToTheCalendarFillsIt_data();
    void everyWayToTheCalendarFillsIt();
    void escClosesEveryToolWindow_data();
    void escClosesEveryToolWindow();
    void downFromTheSearchSelectsTheFirstRow();
};

void TestKeyboard::tabWalksTheForm_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("next");
    for (qsizetype i = 0; i + 1 < kVisualOrder.size(); ++i)
        QTest::addRow("%s", qPrintable(kVisualOrder[i])) << kVisualOrder[i] << kVisualOrder[i + 1];
}

void TestKeyboard::tabWalksTheForm()
{
    QFETCH(QString, from);
    QFETCH(QString, next);
    AppFixture app;
    readFile(app, kWeiss);
    app.enter(qPrintable(from));
    QCOMPARE(focusName(), from);
    pressTab();
    QCOMPARE(focusName(), next);
    pressTab(Qt::ShiftModifier);
    QCOMPARE(focusName(), from);
    // Walking the form changes nothing (entering the cost field may price the stay).
    if (from != QStringLiteral("NumberBoxKosten") && next != QStringLiteral("NumberBoxKosten"))
        QVERIFY(!app.list().changed());
    QVERIFY(app.dialogs.choicesAsked.isEmpty());
}

void TestKeyboard::tabOrderIsTheVisualOrder()
{
    AppFixture app;
    app.enter("SpinBox1");
    QStringList walked{focusName()};
    for (int i = 0; i < 40 && walked.size() < kVisualOrder.size(); ++i) {
        pressTab();
        walked << focusName();
    }
    QCOMPARE(walked, kVisualOrder);
    // Left to right on a line, then the next line down; and no control of the page is left out.
    for (qsizetype i = 0; i + 1 < walked.size(); ++i) {
        const QRect a = onPage(app, app.w(qPrintable(walked[i])));
        const QRect b = onPage(app, app.w(qPrintable(walked[i + 1])));
        const bool sameLine = std::abs(a.center().y() - b.center().y()) < a.height() / 2;
        QVERIFY2(sameLine ? b.left() > a.left() : b.top() >= a.center().y(),
                 qPrintable(walked[i] + QStringLiteral(" → ") + walked[i + 1]));
    }
    for (QWidget *control : app.w("Gast")->findChildren<QWidget *>()) {
        const bool ownEdit =
            qobject_cast<QLineEdit *>(control) && !qobject_cast<QAbstractSpinBox *>(control->parentWidget());
        const bool input =
            ownEdit || qobject_cast<QAbstractSpinBox *>(control) || qobject_cast<QAbstractButton *>(control);
        if (input)
            QVERIFY2(kVisualOrder.contains(control->objectName()), qPrintable(control->objectName()));
    }
}

void TestKeyboard::wholeTypedValueAndTab_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Anreise") << "DateEditVon" << "15.04.2027" << "TimeEditAnreise" << "15.04.2027";
    QTest::newRow("Abreise") << "DateEditBis" << "17.4.27" << "TimeEditAbreise" << "17.04.2027";
    QTest::newRow("Anreise time") << "TimeEditAnreise" << "1530" << "DateEditBis" << "15:30";
    QTest::newRow("Abreise time") << "TimeEditAbreise" << "9:45" << "EditTelefon" << "09:45";
}

void TestKeyboard::wholeTypedValueAndTab()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, next);
    QFETCH(QString, shown);
    AppFixture app;
    readFile(app, kWeiss);
    app.enter(qPrintable(field));
    QWidget *edit = app.w(qPrintable(field));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(edit, typed);
    pressTab();
    QCOMPARE(focusName(), next);
    QCOMPARE(app.w<QAbstractSpinBox>(qPrintable(field))->text(), shown);
    const TGast &g = app.list().current();
    const QString stored = field == QStringLiteral("DateEditVon")       ? platform::DayToDate(g.Von).toString("dd.MM.yyyy")
                           : field == QStringLiteral("DateEditBis")     ? platform::DayToDate(g.Bis).toString("dd.MM.yyyy")
                           : field == QStringLiteral("TimeEditAnreise") ? platform::FractionToTime(g.Anreise).toString("HH:mm")
                                                                        : platform::FractionToTime(g.Abreise).toString("HH:mm");
    QCOMPARE(stored, shown);
    QVERIFY(app.dialogs.errors.isEmpty());
}

void TestKeyboard::mnemonics_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");
    QTest::newRow("Alt+Z Zimmer") << int(Qt::Key_Z) << "EditZimmer";
    QTest::newRow("Alt+N Name") << int(Qt::Key_N) << "EditName";
    QTest::newRow("Alt+P Personen") << int(Qt::Key_P) << "NumberBoxPersonen";
    QTest::newRow("Alt+S Strasse") << int(Qt::Key_S) << "EditStrasse";
    QTest::newRow("Alt+L PLZ") << int(Qt::Key_L) << "NumberBoxPLZ";
    QTest::newRow("Alt+O Ort") << int(Qt::Key_O) << "EditOrt";
    QTest::newRow("Alt+I Anreise") << int(Qt::Key_I) << "DateEditVon";
    QTest::newRow("Alt+B Abreise") << int(Qt::Key_B) << "DateEditBis";
    QTest::newRow("Alt+F Telefon") << int(Qt::Key_F) << "EditTelefon";
    QTest::newRow("Alt+M EMail") << int(Qt::Key_M) << "EditEMail";
    QTest::newRow("Alt+U Bemerkungen") << int(Qt::Key_U) << "EditBem";
    QTest::newRow("Alt+K Kosten") << int(Qt::Key_K) << "NumberBoxKosten";
}

void TestKeyboard::mnemonics()
{
    QFETCH(int, key);
    QFETCH(QString, focused);
    AppFixture app;
    readFile(app, kWeiss);
    app.enter("SpinBox1");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
    QCoreApplication::processEvents();
    QCOMPARE(focusName(), focused);
}

void TestKeyboard::mnemonicsAreUnique()
{
    AppFixture app;
    // Alt and a letter on the page's buttons press them, as a click does.
    app.enter("EditName");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    QTRY_COMPARE(app.list().size(), 2); // a button pressed by its letter shows the press a moment
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Udiaeresis, Qt::AltModifier);
    QTRY_VERIFY(app.w<QCheckBox>("CheckBoxKey")->isChecked());
    QVERIFY(app.list().current().Schluessel);

    // Every letter once on the page, none of them one of the menu bar's.
    QMap<QChar, QString> taken;
    QStringList withoutLetter;
    for (QAction *menu : app.window->menuBar()->actions()) {
        const QString letter = QKeySequence::mnemonic(menu->text()).toString();
        if (letter.isEmpty())
            withoutLetter << menu->text();
        else
            taken.insert(letter.back(), menu->text());
    }
    QCOMPARE(taken.size(), 4);
    QVERIFY2(withoutLetter.isEmpty(), qPrintable(withoutLetter.join(u',')));
    QStringList texts;
    for (QLabel *label : app.w("Gast")->findChildren<QLabel *>())
        if (label->buddy())
            texts << label->text();
    for (QAbstractButton *button : app.w("Gast")->findChildren<QAbstractButton *>())
        texts << button->text();
    int withMnemonic = 0;
    for (const QString &text : texts) {
        const QKeySequence keys = QKeySequence::mnemonic(text);
        if (keys.isEmpty())
            continue;
        ++withMnemonic;
        const QChar letter = keys.toString().back();
        QVERIFY2(!taken.contains(letter), qPrintable(text + QStringLiteral(" and ") + taken.value(letter)));
        taken.insert(letter, text);
    }
    // Every labelled field and every button but "Daten lesen" and "Daten schreiben" (Strg+O, Strg+S).
    QCOMPARE(withMnemonic, texts.size() - 2);
}

void TestKeyboard::refusedInputKeepsTheValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byTab");
    QTest::addColumn<QString>("error"); // empty: taken
    QTest::addColumn<QString>("shown");
    const QString date = QStringLiteral("'%1' ist kein gültiges Datum");
    const QString time = QStringLiteral("'%1' ist keine gültige Uhrzeit");
    for (const bool byTab : {false, true}) {
        const char *how = byTab ? "Tab" : "click";
        QTest::addRow("29.02.2025, %s", how) << "DateEditBis" << "29.02.2025" << byTab << date.arg("29.02.2025")
                                            << "20.02.2025";
        QTest::addRow("01.01.0000, %s", how) << "DateEditBis" << "01.01.0000" << byTab << date.arg("01.01.0000")
                                            << "20.02.2025";
        QTest::addRow("18.12.202, %s", how) << "DateEditBis" << "18.12.202" << byTab << date.arg("18.12.202")
                                           << "20.02.2025";
        QTest::addRow("25:00, %s", how) << "TimeEditAnreise" << "25:00" << byTab << time.arg("25:00") << "14:00";
        QTest::addRow("23:59:60, %s", how) << "TimeEditAnreise" << "23:59:60" << byTab << time.arg("23:59:60")
                                          << "14:00";
        // The same beginnings, finished, are taken.
        QTest::addRow("29.02.2028, %s", how) << "DateEditBis" << "29.02.2028" << byTab << "" << "29.02.2028";
        QTest::addRow("18.12.2026, %s", how) << "DateEditBis" << "18.12.2026" << byTab << "" << "18.12.2026";
        QTest::addRow("23:59:59, %s", how) << "TimeEditAnreise" << "23:59:59" << byTab << "" << "23:59";
    }
}

void TestKeyboard::refusedInputKeepsTheValue()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, byTab);
    QFETCH(QString, error);
    QFETCH(QString, shown);
    AppFixture app;
    readFile(app, kWeiss);
    const TGast before = app.list().current();
    app.enter(qPrintable(field));
    QWidget *edit = app.w(qPrintable(field));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(edit, typed);
    if (byTab)
        pressTab();
    else
        app.leave();
    QCOMPARE(app.w<QAbstractSpinBox>(qPrintable(field))->text(), shown);
    if (error.isEmpty()) {
        QVERIFY(app.list().changed());
        QVERIFY(app.dialogs.errors.isEmpty());
        return;
    }
    QCOMPARE(app.list().current(), before);
    QVERIFY(!app.list().changed());
    QTRY_COMPARE(app.dialogs.errors, QStringList{error});
    // Saving afterwards writes what was there before typing.
    app.click("ButtonSave");
    QVERIFY(app.readFile(QStringLiteral("Gaeste.csv")).contains("18.02.2025;14:00:00;20.02.2025;10:00:00;Weiss;"));
}

void TestKeyboard::otherWindowsTakeWholeDates_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<QString>("error");
    const QString refused = QStringLiteral("'%1' ist kein gültiges Datum");
    for (const char *field : {"DateTagesliste", "DateVon", "DateBis"}) {
        QTest::addRow("%s whole", field) << field << "15.04.2027" << QDate(2027, 4, 15) << "";
        QTest::addRow("%s short", field) << field << "1.3.25" << QDate(2025, 3, 1) << "";
        QTest::addRow("%s refused", field) << field << "29.02.2025" << QDate() << refused.arg("29.02.2025");
        QTest::addRow("%s unfinished year", field) << field << "18.12.202" << QDate() << refused.arg("18.12.202");
    }
}

void TestKeyboard::otherWindowsTakeWholeDates()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    QFETCH(QString, error);
    AppFixture app;
    app.trigger("ActionGaesteliste");
    auto *window = app.opened<GuestListWindow>();
    QVERIFY(window);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *filter = window->findChild<QComboBox *>(QStringLiteral("FilterZeitraum"));
    filter->setCurrentIndex(filter->findText(QStringLiteral("Zeitraum")));
    auto *edit = window->findChild<QDateEdit *>(field);
    QVERIFY(edit && edit->isEnabled());
    const QDate before = edit->date();
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    AppFixture::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(edit->date(), expected.isValid() ? expected : before);
    if (error.isEmpty())
        QVERIFY(app.dialogs.errors.isEmpty());
    else
        QTRY_COMPARE(app.dialogs.errors, QStringList{error});
}

void TestKeyboard::opensAtItsUsualSize()
{
    AppFixture app;
    QCOMPARE(app.window->size(), QSize(384, 567 + app.window->menuBar()->sizeHint().height()));
    // Nothing is squeezed at that size.
    QVERIFY(app.window->minimumSizeHint().width() <= 384);
    QVERIFY(app.window->minimumSizeHint().height() <= app.window->height());
    for (const QString &name : kVisualOrder) {
        QWidget *control = app.w(qPrintable(name));
        QVERIFY2(control->width() >= control->minimumSizeHint().width(), qPrintable(name));
    }
}

void TestKeyboard::fieldsGrowWithTheWindow()
{
    AppFixture app;
    QVERIFY(app.window->maximumWidth() > 1920 && app.window->maximumHeight() > 1080);
    const QStringList wide = {"EditName", "EditStrasse", "EditOrt", "EditTelefon", "EditEMail", "EditBem"};
    QMap<QString, int> widths;
    for (const QString &name : wide)
        widths[name] = app.w(qPrintable(name))->width();
    clickTab(app, 1);
    const int gridHeight = grid(app)->height();
    const int roomWidth = grid(app)->columnWidth(2);

    app.window->resize(1366, 740);
    QCoreApplication::processEvents();
    QVERIFY(grid(app)->height() > gridHeight + 100);
    QVERIFY(grid(app)->columnWidth(2) > roomWidth + 100);
    clickTab(app, 0);
    for (const QString &name : wide)
        QVERIFY2(app.w(qPrintable(name))->width() > widths[name] + 500, qPrintable(name));
    // Still one after the other, nothing over anything else.
    for (qsizetype i = 0; i < kVisualOrder.size(); ++i)
        for (qsizetype j = i + 1; j < kVisualOrder.size(); ++j)
            QVERIFY2(!onPage(app, app.w(qPrintable(kVisualOrder[i])))
                          .intersects(onPage(app, app.w(qPrintable(kVisualOrder[j])))),
                     qPrintable(kVisualOrder[i] + u' ' + kVisualOrder[j]));
}

void TestKeyboard::sizeIsRemembered()
{
    {
        AppFixture app;
        app.window->resize(900, 700);
        QCoreApplication::processEvents();
        QVERIFY(app.window->close());
    }
    AppFixture again;
    QCOMPARE(again.window->size(), QSize(900, 700));
}

void TestKeyboard::statisticsFitASmallScreen()
{
    AppFixture app;
    app.trigger("ActionAuswertung");
    auto *window = app.opened<StatisticsWindow>();
    QVERIFY(window);
    // Maximised on 1366 × 768 less the title bar and a panel.
    window->resize(1366, 700);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QCoreApplication::processEvents();
    const QStringList parts = {"ChartAuswertung", "TabelleMonate", "LabelJahr", "LabelOffen", "TabelleOffen",
                               "LabelErlaeuterung", "ButtonExportieren", "ButtonDrucken", "SpinJahr"};
    QList<QRect> rects;
    for (const QString &name : parts) {
        auto *part = window->findChild<QWidget *>(name);
        QVERIFY2(part && part->isVisible(), qPrintable(name));
        const QRect rect(part->mapTo(window, QPoint(0, 0)), part->size());
        // Whole in the window, without scrolling, and over nothing else.
        QVERIFY2(window->rect().contains(rect), qPrintable(name));
        for (qsizetype i = 0; i < rects.size(); ++i)
            QVERIFY2(!rect.intersects(rects[i]), qPrintable(name + u' ' + parts[i]));
        rects << rect;
    }
    // Every month and the sum are shown whole; the chart is tall enough for its axis titles.
    auto *table = window->findChild<QTableView *>(QStringLiteral("TabelleMonate"));
    QVERIFY(table->rowViewportPosition(13) + table->rowHeight(13) <= table->viewport()->height());
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("ChartAuswertung"))->height() >= 300);
    // A smaller window scrolls rather than drawing over itself.
    window->resize(1000, 450);
    QCoreApplication::processEvents();
    auto *scroll = window->findChild<QAbstractScrollArea *>(QStringLiteral("ScrollAuswertung"));
    QVERIFY(scroll->verticalScrollBar()->maximum() > 0);
}

void TestKeyboard::dateReachedByTabIsTypedWhole_data()
{
    QTest::addColumn<QString>("from");   // the control the host starts in
    QTest::addColumn<bool>("backwards"); // Shift+Tab
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Tab into Anreise") << "EditOrt" << false << "DateEditVon" << "24.03.2027" << "24.03.2027";
    QTest::newRow("Tab into Abreise, short") << "TimeEditAnreise" << false << "DateEditBis" << "24.3.27" << "24.03.2027";
    QTest::newRow("Shift+Tab into Abreise") << "TimeEditAbreise" << true << "DateEditBis" << "25.03.2027"
                                            << "25.03.2027";
    QTest::newRow("Tab into a time") << "DateEditVon" << false << "TimeEditAnreise" << "1530" << "15:30";
}

void TestKeyboard::dateReachedByTabIsTypedWhole()
{
    QFETCH(QString, from);
    QFETCH(bool, backwards);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    AppFixture app;
    readFile(app, kWeiss);
    app.w(qPrintable(from))->setFocus(Qt::OtherFocusReason);
    pressTab(backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(focusName(), field);
    // Whatever the field showed is replaced by what is typed, with nothing selected by hand.
    AppFixture::keyClicks(QApplication::focusWidget(), typed);
    pressTab();
    QCOMPARE(app.w<QAbstractSpinBox>(qPrintable(field))->text(), shown);
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'/')));
}

void TestKeyboard::everyWayToTheCalendarFillsIt_data()
{
    QTest::addColumn<QString>("way");
    for (const char *way : {"Strg+Tab", "Strg+Bild ab", "Pfeil im Reiter", "Strg+2"})
        QTest::newRow(way) << QString::fromLatin1(way);
}

void TestKeyboard::everyWayToTheCalendarFillsIt()
{
    QFETCH(QString, way);
    AppFixture app;
    readFile(app, kWeiss);
    const auto toCalendar = [&] {
        auto *tabs = app.w<QTabWidget>("Tabcontrol1");
        if (way == u"Strg+Tab") {
            app.enter("EditName");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        } else if (way == u"Strg+Bild ab") {
            app.enter("EditName");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        } else if (way == u"Pfeil im Reiter") {
            tabs->tabBar()->setFocus(Qt::TabFocusReason);
            QTest::keyClick(tabs->tabBar(), Qt::Key_Right);
        } else {
            app.enter("EditName");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::ControlModifier);
        }
        QCoreApplication::processEvents();
        QCOMPARE(tabs->currentWidget(), app.w("Zimmer"));
    };
    const auto shownToday = [&] {
        const int row = calendarModel(app)->rowOfDay(platform::Today());
        return row < 0 ? QString() : calendarModel(app)->cellText(row, 2);
    };

    toCalendar();
    QCOMPARE(shownToday(), QStringLiteral("6,2P"));
    // Back on "Gast", the host changes the persons; the calendar shows them the next time.
    app.w<QTabWidget>("Tabcontrol1")->setCurrentWidget(app.w("Gast"));
    app.enter("NumberBoxPersonen");
    QTest::keyClick(app.w("NumberBoxPersonen"), Qt::Key_A, Qt::ControlModifier);
    app.keyClicks("NumberBoxPersonen", QStringLiteral("3"));
    toCalendar();
    QCOMPARE(shownToday(), QStringLiteral("6,3P"));
}

void TestKeyboard::escClosesEveryToolWindow_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Belegungsplan") << "ActionBelegungsplan";
    QTest::newRow("Auswertung") << "ActionAuswertung";
    QTest::newRow("Gästeliste") << "ActionGaesteliste";
    QTest::newRow("Rechnungen") << "ActionRechnungen";
}

void TestKeyboard::escClosesEveryToolWindow()
{
    QFETCH(QString, action);
    AppFixture app;
    readFile(app, kWeiss);
    app.trigger(qPrintable(action));
    const auto windows = app.window->findChildren<app::ToolWindow *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(windows.size(), 1);
    QWidget *window = windows.front();
    QTRY_VERIFY(window->isVisible());
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
}

void TestKeyboard::downFromTheSearchSelectsTheFirstRow()
{
    AppFixture app;
    readFile(app, kRecordZero + guestLine(1, "1", 2, "01.03.2025", "04.03.2025", "Anna") +
                      guestLine(2, "2", 1, "05.03.2025", "06.03.2025", "Bert"));
    app.trigger("ActionGaesteliste");
    auto *window = app.opened<GuestListWindow>();
    QVERIFY(window);
    auto *search = control<QLineEdit>(window, "EditSuche");
    auto *table = control<QTableView>(window, "TableGaeste");
    QTRY_COMPARE(QApplication::focusWidget(), search);
    QTest::keyClick(search, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), table);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().front().row(), 0);
    const int first = table->model()->index(0, 0).data().toInt();
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(app.list().current().GastNr, first);
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
