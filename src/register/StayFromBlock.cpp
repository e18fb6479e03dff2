#include "register/StayFromBlock.h"

#include "register/Rooms.h"

#include <cmath>

namespace guests {

int newStayFromBlock(GuestList &list, const PortalBlock &block)
{
    const int index = list.appendNew();
    list.modify(index, [&block](TGast &g) {
        if (block.room >= 1 && block.room <= kRaeume)
            g.Zimmer = QString::number(block.room);
        // Only whole days: the times of day stay the new booking's defaults.
        if (platform::IsCalendarDay(block.from) && platform::IsCalendarDay(block.to) && block.from <= block.to) {
            g.Von = std::trunc(block.from);
            g.Bis = std::trunc(block.to);
        }
        const QString name = block.subscription.simplified();
        if (!name.isEmpty())
            g.Bemerkung = QStringLiteral("Buchung über %1").arg(name);
    });
    return index;
}

} // namespace guests
