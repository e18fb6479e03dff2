#include "register/TGast.h"

#include <QStringList>

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
