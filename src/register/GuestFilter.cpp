#include "register/GuestFilter.h"

#include <cmath>

namespace guests {

using platform::TDateTime;

namespace {
// Dates are whole days; a fraction from an odd file must not move a stay by a day.
TDateTime Tag(TDateTime day)
{
    return std::trunc(day);
}
} // namespace

QStringList FilterNamen()
{
    return {QStringLiteral("Alle"),
            QStringLiteral("Heute im Haus"),
            QStringLiteral("Anreisen heute"),
            QStringLiteral("Abreisen heute"),
            QStringLiteral("Kommende 30 Tage"),
            QStringLiteral("Unbezahlt (mit Rechnung)"),
            QStringLiteral("Ohne Rechnung"),
            QStringLiteral("Zeitraum")};
}

bool ImHaus(const TGast &gast, TDateTime tag)
{
    return ImZeitraum(gast, tag, tag);
}

bool ImZeitraum(const TGast &gast, TDateTime von, TDateTime bis)
{
    const TDateTime anreise = Tag(gast.Von);
    const TDateTime abreise = Tag(gast.Bis);
    // The nights run from the arrival day to the day before departure.
    return anreise < abreise && anreise <= Tag(bis) && abreise > Tag(von);
}

bool PasstFilter(const TGast &gast, const GastFilter &filter)
{
    const TDateTime heute = Tag(filter.heute);
    switch (filter.art) {
    case FilterArt::Alle: return true;
    case FilterArt::HeuteImHaus: return ImHaus(gast, heute);
    case FilterArt::AnreisenHeute: return Tag(gast.Von) == heute;
    case FilterArt::AbreisenHeute: return Tag(gast.Bis) == heute;
    case FilterArt::Kommende30Tage: {
        const TDateTime anreise = Tag(gast.Von);
        return anreise >= heute && anreise < heute + kKommendeTage;
    }
    case FilterArt::Unbezahlt: return gast.ReNr != 0 && !gast.Bezahlt;
    case FilterArt::OhneRechnung: return gast.ReNr == 0;
    case FilterArt::Zeitraum: return Tag(filter.von) <= Tag(filter.bis) && ImZeitraum(gast, filter.von, filter.bis);
    }
    return true;
}

} // namespace guests
