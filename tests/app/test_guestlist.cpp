// The window "Gästeliste" driven through its controls: opening it, search, filters, sorting,
// opening a booking, a returning guest's new stay, the day list and the exports.

#include "app/guestlist/GuestListWindow.h"
#include "guestfile/GuestFile.h"
#include "guestfile/Settings.h"
#include "support/AppFixture.h"
#include "support/GastText.h"
#include "support/GuestListFixture.h"
#include "support/ReadBack.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <numeric>

using app::GuestListWindow;
using guestfile::OpenSettings;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

// The main window with the fixture's eight bookings read through "Daten lesen".
void LoadFixture(AppFixture &app)
{
    WriteGuestFile(app.path(QStringLiteral("Gaeste.csv")), fixture::Gaeste());
    app.click("ButtonRead");
    QCOMPARE(app.list().size(), 9);
}

// Opens the guest list as the host does, with Ctrl+F on the main window.
GuestListWindow *Open(AppFixture &app)
{
    QApplication::setActiveWindow(app.window.get());
    QTest::keyClick(app.window.get(), Qt::Key_F, Qt::ControlModifier);
    auto *window = app.window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
    if (window && !QTest::qWaitForWindowExposed(window))
        return nullptr;
    return window;
}

QTableView *Table(QWidget *window)
{
    return control<QTableView>(window, "TableGaeste");
}

// The guest numbers of the rows shown, top to bottom.
QList<int> Shown(QWidget *window)
{
    const QAbstractItemModel *model = Table(window)->model();
    QList<int> numbers;
    for (int row = 0; row < model->rowCount(); ++row)
        numbers << model->index(row, 0).data().toInt();
    return numbers;
}

QList<int> Sorted(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

int RowOf(QWidget *window, int gastNr)
{
    return static_cast<int>(Shown(window).indexOf(gastNr));
}

QPoint RowCentre(QWidget *window, int gastNr)
{
    QTableView *table = Table(window);
    const QModelIndex index = table->model()->index(RowOf(window, gastNr), 1);
    table->scrollTo(index);
    return table->visualRect(index).center();
}

void ClickRow(QWidget *window, int gastNr)
{
    QTest::mouseClick(Table(window)->viewport(), Qt::LeftButton, {}, RowCentre(window, gastNr));
}

void ChooseFilter(QWidget *window, const QString &name)
{
    auto *filter = control<QComboBox>(window, "FilterZeitraum");
    const int index = filter->findText(name);
    QVERIFY2(index >= 0, qPrintable(name));
    filter->setCurrentIndex(index);
}

void ClickHeader(QWidget *window, int column)
{
    QHeaderView *header = Table(window)->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

QString Summe(QWidget *window)
{
    return control<QLabel>(window, "LabelSumme")->text();
}

} // namespace

class TestGuestList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        OpenSettings()->remove(QStringLiteral("Fenster/Gaesteliste"));
    }

    void opensFromTheMenuBesideTheMainWindow();
    void remembersSizeAndPosition();
    void enlargedWindowGivesTheNameTheRoom();
    void search_data();
    void search();
    void clearButtonEmptiesTheSearch();
    void filters_data();
    void filters();
    void stretchOfDaysNeverRunsBackwards();
    void headerClickSortsAsNumbersAndDates();
    void doubleClickOrEnterOpensTheBooking();
    void listFollowsTheMainWindow();
    void newStayCopiesTheAddress();
    void dayListPrintsOnOnePage();
    void crowdedDayStillFitsOnePage();
    void csvExportOfTheRowsShown();
    void calendarExportOneFilePerRoom();
};

