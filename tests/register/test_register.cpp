#include "platform/Clock.h"
#include "platform/Regional.h"
#include "register/GuestList.h"
#include "register/Rooms.h"
#include "register/StayText.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <vector>

using guests::GuestAndStay;
using guests::GuestList;
using guests::GuestName;
using guests::HoldsBooking;
using guests::RoomMask;
using guests::StornoFrage;
using guests::TGast;

namespace {

std::vector<qint32> guestNumbers(const GuestList &list)
{
    std::vector<qint32> numbers;
    for (const TGast &g : list.records())
        numbers.push_back(g.GastNr);
    return numbers;
}

// Adds `guests` new guests to record 0, each named after its index so moves are visible.
void fill(GuestList &list, int guests)
{
    for (int i = 1; i <= guests; ++i) {
        list.appendNew();
        list.modifyCurrent([i](TGast &g) { g.Name = QStringLiteral("Gast %1").arg(i); });
    }
}

TGast guest(qint32 nr, const QString &name)
{
    TGast g;
    g.GastNr = nr;
    g.Name = name;
    return g;
}

} // namespace

class TestRegister : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
        platform::Clock::fix(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    }
    void cleanupTestCase() { platform::Clock::release(); }

    void defaultGuestIsEmpty();
    void startsWithRecordZero();
    void appendNewMakesItCurrent();
    void recordZeroCannotBeRemoved();
    void removeMiddleKeepsNumbers();
    void removeLastSelectsNewLast();
    void firstIndexOfFindsTheFirstHolder();
    void newNumbersStayUnique_data();
    void newNumbersStayUnique();
    void updateMarksAndTellsOnlyRealChanges();
    void everyChangeIsAnnounced();
    void holdsBooking_data();
    void holdsBooking();
    void stayTexts();
    void roomMask_data();
    void roomMask();
    void select_data();
    void select();
    void replace_data();
    void replace();
};

void TestRegister::defaultGuestIsEmpty()
{
    const TGast g;
    QCOMPARE(g.GastNr, 0);
    QVERIFY(g.Zimmer.isEmpty());
    QCOMPARE(g.Personen, 0);
    QCOMPARE(g.Von, 0.0);
    QCOMPARE(g.Bis, 0.0);
    QCOMPARE(g.Anreise, 0.0);
    QCOMPARE(g.Abreise, 0.0);
    QVERIFY(g.Name.isEmpty());
    QVERIFY(g.Strasse.isEmpty());
    QCOMPARE(g.PLZ, 0);
    QVERIFY(g.Ort.isEmpty());
    QVERIFY(g.Telefon.isEmpty());
    QVERIFY(g.EMail.isEmpty());
    QCOMPARE(g.ReNr, 0);
    QCOMPARE(g.Kosten, 0.0f);
    QVERIFY(!g.Bezahlt);
    QVERIFY(!g.Schluessel);
    QVERIFY(g.Bemerkung.isEmpty());

    // Equality must look at every field, or an edit could go unnoticed.
    TGast other;
    other.Schluessel = true;
    QVERIFY(!(other == g));
    other = g;
    other.Kosten = 0.5f;
    QVERIFY(!(other == g));
    other = g;
    QVERIFY(other == g);
}

void TestRegister::startsWithRecordZero()
{
    const GuestList list;
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.guestCount(), 0);
    QCOMPARE(list.currentIndex(), 0);
    QCOMPARE(list.current(), TGast());
    QVERIFY(!list.changed());
}

void TestRegister::appendNewMakesItCurrent()
{
    GuestList list;
    list.modifyCurrent([](TGast &g) { g.Name = QStringLiteral("Platzhalter"); });
    for (int n = 1; n <= 3; ++n) {
        list.appendNew();
        QCOMPARE(list.size(), n + 1);
        QCOMPARE(list.currentIndex(), n);
        QCOMPARE(list.current().GastNr, n);
        // A new booking is for one person, from today to today.
        TGast expected;
        expected.GastNr = n;
        expected.Personen = 1;
        expected.Von = platform::EncodeDate(2026, 12, 10);
        expected.Bis = expected.Von;
        QCOMPARE(list.current(), expected);
    }
    QCOMPARE(list.at(0).Name, QStringLiteral("Platzhalter"));
}

