#pragma once
// One booking of the guest house.

#include "platform/DayNumber.h"

#include <QString>

namespace guests {

struct TGast
{
    qint32 GastNr = 0; // the list index when the record was made; never renumbered
    QString Zimmer;    // one digit per booked room: "1", "13", "123"
    qint32 Personen = 0;
    platform::TDateTime Von = 0;     // arrival day (whole days)
    platform::TDateTime Bis = 0;     // departure day (whole days)
    platform::TDateTime Anreise = 0; // arrival time of day (fraction of a day)
    platform::TDateTime Abreise = 0; // departure time of day
    QString Name;
    QString Strasse;
    qint32 PLZ = 0;
    QString Ort;
    QString Telefon;
    QString EMail;
    qint32 ReNr = 0;  // invoice number, 0 until an invoice is printed
    double Kosten = 0; // euros, held to the cent as the file writes them
    bool Bezahlt = false;
    bool Schluessel = false; // the key has been handed over
    QString Bemerkung;

    bool operator==(const TGast &) const = default;
};

// Whole nights between arrival and departure; a departure before the arrival counts the same
// number of nights.
qint32 Naechte(const TGast &g);

} // namespace guests
