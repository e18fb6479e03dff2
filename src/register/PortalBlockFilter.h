#pragma once
// Which portal blocks the guest list shows beside the bookings, when the host asks for them: the
// same choice of days as for the guests, and the search text in the portal's name or text.

#include "register/GuestFilter.h"
#include "register/PortalBlock.h"

#include <vector>

namespace guests {

// The indexes of the blocks that pass `filter` and `search`, in the order of the blocks. A block
// counts for its nights as a stay does; the filters about bills (unpaid, no invoice) pass none,
// since a portal's booking is billed by the portal. An empty search passes all.
std::vector<int> blocksShown(const std::vector<PortalBlock> &blocks, const GastFilter &filter, const QString &search);

} // namespace guests