void TestRegister::recordZeroCannotBeRemoved()
{
    GuestList list;
    fill(list, 2);
    QCOMPARE(list.select(0), 0);
    const std::vector<TGast> before = list.records();
    QVERIFY(!list.removeCurrent());
    QVERIFY(list.records() == before);
    QCOMPARE(list.currentIndex(), 0);

    GuestList empty;
    QVERIFY(!empty.removeCurrent());
    QCOMPARE(empty.size(), 1);
}

void TestRegister::removeMiddleKeepsNumbers()
{
    GuestList list;
    fill(list, 3);
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 1, 2, 3}));
    list.select(1);
    QVERIFY(list.removeCurrent());
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 2, 3}));
    // The guest that moved up into the gap is now current.
    QCOMPARE(list.currentIndex(), 1);
    QCOMPARE(list.current().Name, QStringLiteral("Gast 2"));

    // A new guest never takes a number that another record holds.
    list.appendNew();
    QCOMPARE(list.currentIndex(), 3);
    QCOMPARE(list.current().GastNr, 4);
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 2, 3, 4}));
}

void TestRegister::firstIndexOfFindsTheFirstHolder()
{
    // Files of older versions may hold a number twice: 0, 2, 3, 3.
    GuestList list;
    list.replace({guest(0, {}), guest(2, {}), guest(3, QStringLiteral("a")), guest(3, QStringLiteral("b"))});
    QCOMPARE(list.firstIndexOf(3), 2);
    QCOMPARE(list.firstIndexOf(0), 0);
    QCOMPARE(list.firstIndexOf(1), -1);
}

void TestRegister::newNumbersStayUnique_data()
{
    QTest::addColumn<QList<int>>("numbers"); // the loaded records' numbers, record 0 first
    QTest::addColumn<int>("expected");
    QTest::newRow("no deletions: the new index") << QList<int>{0, 1, 2, 3} << 4;
    QTest::newRow("guest 6 of 8 deleted") << QList<int>{0, 1, 2, 3, 4, 5, 7, 8} << 9;
    QTest::newRow("last guest deleted") << QList<int>{0, 1, 2} << 3;
    QTest::newRow("numbers below the index") << QList<int>{0, 0, 0} << 3;
    QTest::newRow("a high number") << QList<int>{0, 150} << 151;
    QTest::newRow("the largest number") << QList<int>{0, 2147483647} << 2147483647;
}

void TestRegister::newNumbersStayUnique()
{
    QFETCH(QList<int>, numbers);
    QFETCH(int, expected);
    std::vector<TGast> records;
    for (int n : numbers)
        records.push_back(guest(n, {}));
    GuestList list;
    list.replace(records);
    QCOMPARE(list.nextGastNr(), expected);
    list.appendNew();
    QCOMPARE(list.current().GastNr, expected);
}

void TestRegister::updateMarksAndTellsOnlyRealChanges()
{
    GuestList list;
    fill(list, 2);
    list.markSaved();
    QSignalSpy changed(&list, &GuestList::recordChanged);

    // Storing what the record already holds is no change.
    QVERIFY(!list.update(1, list.at(1)));
    QVERIFY(!list.changed());
    QCOMPARE(changed.count(), 0);

    QVERIFY(list.modify(1, [](TGast &g) { g.Kosten = 128; }));
    QVERIFY(list.changed());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    QCOMPARE(list.at(1).Kosten, 128.0f);

    list.markSaved();
    QVERIFY(!list.modify(1, [](TGast &g) { g.Kosten = 128; }));
    QVERIFY(!list.changed());
}

void TestRegister::everyChangeIsAnnounced()
{
    GuestList list;
    QSignalSpy inserted(&list, &GuestList::recordInserted);
    QSignalSpy removed(&list, &GuestList::recordRemoved);
    QSignalSpy reset(&list, &GuestList::listReset);
    QSignalSpy current(&list, &GuestList::currentChanged);
    QSignalSpy flag(&list, &GuestList::changedFlagChanged);

    list.appendNew();
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(0).toInt(), 1);
    QCOMPARE(current.count(), 1);
    QCOMPARE(flag.count(), 1);
    QVERIFY(flag.at(0).at(0).toBool());

    QVERIFY(list.removeCurrent());
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toInt(), 1);
    QCOMPARE(current.count(), 2);

    list.replace({guest(0, {}), guest(1, QStringLiteral("Weiß"))});
    QCOMPARE(reset.count(), 1);
    QVERIFY(!list.changed()); // a list read from a file holds nothing unsaved
    QCOMPARE(flag.count(), 2);
}

