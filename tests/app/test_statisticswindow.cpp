// The window "Auswertung" driven through its controls: a fixture year checked by hand in the
// table, the chart and the unpaid invoices; the year spin box; following the guest list; the CSV
// export and the printed page.

#include "app/statistics/StatisticsWindow.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>

using app::StatisticsWindow;
using guests::TGast;
using platform::EncodeDate;

namespace {

// Carl stays over New Year in room 2, Anna over the end of January in room 1 (invoice 5, open),
// Bert in rooms 1 and 3 in February (invoice 6, paid).
std::vector<TGast> FixtureYear()
{
    return {TGast{},
            fixture::Stay(1, "1", 2, EncodeDate(2025, 1, 30), EncodeDate(2025, 2, 2), "Anna")
                .kosten(300)
                .reNr(5)
                .bezahlt(false),
            fixture::Stay(2, "13", 3, EncodeDate(2025, 2, 10), EncodeDate(2025, 2, 13), "Bert")
                .kosten(540)
                .reNr(6)
                .bezahlt(true),
            fixture::Stay(3, "2", 1, EncodeDate(2024, 12, 30), EncodeDate(2025, 1, 2), "Carl")
                .kosten(135)
                .reNr(4)
                .bezahlt(true)};
}

struct Figures
{
    explicit Figures(AppFixture &app)
    {
        app.window->context().guestList().replace(FixtureYear());
        QMenu *menu = app.window->menuBar()->findChild<QMenu *>(QStringLiteral("MenuAnsicht"));
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("A&uswertung"))
                action->trigger();
        window = app.window->findChild<StatisticsWindow *>(QStringLiteral("Statistics"));
        if (!window)
            qFatal("no figures window");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        table = w<QTableWidget>("TabelleMonate");
    }

    template <typename T = QWidget> T *w(const char *name) const { return control<T>(window, name); }

    QStringList row(int r) const
    {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        return cells;
    }

    StatisticsWindow *window = nullptr;
    QTableWidget *table = nullptr;
};

QStringList Row(const char *cells)
{
    return QString::fromUtf8(cells).split(u';');
}

} // namespace

class TestStatisticsWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Worked out by hand: January has Anna's nights of the 30th and 31st (2 / 31 = 6.5 %) and
    // Carl's of the 1st (3.2 %), 3 of 93 room nights (3.2 %); Anna arrived (2 persons, 300 €);
    // Carl's invoice counts on his departure, 2 January (135 €). February has Anna's last night
    // and Bert's three in room 1 (4 / 28 = 14.3 %), Bert's three in room 3 (10.7 %), 7 / 84 =
    // 8.3 %; Bert arrived with 3 persons (540 €); Anna's and Bert's invoices count (840 €).
    // The year: 6, 1 and 3 nights of 365 days; 10 / 1095 = 0.9 %.
    void tableOfTheFixtureYear_data()
    {
        QTest::addColumn<int>("jahr");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("cells");
        QTest::newRow("January") << 2025 << 0 << Row("01;2;1;0;3;6,5;3,2;0,0;3,2;1;2;300,00;135,00");
        QTest::newRow("February") << 2025 << 1 << Row("02;4;0;3;7;14,3;0,0;10,7;8,3;1;3;540,00;840,00");
        QTest::newRow("March") << 2025 << 2 << Row("03;0;0;0;0;0,0;0,0;0,0;0,0;0;0;0,00;0,00");
        QTest::newRow("year") << 2025 << 12 << Row("Summe;6;1;3;10;1,6;0,3;0,8;0,9;2;5;840,00;975,00");
        // Carl's two nights of 2024 and his arrival, but not his invoice.
        QTest::newRow("December before") << 2024 << 11 << Row("12;0;2;0;2;0,0;6,5;0,0;2,2;1;1;135,00;0,00");
    }
    void tableOfTheFixtureYear()
    {
        QFETCH(int, jahr);
        QFETCH(int, row);
        QFETCH(QStringList, cells);
        AppFixture app;
        Figures figures(app);
        QCOMPARE(figures.w<QSpinBox>("SpinJahr")->value(), 2025); // today's year
        figures.w<QSpinBox>("SpinJahr")->setValue(jahr);
        QCOMPARE(figures.table->rowCount(), 13);
        QCOMPARE(figures.row(row), cells);
    }

    void summaryChartAndUnpaidInvoices()
    {
        AppFixture app;
        Figures figures(app);
        QCOMPARE(figures.w<QLabel>("LabelJahr")->text(),
                 QStringLiteral("2025: 2 Gäste mit 5 Personen, 10 Zimmernächte, Auslastung 0,9 %, durchschnittlicher "
                                "Aufenthalt 3,0 Nächte. Umsatz nach Anreise 840,00 €, nach Rechnung 975,00 €."));
        QCOMPARE(figures.w<QLabel>("LabelOffen")->text(),
                 QStringLiteral("Offene Rechnungen 2025: 1, zusammen 300,00 €."));
        auto *open = figures.w<QTableWidget>("TabelleOffen");
        QCOMPARE(open->rowCount(), 1);
        QCOMPARE(open->item(0, 0)->text(), QStringLiteral("5"));
        QCOMPARE(open->item(0, 1)->text(), QStringLiteral("Gast 1 (Anna)"));
        QCOMPARE(open->item(0, 1)->toolTip(), QStringLiteral("Gast 1 (Anna)"));
        QCOMPARE(open->item(0, 2)->text(), QStringLiteral("30.01.2025 bis 02.02.2025"));
        QCOMPARE(open->item(0, 3)->text(), QStringLiteral("300,00 €"));
        QVERIFY(figures.w<QLabel>("LabelErlaeuterung")->text().contains(QStringLiteral("Monat der Abreise")));

        // The chart shows occupancy and revenue by arrival for every month.
        QChart *chart = figures.w<QChartView>("ChartAuswertung")->chart();
        QCOMPARE(chart->title(), QStringLiteral("Auslastung und Umsatz 2025"));
        const QList<QAbstractSeries *> series = chart->series();
        QCOMPARE(series.size(), 2);
        const QBarSet *occupancy = static_cast<QBarSeries *>(series[0])->barSets().at(0);
        const QBarSet *revenue = static_cast<QBarSeries *>(series[1])->barSets().at(1);
        QCOMPARE(occupancy->label(), QStringLiteral("Auslastung (%)"));
        QCOMPARE(revenue->label(), QStringLiteral("Umsatz nach Anreise (€)"));
        QCOMPARE(occupancy->count(), 12);
        QVERIFY(qAbs(occupancy->at(1) - 700.0 / 84) < 1e-9);
        QCOMPARE(revenue->at(0), 300.0);
        QCOMPARE(revenue->at(1), 540.0);
        QCOMPARE(revenue->at(2), 0.0);

        // A double-click on the unpaid invoice opens the booking.
        app.window->findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"))->setCurrentIndex(1);
        const QRect cell = open->visualItemRect(open->item(0, 1));
        QTest::mouseClick(open->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(open->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(app.list().currentIndex(), 1);
        QCOMPARE(app.window->findChild<QTabWidget *>(QStringLiteral("Tabcontrol1"))->currentIndex(), 0);
    }

    void followsTheGuestList()
    {
        AppFixture app;
        Figures figures(app);
        // Anna pays: no unpaid invoice left.
        app.window->context().guestList().modify(1, [](TGast &g) { g.Bezahlt = true; });
        QCOMPARE(figures.w<QTableWidget>("TabelleOffen")->rowCount(), 0);
        QCOMPARE(figures.w<QLabel>("LabelOffen")->text(), QStringLiteral("Keine offenen Rechnungen 2025."));
        // Bert's booking is cut to one room.
        app.window->context().guestList().modify(2, [](TGast &g) { g.Zimmer = QStringLiteral("1"); });
        QCOMPARE(figures.row(1), Row("02;4;0;0;4;14,3;0,0;0,0;4,8;1;3;540,00;840,00"));
        // A hidden window catches up when it is shown again.
        figures.window->hide();
        app.window->context().guestList().replace({TGast{}});
        figures.window->show();
        QCOMPARE(figures.row(12), Row("Summe;0;0;0;0;0,0;0,0;0,0;0,0;0;0;0,00;0,00"));
    }

    void exportWritesTheTableAsCsv()
    {
        AppFixture app;
        Figures figures(app);
        const QString file = app.path(QStringLiteral("auswertung.csv"));
        app.dialogs.exportFile = file;
        figures.w<QPushButton>("ButtonExportieren")->click();
        QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));
        QCOMPARE(app.dialogs.exportsAsked,
                 QStringList{QStringLiteral("Auswertung exportieren|%1|CSV-Dateien (*.csv)")
                                 .arg(app.path(QStringLiteral("Export/Auswertung 2025 vom 2025-02-20.csv")))});
        const QByteArray csv = app.readFile(QStringLiteral("auswertung.csv"));
        QVERIFY(csv.startsWith("\xEF\xBB\xBF"
                               "Monat;N\xC3\xA4"
                               "chte Zi 1;"));
        const QList<QByteArray> lines = csv.mid(3).split('\n');
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines[1], QByteArray("01;2;1;0;3;6,5;3,2;0,0;3,2;1;2;300,00;135,00\r"));
        QCOMPARE(lines[12], QByteArray("12;0;0;0;0;0,0;0,0;0,0;0,0;0;0;0,00;0,00\r"));
        QCOMPARE(lines[13], QByteArray("Summe;6;1;3;10;1,6;0,3;0,8;0,9;2;5;840,00;975,00\r"));
        QCOMPARE(figures.w<QLabel>("LabelStatus")->text(), QStringLiteral("Gespeichert: ") + file);

        // Another year, cancelled: nothing written.
        figures.w<QSpinBox>("SpinJahr")->setValue(2024);
        QFile::remove(file);
        app.dialogs.exportFile.clear();
        figures.w<QPushButton>("ButtonExportieren")->click();
        QVERIFY(!QFile::exists(file));
        QVERIFY(app.dialogs.exportsAsked.last().contains(QStringLiteral("Auswertung 2024 vom 2025-02-20.csv")));
    }

    void exportThatFailsSaysSo()
    {
        AppFixture app;
        Figures figures(app);
        app.dialogs.exportFile = app.path(QStringLiteral("kein Ordner/auswertung.csv"));
        figures.w<QPushButton>("ButtonExportieren")->click();
        QCOMPARE(app.dialogs.errors.size(), 1);
        QVERIFY2(app.dialogs.errors[0].contains(QStringLiteral("kein Ordner")), qPrintable(app.dialogs.errors[0]));
        QVERIFY(!figures.w<QLabel>("LabelStatus")->text().startsWith(QStringLiteral("Gespeichert")));
    }
};

QTEST_MAIN(TestStatisticsWindow)
#include "test_statisticswindow.moc"
