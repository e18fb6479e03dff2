#include "calendar/PortalOccupancy.h"

#include "platform/Convert.h"

#include <cmath>

namespace calendar {

using guests::kRaeume;
using guests::TGast;

namespace {

TGast standIn(const guests::PortalBlock &block)
{
    TGast g;
    g.Zimmer = block.room >= 1 && block.room <= kRaeume ? QString::number(block.room) : QString();
    g.Von = block.from;
    g.Bis = block.to;
    g.Name = block.subscription;
    return g;
}

QString guestLabel(const TGast &gast)
{
    const QString name = gast.Name.trimmed();
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr)
                          : QStringLiteral("Gast %1 (%2)").arg(gast.GastNr).arg(name);
}

QString shortPortal(const QString &subscription)
{
    return subscription.simplified().left(6);
}

} // namespace

std::vector<TGast> withPortalBlocks(const std::vector<TGast> &list, const std::vector<guests::PortalBlock> &blocks)
{
    std::vector<TGast> all = list;
    if (all.empty())
        all.emplace_back(); // record 0
    all.reserve(all.size() + blocks.size());
    for (const guests::PortalBlock &b : blocks)
        all.push_back(standIn(b));
    return all;
}

std::vector<CalendarRow> gridRowsWithBlocks(const std::vector<TGast> &list,
                                            const std::vector<guests::PortalBlock> &blocks,
                                            platform::TDateTime Starttag, int rowCount)
{
    std::vector<CalendarRow> rows = ZeigGridRows(list, Starttag, rowCount);
    if (rows.empty() || !std::isfinite(rows.front().day))
        return rows;
    const platform::TDateTime base = rows.front().day;
    const auto last = static_cast<platform::TDateTime>(rows.size() - 1);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const guests::PortalBlock &block = blocks[b];
        if (block.room < 1 || block.room > kRaeume || !(block.from <= block.to))
            continue;
        const TGast self = standIn(block);
        // The rows of the block's days, as Belegt counts them (arrival and departure day both).
        const platform::TDateTime from = std::max(0.0, std::ceil(block.from - base));
        const platform::TDateTime to = std::min(last, std::floor(block.to - base));
        for (platform::TDateTime r = from; r <= to; ++r) {
            CalendarRow &row = rows[static_cast<std::size_t>(r)];
            CalendarCell &cell = row.rooms[static_cast<std::size_t>(block.room - 1)];
            if (cell.record == 0 && cell.block < 0) {
                cell.text = block.subscription;
                cell.block = static_cast<int>(b);
                continue;
            }
            if (cell.clash)
                continue; // already marked; one pair is named
            if (cell.record != 0) {
                const TGast &guest = list[static_cast<std::size_t>(cell.record)];
                if (!TeilenNacht(guest, self, row.day))
                    continue;
                cell.clash = true;
                cell.block = static_cast<int>(b);
                cell.clashHint = QStringLiteral("Doppelbelegung: %1 und %2").arg(guestLabel(guest), block.subscription);
                cell.clashText = KurzName(guest) + u'/' + shortPortal(block.subscription);
            } else {
                const guests::PortalBlock &other = blocks[static_cast<std::size_t>(cell.block)];
                if (!TeilenNacht(standIn(other), self, row.day))
                    continue;
                cell.clash = true;
                cell.clashHint =
                    QStringLiteral("Doppelbelegung: %1 und %2").arg(other.subscription, block.subscription);
                cell.clashText = shortPortal(other.subscription) + u'/' + shortPortal(block.subscription);
            }
        }
    }
    return rows;
}

QString doubleBookingTextWithBlocks(const std::vector<TGast> &list, const std::vector<guests::PortalBlock> &blocks,
                                  int index)
{
    if (index <= 0 || index >= static_cast<int>(list.size()))
        return {};
    return DoppelbelegungText(withPortalBlocks(list, blocks), index);
}

std::vector<int> doubleBookedRoomsWithBlocks(const std::vector<TGast> &list,
                                                 const std::vector<guests::PortalBlock> &blocks, int index,
                                                 platform::TDateTime tag)
{
    if (index <= 0 || index >= static_cast<int>(list.size()))
        return {};
    return DoppeltBelegteZimmer(withPortalBlocks(list, blocks), index, tag);
}

PlanGeometry occupancyPlanWithBlocks(const std::vector<TGast> &list, const std::vector<guests::PortalBlock> &blocks,
                                      platform::TDateTime first, int days, platform::TDateTime now, qint32 plz)
{
    const int records = static_cast<int>(std::max<std::size_t>(list.size(), 1));
    PlanGeometry plan = Belegungsplan(withPortalBlocks(list, blocks), first, days, now, plz);
    for (PlanBar &bar : plan.bars) {
        if (bar.partner >= records) {
            bar.partnerBlock = bar.partner - records;
            bar.partner = 0;
        }
        if (bar.record >= records) {
            bar.block = bar.record - records;
            bar.record = 0;
            bar.label = QStringLiteral("belegt über %1").arg(blocks[static_cast<std::size_t>(bar.block)].subscription);
        }
    }
    return plan;
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

QString planTooltipWithBlocks(const std::vector<TGast> &list, const std::vector<guests::PortalBlock> &blocks,
                              const PlanBar &bar)
{
    const auto clashLine = [&bar](const QString &other) {
        return QStringLiteral("\nDoppelbelegung in Zimmer %1 mit %2").arg(bar.room).arg(other);
    };
    if (bar.block >= 0) {
        QString text = blockTooltip(blocks, bar.block);
        if (text.isEmpty() || !bar.doppelt)
            return text;
        if (bar.partner > 0 && static_cast<std::size_t>(bar.partner) < list.size())
            text += clashLine(guestLabel(list[static_cast<std::size_t>(bar.partner)]));
        else if (bar.partnerBlock >= 0 && static_cast<std::size_t>(bar.partnerBlock) < blocks.size())
            text += clashLine(blocks[static_cast<std::size_t>(bar.partnerBlock)].subscription);
        return text;
    }
    QString text = PlanTooltip(list, bar);
    if (!text.isEmpty() && bar.doppelt && bar.partner == 0 && bar.partnerBlock >= 0 &&
        static_cast<std::size_t>(bar.partnerBlock) < blocks.size())
        text += clashLine(blocks[static_cast<std::size_t>(bar.partnerBlock)].subscription);
    return text;
}

} // namespace calendar
