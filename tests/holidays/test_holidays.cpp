#include "holidays/De_Feiertage.h"
#include "platform/Error.h"

#include <QStringList>
#include <QTest>

#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>

using namespace De_Feiertage;

namespace {

platform::TDateTime Day(int Year, int Month, int DayOfMonth)
{
    return platform::EncodeDate(Year, Month, DayOfMonth);
}

// "2025-01-01 Neujahr": date and name in one text, so a whole table compares as one list.
QString Entry(const TFeiertag &F)
{
    return platform::DayToDate(F.Date).toString(Qt::ISODate) + u' ' + F.Name;
}

QStringList Entries(const TFeiertagTable &Table)
{
    QStringList Result;
    for (const TFeiertag &F : Table)
        Result << Entry(F);
    return Result;
}

const QStringList kNationwide = {
    QStringLiteral("Neujahr"),
    QStringLiteral("Karfreitag"),
    QStringLiteral("Ostermontag"),
    QStringLiteral("Tag der Arbeit"),
    QStringLiteral("Christi Himmelfahrt"),
    QStringLiteral("Pfingstmontag"),
    QStringLiteral("Tag der Deutschen Einheit"),
    QStringLiteral("1. Weihnachtsfeiertag"),
    QStringLiteral("2. Weihnachtsfeiertag"),
};

struct TRegionTest
{
    const char *Key;
    bool (*Test)(qint32);
};

// The negative list is tested inverted, so a row only names what sets a code apart.
constexpr TRegionTest kRegionTests[] = {
    {"BW", IstBadenWuerttemberg},
    {"BY", IstBayern},
    {"BE", IstBerlin},
    {"BB", IstBrandenburg},
    {"HB", IstBremen},
    {"HH", IstHamburg},
    {"HE", IstHessen},
    {"MV", IstMecklenburgVorpommern},
    {"NI", IstNiedersachsen},
    {"NW", IstNordrheinWestfalen},
    {"RP", IstRheinlandPfalz},
    {"SL", IstSaarland},
    {"SN", IstSachsen},
    {"ST", IstSachsenAnhalt},
    {"SH", IstSchleswigHolstein},
    {"TH", IstThueringen},
    {"ohneMariae", [](qint32 PLZ) { return !MariaeHimmelfahrtGilt(PLZ); }},
    {"FronleichnamTH", IstFronleichnamThueringen},
    {"FronleichnamSN", IstFronleichnamSachsen},
    {"Augsburg", IstAugsburg},
};

} // namespace

class TestHolidays : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void osterDatum_data();
    void osterDatum();
    void bussUndBettag_data();
    void bussUndBettag();
    void movableFeastsForAllYears();
    void tableForAllYears();
    void tableOutsideSupportedYears();
    void wholeTable_data();
    void wholeTable();
    void regionalHolidays_data();
    void regionalHolidays();
    void regionMembership_data();
    void regionMembership();
    void lookup_data();
    void lookup();
    void lookupOutsideSupportedYears_data();
    void lookupOutsideSupportedYears();
};

void TestHolidays::osterDatum_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("easter");
    QTest::newRow("1818 earliest") << 1818 << QDate(1818, 3, 22);
    QTest::newRow("1954") << 1954 << QDate(1954, 4, 18);
    QTest::newRow("1981") << 1981 << QDate(1981, 4, 19);
    QTest::newRow("2008") << 2008 << QDate(2008, 3, 23);
    QTest::newRow("2024") << 2024 << QDate(2024, 3, 31);
    QTest::newRow("2025") << 2025 << QDate(2025, 4, 20);
    QTest::newRow("2026") << 2026 << QDate(2026, 4, 5);
    QTest::newRow("2027") << 2027 << QDate(2027, 3, 28);
    QTest::newRow("2028") << 2028 << QDate(2028, 4, 16);
    QTest::newRow("2038 latest") << 2038 << QDate(2038, 4, 25);
    QTest::newRow("2049") << 2049 << QDate(2049, 4, 18);
    QTest::newRow("2076") << 2076 << QDate(2076, 4, 19);
    QTest::newRow("2285 earliest") << 2285 << QDate(2285, 3, 22);
}

