// The guest's data rights: one person's stays found as the guest list search finds names, and
// erasing the personal fields of old stays through the list, touching nothing else.

#include "platform/Convert.h"
#include "platform/Regional.h"
#include "register/GuestList.h"
#include "register/PersonalData.h"

#include <QSignalSpy>
#include <QtTest>

using guests::GuestList;
using guests::samePerson;
using guests::TGast;

Q_DECLARE_METATYPE(TGast)

namespace {

TGast person(const QString &name, const QString &street, qint32 plz, const QString &town)
{
    TGast g;
    g.GastNr = 1;
    g.Name = name;
    g.Strasse = street;
    g.PLZ = plz;
    g.Ort = town;
    return g;
}

TGast stay(qint32 nr, const QString &name, const QDate &departure)
{
    TGast g = person(name, QStringLiteral("Mühlweg 3"), 34117, QStringLiteral("Kassel"));
    g.GastNr = nr;
    g.Zimmer = QStringLiteral("2");
    g.Personen = 2;
    g.Bis = platform::DateToDay(departure);
    g.Von = g.Bis - 3;
    g.Telefon = QStringLiteral("0561 %1").arg(nr);
    g.EMail = QStringLiteral("gast%1@example.de").arg(nr);
    g.Bemerkung = QStringLiteral("Allergie");
    g.Kosten = 240;
    g.ReNr = 1000 + nr;
    g.Bezahlt = true;
    return g;
}

} // namespace

class TestPersonalData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void samePerson_data();
    void samePerson();
    void exactlyThePersonsStays();
    void oldStays_data();
    void oldStays();
    void anonymizingTouchesOnlyTheChosenStays();
};

void TestPersonalData::samePerson_data()
{
    QTest::addColumn<TGast>("other");
    QTest::addColumn<bool>("same");
    const auto weiss = [](const QString &name, const QString &street, qint32 plz, const QString &town) {
        return person(name, street, plz, town);
    };
    QTest::newRow("identical") << weiss("Jürgen Weiß", "Mühlweg 3", 34117, "Kassel") << true;
    QTest::newRow("case") << weiss("JÜRGEN WEISS", "mühlweg 3", 34117, "KASSEL") << true;
    QTest::newRow("umlauts typed plain") << weiss("Jurgen Weiss", "Muhlweg 3", 34117, "Kassel") << true;
    QTest::newRow("umlauts spelled out") << weiss("Juergen Weiss", "Muehlweg 3", 34117, "Kassel") << true;
    QTest::newRow("extra blanks") << weiss(" Jürgen  Weiß ", "Mühlweg  3", 34117, "Kassel ") << true;
    QTest::newRow("other first name") << weiss("Anna Weiß", "Mühlweg 3", 34117, "Kassel") << false;
    QTest::newRow("other house") << weiss("Jürgen Weiß", "Mühlweg 4", 34117, "Kassel") << false;
    QTest::newRow("other postal code") << weiss("Jürgen Weiß", "Mühlweg 3", 34119, "Kassel") << false;
    QTest::newRow("other town") << weiss("Jürgen Weiß", "Mühlweg 3", 34117, "Kaufungen") << false;
    QTest::newRow("no name is nobody") << weiss("", "Mühlweg 3", 34117, "Kassel") << false;
}

void TestPersonalData::samePerson()
{
    QFETCH(TGast, other);
    QFETCH(bool, same);
    const TGast weiss =
        person(QStringLiteral("Jürgen Weiß"), QStringLiteral("Mühlweg 3"), 34117, QStringLiteral("Kassel"));
    QCOMPARE(guests::samePerson(weiss, other), same);
    QCOMPARE(guests::samePerson(other, weiss), same);
}