void TestGuestList::opensFromTheMenuBesideTheMainWindow()
{
    AppFixture app;
    LoadFixture(app);

    auto *menu = app.w<QMenu>("MenuAnsicht");
    const QList<QAction *> actions = menu->actions();
    const auto entry = std::find_if(actions.begin(), actions.end(),
                                    [](QAction *a) { return a->text() == QStringLiteral("Gäste&liste"); });
    QVERIFY(entry != actions.end());
    QCOMPARE((*entry)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));

    GuestListWindow *window = Open(app);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowTitle(), QStringLiteral("Gästeliste"));
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(app.window->isEnabled());

    // Record 0 is no booking; the stays in the order of arrival.
    QCOMPARE(Shown(window), (QList<int>{6, 3, 1, 12, 7, 2, 4, 5}));
    QStringList titles;
    for (int c = 0; c < Table(window)->model()->columnCount(); ++c)
        titles << Table(window)->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Nr.", "Name", "Ort", "Anreise", "Abreise", "Nächte", "Zimmer", "Personen", "Kosten",
                                  "Rechnung Nr.", "Bezahlt", "Schlüssel"}));
    QCOMPARE(Summe(window), QStringLiteral("8 Aufenthalte, Kosten zusammen 1.460,50 €"));
    // The main window's current record (the last one read) is the selected row.
    QCOMPARE(Table(window)->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(Table(window)->selectionModel()->selectedRows().first().row(), RowOf(window, 12));

    // Asking again brings the same window to the front.
    window->hide();
    QCOMPARE(Open(app), window);
    QVERIFY(window->isVisible());
    QCOMPARE(app.window->findChildren<GuestListWindow *>().size(), 1);
}

void TestGuestList::remembersSizeAndPosition()
{
    const QRect moved(40, 50, 900, 480);
    {
        AppFixture app;
        GuestListWindow *window = Open(app);
        QVERIFY(window);
        // The first time it opens on the screen, whole.
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        window->setGeometry(moved);
        QTRY_COMPARE(window->geometry(), moved);
        window->close();
        QVERIFY(!window->isVisible());
    }
    AppFixture again;
    GuestListWindow *window = Open(again);
    QVERIFY(window);
    QCOMPARE(window->geometry(), moved);
}

void TestGuestList::enlargedWindowGivesTheNameTheRoom()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    QTableView *table = Table(window);
    QHeaderView *header = table->horizontalHeader();
    const auto others = [header] {
        QList<int> sizes;
        for (int c = 0; c < header->count(); ++c)
            if (c != 1)
                sizes << header->sectionSize(c);
        return sizes;
    };
    const QList<int> before = others();
    const int fixed = std::accumulate(before.begin(), before.end(), 0);

    window->resize(window->width() - table->viewport()->width() + fixed + 500, window->height() + 200);
    QTRY_COMPARE(table->viewport()->width(), fixed + 500);
    // The name takes the room; every other column keeps its width, and all are in view.
    QCOMPARE(header->sectionSize(1), 500);
    QCOMPARE(others(), before);
    QCOMPARE(header->length(), table->viewport()->width());
    // No title cut short.
    for (int c = 0; c < header->count(); ++c)
        QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
                 qPrintable(header->model()->headerData(c, Qt::Horizontal).toString()));
}

void TestGuestList::search_data()
{
    // The search rule itself is a table in test_guestlistmodel; here the window: typing narrows
    // the rows at once and the sum counts them, one and several.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("one stay") << QStringLiteral("hans müller") << QList<int>{1};
    QTest::newRow("two stays") << QStringLiteral("Mueller") << QList<int>{1, 2};
    QTest::newRow("nobody") << QStringLiteral("xyz") << QList<int>{};
}

void TestGuestList::search()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, expected);
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    auto *edit = control<QLineEdit>(window, "EditSuche");
    QVERIFY(edit->hasFocus()); // the host can type at once
    AppFixture::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    QCOMPARE(Sorted(Shown(window)), expected);
    QVERIFY(Summe(window).startsWith(expected.size() == 1 ? QStringLiteral("1 Aufenthalt,")
                                                          : QStringLiteral("%1 Aufenthalte,").arg(expected.size())));
}

