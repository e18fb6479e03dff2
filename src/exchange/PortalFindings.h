#pragma once
// What a fetch of a portal's calendar means for the house's own bookings, said to the host right
// after the fetch: a portal's block on nights a guest already has, and a booking taken over as a
// guest that the portal no longer shows (it may have been cancelled there). Only said: no record
// and no block is changed here.

#include "platform/DayNumber.h"
#include "register/BlockTakeover.h"
#include "register/PortalBlock.h"
#include "register/TGast.h"

#include <QStringList>

#include <vector>

namespace exchange {

// One line per block of `blocks` that shares a night of its room with guests of `records`
// (record 0 is the list's placeholder, no guest): "Airbnb blockiert Zimmer 2 vom 03.03.2027 bis
// 06.03.2027: auch Sabine Krüger (Gast 12)". The guest a block was taken over as (`takeovers`) is
// no conflict of that block. A block over before `today` is history and not named.
QStringList blockConflicts(const std::vector<guests::PortalBlock> &blocks,
                           const std::vector<guests::BlockTakeover> &takeovers,
                           const std::vector<guests::TGast> &records, platform::TDateTime today);

// One line per block of `released` (gone from its calendar) that a guest of `records` was made
// from: "Airbnb hat die Buchung von Sabine Krüger (Gast 12, 03.03.–06.03.2027) nicht mehr im
// Kalender – bitte prüfen, ob sie storniert wurde." A stay that is over (its departure `today` or
// before) is not named: portals drop bookings from their calendars some time after they are over.
QStringList vanishedBookings(const std::vector<guests::PortalBlock> &released,
                             const std::vector<guests::BlockTakeover> &takeovers,
                             const std::vector<guests::TGast> &records, platform::TDateTime today);

} // namespace exchange
