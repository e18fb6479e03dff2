#include "calendar/Occupants.h"

#include "platform/Convert.h"
#include "register/Rooms.h"

#include <cmath>

namespace calendar {

unsigned BlockRoomMask(const guests::PortalBlock &block)
{
    return block.room >= 1 && block.room <= guests::kRaeume ? 1u << (block.room - 1) : 0u;
}

QString BlockName(const guests::PortalBlock &block)
{
    // A subscription always has a name; should one be lost, the text still says what took the room.
    const QString name = block.subscription.simplified();
    return name.isEmpty() ? QStringLiteral("Portal") : name;
}

QString blockTooltip(const std::vector<guests::PortalBlock> &blocks, int block)
{
    if (block < 0 || block >= static_cast<int>(blocks.size()))
        return {};
    const guests::PortalBlock &b = blocks[static_cast<std::size_t>(block)];
    const auto nights = static_cast<qint64>(std::trunc(b.to) - std::trunc(b.from));
    QString text = QStringLiteral("Zimmer %1 belegt über %2\n%3 bis %4 (%5 %6)")
                       .arg(b.room)
                       .arg(b.subscription, platform::DateToStr(b.from), platform::DateToStr(b.to))
                       .arg(nights)
                       .arg(nights == 1 ? QStringLiteral("Nacht") : QStringLiteral("Nächte"));
    if (!b.summary.trimmed().isEmpty())
        text += u'\n' + b.summary.simplified();
    return text;
}

} // namespace calendar