void TestHolidays::osterDatum()
{
    QFETCH(int, year);
    QFETCH(QDate, easter);
    QCOMPARE(platform::DayToDate(OsterDatum(static_cast<quint16>(year))), easter);
}

void TestHolidays::bussUndBettag_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("date");
    // 2023 and 2028 start November on a Wednesday: the day is the 22nd, not the third Wednesday (15th).
    QTest::newRow("2023") << 2023 << QDate(2023, 11, 22);
    QTest::newRow("2024") << 2024 << QDate(2024, 11, 20);
    QTest::newRow("2025") << 2025 << QDate(2025, 11, 19);
    QTest::newRow("2026") << 2026 << QDate(2026, 11, 18);
    QTest::newRow("2027") << 2027 << QDate(2027, 11, 17);
    QTest::newRow("2028") << 2028 << QDate(2028, 11, 22);
}

void TestHolidays::bussUndBettag()
{
    QFETCH(int, year);
    QFETCH(QDate, date);
    QCOMPARE(platform::DayToDate(BussUndBettagDatum(static_cast<quint16>(year))), date);
}

void TestHolidays::movableFeastsForAllYears()
{
    constexpr int Sunday = 1;
    constexpr int Wednesday = 4;
    for (int Year = 1; Year <= 9999; ++Year) {
        const auto Jahr = static_cast<quint16>(Year);
        const platform::TDateTime Easter = OsterDatum(Jahr);
        QCOMPARE(platform::DayOfWeek(Easter), Sunday);
        QVERIFY2(Easter >= Day(Year, 3, 22) && Easter <= Day(Year, 4, 25), qPrintable(QString::number(Year)));

        const platform::TDateTime Buss = BussUndBettagDatum(Jahr);
        QCOMPARE(platform::DayOfWeek(Buss), Wednesday);
        QVERIFY2(Buss >= Day(Year, 11, 16) && Buss <= Day(Year, 11, 22), qPrintable(QString::number(Year)));
    }
}

void TestHolidays::tableForAllYears()
{
    // Augsburg has the most holidays; 1906 adds the Saxon ones, among them the only computed November date.
    const struct
    {
        qint32 PLZ;
        std::size_t Count;
    } Places[] = {{86150, 14}, {1906, 12}};
    for (const auto &Place : Places) {
        for (int Year = 1; Year <= 9999; ++Year) {
            const TFeiertagTable Table = GetFeiertage(static_cast<quint16>(Year), Place.PLZ);
            QCOMPARE(Table.size(), Place.Count);
            QCOMPARE(Table.front().Date, Day(Year, 1, 1));
            QCOMPARE(Table.back().Date, Day(Year, 12, 26));
            for (const TFeiertag &F : Table) {
                QCOMPARE(F.Date, std::trunc(F.Date));
                QCOMPARE(platform::YearOf(F.Date), Year);
            }
        }
    }
}

void TestHolidays::tableOutsideSupportedYears()
{
    QVERIFY_THROWS_EXCEPTION(platform::EDateRangeError, GetFeiertage(0, 10115));
    QVERIFY_THROWS_EXCEPTION(platform::EDateRangeError, GetFeiertage(10000, 10115));
}

