// The printed day list names what the house has to do that day: breakfast for those who slept
// here, the rooms to make ready (a room left and taken the same day first) and the rooms booked
// twice or taken through a portal. Printed from the guest list window and read back with poppler.

#include "app/guestlist/GuestListWindow.h"
#include "exchange/PortalFiles.h"
#include "guestfile/GuestFile.h"
#include "support/AppFixture.h"
#include "support/GuestBuilder.h"
#include "support/ReadBack.h"

#include <QDateEdit>
#include <QPushButton>

using app::GuestListWindow;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

const QDate kDay(2025, 2, 20);

platform::TDateTime day(int offset)
{
    return platform::DateToDay(kDay.addDays(offset));
}

// "room,persons,from,to,name" with the days counted from the listed day; "block,room,from,to,name"
// for a room taken through a portal.
struct Table
{
    std::vector<TGast> guests{TGast{}};
    std::vector<guests::PortalBlock> blocks;
};

Table parse(const QStringList &rows)
{
    Table table;
    for (const QString &row : rows) {
        const QStringList f = row.split(u',');
        if (f[0] == u"block") {
            guests::PortalBlock b;
            b.room = f[1].toInt();
            b.from = day(f[2].toInt());
            b.to = day(f[3].toInt());
            b.subscription = f[4];
            b.uid = row;
            b.lastSeen = QDateTime(kDay, QTime(8, 0));
            table.blocks.push_back(b);
            continue;
        }
        const auto nr = static_cast<qint32>(table.guests.size());
        table.guests.push_back(fixture::Stay(nr, f[0], f[1].toInt(), day(f[2].toInt()), day(f[3].toInt()), f[4]));
    }
    return table;
}

// The lines under "Aufgaben des Tages", a wrapped line joined again.
QStringList taskLines(const QString &text)
{
    QStringList lines;
    bool inTasks = false;
    for (const QString &raw : text.split(u'\n')) {
        const QString line = raw.simplified();
        if (line.startsWith(QStringLiteral("Aufgaben des Tages"))) {
            inTasks = true;
            continue;
        }
        if (!inTasks || line.isEmpty())
            continue;
        // A wrapped line goes on indented.
        if (raw.startsWith(u' ') && !lines.isEmpty())
            lines.back() += u' ' + line;
        else
            lines << line;
    }
    return lines;
}

} // namespace

class TestDayListTasks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tasksOfTheDay_data();
    void tasksOfTheDay();
};

