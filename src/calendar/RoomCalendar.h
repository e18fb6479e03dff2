#pragma once
// The room calendar without any widgets: which guest or portal block holds which room on which
// day, the rows the grid shows, and booking by picking days in the grid.

#include "calendar/Occupants.h"
#include "platform/DayNumber.h"
#include "register/Rooms.h"
#include "register/TGast.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace calendar {

// Weekday texts indexed by DayOfWeek (1 = Sunday ... 7 = Saturday); index 0 is unused.
inline constexpr std::array<const char *, 8> Wochentage = {"", "So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
// Whether a day is a Sunday or a holiday at postal code `plz`, as the calendar outlines them;
// Saturdays are not marked, nor a day the holiday table cannot place.
bool IsMarkedDay(platform::TDateTime day, qint32 plz);

// The weekday text of a day number's weekday, or an empty text for a number outside 1..7.
QString WochentagText(int dayOfWeek);

// The grid shows this many days before the start day, so the start day sits in row 11.
inline constexpr int kTageVorStarttag = 11;

// The rooms (1..3) a room field names, ascending, each once. Any other character names no room.
std::vector<int> RoomsOf(const QString &Zimmer);

// Whether a record holds its rooms on a day: arrival and departure day both count.
bool Belegt(const guests::TGast &gast, platform::TDateTime Datum);

// For each room the index of the record that holds it on the day, 0 when free. A later record
// wins over an earlier one; record 0 is the list's placeholder and never holds a room.
std::array<int, 3> ZimmerAmTag(const std::vector<guests::TGast> &list, platform::TDateTime Datum);

// Whether two records that both hold a room on a day really share a night there: not when one
// leaves on that day and the other arrives on it.
bool TeilenNacht(const guests::TGast &a, const guests::TGast &b, platform::TDateTime Datum);

struct CalendarCell
{
    QString text;
    int record = 0; // the index of the record shown, 0 when free
    bool clash = false;
    QString clashHint;
    // For a room two bookings share a night in: both guests' names, shortened ("Weiß/Schäfe").
    QString clashText;
    // The portal block shown in the cell or sharing its night (an index into the blocks), -1 for none.
    int block = -1;
};

struct CalendarRow
{
    platform::TDateTime day = 0;
    QString datum;
    QString wochentag;
    std::array<CalendarCell, 3> rooms;
};

// The rows of the grid: row r shows the day Starttag - 11 + r. Room cells read "GastNr,PersonenP"
// of the booking that holds the room (as ZimmerAmTag finds it) and are marked when two bookings
// share a night there. A cell no booking holds names the block that does ("Portal A") and carries
// it; a booking or block sharing the night with a block makes a double booking too
// ("Doppelbelegung: Gast 5 (Anna Müller) und Portal A", "Müller/Portal"). A day that has no
// calendar date (not finite or beyond the years 1..9999) gets empty texts.
std::vector<CalendarRow> ZeigGridRows(const Occupants &occupants, platform::TDateTime Starttag, int rowCount);

// The days picked to book a stay, in the grid or in the occupancy plan: the first pick gives the
// arrival day and the room, every later one the departure day, in whatever room. The days are
// kept, not the grid rows, so refilling the grid from another start day leaves the picks on the
// days the host saw marked.
class PickState
{
public:
    // A pick in room 1..3 on a day; anything else (the date or weekday column) is no pick.
    void pick(int room, platform::TDateTime day);
    bool empty() const { return room_ == 0; }
    bool hasLast() const { return hasLast_; }
    int room() const { return room_; }
    platform::TDateTime first() const { return first_; }
    // The departure day: the last pick, or the first day while there is only one pick.
    platform::TDateTime last() const { return hasLast_ ? last_ : first_; }
    void reset();

private:
    int room_ = 0;
    platform::TDateTime first_ = 0;
    platform::TDateTime last_ = 0;
    bool hasLast_ = false;
};

struct PickResult
{
    platform::TDateTime Von = 0;
    platform::TDateTime Bis = 0;
    QString Zimmer;
};

// What the picks would book for a room field that holds `zimmerText`: arrival, departure and the
// room field with the picked room appended (once). Nothing is picked: nullopt.
std::optional<PickResult> PeekPicks(const PickState &state, const QString &zimmerText);

// What the host makes of picks onto a record that already holds a booking: "Ersetzen" moves it to
// the picked room alone, "Hinzufügen" adds the picked room to its rooms (a guest who takes a
// second room). The days become the picked ones either way.
enum class AuswahlNutzung { Ersetzen, Hinzufuegen };
std::optional<PickResult> PeekPicks(const PickState &state, const QString &zimmerText, AuswahlNutzung nutzung);
// The same, and the picks are cleared.
std::optional<PickResult> TakePicks(PickState &state, const QString &zimmerText);

// "Auswahl: Zimmer 3, 14.12.2026 bis 16.12.2026" for the status line; empty when nothing is picked.
QString AuswahlText(const PickState &state);

// The day the calendar's fill starts from when the page is opened: row 11 shows the first of
// January of today's year.
platform::TDateTime KalenderStarttag(platform::TDateTime today);

// The question before picks change a booking the record already holds: the guest, the old stay
// (with its invoice number, if one was issued) and what "Ersetzen" and "Hinzufügen" would make of it.
QString AuswahlErsetzenFrage(const guests::TGast &gast, const PickResult &ersetzen, const PickResult &hinzufuegen);

// A guest's name shortened for a narrow cell: the family name ("Dr. Schäfer" → "Schäfe",
// "Weiß, Jürgen" → "Weiß"), at most six letters; "Gast 6" without a name.
QString KurzName(const guests::TGast &gast);

// Whether two records share a night in a room: a room in common, and a day on which both hold it
// without one leaving and the other arriving that day (as the calendar marks it).
bool TeilenEinZimmer(const guests::TGast &a, const guests::TGast &b);

// What the booking at `index` shares with other bookings and with blocks, one line per other one
// and room, bookings before blocks: "Doppelbelegung: Zimmer 1, 27.12.2026 bis 29.12.2026 auch
// Dr. Schäfer", "… auch Portal A" (the days both hold the room). Empty when it shares nothing.
QString DoppelbelegungText(const Occupants &occupants, int index);

// The rooms (1..3) of the booking at `index` that another booking or a block also holds for the
// night of `tag` (or that shares the day with it as the calendar marks it).
std::vector<int> DoppeltBelegteZimmer(const Occupants &occupants, int index, platform::TDateTime tag);

} // namespace calendar