void TestHolidays::wholeTable_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<qint32>("plz");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("Hessen 2025") << 2025 << 34519
                                 << QStringList{"2025-01-01 Neujahr",
                                                "2025-04-18 Karfreitag",
                                                "2025-04-21 Ostermontag",
                                                "2025-05-01 Tag der Arbeit",
                                                "2025-05-29 Christi Himmelfahrt",
                                                "2025-06-09 Pfingstmontag",
                                                "2025-06-19 Fronleichnam",
                                                "2025-10-03 Tag der Deutschen Einheit",
                                                "2025-12-25 1. Weihnachtsfeiertag",
                                                "2025-12-26 2. Weihnachtsfeiertag"};
    QTest::newRow("no region 2025") << 2025 << 0
                                    << QStringList{"2025-01-01 Neujahr",
                                                   "2025-04-18 Karfreitag",
                                                   "2025-04-21 Ostermontag",
                                                   "2025-05-01 Tag der Arbeit",
                                                   "2025-05-29 Christi Himmelfahrt",
                                                   "2025-06-09 Pfingstmontag",
                                                   "2025-10-03 Tag der Deutschen Einheit",
                                                   "2025-12-25 1. Weihnachtsfeiertag",
                                                   "2025-12-26 2. Weihnachtsfeiertag"};
    QTest::newRow("Augsburg 2025") << 2025 << 86150
                                   << QStringList{"2025-01-01 Neujahr",
                                                  "2025-01-06 Heilige Drei Könige",
                                                  "2025-04-18 Karfreitag",
                                                  "2025-04-21 Ostermontag",
                                                  "2025-05-01 Tag der Arbeit",
                                                  "2025-05-29 Christi Himmelfahrt",
                                                  "2025-06-09 Pfingstmontag",
                                                  "2025-06-19 Fronleichnam",
                                                  "2025-08-08 Augsburger Friedensfest",
                                                  "2025-08-15 Mariä Himmelfahrt",
                                                  "2025-10-03 Tag der Deutschen Einheit",
                                                  "2025-11-01 Allerheiligen",
                                                  "2025-12-25 1. Weihnachtsfeiertag",
                                                  "2025-12-26 2. Weihnachtsfeiertag"};
    QTest::newRow("Brandenburg 2025") << 2025 << 14467
                                      << QStringList{"2025-01-01 Neujahr",
                                                     "2025-04-18 Karfreitag",
                                                     "2025-04-20 Ostersonntag",
                                                     "2025-04-21 Ostermontag",
                                                     "2025-05-01 Tag der Arbeit",
                                                     "2025-05-29 Christi Himmelfahrt",
                                                     "2025-06-08 Pfingstsonntag",
                                                     "2025-06-09 Pfingstmontag",
                                                     "2025-10-03 Tag der Deutschen Einheit",
                                                     "2025-10-31 Reformationstag",
                                                     "2025-12-25 1. Weihnachtsfeiertag",
                                                     "2025-12-26 2. Weihnachtsfeiertag"};
    QTest::newRow("Hessen 2038, latest Easter") << 2038 << 34519
                                                << QStringList{"2038-01-01 Neujahr",
                                                               "2038-04-23 Karfreitag",
                                                               "2038-04-26 Ostermontag",
                                                               "2038-05-01 Tag der Arbeit",
                                                               "2038-06-03 Christi Himmelfahrt",
                                                               "2038-06-14 Pfingstmontag",
                                                               "2038-06-24 Fronleichnam",
                                                               "2038-10-03 Tag der Deutschen Einheit",
                                                               "2038-12-25 1. Weihnachtsfeiertag",
                                                               "2038-12-26 2. Weihnachtsfeiertag"};
    // Christi Himmelfahrt falls before 1 May yet keeps its place after it.
    QTest::newRow("no region 2285, earliest Easter") << 2285 << 0
                                                     << QStringList{"2285-01-01 Neujahr",
                                                                    "2285-03-20 Karfreitag",
                                                                    "2285-03-23 Ostermontag",
                                                                    "2285-05-01 Tag der Arbeit",
                                                                    "2285-04-30 Christi Himmelfahrt",
                                                                    "2285-05-11 Pfingstmontag",
                                                                    "2285-10-03 Tag der Deutschen Einheit",
                                                                    "2285-12-25 1. Weihnachtsfeiertag",
                                                                    "2285-12-26 2. Weihnachtsfeiertag"};
}

void TestHolidays::wholeTable()
{
    QFETCH(int, year);
    QFETCH(qint32, plz);
    QFETCH(QStringList, entries);
    QCOMPARE(Entries(GetFeiertage(static_cast<quint16>(year), plz)), entries);
}