void TestGuestList::clearButtonEmptiesTheSearch()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    auto *edit = control<QLineEdit>(window, "EditSuche");
    QVERIFY(edit->isClearButtonEnabled());
    AppFixture::keyClicks(edit, QStringLiteral("kassel"));
    QCOMPARE(Shown(window), QList<int>{1});
    QToolButton *clear = nullptr;
    for (QToolButton *button : edit->findChildren<QToolButton *>())
        if (button->isVisible())
            clear = button;
    QVERIFY(clear);
    QTest::mouseClick(clear, Qt::LeftButton);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(Shown(window).size(), 8);
}

void TestGuestList::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QDate>("von");
    QTest::addColumn<QDate>("bis");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QString>("summe");
    const QDate none;
    // Today is Thursday 20.02.2025. A stay counts from its arrival day to the day before departure.
    QTest::newRow("Alle") << "Alle" << none << none << QList<int>{1, 2, 3, 4, 5, 6, 7, 12}
                          << "8 Aufenthalte, Kosten zusammen 1.460,50 €";
    // Not Schäfer, who leaves today, nor the day guest, who stays no night.
    QTest::newRow("Heute im Haus") << "Heute im Haus" << none << none << QList<int>{1, 2, 12}
                                   << "3 Aufenthalte, Kosten zusammen 940,50 €";
    QTest::newRow("Anreisen heute") << "Anreisen heute" << none << none << QList<int>{2, 7}
                                    << "2 Aufenthalte, Kosten zusammen 145,50 €";
    QTest::newRow("Abreisen heute") << "Abreisen heute" << none << none << QList<int>{3, 7}
                                    << "2 Aufenthalte, Kosten zusammen 425,00 €";
    // Arrivals from today: Weiß on the 30th day counts, Großmann on the 31st does not.
    QTest::newRow("Kommende 30 Tage") << "Kommende 30 Tage" << none << none << QList<int>{2, 4, 7}
                                      << "3 Aufenthalte, Kosten zusammen 145,50 €";
    QTest::newRow("Unbezahlt (mit Rechnung)")
        << "Unbezahlt (mit Rechnung)" << none << none << QList<int>{1, 7} << "2 Aufenthalte, Kosten zusammen 205,00 €";
    QTest::newRow("Ohne Rechnung") << "Ohne Rechnung" << none << none << QList<int>{2, 4, 5, 12}
                                   << "4 Aufenthalte, Kosten zusammen 760,50 €";
    // Müller leaves on the 21st, so his last night is the 20th.
    QTest::newRow("Zeitraum one day") << "Zeitraum" << QDate(2025, 2, 21) << QDate(2025, 2, 21) << QList<int>{2, 12}
                                      << "2 Aufenthalte, Kosten zusammen 760,50 €";
    QTest::newRow("Zeitraum today") << "Zeitraum" << QDate(2025, 2, 20) << QDate(2025, 2, 20) << QList<int>{1, 2, 12}
                                    << "3 Aufenthalte, Kosten zusammen 940,50 €";
    QTest::newRow("Zeitraum last year") << "Zeitraum" << QDate(2024, 1, 1) << QDate(2024, 12, 31) << QList<int>{6}
                                        << "1 Aufenthalt, Kosten zusammen 95,00 €";
    QTest::newRow("Zeitraum March") << "Zeitraum" << QDate(2025, 3, 1) << QDate(2025, 3, 31) << QList<int>{4, 5}
                                    << "2 Aufenthalte, Kosten zusammen 0,00 €";
}

