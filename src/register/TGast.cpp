#include "register/TGast.h"

#include <QStringList>

#include <cmath>
#include <limits>

qint32 Naechte(const TGast &g)
{
    const double nights = std::trunc(std::fabs(g.Bis - g.Von));
    // Day numbers come from the guest file; absurd ones must not overflow the conversion.
    if (!(nights >= 0))
        return 0;
    if (nights >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(nights);
}

QString Describe(const TGast &g)
{
    const auto n = [](double v) { return QString::number(v, 'g', 17); };
    return QStringList{QString::number(g.GastNr),
                       g.Zimmer,
                       QString::number(g.Personen),
                       n(g.Von),
                       n(g.Anreise),
                       n(g.Bis),
                       n(g.Abreise),
                       g.Name,
                       g.Strasse,
                       QString::number(g.PLZ),
                       g.Ort,
                       g.Telefon,
                       g.EMail,
                       QString::number(g.ReNr),
                       n(g.Kosten),
                       QString::number(g.Bezahlt),
                       QString::number(g.Schluessel),
                       g.Bemerkung}
        .join(u'|');
}
