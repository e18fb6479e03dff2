#include "holidays/De_Feiertage.h"

#include "platform/Error.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace De_Feiertage {

namespace {

QString OutsideTheYears()
{
    return QStringLiteral("Feiertage lassen sich nur für die Jahre 1 bis 9999 bestimmen.");
}

// Day numbers of 1 Jan 0001 and 31 Dec 9999, the years a table can be built for.
constexpr double kFirstDay = -693593.0;
constexpr double kLastDay = 2958465.0;

// The year of a day number, refusing anything no table can be built for; NaN fails both comparisons.
// Checked before the conversion so a far-off year cannot wrap round into a valid 16-bit one.
quint16 TableYear(platform::TDateTime Datum)
{
    const double Day = std::trunc(Datum);
    if (!(Day >= kFirstDay && Day <= kLastDay))
        throw platform::EDateRangeError(OutsideTheYears());
    return static_cast<quint16>(platform::YearOf(Datum));
}

// The first entry wins, so a day with two holidays is named after the one appended first.
QString FindName(qint32 PLZ, platform::TDateTime Datum)
{
    const TFeiertagTable Table = GetFeiertage(TableYear(Datum), PLZ);
    const auto Found = std::find_if(Table.begin(), Table.end(),
                                    [Datum](const TFeiertag &F) { return platform::IsSameDay(F.Date, Datum); });
    return Found == Table.end() ? QString() : Found->Name;
}

} // namespace

TFeiertagTable GetFeiertage(quint16 Jahr, qint32 PLZ)
{
    if (Jahr < 1 || Jahr > 9999)
        throw platform::EDateRangeError(OutsideTheYears());
    TFeiertagTable Table;
    Table.reserve(20); // one entry per rule at most, so the table never reallocates

    const auto AddFeiertag = [&Table, Jahr](int Tag, int Monat, QString Name) {
        Table.push_back({platform::EncodeDate(Jahr, Monat, Tag), std::move(Name)});
    };
    const auto AddFeiertagDatum = [&Table](platform::TDateTime Datum, QString Name) {
        Table.push_back({Datum, std::move(Name)});
    };

    // Looked up once: the calendar builds a table for every day cell it draws.
    const bool BW = IstBadenWuerttemberg(PLZ);
    const bool BY = IstBayern(PLZ);
    const bool BB = IstBrandenburg(PLZ);
    const bool HE = IstHessen(PLZ);
    const bool MV = IstMecklenburgVorpommern(PLZ);
    const bool NW = IstNordrheinWestfalen(PLZ);
    const bool RP = IstRheinlandPfalz(PLZ);
    const bool SL = IstSaarland(PLZ);
    const bool SN = IstSachsen(PLZ);
    const bool ST = IstSachsenAnhalt(PLZ);
    const bool TH = IstThueringen(PLZ);
    const platform::TDateTime Ostern = OsterDatum(Jahr);

    AddFeiertag(1, 1, QStringLiteral("Neujahr"));
    if (BW || BY || ST)
        AddFeiertag(6, 1, QStringLiteral("Heilige Drei Könige"));
    if (IstBerlin(PLZ) || MV)
        AddFeiertag(8, 3, QStringLiteral("Internationaler Frauentag"));
    AddFeiertagDatum(Ostern - 2, QStringLiteral("Karfreitag"));
    if (BB)
        AddFeiertagDatum(Ostern, QStringLiteral("Ostersonntag"));
    AddFeiertagDatum(Ostern + 1, QStringLiteral("Ostermontag"));
    AddFeiertag(1, 5, QStringLiteral("Tag der Arbeit"));
    AddFeiertagDatum(Ostern + 39, QStringLiteral("Christi Himmelfahrt"));
    if (BB)
        AddFeiertagDatum(Ostern + 49, QStringLiteral("Pfingstsonntag"));
    AddFeiertagDatum(Ostern + 50, QStringLiteral("Pfingstmontag"));
    if (BW || BY || HE || NW || RP || SL || (SN && IstFronleichnamSachsen(PLZ)) ||
        (TH && IstFronleichnamThueringen(PLZ)))
        AddFeiertagDatum(Ostern + 60, QStringLiteral("Fronleichnam"));
    if (IstAugsburg(PLZ))
        AddFeiertag(8, 8, QStringLiteral("Augsburger Friedensfest"));
    if (SL || (BY && MariaeHimmelfahrtGilt(PLZ)))
        AddFeiertag(15, 8, QStringLiteral("Mariä Himmelfahrt"));
    if (TH)
        AddFeiertag(20, 9, QStringLiteral("Weltkindertag"));
    AddFeiertag(3, 10, QStringLiteral("Tag der Deutschen Einheit"));
    if (BB || IstBremen(PLZ) || IstHamburg(PLZ) || MV || IstNiedersachsen(PLZ) || SN || ST ||
        IstSchleswigHolstein(PLZ) || TH)
        AddFeiertag(31, 10, QStringLiteral("Reformationstag"));
    if (BW || BY || NW || RP || SL)
        AddFeiertag(1, 11, QStringLiteral("Allerheiligen"));
    if (SN)
        AddFeiertagDatum(BussUndBettagDatum(Jahr), QStringLiteral("Buß- und Bettag"));
    AddFeiertag(25, 12, QStringLiteral("1. Weihnachtsfeiertag"));
    AddFeiertag(26, 12, QStringLiteral("2. Weihnachtsfeiertag"));
    return Table;
}

QString GetFeiertagName(qint32 PLZ, platform::TDateTime Datum)
{
    return FindName(PLZ, Datum);
}

bool IstFeiertag(qint32 PLZ, platform::TDateTime Datum)
{
    return !FindName(PLZ, Datum).isEmpty();
}

platform::TDateTime OsterDatum(quint16 Jahr)
{
    // Anonymous Gregorian algorithm (Meeus/Jones/Butcher). All terms stay small and non-negative for any
    // 16-bit year, so plain int arithmetic is exact.
    const int Y = Jahr;
    const int a = Y % 19;
    const int b = Y / 100;
    const int c = Y % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return platform::EncodeDate(Y, n / 31, n % 31 + 1);
}

platform::TDateTime BussUndBettagDatum(quint16 Jahr)
{
    // Step back from 22 November to the nearest Wednesday (day of week 4), which lands on 16..22 November.
    const platform::TDateTime Nov22 = platform::EncodeDate(Jahr, 11, 22);
    constexpr int Wednesday = 4;
    return Nov22 - (platform::DayOfWeek(Nov22) - Wednesday + 7) % 7;
}

} // namespace De_Feiertage