void TestHolidays::regionalHolidays_data()
{
    QTest::addColumn<qint32>("plz");
    QTest::addColumn<QStringList>("regional");

    const QString HeiligeDreiKoenige = QStringLiteral("2025-01-06 Heilige Drei Könige");
    const QString Frauentag = QStringLiteral("2025-03-08 Internationaler Frauentag");
    const QString Ostersonntag = QStringLiteral("2025-04-20 Ostersonntag");
    const QString Pfingstsonntag = QStringLiteral("2025-06-08 Pfingstsonntag");
    const QString Fronleichnam = QStringLiteral("2025-06-19 Fronleichnam");
    const QString MariaeHimmelfahrt = QStringLiteral("2025-08-15 Mariä Himmelfahrt");
    const QString Weltkindertag = QStringLiteral("2025-09-20 Weltkindertag");
    const QString Reformationstag = QStringLiteral("2025-10-31 Reformationstag");
    const QString Allerheiligen = QStringLiteral("2025-11-01 Allerheiligen");
    const QString BussUndBettag = QStringLiteral("2025-11-19 Buß- und Bettag");

    QTest::newRow("Baden-Württemberg 70173") << 70173 << QStringList{HeiligeDreiKoenige, Fronleichnam, Allerheiligen};
    QTest::newRow("Bayern 80331") << 80331
                                  << QStringList{HeiligeDreiKoenige, Fronleichnam, MariaeHimmelfahrt, Allerheiligen};
    QTest::newRow("Bayern without Mariä Himmelfahrt 86655")
        << 86655 << QStringList{HeiligeDreiKoenige, Fronleichnam, Allerheiligen};
    QTest::newRow("Berlin 10115") << 10115 << QStringList{Frauentag};
    QTest::newRow("Bremen 28195") << 28195 << QStringList{Reformationstag};
    QTest::newRow("Hamburg 20095") << 20095 << QStringList{Reformationstag};
    QTest::newRow("Mecklenburg-Vorpommern 18055") << 18055 << QStringList{Frauentag, Reformationstag};
    QTest::newRow("Niedersachsen 30159") << 30159 << QStringList{Reformationstag};
    QTest::newRow("Nordrhein-Westfalen 50667") << 50667 << QStringList{Fronleichnam, Allerheiligen};
    QTest::newRow("Rheinland-Pfalz 55116") << 55116 << QStringList{Fronleichnam, Allerheiligen};
    QTest::newRow("Saarland 66111") << 66111 << QStringList{Fronleichnam, MariaeHimmelfahrt, Allerheiligen};
    QTest::newRow("Sachsen 1067") << 1067 << QStringList{Reformationstag, BussUndBettag};
    QTest::newRow("Sachsen with Fronleichnam 1906")
        << 1906 << QStringList{Fronleichnam, Reformationstag, BussUndBettag};
    QTest::newRow("Sachsen-Anhalt 6108") << 6108 << QStringList{HeiligeDreiKoenige, Reformationstag};
    QTest::newRow("Schleswig-Holstein 24103") << 24103 << QStringList{Reformationstag};
    QTest::newRow("Thüringen 99084") << 99084 << QStringList{Weltkindertag, Reformationstag};
    QTest::newRow("Thüringen with Fronleichnam 99988")
        << 99988 << QStringList{Fronleichnam, Weltkindertag, Reformationstag};
    // Codes in two states get each holiday once.
    QTest::newRow("BW and BY 63928") << 63928
                                     << QStringList{HeiligeDreiKoenige, Fronleichnam, MariaeHimmelfahrt, Allerheiligen};
    QTest::newRow("BB and ST 14715") << 14715
                                     << QStringList{HeiligeDreiKoenige, Ostersonntag, Pfingstsonntag, Reformationstag};
    QTest::newRow("BB and MV 17258") << 17258 << QStringList{Frauentag, Ostersonntag, Pfingstsonntag, Reformationstag};
    QTest::newRow("SN and TH 7919") << 7919 << QStringList{Weltkindertag, Reformationstag, BussUndBettag};
}

