#include "platform/Regional.h"
#include "register/GuestList.h"
#include "register/Rooms.h"

#include <QTest>

#include <algorithm>
#include <vector>

namespace {

std::vector<qint32> guestNumbers(const GuestList &list)
{
    std::vector<qint32> numbers;
    for (const TGast &g : list.records())
        numbers.push_back(g.GastNr);
    return numbers;
}

// Record 0 plus `guests` new guests, each named after its index so moves are visible.
GuestList listWith(int guests)
{
    GuestList list;
    for (int i = 1; i <= guests; ++i) {
        list.appendNew();
        list.current().Name = QStringLiteral("Gast %1").arg(i);
    }
    return list;
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
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }

    void defaultGuestIsEmpty();
    void startsWithRecordZero();
    void appendNewMakesItCurrent();
    void recordZeroCannotBeRemoved();
    void removeMiddleKeepsNumbers();
    void removeLastSelectsNewLast();
    void firstIndexOfFindsTheFirstHolder();
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
    list.current().Name = QStringLiteral("Platzhalter");
    for (int n = 1; n <= 3; ++n) {
        list.appendNew();
        QCOMPARE(list.size(), n + 1);
        QCOMPARE(list.currentIndex(), n);
        QCOMPARE(list.current().GastNr, n);
        TGast expected;
        expected.GastNr = n;
        QCOMPARE(list.current(), expected);
    }
    QCOMPARE(list.at(0).Name, QStringLiteral("Platzhalter"));
}

void TestRegister::recordZeroCannotBeRemoved()
{
    GuestList list = listWith(2);
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
    GuestList list = listWith(3);
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 1, 2, 3}));
    list.select(1);
    QVERIFY(list.removeCurrent());
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 2, 3}));
    // The guest that moved up into the gap is now current.
    QCOMPARE(list.currentIndex(), 1);
    QCOMPARE(list.current().Name, QStringLiteral("Gast 2"));

    list.appendNew();
    QCOMPARE(list.currentIndex(), 3);
    QCOMPARE(list.current().GastNr, 3);
    QCOMPARE(guestNumbers(list), (std::vector<qint32>{0, 2, 3, 3}));
}

void TestRegister::firstIndexOfFindsTheFirstHolder()
{
    // Numbers 0, 1, 2, 3; deleting index 1 and adding a guest gives 0, 2, 3, 3.
    GuestList list;
    for (int i = 0; i < 3; ++i)
        list.appendNew();
    list.select(1);
    QVERIFY(list.removeCurrent());
    list.appendNew();
    QCOMPARE(list.firstIndexOf(3), 2);
    QCOMPARE(list.firstIndexOf(0), 0);
    QCOMPARE(list.firstIndexOf(1), -1);
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
    GuestList list = listWith(2);
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
    GuestList list = listWith(3);
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

    GuestList list = listWith(5);
    list.select(2);
    list.replace(records);
    if (count == 0) {
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.at(0), TGast());
    } else {
        QVERIFY(list.records() == records);
    }
    QCOMPARE(list.currentIndex(), list.lastIndex());

    // Numbers come from the list size, not from the loaded numbers.
    list.appendNew();
    QCOMPARE(list.current().GastNr, std::max(count, 1));
}

QTEST_GUILESS_MAIN(TestRegister)
#include "test_register.moc"
