#pragma once
// Portal blocks the host took over as guests ("Neuer Gast" on a block): the guest then stands for
// the portal's booking, so the block no longer counts beside it as a second booking of the room.

#include "register/PortalBlock.h"
#include "register/TGast.h"

#include <QString>

#include <vector>

namespace guests {

// One block taken over: the portal's booking (subscription and UID) and the guest made from it.
struct BlockTakeover
{
    QString uid;
    QString subscription;
    qint32 gastNr = 0;

    bool operator==(const BlockTakeover &) const = default;
};

// The takeover of `block`, or nullptr. Subscription names compare as the host may retype them
// (case and spaces); a UID compares exactly, as the portal wrote it.
const BlockTakeover *takeoverOf(const std::vector<BlockTakeover> &takeovers, const PortalBlock &block);

// `takeovers` with `takeover` in it: it replaces an earlier one of the same block, so a block
// taken over twice stands for the guest made last.
std::vector<BlockTakeover> withTakeover(std::vector<BlockTakeover> takeovers, const BlockTakeover &takeover);

// The blocks still to be counted, in their order. A block is left out while a guest of `records`
// with its guest number still holds the block's room on exactly the block's days. A deleted guest
// brings the block back, and so does a guest or a block moved to other days or another room: the
// portal's booking and the house's then differ, and the host should see both.
std::vector<PortalBlock> blocksNotTakenOver(const std::vector<PortalBlock> &blocks,
                                            const std::vector<BlockTakeover> &takeovers,
                                            const std::vector<TGast> &records);

} // namespace guests