void TestRegister::holdsBooking_data()
{
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<int>("reNr");
    QTest::addColumn<bool>("holds");
    QTest::newRow("fresh record") << "" << 0 << false;
    QTest::newRow("a room") << "1" << 0 << true;
    QTest::newRow("no room, but invoiced") << "" << 42 << true;
    QTest::newRow("only characters that name no room") << "0-" << 0 << false;
}

void TestRegister::holdsBooking()
{
    QFETCH(QString, zimmer);
    QFETCH(int, reNr);
    QFETCH(bool, holds);
    TGast g;
    g.Zimmer = zimmer;
    g.ReNr = reNr;
    QCOMPARE(HoldsBooking(g), holds);
}

void TestRegister::stayTexts()
{
    TGast g = guest(6, QStringLiteral("Weiß"));
    g.Von = platform::EncodeDate(2026, 12, 18);
    g.Bis = platform::EncodeDate(2026, 12, 20);
    QCOMPARE(GuestAndStay(g), QStringLiteral("Gast 6 (Weiß, 18.12.2026 bis 20.12.2026)"));
    QCOMPARE(StornoFrage(g), QStringLiteral("Gast 6 (Weiß, 18.12.2026 bis 20.12.2026) stornieren?"));
    g.ReNr = 1042;
    QVERIFY(StornoFrage(g).contains(QStringLiteral("Rechnung Nr. 1042")));
    g.Name.clear();
    QCOMPARE(GuestAndStay(g), QStringLiteral("Gast 6 (18.12.2026 bis 20.12.2026)"));
    QCOMPARE(GuestName(g), QStringLiteral("Gast 6"));
}

void TestRegister::roomMask_data()
{
    QTest::addColumn<QString>("zimmer");
    QTest::addColumn<unsigned>("mask");
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("one room") << "2" << 0b010u;
    QTest::newRow("all three") << "321" << 0b111u;
    QTest::newRow("a digit twice") << "22" << 0b010u;
    QTest::newRow("no rooms 0 and 4 to 9") << "0456789" << 0u;
    QTest::newRow("other characters") << "1- x3" << 0b101u;
}

void TestRegister::roomMask()
{
    QFETCH(QString, zimmer);
    QFETCH(unsigned, mask);
    QCOMPARE(RoomMask(zimmer), mask);
}

void TestRegister::removeLastSelectsNewLast()
{
    GuestList list;
    fill(list, 2);
    QCOMPARE(list.currentIndex(), 2);
    QVERIFY(list.removeCurrent());
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.currentIndex(), 1);
    QCOMPARE(list.current().Name, QStringLiteral("Gast 1"));
    QVERIFY(list.removeCurrent());
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.currentIndex(), 0);
    QVERIFY(!list.removeCurrent());
}

void TestRegister::select_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 2 << 2;
    QTest::newRow("record 0") << 0 << 0;
    QTest::newRow("last") << 3 << 3;
    QTest::newRow("past the end") << 4 << 3;
    QTest::newRow("far past the end") << 1000 << 3;
    QTest::newRow("negative") << -1 << 0;
}

void TestRegister::select()
{
    QFETCH(int, index);
    QFETCH(int, expected);
    GuestList list;
    fill(list, 3);
    list.select(1);
    QCOMPARE(list.select(index), expected);
    QCOMPARE(list.currentIndex(), expected);
    QCOMPARE(&list.current(), &list.records()[static_cast<std::size_t>(expected)]);
}

void TestRegister::replace_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("record 0 only") << 1;
    QTest::newRow("several") << 4;
}

void TestRegister::replace()
{
    QFETCH(int, count);
    std::vector<TGast> records;
    for (int i = 0; i < count; ++i)
        records.push_back(guest(i * 10, QStringLiteral("Geladen %1").arg(i)));

    GuestList list;
    fill(list, 5);
    list.select(2);
    list.replace(records);
    if (count == 0) {
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.at(0), TGast());
    } else {
        QVERIFY(list.records() == records);
    }
    QCOMPARE(list.currentIndex(), list.lastIndex());

    // The next number lies above every loaded number and the new index.
    list.appendNew();
    QCOMPARE(list.current().GastNr, std::max((count - 1) * 10 + 1, std::max(count, 1)));
}

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
