#pragma once
// A record as text for the reports of tests and fuzzing: every field as it is held, so two
// records that differ show where.

#include "register/TGast.h"

#include <QString>
#include <QStringList>

// Every field as it is held, separated by "|".
inline QString Describe(const guests::TGast &g)
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