void TestPersonalData::exactlyThePersonsStays()
{
    // GIVEN the person's stays spelled three ways, among others' stays
    std::vector<TGast> records{stay(0, QStringLiteral("Jürgen Weiß"), QDate(2020, 1, 1))}; // record 0 is nobody
    records.push_back(stay(1, QStringLiteral("Jürgen Weiß"), QDate(2024, 5, 1)));
    records.push_back(stay(2, QStringLiteral("Anna Weiß"), QDate(2024, 6, 1)));
    records.push_back(stay(3, QStringLiteral("JUERGEN WEISS"), QDate(2025, 1, 8)));
    records.push_back(stay(4, QStringLiteral("Jürgen Weiß"), QDate(2025, 2, 1)));
    records[4].Ort = QStringLiteral("Berlin");
    records.push_back(stay(5, QStringLiteral("jurgen weiss"), QDate(2025, 3, 1)));

    // THEN asked from any of them, the same stays are found, in order, and no others
    const std::vector<int> expected{1, 3, 5};
    QCOMPARE(guests::staysOfPerson(records, 1), expected);
    QCOMPARE(guests::staysOfPerson(records, 5), expected);
    QCOMPARE(guests::staysOfPerson(records, 4), std::vector<int>{4});
    QCOMPARE(guests::staysOfPerson(records, 0), std::vector<int>{});
}

void TestPersonalData::oldStays_data()
{
    QTest::addColumn<int>("years");
    QTest::addColumn<QList<int>>("indexes");
    // Today is 20.02.2025; departures 19.02.2022, 20.02.2022, 21.02.2022, 01.01.2024 and none.
    QTest::newRow("three years") << 3 << QList<int>{1};
    QTest::newRow("one year") << 1 << QList<int>{1, 2, 3, 4};
    QTest::newRow("ten years") << 10 << QList<int>{};
}

void TestPersonalData::oldStays()
{
    QFETCH(int, years);
    QFETCH(QList<int>, indexes);
    std::vector<TGast> records{TGast{}};
    for (const QDate &departure : {QDate(2022, 2, 19), QDate(2022, 2, 20), QDate(2022, 2, 21), QDate(2024, 1, 1)})
        records.push_back(stay(static_cast<qint32>(records.size()), QStringLiteral("Gast"), departure));
    TGast undated = stay(5, QStringLiteral("Ohne Abreise"), QDate(2020, 1, 1));
    undated.Von = undated.Bis = 0;
    records.push_back(undated);
    TGast erased = stay(6, QStringLiteral("Alt"), QDate(2010, 1, 1));
    erased.Name = erased.Strasse = erased.Ort = erased.Telefon = erased.EMail = erased.Bemerkung =
        QStringLiteral("anonymisiert");
    erased.PLZ = 0;
    records.push_back(erased); // erased already: not offered again

    const std::vector<int> found = guests::staysToAnonymize(records, years, platform::DateToDay(QDate(2025, 2, 20)));

    QCOMPARE(QList<int>(found.begin(), found.end()), indexes);
}

void TestPersonalData::anonymizingTouchesOnlyTheChosenStays()
{
    // GIVEN a list of four stays, saved
    GuestList list;
    std::vector<TGast> records{TGast{}};
    for (int nr = 1; nr <= 4; ++nr)
        records.push_back(stay(nr, QStringLiteral("Gäst %1").arg(nr), QDate(2020, 1, nr)));
    list.replace(records);
    QSignalSpy changed(&list, &GuestList::recordChanged);

    // WHEN stays 1 and 3 are anonymised (and record 0 and an index outside the list are asked too)
    QCOMPARE(guests::anonymizeStays(list, {0, 1, 3, 9}), 2);

    // THEN exactly their personal fields are "anonymisiert", postal code 0; the rest of them and
    // every other record is as it was, and the list knows it changed
    for (const int index : {1, 3}) {
        TGast expected = records[static_cast<std::size_t>(index)];
        expected.Name = expected.Strasse = expected.Ort = expected.Telefon = expected.EMail = expected.Bemerkung =
            QStringLiteral("anonymisiert");
        expected.PLZ = 0;
        QVERIFY(list.at(index) == expected);
        QVERIFY(guests::isAnonymized(list.at(index)));
    }
    for (const int index : {0, 2, 4})
        QVERIFY(list.at(index) == records[static_cast<std::size_t>(index)]);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    QCOMPARE(changed.at(1).at(0).toInt(), 3);
    QVERIFY(list.changed());

    // WHEN asked again THEN nothing changes twice
    QCOMPARE(guests::anonymizeStays(list, {1, 3}), 0);
}

QTEST_MAIN(TestPersonalData)
#include "test_personaldata.moc"