void TestGuestList::filters()
{
    QFETCH(QString, filter);
    QFETCH(QDate, von);
    QFETCH(QDate, bis);
    QFETCH(QList<int>, expected);
    QFETCH(QString, summe);
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);

    auto *combo = control<QComboBox>(window, "FilterZeitraum");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i)
        names << combo->itemText(i);
    QCOMPARE(names, (QStringList{"Alle", "Heute im Haus", "Anreisen heute", "Abreisen heute", "Kommende 30 Tage",
                                 "Unbezahlt (mit Rechnung)", "Ohne Rechnung", "Zeitraum"}));
    QCOMPARE(combo->currentText(), QStringLiteral("Alle"));

    ChooseFilter(window, filter);
    // The two dates count only for "Zeitraum".
    QCOMPARE(control(window, "DateVon")->isEnabled(), filter == QStringLiteral("Zeitraum"));
    QCOMPARE(control(window, "DateBis")->isEnabled(), filter == QStringLiteral("Zeitraum"));
    if (von.isValid()) {
        control<QDateEdit>(window, "DateBis")->setDate(bis);
        control<QDateEdit>(window, "DateVon")->setDate(von);
    }
    QCOMPARE(Sorted(Shown(window)), expected);
    QCOMPARE(Summe(window), summe);

    // The search narrows what the filter shows.
    AppFixture::keyClicks(control<QLineEdit>(window, "EditSuche"), QStringLiteral("mueller"));
    QList<int> both;
    for (const int nr : expected)
        if (nr == 1 || nr == 2)
            both << nr;
    QCOMPARE(Sorted(Shown(window)), both);
}

void TestGuestList::stretchOfDaysNeverRunsBackwards()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    ChooseFilter(window, QStringLiteral("Zeitraum"));
    auto *von = control<QDateEdit>(window, "DateVon");
    auto *bis = control<QDateEdit>(window, "DateBis");
    QCOMPARE(von->date(), fixture::Heute());
    bis->setDate(QDate(2025, 2, 25));
    von->setDate(QDate(2025, 3, 22));
    QCOMPARE(bis->date(), QDate(2025, 3, 22)); // taken along
    QCOMPARE(Sorted(Shown(window)), (QList<int>{4, 5}));
    bis->setDate(QDate(2024, 1, 10));
    QCOMPARE(von->date(), QDate(2024, 1, 10));
    QCOMPARE(Shown(window), QList<int>{6});
}

void TestGuestList::headerClickSortsAsNumbersAndDates()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    ClickHeader(window, 0); // Nr.: 12 after 7
    QCOMPARE(Shown(window), (QList<int>{1, 2, 3, 4, 5, 6, 7, 12}));
    ClickHeader(window, 0);
    QCOMPARE(Shown(window), (QList<int>{12, 7, 6, 5, 4, 3, 2, 1}));
    ClickHeader(window, 4); // Abreise: last year's first; the same day by the time, then the list's order
    QCOMPARE(Shown(window), (QList<int>{6, 3, 7, 1, 2, 12, 4, 5}));
    ClickHeader(window, 8); // Kosten: 95 before 120,50 before 400
    QCOMPARE(Shown(window), (QList<int>{4, 5, 7, 6, 2, 1, 3, 12}));
    ClickHeader(window, 1); // Name: "Ärzte" beside "Anna"
    QCOMPARE(Shown(window), (QList<int>{4, 12, 2, 1, 3, 6, 5, 7}));
}

