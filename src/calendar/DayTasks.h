#pragma once
// What the house has to do on a day beyond greeting and seeing off: breakfast for everyone who
// slept here the night before, the rooms to make ready (a room left and taken again the same day
// first, since it has the least time), and the rooms booked twice or taken through a portal.

#include "calendar/Occupants.h"
#include "platform/DayNumber.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace calendar {

struct RoomToPrepare
{
    int room = 0;
    bool departure = false; // someone leaves it on the day (a guest or a portal block ends)
    bool arrival = false;   // someone takes it on the day
    QStringList leaving;    // names: guests, or "Portal A" for a block
    QStringList coming;
};

struct DayTasks
{
    platform::TDateTime day = 0;
    // Bookings that held a room for the night before the day (list indexes, by room), and the
    // persons they bring to breakfast.
    std::vector<int> breakfastGuests;
    int breakfastPersons = 0;
    // Portal blocks that held a room that night: their persons are not known.
    std::vector<int> breakfastBlocks; // indexes into the blocks
    // Changeover rooms first, then rooms only left, then rooms only taken; by room within each.
    std::vector<RoomToPrepare> rooms;
    // Rooms two bookings or blocks hold for the night of the day, ascending.
    std::vector<int> doubleBooked;
    // Blocks that hold a room on the day (arrival and departure day both count), by room.
    std::vector<int> blocksOnDay;
};

// The tasks of a day from the bookings (record 0 is no guest; a record without name and room is a
// draft, not a booking) and the portal blocks.
DayTasks dayTasks(const Occupants &occupants, platform::TDateTime day);

// The lines for the printed day list: "Frühstück: 5 Personen (Zimmer 1: Anna Müller, 2 P.; …)",
// one line per room to prepare ("Zimmer 2: Wechsel – ab Müller, an Portal A"), and the marks of
// double bookings and blocks. Empty parts leave no line.
QStringList dayTaskLines(const Occupants &occupants, const DayTasks &tasks);

} // namespace calendar
