#pragma once
// German public holidays for a place given by its postal code.
// Nothing is cached: every call works out its answer afresh from the year and the postal-code regions.

#include "platform/DayNumber.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace De_Feiertage {

struct TFeiertag
{
    platform::TDateTime Date; // always a whole day
    QString Name;
};

// In the order the holidays are appended, not sorted by date; two entries may share a day.
using TFeiertagTable = std::vector<TFeiertag>;

// The holidays of a year that apply at a postal code. Years outside 1..9999 throw
// platform::EDateRangeError.
TFeiertagTable GetFeiertage(quint16 Jahr, qint32 PLZ);
// Name of the holiday on the calendar day of Datum (time of day ignored), or an empty text.
QString GetFeiertagName(qint32 PLZ, platform::TDateTime Datum);
bool IstFeiertag(qint32 PLZ, platform::TDateTime Datum);
// Easter Sunday, Gregorian calendar.
platform::TDateTime OsterDatum(quint16 Jahr);
// The Wednesday before 23 November.
platform::TDateTime BussUndBettagDatum(quint16 Jahr);

// Membership of a postal code (01945 is held as 1945) in the sixteen states. Some codes lie in two states.
// Values that are no postal code (0, negative, 100000 and above) lie in none.
bool IstBadenWuerttemberg(qint32 PLZ);
bool IstBayern(qint32 PLZ);
bool IstBerlin(qint32 PLZ);
bool IstBrandenburg(qint32 PLZ);
bool IstBremen(qint32 PLZ);
bool IstHamburg(qint32 PLZ);
bool IstHessen(qint32 PLZ);
bool IstMecklenburgVorpommern(qint32 PLZ);
bool IstNiedersachsen(qint32 PLZ);
bool IstNordrheinWestfalen(qint32 PLZ);
bool IstRheinlandPfalz(qint32 PLZ);
bool IstSaarland(qint32 PLZ);
bool IstSachsen(qint32 PLZ);
bool IstSachsenAnhalt(qint32 PLZ);
bool IstSchleswigHolstein(qint32 PLZ);
bool IstThueringen(qint32 PLZ);

// Communities where one holiday differs from the rest of their state.
// False only for the Bavarian codes that do not keep "Mariä Himmelfahrt"; true for any other value.
bool MariaeHimmelfahrtGilt(qint32 PLZ);
bool IstFronleichnamThueringen(qint32 PLZ);
bool IstFronleichnamSachsen(qint32 PLZ);
bool IstAugsburg(qint32 PLZ);

} // namespace De_Feiertage