void TestGuestList::doubleClickOrEnterOpensTheBooking()
{
    AppFixture app;
    LoadFixture(app);
    auto *tabs = app.w<QTabWidget>("Tabcontrol1");
    tabs->setCurrentIndex(1);
    GuestListWindow *window = Open(app);
    QVERIFY(window);

    const QPoint at = RowCentre(window, 3);
    QTest::mouseClick(Table(window)->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(app.list().currentIndex(), 8); // a click only selects
    QTest::mouseDClick(Table(window)->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(app.list().currentIndex(), 3);
    QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("Gast"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Jörg Schäfer"));
    QCOMPARE(app.w<QSpinBox>("SpinBox1")->value(), 3);
    QVERIFY(!app.list().changed());

    // Enter on a selected row.
    ClickRow(window, 6);
    QTest::keyClick(Table(window), Qt::Key_Return);
    QCOMPARE(app.list().currentIndex(), 6);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Olga Becker"));

    // Enter in the search opens the guest found.
    auto *edit = control<QLineEdit>(window, "EditSuche");
    edit->setFocus();
    Table(window)->selectionModel()->clear();
    AppFixture::keyClicks(edit, QStringLiteral("roth"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(app.list().currentIndex(), 7);
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Tagesgast Roth"));
}

void TestGuestList::listFollowsTheMainWindow()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    QTableView *table = Table(window);
    const auto selected = [&] {
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().data().toInt() : -1;
    };

    // Browsing on the page "Gast" moves the selection along.
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    QCOMPARE(selected(), 2);

    // An edit on the page "Gast" is in the list at once, and the search sees it.
    QApplication::setActiveWindow(app.window.get());
    app.type("EditName", QStringLiteral("-Lüdenscheid"));
    QCOMPARE(table->model()->index(RowOf(window, 2), 1).data().toString(), QStringLiteral("Eva Mueller-Lüdenscheid"));
    AppFixture::keyClicks(control<QLineEdit>(window, "EditSuche"), QStringLiteral("ludenscheid"));
    QCOMPARE(Shown(window), QList<int>{2});
    control<QLineEdit>(window, "EditSuche")->clear();

    // A new guest is a new row, selected; a cancelled booking goes.
    app.click("ButtonNeuerGast");
    QCOMPARE(Shown(window).size(), 9);
    QCOMPARE(selected(), 13);
    QCOMPARE(Summe(window), QStringLiteral("9 Aufenthalte, Kosten zusammen 1.460,50 €"));
    app.dialogs.confirmAnswer = true;
    app.click("ButtonStornieren");
    QCOMPARE(Shown(window).size(), 8);
    QVERIFY(!Shown(window).contains(13));

    // A cost computed on the page "Gast" is in the sum.
    app.w<QSpinBox>("SpinBox1")->setValue(4);
    app.enter("NumberBoxKosten"); // Weiß: 2 persons, 3 nights at 70
    app.leave();
    QCOMPARE(table->model()->index(RowOf(window, 4), 8).data().toString(), QStringLiteral("210,00 €"));
    QCOMPARE(Summe(window), QStringLiteral("8 Aufenthalte, Kosten zusammen 1.670,50 €"));

    // Reading the file again replaces every row.
    app.dialogs.choose = [](const QString &, const QStringList &) { return QStringLiteral("Nein"); };
    app.click("ButtonRead");
    QCOMPARE(Summe(window), QStringLiteral("8 Aufenthalte, Kosten zusammen 1.460,50 €"));
    QCOMPARE(selected(), 12);
}

void TestGuestList::newStayCopiesTheAddress()
{
    AppFixture app;
    std::vector<TGast> records = fixture::Gaeste();
    records[1].Telefon = QStringLiteral("0561 12 34 56");
    records[1].EMail = QStringLiteral("h.mueller@example.de");
    WriteGuestFile(app.path(QStringLiteral("Gaeste.csv")), records);
    app.click("ButtonRead");
    app.w<QTabWidget>("Tabcontrol1")->setCurrentIndex(1);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    auto *button = control<QPushButton>(window, "ButtonNeuerAufenthalt");

    // Nothing selected: nothing to copy.
    AppFixture::keyClicks(control<QLineEdit>(window, "EditSuche"), QStringLiteral("xyz"));
    QVERIFY(!button->isEnabled());
    control<QLineEdit>(window, "EditSuche")->clear();

    ClickRow(window, 1);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(app.list().size(), 10);
    QCOMPARE(app.list().currentIndex(), 9);
    TGast expected;
    expected.GastNr = 13;
    expected.Personen = 1;
    expected.Von = platform::DateToDay(fixture::Heute());
    expected.Bis = expected.Von;
    expected.Name = QStringLiteral("Hans Müller");
    expected.Strasse = QStringLiteral("Königstraße 3");
    expected.PLZ = 34117;
    expected.Ort = QStringLiteral("Kassel");
    expected.Telefon = QStringLiteral("0561 12 34 56");
    expected.EMail = QStringLiteral("h.mueller@example.de");
    // No rooms, cost, invoice, key or remarks of the earlier stay.
    QCOMPARE(Describe(app.list().current()), Describe(expected));
    QCOMPARE(Describe(app.list().at(1)), Describe(records[1]));
    QVERIFY(app.list().changed());

    // Shown on the page "Gast", and in the list.
    QCOMPARE(app.w<QTabWidget>("Tabcontrol1")->currentWidget()->objectName(), QStringLiteral("Gast"));
    QCOMPARE(app.w<QLineEdit>("EditName")->text(), QStringLiteral("Hans Müller"));
    QCOMPARE(app.w<QLineEdit>("EditStrasse")->text(), QStringLiteral("Königstraße 3"));
    QCOMPARE(app.w<QLineEdit>("EditEMail")->text(), QStringLiteral("h.mueller@example.de"));
    QVERIFY(app.w<QLineEdit>("EditZimmer")->text().isEmpty());
    QCOMPARE(Table(window)->selectionModel()->selectedRows().first().data().toInt(), 13);
    QCOMPARE(control<QLabel>(window, "LabelMeldung")->text(),
             QStringLiteral("Neuer Aufenthalt: Gast 13 (Hans Müller)"));

    // Once another booking is shown, the message no longer fits and goes.
    app.w<QSpinBox>("SpinBox1")->setValue(2);
    QCOMPARE(app.list().currentIndex(), 2);
    QVERIFY(control<QLabel>(window, "LabelMeldung")->text().isEmpty());
}

void TestGuestList::dayListPrintsOnOnePage()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    auto *date = control<QDateEdit>(window, "DateTagesliste");
    QCOMPARE(date->date(), fixture::Heute());

    const QString pdf = app.path(QStringLiteral("Tagesliste.pdf"));
    app.printToPdf(pdf);
    QTest::mouseClick(control<QPushButton>(window, "ButtonTagesliste"), Qt::LeftButton);
    QCOMPARE(app.dialogs.printerTitles, QStringList{QStringLiteral("Tagesliste drucken")});
    QVERIFY(app.dialogs.errors.isEmpty());
    QCOMPARE(readback::PdfPages(pdf), 1);
    QVERIFY2(readback::PdfPageSize(pdf).contains(QStringLiteral("A4")), qPrintable(readback::PdfPageSize(pdf)));

    const QString text = readback::PdfText(pdf);
    const auto lineWith = [&text](const QString &part) {
        for (const QString &line : text.split(u'\n'))
            if (line.contains(part))
                return line.simplified();
        return QString();
    };
    QVERIFY2(text.contains(QStringLiteral("Tagesliste für Donnerstag, 20. Februar 2025")), qPrintable(text));
    QCOMPARE(lineWith(QStringLiteral("Anreisen")), QStringLiteral("Anreisen (2)"));
    QCOMPARE(lineWith(QStringLiteral("Eva Mueller")), QStringLiteral("18:30 2 1 Eva Mueller"));
    QCOMPARE(lineWith(QStringLiteral("Abreisen")), QStringLiteral("Abreisen (2)"));
    // The team shares rooms 1 and 3 that day with the others: the double bookings are marked.
    QCOMPARE(lineWith(QStringLiteral("Schäfer")), QStringLiteral("10:00 3 (Doppelbelegung) Jörg Schäfer nicht ausgegeben bezahlt"));
    QCOMPARE(lineWith(QStringLiteral("Rechnung 19")),
             QStringLiteral("10:00 3 (Doppelbelegung) Tagesgast Roth nicht ausgegeben offen (Rechnung 19)"));
    QCOMPARE(lineWith(QStringLiteral("Bleibende")), QStringLiteral("Bleibende Gäste (2)"));
    QCOMPARE(lineWith(QStringLiteral("Hans Müller")), QStringLiteral("1 (Doppelbelegung) 2 Hans Müller 21.02.2025"));
    QCOMPARE(lineWith(QStringLiteral("Ärzte")), QStringLiteral("1 (Doppelbelegung), 3 (Doppelbelegung) 4 Ärzte Team 23.02.2025"));
    QCOMPARE(control<QLabel>(window, "LabelMeldung")->text(), QStringLiteral("Tagesliste für 20.02.2025 gedruckt"));

    // Another day, chosen in the window.
    date->setDate(QDate(2025, 2, 21));
    QTest::mouseClick(control<QPushButton>(window, "ButtonTagesliste"), Qt::LeftButton);
    const QString tomorrow = readback::PdfText(pdf);
    QVERIFY(tomorrow.contains(QStringLiteral("Freitag, 21. Februar 2025")));
    QVERIFY(tomorrow.contains(QStringLiteral("Anreisen (0)")));
    QVERIFY(tomorrow.contains(QStringLiteral("keine")));
    QVERIFY(tomorrow.contains(QStringLiteral("Abreisen (1)")));

    // A cancelled print dialog prints nothing.
    QFile::remove(pdf);
    app.dialogs.printer = {};
    QTest::mouseClick(control<QPushButton>(window, "ButtonTagesliste"), Qt::LeftButton);
    QVERIFY(!QFile::exists(pdf));
}

void TestGuestList::crowdedDayStillFitsOnePage()
{
    AppFixture app;
    std::vector<TGast> records = fixture::Gaeste();
    for (int i = 0; i < 60; ++i) {
        records.push_back(fixture::Booking(100 + i, "Gruppe Wanderfreunde Diemelsee", "Diemelsee", fixture::Heute(),
                                           fixture::Heute().addDays(2), "123"));
        records.back().Bemerkung = QStringLiteral("vegetarisches Frühstück, Lunchpakete für die Wanderung am Freitag");
    }
    WriteGuestFile(app.path(QStringLiteral("Gaeste.csv")), records);
    app.click("ButtonRead");
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    const QString pdf = app.path(QStringLiteral("voll.pdf"));
    app.printToPdf(pdf);
    QTest::mouseClick(control<QPushButton>(window, "ButtonTagesliste"), Qt::LeftButton);
    QVERIFY(app.dialogs.errors.isEmpty());
    QCOMPARE(readback::PdfPages(pdf), 1);
    QVERIFY(readback::PdfText(pdf).contains(QStringLiteral("Anreisen (62)")));
}

void TestGuestList::csvExportOfTheRowsShown()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);

    // Cancelled: nothing written.
    QTest::mouseClick(control<QPushButton>(window, "ButtonExport"), Qt::LeftButton);
    QCOMPARE(app.dialogs.exportsAsked.size(), 1);
    QVERIFY2(app.dialogs.exportsAsked.first().startsWith(QStringLiteral("Gästeliste exportieren|")) &&
                 app.dialogs.exportsAsked.first().endsWith(
                     QStringLiteral("/Export/Gästeliste 2025-02-20.csv|CSV-Dateien (*.csv)")),
             qPrintable(app.dialogs.exportsAsked.first()));
    QVERIFY(control<QLabel>(window, "LabelMeldung")->text().isEmpty());

    // The rows as shown: found, filtered and in the order of the column clicked.
    AppFixture::keyClicks(control<QLineEdit>(window, "EditSuche"), QStringLiteral("muller"));
    ChooseFilter(window, QStringLiteral("Heute im Haus"));
    ClickHeader(window, 0);
    ClickHeader(window, 0);
    QCOMPARE(Shown(window), (QList<int>{2, 1}));
    app.dialogs.exportFile = app.path(QStringLiteral("Müller heute.csv"));
    QTest::mouseClick(control<QPushButton>(window, "ButtonExport"), Qt::LeftButton);
    QVERIFY(app.dialogs.errors.isEmpty());

    const QByteArray bytes = app.readFile(QStringLiteral("Müller heute.csv"));
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[0].startsWith(QStringLiteral("Nr.;Name;Straße;PLZ;Ort;")));
    QVERIFY(lines[1].startsWith(QStringLiteral("2;Eva Mueller;;;Köln;")));
    QVERIFY(lines[2].startsWith(QStringLiteral("1;Hans Müller;Königstraße 3;34117;Kassel;")));
    QVERIFY(lines[2].endsWith(QStringLiteral(";spät, nach 22 Uhr")));
    QCOMPARE(control<QLabel>(window, "LabelMeldung")->text(),
             QStringLiteral("2 Zeilen in Müller heute.csv gespeichert"));

    // A file that cannot be written is said plainly, and nothing else changes.
    app.dialogs.exportFile = app.path(QStringLiteral("fehlt/liste.csv"));
    QTest::mouseClick(control<QPushButton>(window, "ButtonExport"), Qt::LeftButton);
    QCOMPARE(app.dialogs.errors.size(), 1);
    QVERIFY2(app.dialogs.errors.first().contains(QStringLiteral("fehlt/liste.csv")),
             qPrintable(app.dialogs.errors.first()));
    QVERIFY(!app.list().changed());
}