void TestDayListTasks::tasksOfTheDay_data()
{
    QTest::addColumn<QStringList>("stays");
    // The task lines as printed, each given by its start.
    QTest::addColumn<QStringList>("tasks");
    QTest::newRow("a couple staying on") << QStringList{"1,2,-2,2,Anna Alt"}
                                         << QStringList{"Frühstück: 2 Personen (Zimmer 1: Anna Alt, 2 P.)"};
    QTest::newRow("one guest") << QStringList{"2,1,-1,1,Bert Bach"}
                               << QStringList{"Frühstück: 1 Person (Zimmer 2: Bert Bach, 1 P.)"};
    QTest::newRow("changeover first") << QStringList{"1,2,-1,0,Anna Alt", "2,3,0,3,Cora Conrad", "3,1,-3,0,Dora Dorn",
                                                     "3,2,0,2,Emil Ernst"}
                                      << QStringList{"Frühstück: 3 Personen",
                                                     "Zimmer 3: Wechsel – ab Dora Dorn, an Emil Ernst",
                                                     "Zimmer 1: Abreise Anna Alt – reinigen",
                                                     "Zimmer 2: Anreise Cora Conrad – vorbereiten"};
    QTest::newRow("arrivals only, no breakfast") << QStringList{"1,2,0,2,Anna Alt", "2,1,1,3,Bert Bach"}
                                                 << QStringList{"Zimmer 1: Anreise Anna Alt – vorbereiten"};
    QTest::newRow("a group of two rooms") << QStringList{"12,5,-1,1,Team Gruber", "3,2,-4,-1,Gone Early"}
                                          << QStringList{"Frühstück: 5 Personen (Zimmer 1, 2: Team Gruber, 5 P.)"};
    QTest::newRow("double booking and a portal block")
        << QStringList{"2,2,-1,1,Anna Alt", "block,2,-2,1,Portal A", "block,3,0,2,Portal B"}
        << QStringList{"Frühstück: 2 Personen (Zimmer 2: Anna Alt, 2 P.; Zimmer 2: Portal A, Personen unbekannt)",
                       "Zimmer 3: Anreise Portal B – vorbereiten", "Doppelbelegung: Zimmer 2",
                       "Zimmer 2 belegt über Portal A", "Zimmer 3 belegt über Portal B"};
    // Longer than the page is wide: wrapped, nothing cut off.
    QTest::newRow("a long breakfast line")
        << QStringList{"1,2,-1,2,Annemarie Hildegard Wilhelmine von Blankenburg-Oberhausen",
                       "2,2,-1,2,Bartholomäus Friedrich Maximilian Freiherr von Schönbrunn-Lichtenau",
                       "3,3,-1,2,Cornelia Theodora Augustina Gräfin zu Wittgenstein-Hohenstein"}
        << QStringList{"Frühstück: 7 Personen (Zimmer 1: Annemarie Hildegard Wilhelmine von Blankenburg-Oberhausen, "
                       "2 P.; Zimmer 2: Bartholomäus Friedrich Maximilian Freiherr von Schönbrunn-Lichtenau, 2 P.; "
                       "Zimmer 3: Cornelia Theodora Augustina Gräfin zu Wittgenstein-Hohenstein, 3 P.)"};
    QTest::newRow("nothing to do") << QStringList{"1,2,5,7,Later Guest"} << QStringList{"keine"};
}

void TestDayListTasks::tasksOfTheDay()
{
    QFETCH(QStringList, stays);
    QFETCH(QStringList, tasks);
    AppFixture app;
    const Table table = parse(stays);
    WriteGuestFile(app.path(QStringLiteral("Gaeste.csv")), table.guests);
    if (!table.blocks.empty()) {
        // Blocks count only for subscriptions the house follows.
        std::vector<exchange::Subscription> subscriptions;
        for (const guests::PortalBlock &b : table.blocks)
            subscriptions.push_back({b.room, b.subscription, QStringLiteral("https://example.org/%1.ics").arg(b.room)});
        exchange::saveSubscriptions(app.path(QString()), subscriptions);
        exchange::saveBlocks(app.path(QString()), table.blocks);
    }
    app.dialogs.openFile = app.path(QStringLiteral("Gaeste.csv"));
    app.click("ButtonRead");
    QCOMPARE(app.list().size(), table.guests.size());

    app.trigger("ActionGaesteliste");
    auto *window = app.window->findChild<GuestListWindow *>(QStringLiteral("GuestListWindow"));
    QVERIFY(window);
    window->findChild<QDateEdit *>(QStringLiteral("DateTagesliste"))->setDate(kDay);
    const QString pdf = app.path(QStringLiteral("Tagesliste.pdf"));
    app.printToPdf(pdf);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ButtonTagesliste")), Qt::LeftButton);
    QVERIFY2(app.dialogs.errors.isEmpty(), qPrintable(app.dialogs.errors.join(u'\n')));

    QCOMPARE(readback::PdfPages(pdf), 1);
    const QStringList printed = taskLines(readback::PdfText(pdf));
    QCOMPARE(printed.size(), tasks.size());
    for (qsizetype i = 0; i < tasks.size(); ++i)
        QVERIFY2(printed[i].startsWith(tasks[i]), qPrintable(printed.join(u'\n')));
}

QTEST_MAIN(TestDayListTasks)
#include "test_daylisttasks.moc"