void TestHolidays::regionalHolidays()
{
    QFETCH(qint32, plz);
    QFETCH(QStringList, regional);

    QStringList Regional;
    QStringList Nationwide;
    for (const TFeiertag &F : GetFeiertage(2025, plz)) {
        if (kNationwide.contains(F.Name))
            Nationwide << F.Name;
        else
            Regional << Entry(F);
    }
    QCOMPARE(Nationwide, kNationwide);
    QCOMPARE(Regional, regional);
}

void TestHolidays::regionMembership_data()
{
    QTest::addColumn<qint32>("plz");
    QTest::addColumn<QString>("regions");

    // Codes in two states.
    for (const qint32 PLZ : {63928, 74594, 88147, 89081, 97896})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("BW BY");
    for (const qint32 PLZ : {64754, 69434})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("BW HE");
    QTest::newRow("63776") << 63776 << QStringLiteral("BY HE");
    for (const qint32 PLZ : {17258, 17309, 17321, 17335, 17337, 19357})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("BB MV");
    QTest::newRow("14715") << 14715 << QStringLiteral("BB ST");
    for (const qint32 PLZ : {21039, 22113, 22145})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("HH SH");
    for (const qint32 PLZ : {34355, 37194})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("HE NI");
    QTest::newRow("59969") << 59969 << QStringLiteral("HE NW");
    for (const qint32 PLZ : {65326, 65391})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("HE RP");
    QTest::newRow("19273") << 19273 << QStringLiteral("MV NI");
    for (const qint32 PLZ : {7919, 7952, 7985})
        QTest::addRow("%d", PLZ) << PLZ << QStringLiteral("SN TH");

    // Both bounds of a range are inside.
    QTest::newRow("27500") << 27500 << QString();
    QTest::newRow("27501") << 27501 << QStringLiteral("HB");
    QTest::newRow("27580") << 27580 << QStringLiteral("HB");
    QTest::newRow("27581") << 27581 << QString();
    QTest::newRow("28000") << 28000 << QString();
    QTest::newRow("28001") << 28001 << QStringLiteral("HB");
    QTest::newRow("28779") << 28779 << QStringLiteral("HB");
    QTest::newRow("28780") << 28780 << QString();
    QTest::newRow("10000") << 10000 << QString();
    QTest::newRow("10001") << 10001 << QStringLiteral("BE");
    QTest::newRow("14330") << 14330 << QStringLiteral("BE");
    QTest::newRow("14331") << 14331 << QString();
    QTest::newRow("65392") << 65392 << QStringLiteral("HE");
    QTest::newRow("65556") << 65556 << QStringLiteral("HE");
    QTest::newRow("65557") << 65557 << QString();
    QTest::newRow("65558") << 65558 << QStringLiteral("RP");
    QTest::newRow("27499") << 27499 << QStringLiteral("HH");
    QTest::newRow("27498") << 27498 << QStringLiteral("SH");
    QTest::newRow("1000") << 1000 << QString();
    QTest::newRow("1001") << 1001 << QStringLiteral("SN");
    QTest::newRow("99998") << 99998 << QStringLiteral("TH");
    QTest::newRow("99999") << 99999 << QString();

    // No postal code at all: in no region, and the negative list does not hold them either.
    QTest::newRow("0") << 0 << QString();
    QTest::newRow("-1") << -1 << QString();
    QTest::newRow("100000") << 100000 << QString();
    QTest::newRow("int min") << std::numeric_limits<qint32>::min() << QString();
    QTest::newRow("int max") << std::numeric_limits<qint32>::max() << QString();

    // Communities.
    QTest::newRow("86150") << 86150 << QStringLiteral("BY Augsburg");
    QTest::newRow("86152") << 86152 << QStringLiteral("BY Augsburg");
    QTest::newRow("86151") << 86151 << QStringLiteral("BY");
    QTest::newRow("86155") << 86155 << QStringLiteral("BY");
    QTest::newRow("1906") << 1906 << QStringLiteral("SN FronleichnamSN");
    QTest::newRow("1907") << 1907 << QStringLiteral("SN");
    QTest::newRow("99988") << 99988 << QStringLiteral("TH FronleichnamTH");
    QTest::newRow("86655") << 86655 << QStringLiteral("BY ohneMariae");
    QTest::newRow("86654") << 86654 << QStringLiteral("BY");
    QTest::newRow("97907") << 97907 << QStringLiteral("BY ohneMariae");
}