void TestGuestList::calendarExportOneFilePerRoom()
{
    AppFixture app;
    LoadFixture(app);
    GuestListWindow *window = Open(app);
    QVERIFY(window);
    // The search does not narrow the calendars: they show every booking of the room.
    AppFixture::keyClicks(control<QLineEdit>(window, "EditSuche"), QStringLiteral("muller"));
    QDir(app.path(QString())).mkdir(QStringLiteral("kalender"));
    app.dialogs.folder = app.path(QStringLiteral("kalender"));
    QTest::mouseClick(control<QPushButton>(window, "ButtonKalenderExport"), Qt::LeftButton);
    QCOMPARE(app.dialogs.foldersAsked, QStringList{QStringLiteral("Ordner für die Zimmerkalender wählen")});
    QVERIFY(app.dialogs.errors.isEmpty());

    const QStringList files = {app.path("kalender/Zimmer 1.ics"), app.path("kalender/Zimmer 2.ics"),
                               app.path("kalender/Zimmer 3.ics")};
    const QStringList seen = readback::IcsLines(files);
    QCOMPARE(seen.filter(QStringLiteral("CALENDAR|2.0|")).size(), 3);
    QCOMPARE(seen.filter(QStringLiteral("|Zimmer 1 belegt|")).size(), 3);
    QCOMPARE(seen.filter(QStringLiteral("|Zimmer 2 belegt|")).size(), 3);
    QCOMPARE(seen.filter(QStringLiteral("|Zimmer 3 belegt|")).size(), 2);
    const QString stamp =
        platform::Clock::now().toUTC().toString(Qt::ISODate).replace(QStringLiteral("Z"), QStringLiteral("+00:00"));
    QVERIFY2(seen.contains(QStringLiteral("EVENT|zimbrana-gast-1-zimmer-1@zimbrana|2025-02-18|2025-02-21|date|"
                                          "Zimmer 1 belegt|") +
                           stamp),
             qPrintable(seen.join(u'\n')));
    QVERIFY(control<QLabel>(window, "LabelMeldung")
                ->text()
                .startsWith(QStringLiteral("Zimmer 1.ics, Zimmer 2.ics, Zimmer 3.ics in ")));
}

QTEST_MAIN(TestGuestList)
#include "test_guestlist.moc"
