#include "register/BlockTakeover.h"

#include "register/Rooms.h"

#include <algorithm>
#include <cmath>

namespace guests {

namespace {

bool sameSubscription(const QString &a, const QString &b)
{
    return a.simplified().compare(b.simplified(), Qt::CaseInsensitive) == 0;
}

bool sameBlock(const BlockTakeover &t, const QString &uid, const QString &subscription)
{
    return t.uid == uid && sameSubscription(t.subscription, subscription);
}

// Whether `gast` holds the block's room on the block's nights, no more and no less.
bool standsFor(const TGast &gast, const PortalBlock &block)
{
    if (block.room < 1 || block.room > kRaeume || (RoomMask(gast.Zimmer) & (1u << (block.room - 1))) == 0)
        return false;
    if (!std::isfinite(gast.Von) || !std::isfinite(gast.Bis))
        return false;
    return std::trunc(gast.Von) == std::trunc(block.from) && std::trunc(gast.Bis) == std::trunc(block.to);
}

} // namespace

const BlockTakeover *takeoverOf(const std::vector<BlockTakeover> &takeovers, const PortalBlock &block)
{
    if (block.uid.isEmpty())
        return nullptr;
    const auto found = std::find_if(takeovers.begin(), takeovers.end(), [&block](const BlockTakeover &t) {
        return sameBlock(t, block.uid, block.subscription);
    });
    return found == takeovers.end() ? nullptr : &*found;
}

std::vector<BlockTakeover> withTakeover(std::vector<BlockTakeover> takeovers, const BlockTakeover &takeover)
{
    std::erase_if(takeovers,
                  [&takeover](const BlockTakeover &t) { return sameBlock(t, takeover.uid, takeover.subscription); });
    takeovers.push_back(takeover);
    return takeovers;
}

std::vector<PortalBlock> blocksNotTakenOver(const std::vector<PortalBlock> &blocks,
                                            const std::vector<BlockTakeover> &takeovers,
                                            const std::vector<TGast> &records)
{
    std::vector<PortalBlock> kept;
    kept.reserve(blocks.size());
    for (const PortalBlock &block : blocks) {
        const BlockTakeover *takeover = takeoverOf(takeovers, block);
        // Record 0 is the list's placeholder, never a guest; older files may hold a number twice,
        // so any record with the number that still stands for the block will do.
        const bool taken =
            takeover && takeover->gastNr > 0 &&
            std::any_of(records.begin() + (records.empty() ? 0 : 1), records.end(), [&](const TGast &g) {
                return g.GastNr == takeover->gastNr && standsFor(g, block);
            });
        if (!taken)
            kept.push_back(block);
    }
    return kept;
}

} // namespace guests
