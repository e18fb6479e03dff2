#pragma once
// Who takes the house's rooms: the bookings of the guest list and the rooms taken through booking
// portals. The calendar's functions take both as one input and treat a block as a block, never as
// a guest record; with no blocks they give what the list alone gives.

#include "register/PortalBlock.h"
#include "register/TGast.h"

#include <QString>

#include <vector>

namespace calendar {

// A view onto the two lists, as cheap to pass as a reference; both must outlive it.
class Occupants
{
public:
    // The bookings alone. Not explicit, so a call that has only the list reads as it always did.
    Occupants(const std::vector<guests::TGast> &bookings) : bookings_(&bookings) {}
    Occupants(const std::vector<guests::TGast> &bookings, const std::vector<guests::PortalBlock> &blocks)
        : bookings_(&bookings), blocks_(&blocks)
    {}

    // The guest list's records; record 0 is its placeholder and never holds a room.
    const std::vector<guests::TGast> &bookings() const { return *bookings_; }
    const std::vector<guests::PortalBlock> &blocks() const { return *blocks_; }

private:
    static const std::vector<guests::PortalBlock> &noBlocks()
    {
        static const std::vector<guests::PortalBlock> none;
        return none;
    }

    const std::vector<guests::TGast> *bookings_;
    const std::vector<guests::PortalBlock> *blocks_ = &noBlocks();
};

// The room a block takes as a room mask like RoomMask's; 0 for a room the house does not have.
unsigned BlockRoomMask(const guests::PortalBlock &block);

// How the texts name a block: its subscription ("Portal A").
QString BlockName(const guests::PortalBlock &block);

// The tooltip of a block: "Zimmer 2 belegt über Portal A\n01.03.2025 bis 04.03.2025 (3 Nächte)\nReserved".
// Empty for an index outside the blocks.
QString blockTooltip(const std::vector<guests::PortalBlock> &blocks, int block);

} // namespace calendar
