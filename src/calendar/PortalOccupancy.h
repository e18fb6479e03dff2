#pragma once
// Rooms taken through a booking portal count like bookings: in the calendar's cells, in the
// occupancy plan (as grey bars), and a booking that shares a night with one is a double booking,
// said as for two guests. The blocks are never records of the guest list; where a function of the
// list is reused, they stand behind its records as stand-ins that name the subscription.

#include "calendar/OccupancyPlan.h"
#include "calendar/RoomCalendar.h"
#include "register/PortalBlock.h"

#include <vector>

namespace calendar {

// The list followed by one stand-in record per block: its room, days and the subscription as its
// name. Record list.size() + b stands for block b.
std::vector<guests::TGast> withPortalBlocks(const std::vector<guests::TGast> &list,
                                            const std::vector<guests::PortalBlock> &blocks);

// The grid rows (as ZeigGridRows gives them for the list) with the blocks: a cell no booking
// holds names the subscription ("Portal A") and carries the block; a cell whose booking shares
// the night with a block is a double booking ("Doppelbelegung: Gast 5 (Anna Müller) und Portal A");
// two portals sharing a night likewise.
std::vector<CalendarRow> gridRowsWithBlocks(const std::vector<guests::TGast> &list,
                                            const std::vector<guests::PortalBlock> &blocks,
                                            platform::TDateTime Starttag, int rowCount);

// DoppelbelegungText for the record at `index`, with lines for the blocks it shares a night with:
// "Doppelbelegung: Zimmer 1, 01.03.2025 bis 03.03.2025 auch Portal A".
QString doubleBookingTextWithBlocks(const std::vector<guests::TGast> &list,
                                    const std::vector<guests::PortalBlock> &blocks, int index);

// DoppeltBelegteZimmer counting the blocks as other bookings.
std::vector<int> doubleBookedRoomsWithBlocks(const std::vector<guests::TGast> &list,
                                             const std::vector<guests::PortalBlock> &blocks, int index,
                                             platform::TDateTime tag);

// The plan with the blocks as bars of their own ("belegt über Portal A", `block` set, record 0),
// laid out in lanes and marked as double bookings exactly as bookings are.
PlanGeometry occupancyPlanWithBlocks(const std::vector<guests::TGast> &list,
                                     const std::vector<guests::PortalBlock> &blocks, platform::TDateTime first,
                                     int days, platform::TDateTime now, qint32 plz);

// The tooltip of a block's bar: "Zimmer 2 belegt über Portal A\n01.03.2025 bis 04.03.2025 (3 Nächte)\nReserved".
QString blockTooltip(const std::vector<guests::PortalBlock> &blocks, int block);

// The tooltip of any bar of such a plan: a block's as blockTooltip, a booking's as PlanTooltip; a
// double booking names the other side, guest or portal ("Doppelbelegung in Zimmer 1 mit Portal A").
QString planTooltipWithBlocks(const std::vector<guests::TGast> &list, const std::vector<guests::PortalBlock> &blocks,
                              const PlanBar &bar);

} // namespace calendar
