#pragma once
// "Neuer Gast" from a room taken through a portal: the host enters the portal's guest with the
// days and the room already right.

#include "register/GuestList.h"
#include "register/PortalBlock.h"

namespace guests {

// Appends a new booking (next guest number, the defaults of a new booking) for the block's room,
// arrival and departure day, with "Buchung über Portal A" as its remark, makes it current and
// returns its index. Name and address are left for the host.
int newStayFromBlock(GuestList &list, const PortalBlock &block);

} // namespace guests