void TestHolidays::regionMembership()
{
    QFETCH(qint32, plz);
    QFETCH(QString, regions);

    QStringList Actual;
    for (const TRegionTest &R : kRegionTests)
        if (R.Test(plz))
            Actual << QLatin1String(R.Key);
    QCOMPARE(Actual.join(u' '), regions);
}

void TestHolidays::lookup_data()
{
    QTest::addColumn<qint32>("plz");
    QTest::addColumn<double>("datum");
    QTest::addColumn<QString>("name");

    QTest::newRow("time of day") << 0 << 45658.75 << QStringLiteral("Neujahr");
    QTest::newRow("late evening") << 0 << Day(2025, 12, 25) + 0.999 << QStringLiteral("1. Weihnachtsfeiertag");
    QTest::newRow("ordinary day") << 0 << Day(2025, 7, 14) << QString();
    QTest::newRow("31 Dec 2025") << 0 << Day(2025, 12, 31) + 0.5 << QString();
    QTest::newRow("1 Jan 2026") << 0 << 46023.0 << QStringLiteral("Neujahr");
    // Christi Himmelfahrt falls on 1 May too; the earlier entry names the day.
    QTest::newRow("1 May 2008") << 0 << Day(2008, 5, 1) << QStringLiteral("Tag der Arbeit");
    QTest::newRow("Frauentag in Berlin") << 10115 << Day(2025, 3, 8) << QStringLiteral("Internationaler Frauentag");
    QTest::newRow("Frauentag not in Brandenburg") << 14467 << Day(2025, 3, 8) << QString();
    QTest::newRow("Buß- und Bettag 2023") << 1067 << Day(2023, 11, 22) << QStringLiteral("Buß- und Bettag");
    QTest::newRow("third Wednesday 2023") << 1067 << Day(2023, 11, 15) << QString();
    // Before 1900 the time of day counts away from zero, and the day is still the truncated one.
    QTest::newRow("before 1900") << 0 << Day(1899, 12, 26) - 0.25 << QStringLiteral("2. Weihnachtsfeiertag");
    QTest::newRow("first supported day") << 0 << Day(1, 1, 1) << QStringLiteral("Neujahr");
    QTest::newRow("last supported year") << 0 << Day(9999, 12, 26) << QStringLiteral("2. Weihnachtsfeiertag");
}

void TestHolidays::lookup()
{
    QFETCH(qint32, plz);
    QFETCH(double, datum);
    QFETCH(QString, name);
    QCOMPARE(GetFeiertagName(plz, datum), name);
    QCOMPARE(IstFeiertag(plz, datum), !name.isEmpty());
}

void TestHolidays::lookupOutsideSupportedYears_data()
{
    QTest::addColumn<double>("datum");
    QTest::newRow("day before year 1") << Day(1, 1, 1) - 1;
    QTest::newRow("day after year 9999") << Day(9999, 12, 31) + 1;
    QTest::newRow("far future") << 1e300;
    QTest::newRow("far past") << -1e300;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
}

void TestHolidays::lookupOutsideSupportedYears()
{
    QFETCH(double, datum);
    QVERIFY_THROWS_EXCEPTION(platform::EDateRangeError, IstFeiertag(0, datum));
    QVERIFY_THROWS_EXCEPTION(platform::EDateRangeError, GetFeiertagName(0, datum));
}

QTEST_APPLESS_MAIN(TestHolidays)

#include "test_holidays.moc"
