#pragma once
// The room calendar without any widgets: which guest holds which room on which day, the rows
// the grid shows, and booking by picking days in the grid.

#include "platform/DayNumber.h"
#include "register/Rooms.h"
#include "register/TGast.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

// The guest house's postal code: the holidays of its place are outlined in the grid.
inline constexpr qint32 kFeiertagPLZ = 34519;

// Weekday texts indexed by DayOfWeek (1 = Sunday ... 7 = Saturday); index 0 is unused.
inline constexpr std::array<const char *, 8> Wochentage = {"", "So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
// The weekday text of a day number's weekday, or an empty text for a number outside 1..7.
QString WochentagText(int dayOfWeek);

// The grid shows this many days before the start day, so the start day sits in row 11.
inline constexpr int kTageVorStarttag = 11;

// The rooms (1..3) a room field names, ascending, each once. Any other character names no room.
std::vector<int> RoomsOf(const QString &Zimmer);

// Whether a record holds its rooms on a day: arrival and departure day both count.
bool Belegt(const TGast &gast, platform::TDateTime Datum);

// For each room the index of the record that holds it on the day, 0 when free. A later record
// wins over an earlier one; record 0 is the list's placeholder and never holds a room.
std::array<int, 3> ZimmerAmTag(const std::vector<TGast> &list, platform::TDateTime Datum);

// Whether two records that both hold a room on a day really share a night there: not when one
// leaves on that day and the other arrives on it.
bool TeilenNacht(const TGast &a, const TGast &b, platform::TDateTime Datum);

struct CalendarCell
{
    QString text;
    bool clash = false;
    QString clashHint;
};

struct CalendarRow
{
    platform::TDateTime day = 0;
    QString datum;
    QString wochentag;
    std::array<CalendarCell, 3> rooms;
};

// The rows of the grid: row r shows the day Starttag - 11 + r. Room cells read "GastNr,PersonenP"
// of the occupant (as ZimmerAmTag finds it) and are marked when two bookings share a night there.
// A day that has no calendar date (not finite or beyond the years 1..9999) gets empty texts.
std::vector<CalendarRow> ZeigGridRows(const std::vector<TGast> &list, platform::TDateTime Starttag, int rowCount);

// The cells picked in the grid to book a stay: the first pick gives the arrival day and the room,
// the second one the departure day.
class PickState
{
public:
    int ErsteZeile = -1;
    int ErsteSpalte = 0;
    int LetzteZeile = -1;

    void SelectCell(int ACol, int ARow);
    bool empty() const { return ErsteZeile < 0; }
    void reset();
};

struct PickResult
{
    platform::TDateTime Von = 0;
    platform::TDateTime Bis = 0;
    QString Zimmer;
};

// Turns the picks into arrival, departure and room field, then clears the picks. Nothing is
// picked: nullopt. A date text that cannot be read throws EConvertError and leaves the picks as
// they were.
std::optional<PickResult> TakePicks(PickState &state, const std::function<QString(int row)> &dateTextOfRow,
                                    const QString &zimmerText);
