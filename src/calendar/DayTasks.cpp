#include "calendar/DayTasks.h"

#include "calendar/RoomCalendar.h"
#include "register/Rooms.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace calendar {

using guests::kRaeume;
using guests::RoomMask;
using guests::TGast;

namespace {

using platform::TDateTime;

bool isBooking(const TGast &g)
{
    return !(g.Name.isEmpty() && RoomMask(g.Zimmer) == 0);
}

QString nameOf(const TGast &g)
{
    const QString name = g.Name.simplified();
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(g.GastNr) : name;
}

// Who holds the room for the night that begins on `night`: arrival on or before it, departure after it.
bool holdsNight(TDateTime from, TDateTime to, TDateTime night)
{
    return std::trunc(from) <= night && night < std::trunc(to);
}

QString roomsText(const std::vector<int> &rooms)
{
    QStringList parts;
    for (const int room : rooms)
        parts << QString::number(room);
    return parts.join(QStringLiteral(", "));
}

} // namespace

DayTasks dayTasks(const Occupants &occupants, TDateTime day)
{
    const std::vector<TGast> &list = occupants.bookings();
    const std::vector<guests::PortalBlock> &blocks = occupants.blocks();
    DayTasks tasks;
    tasks.day = std::trunc(day);
    const TDateTime night = tasks.day;
    const TDateTime nightBefore = tasks.day - 1;
    std::array<RoomToPrepare, kRaeume> rooms;
    std::array<int, kRaeume> sleepers{};
    for (int r = 0; r < kRaeume; ++r)
        rooms[static_cast<std::size_t>(r)].room = r + 1;

    const auto note = [&](unsigned mask, TDateTime from, TDateTime to, const QString &name) {
        for (int r = 0; r < kRaeume; ++r) {
            if (!(mask & (1u << r)))
                continue;
            RoomToPrepare &room = rooms[static_cast<std::size_t>(r)];
            if (std::trunc(to) == tasks.day) {
                room.departure = true;
                room.leaving << name;
            }
            if (std::trunc(from) == tasks.day) {
                room.arrival = true;
                room.coming << name;
            }
            if (holdsNight(from, to, night))
                ++sleepers[static_cast<std::size_t>(r)];
        }
    };

    for (std::size_t i = 1; i < list.size(); ++i) {
        const TGast &g = list[i];
        if (!isBooking(g) || !std::isfinite(g.Von) || !std::isfinite(g.Bis))
            continue;
        if (holdsNight(g.Von, g.Bis, nightBefore)) {
            tasks.breakfastGuests.push_back(static_cast<int>(i));
            tasks.breakfastPersons += std::max(0, g.Personen);
        }
        note(RoomMask(g.Zimmer), g.Von, g.Bis, nameOf(g));
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const guests::PortalBlock &block = blocks[b];
        const unsigned mask = BlockRoomMask(block);
        if (mask == 0)
            continue;
        if (holdsNight(block.from, block.to, nightBefore))
            tasks.breakfastBlocks.push_back(static_cast<int>(b));
        if (std::trunc(block.from) <= tasks.day && tasks.day <= std::trunc(block.to))
            tasks.blocksOnDay.push_back(static_cast<int>(b));
        note(mask, block.from, block.to, block.subscription);
    }

    const auto firstRoom = [&list](int index) {
        const std::vector<int> r = RoomsOf(list[static_cast<std::size_t>(index)].Zimmer);
        return r.empty() ? kRaeume + 1 : r.front();
    };
    std::stable_sort(tasks.breakfastGuests.begin(), tasks.breakfastGuests.end(),
                     [&](int a, int b) { return firstRoom(a) < firstRoom(b); });
    std::stable_sort(tasks.blocksOnDay.begin(), tasks.blocksOnDay.end(), [&blocks](int a, int b) {
        return blocks[static_cast<std::size_t>(a)].room < blocks[static_cast<std::size_t>(b)].room;
    });

    // Changeover first (0), then departures only (1), then arrivals only (2).
    const auto rank = [](const RoomToPrepare &r) { return r.departure && r.arrival ? 0 : r.departure ? 1 : 2; };
    for (const RoomToPrepare &room : rooms)
        if (room.departure || room.arrival)
            tasks.rooms.push_back(room);
    std::stable_sort(tasks.rooms.begin(), tasks.rooms.end(),
                     [&rank](const RoomToPrepare &a, const RoomToPrepare &b) { return rank(a) < rank(b); });
    for (int r = 0; r < kRaeume; ++r)
        if (sleepers[static_cast<std::size_t>(r)] >= 2)
            tasks.doubleBooked.push_back(r + 1);
    return tasks;
}

QStringList dayTaskLines(const Occupants &occupants, const DayTasks &tasks)
{
    const std::vector<TGast> &list = occupants.bookings();
    const std::vector<guests::PortalBlock> &blocks = occupants.blocks();
    QStringList lines;
    if (!tasks.breakfastGuests.empty() || !tasks.breakfastBlocks.empty()) {
        QStringList who;
        for (const int index : tasks.breakfastGuests) {
            const TGast &g = list[static_cast<std::size_t>(index)];
            who << QStringLiteral("Zimmer %1: %2, %3 P.").arg(roomsText(RoomsOf(g.Zimmer)), nameOf(g)).arg(g.Personen);
        }
        for (const int index : tasks.breakfastBlocks) {
            const guests::PortalBlock &b = blocks[static_cast<std::size_t>(index)];
            who << QStringLiteral("Zimmer %1: %2, Personen unbekannt").arg(b.room).arg(b.subscription);
        }
        lines << QStringLiteral("Frühstück: %1 %2 (%3)")
                     .arg(tasks.breakfastPersons)
                     .arg(tasks.breakfastPersons == 1 ? QStringLiteral("Person") : QStringLiteral("Personen"),
                          who.join(QStringLiteral("; ")));
    }
    for (const RoomToPrepare &room : tasks.rooms) {
        QString what;
        if (room.departure && room.arrival)
            what = QStringLiteral("Wechsel – ab %1, an %2")
                       .arg(room.leaving.join(QStringLiteral(", ")), room.coming.join(QStringLiteral(", ")));
        else if (room.departure)
            what = QStringLiteral("Abreise %1 – reinigen").arg(room.leaving.join(QStringLiteral(", ")));
        else
            what = QStringLiteral("Anreise %1 – vorbereiten").arg(room.coming.join(QStringLiteral(", ")));
        lines << QStringLiteral("Zimmer %1: %2").arg(room.room).arg(what);
    }
    for (const int room : tasks.doubleBooked)
        lines << QStringLiteral("Doppelbelegung: Zimmer %1").arg(room);
    for (const int index : tasks.blocksOnDay) {
        const guests::PortalBlock &b = blocks[static_cast<std::size_t>(index)];
        lines << QStringLiteral("Zimmer %1 belegt über %2").arg(b.room).arg(b.subscription);
    }
    return lines;
}

} // namespace calendar
