// "Neuer Gast" from a portal block: a new booking with the block's room and days.

#include "platform/Clock.h"
#include "register/StayFromBlock.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

using guests::GuestList;
using guests::TGast;

class TestStayFromBlock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(9, 0))); }
    void cleanupTestCase() { platform::Clock::release(); }
    void takesRoomAndDays_data();
    void takesRoomAndDays();
};

void TestStayFromBlock::takesRoomAndDays_data()
{
    const double from = platform::DateToDay(QDate(2025, 3, 1));
    const double to = platform::DateToDay(QDate(2025, 3, 4));
    const double today = platform::DateToDay(QDate(2025, 2, 20));
    QTest::addColumn<guests::PortalBlock>("block");
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<double>("von");
    QTest::addColumn<double>("bis");
    QTest::addColumn<QString>("bemerkung");
    QTest::newRow("a block") << guests::PortalBlock{2, from, to, QStringLiteral(" Portal  A "), "u", "Reserved", {}}
                             << "2" << from << to << QStringLiteral("Buchung über Portal A");
    // What the files cannot hold leaves the defaults of a new booking instead of nonsense.
    QTest::newRow("no room of the house") << guests::PortalBlock{7, from, to, QStringLiteral("P"), "u", "", {}}
                                          << QString() << from << to << QStringLiteral("Buchung über P");
    QTest::newRow("no date") << guests::PortalBlock{1, std::numeric_limits<double>::quiet_NaN(), to, QString(), "u", "",
                                                    {}}
                             << "1" << today << today << QString();
    QTest::newRow("reversed") << guests::PortalBlock{1, to, from, QStringLiteral("P"), "u", "", {}} << "1" << today
                              << today << QStringLiteral("Buchung über P");
}

void TestStayFromBlock::takesRoomAndDays()
{
    QFETCH(guests::PortalBlock, block);
    QFETCH(QString, zimmer);
    QFETCH(double, von);
    QFETCH(double, bis);
    QFETCH(QString, bemerkung);
    GuestList list;
    list.appendNew();
    list.markSaved();
    QSignalSpy changed(&list, &GuestList::recordChanged);

    const int index = guests::newStayFromBlock(list, block);

    QCOMPARE(index, 2);
    QCOMPARE(list.currentIndex(), 2);
    QCOMPARE(changed.count(), 1); // the views hear of it through the list
    QVERIFY(list.changed());
    const TGast &g = list.at(index);
    QCOMPARE(g.GastNr, 2);
    QCOMPARE(g.Zimmer, zimmer);
    QCOMPARE(g.Von, von);
    QCOMPARE(g.Bis, bis);
    QCOMPARE(g.Bemerkung, bemerkung);
    QCOMPARE(g.Personen, 1);
    QVERIFY(g.Name.isEmpty());
}

QTEST_GUILESS_MAIN(TestStayFromBlock)
#include "test_stayfromblock.moc"
