#include "exchange/PortalFindings.h"

#include "register/Rooms.h"

#include <algorithm>
#include <cmath>

namespace exchange {

using guests::BlockTakeover;
using guests::PortalBlock;
using guests::TGast;

namespace {

const QString kDay = QStringLiteral("dd.MM.yyyy");

bool hasDays(const TGast &g)
{
    return std::isfinite(g.Von) && std::isfinite(g.Bis) && std::trunc(g.Von) < std::trunc(g.Bis);
}

bool holdsRoom(const TGast &g, int room)
{
    return room >= 1 && room <= guests::kRaeume && (guests::RoomMask(g.Zimmer) & (1u << (room - 1))) != 0;
}

bool sharesNight(const TGast &g, const PortalBlock &b)
{
    return hasDays(g) && holdsRoom(g, b.room) &&
           std::max(std::trunc(g.Von), std::trunc(b.from)) < std::min(std::trunc(g.Bis), std::trunc(b.to));
}

// "Sabine Krüger (Gast 12)", or "Gast 12" for a guest without a name.
QString guestText(const TGast &g)
{
    const QString name = g.Name.simplified();
    const QString number = QStringLiteral("Gast %1").arg(g.GastNr);
    return name.isEmpty() ? number : QStringLiteral("%1 (%2)").arg(name, number);
}

// "A", "A und B", "A, B und C".
QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" und ") + items.back();
}

// "03.03.–06.03.2027", or "28.12.2026–02.01.2027" across a new year.
QString stayText(const TGast &g)
{
    const QDate from = platform::DayToDate(std::trunc(g.Von));
    const QDate to = platform::DayToDate(std::trunc(g.Bis));
    const QString first = from.year() == to.year() ? from.toString(QStringLiteral("dd.MM.")) : from.toString(kDay);
    return first + u'–' + to.toString(kDay);
}

// The guest made from `block`, or nullptr when none was or the guest is gone.
const TGast *guestOf(const PortalBlock &block, const std::vector<BlockTakeover> &takeovers,
                     const std::vector<TGast> &records)
{
    const BlockTakeover *takeover = guests::takeoverOf(takeovers, block);
    if (!takeover || takeover->gastNr <= 0)
        return nullptr;
    for (std::size_t i = 1; i < records.size(); ++i)
        if (records[i].GastNr == takeover->gastNr)
            return &records[i];
    return nullptr;
}

} // namespace

QStringList blockConflicts(const std::vector<PortalBlock> &blocks, const std::vector<BlockTakeover> &takeovers,
                           const std::vector<TGast> &records, platform::TDateTime today)
{
    QStringList lines;
    for (const PortalBlock &block : blocks) {
        if (std::trunc(block.to) <= std::trunc(today))
            continue;
        const BlockTakeover *takeover = guests::takeoverOf(takeovers, block);
        QStringList guests;
        for (std::size_t i = 1; i < records.size(); ++i) {
            const TGast &g = records[i];
            if (takeover && g.GastNr == takeover->gastNr)
                continue;
            if (sharesNight(g, block))
                guests << guestText(g);
        }
        if (guests.isEmpty())
            continue;
        lines << QStringLiteral("%1 blockiert Zimmer %2 vom %3 bis %4: auch %5")
                     .arg(block.subscription)
                     .arg(block.room)
                     .arg(platform::DayToDate(block.from).toString(kDay), platform::DayToDate(block.to).toString(kDay),
                          listed(guests));
    }
    return lines;
}

QStringList vanishedBookings(const std::vector<PortalBlock> &released, const std::vector<BlockTakeover> &takeovers,
                             const std::vector<TGast> &records, platform::TDateTime today)
{
    QStringList lines;
    for (const PortalBlock &block : released) {
        const TGast *g = guestOf(block, takeovers, records);
        if (!g || (hasDays(*g) && std::trunc(g->Bis) <= std::trunc(today)))
            continue;
        // "Sabine Krüger (Gast 12, 03.03.–06.03.2027)", "Gast 12 (03.03.–06.03.2027)".
        const QString name = g->Name.simplified();
        QStringList details;
        if (!name.isEmpty())
            details << QStringLiteral("Gast %1").arg(g->GastNr);
        if (hasDays(*g))
            details << stayText(*g);
        const QString first = name.isEmpty() ? QStringLiteral("Gast %1").arg(g->GastNr) : name;
        const QString guest =
            details.isEmpty() ? first : QStringLiteral("%1 (%2)").arg(first, details.join(QStringLiteral(", ")));
        lines << QStringLiteral("%1 hat die Buchung von %2 nicht mehr im Kalender – bitte prüfen, ob sie storniert "
                                "wurde.")
                     .arg(block.subscription, guest);
    }
    return lines;
}

} // namespace exchange
