#pragma once
// Which bookings the guest list shows: everyone, who is in the house today, who arrives or leaves,
// what is still to be paid or billed, or the stays within a stretch of days.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QString>
#include <QStringList>

namespace guests {

enum class FilterArt {
    Alle,
    HeuteImHaus,
    AnreisenHeute,
    AbreisenHeute,
    Kommende30Tage,
    Unbezahlt,
    OhneRechnung,
    Zeitraum,
};

// The names of the filters as the host chooses them, in the order of the enum.
QStringList FilterNamen();

struct GastFilter
{
    FilterArt art = FilterArt::Alle;
    platform::TDateTime heute = 0; // today, a whole day
    platform::TDateTime von = 0;   // the stretch of days for FilterArt::Zeitraum, both days included
    platform::TDateTime bis = 0;
};

// A stay counts for the days from its arrival up to the day before its departure: the nights the
// guest sleeps in the house. A stay without a night counts for no day.
bool ImHaus(const TGast &gast, platform::TDateTime tag);
// Whether the stay counts for at least one day from `von` to `bis` (both included).
bool ImZeitraum(const TGast &gast, platform::TDateTime von, platform::TDateTime bis);

bool PasstFilter(const TGast &gast, const GastFilter &filter);

// The days "Kommende 30 Tage" looks at: arrivals from today on, for 30 days.
inline constexpr int kKommendeTage = 30;

} // namespace guests
