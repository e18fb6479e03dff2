#pragma once
// The occupancy of each room as an iCalendar file (RFC 5545), for booking portals and phone
// calendars. The files name no guest: each booking is "Zimmer 1 belegt" and nothing more.

#include "register/TGast.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace exchange {

// The file name of a room's calendar: "Zimmer 1.ics".
QString KalenderDateiName(int room);

// The calendar of room 1..3: one all-day event per booking that holds the room for at least one
// night, from the arrival day to the departure day (which is not part of the event, as the
// format counts it). Each event keeps its UID from export to export, so a calendar that reads
// the file again updates the events instead of doubling them. `stamp` is the moment of export.
QByteArray ZimmerKalender(const std::vector<guests::TGast> &list, int room, const QDateTime &stamp);

// A content line folded as the format demands: at most 75 octets per line, continued on the next
// line after one space, never inside a UTF-8 character; CR LF after each part.
QByteArray FalteZeile(const QByteArray &line);

// Writes the three rooms' files into `folder`, each whole or not at all; returns their paths.
// Throws EInOutError.
QStringList ExportiereKalender(const QString &folder, const std::vector<guests::TGast> &list, const QDateTime &stamp);

} // namespace exchange
