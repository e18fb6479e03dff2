#pragma once
// The day list for the staff at the door: who arrives on a day, who leaves, who stays over.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace calendar {

struct Tagesliste
{
    platform::TDateTime tag = 0;
    std::vector<int> anreisen; // list indexes, by arrival time, then room
    std::vector<int> abreisen; // by departure time, then room
    std::vector<int> bleiben;  // arrived before the day and leave after it; by room
};

// The day list of a day from the records (record 0 is no guest; a record without name and room is
// a draft, not a booking).
Tagesliste TageslisteFuer(const std::vector<guests::TGast> &list, platform::TDateTime tag);

// One part of the printed day list: a heading, the column titles and one line of texts per guest.
struct TageslistenTeil
{
    QString titel;
    QStringList spalten;
    std::vector<QStringList> zeilen;
};

// "Tagesliste für Donnerstag, 20. Februar 2025"
QString TageslistenTitel(platform::TDateTime tag);
// The three parts as printed: "Anreisen" (time, room, persons, name, remarks), "Abreisen" (time,
// room, name, key, paid) and "Bleibende Gäste" (room, persons, name, departure).
std::vector<TageslistenTeil> TageslistenTeile(const std::vector<guests::TGast> &list, const Tagesliste &tagesliste);

} // namespace calendar
