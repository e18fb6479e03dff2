#include "calendar/OccupancyPlan.h"

#include "calendar/YearFigures.h"

#include "holidays/De_Feiertage.h"
#include "platform/Convert.h"
#include "register/Rooms.h"

#include <QDate>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

namespace calendar {

using guests::kRaeume;
using guests::PortalBlock;
using guests::RoomMask;
using guests::TGast;

namespace {

constexpr double kMittag = 0.5;      // arrival and departure are drawn from the middle of the day
constexpr double kBesuch = 0.25;     // a visit without a night fills the middle half of its day
constexpr int kMaxPlanTage = 100000; // far more than the plan's zoom allows; keeps a bad call cheap

// A booking (its record) or a portal block (its index into the blocks).
struct Who
{
    int record = 0;
    int block = -1;
    // Bookings before blocks, each in list order: a double booking names the first of its partners.
    std::pair<int, int> order() const { return {block >= 0 ? 1 : 0, block >= 0 ? block : record}; }
};

// One booking or block in one room, in absolute day positions.
struct Item
{
    Who who;
    double s = 0, e = 0;   // drawn extent
    double n0 = 0, n1 = 0; // from the middle of the arrival day to the middle of the departure day
    int lane = 0, lanes = 1;
    bool doppelt = false;
    Who partner;
};

// The whole days of a stay that can be drawn, or false. Days outside the years 1..9999 have no
// calendar date.
bool StayDays(platform::TDateTime from, platform::TDateTime to, double &von, double &bis)
{
    if (!platform::IsCalendarDay(from) || !platform::IsCalendarDay(to))
        return false;
    von = platform::DateOf(from);
    bis = platform::DateOf(to);
    return bis >= von;
}

Item MakeItem(Who who, double von, double bis)
{
    Item item;
    item.who = who;
    item.n0 = von + kMittag;
    item.n1 = bis + kMittag;
    if (bis > von) {
        item.s = item.n0;
        item.e = item.n1;
    } else {
        item.s = von + kBesuch;
        item.e = von + 1 - kBesuch;
    }
    return item;
}

// Whether two bookings of one room share a night. A visit without a night shares one only with a
// stay that goes on over its whole day; two that meet on a changeover day share none.
bool ShareNight(const Item &a, const Item &b)
{
    const bool aPoint = a.n1 <= a.n0;
    const bool bPoint = b.n1 <= b.n0;
    if (aPoint && bPoint)
        return false;
    if (aPoint)
        return b.n0 < a.n0 && a.n0 < b.n1;
    if (bPoint)
        return a.n0 < b.n0 && b.n0 < a.n1;
    return std::max(a.n0, b.n0) < std::min(a.n1, b.n1);
}

QString BarLabel(const TGast &gast)
{
    const QString name = gast.Name.trimmed();
    const QString who = name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr) : name;
    return QStringLiteral("%1 (%2 P.)").arg(who).arg(gast.Personen);
}

QString RoomsText(const QString &zimmer)
{
    QStringList rooms;
    for (int room = 1; room <= kRaeume; ++room)
        if (RoomMask(zimmer) & (1u << (room - 1)))
            rooms << QString::number(room);
    if (rooms.isEmpty())
        return QStringLiteral("kein Zimmer");
    if (rooms.size() == 1)
        return QStringLiteral("Zimmer ") + rooms.front();
    const QString last = rooms.takeLast();
    return QStringLiteral("Zimmer %1 und %2").arg(rooms.join(QStringLiteral(", ")), last);
}

// Gathers, for one room, every booking that the visible ones overlap, and those that overlap
// these in turn, so lanes and double bookings do not change while the host scrolls.
std::vector<Item> Neighbourhood(const std::vector<Item> &all, double lo, double hi)
{
    bool grew = true;
    while (grew) {
        grew = false;
        for (const Item &item : all) {
            if (item.s < hi && item.e > lo && (item.s < lo || item.e > hi)) {
                lo = std::min(lo, item.s);
                hi = std::max(hi, item.e);
                grew = true;
            }
        }
    }
    std::vector<Item> near;
    for (const Item &item : all)
        if (item.s < hi && item.e > lo)
            near.push_back(item);
    return near;
}

// Lanes for bars whose extents overlap, double bookings and the overlaps to hatch. `items` is
// sorted by start.
void Arrange(std::vector<Item> &items, int room, double first, int days, std::vector<PlanOverlap> &overlaps)
{
    std::size_t begin = 0;
    while (begin < items.size()) {
        // A cluster: bars joined by overlapping extents.
        std::size_t end = begin + 1;
        double reach = items[begin].e;
        while (end < items.size() && items[end].s < reach) {
            reach = std::max(reach, items[end].e);
            ++end;
        }
        std::vector<double> laneEnds;
        for (std::size_t i = begin; i < end; ++i) {
            Item &item = items[i];
            const auto free = std::find_if(laneEnds.begin(), laneEnds.end(), [&](double e) { return e <= item.s; });
            if (free == laneEnds.end()) {
                item.lane = static_cast<int>(laneEnds.size());
                laneEnds.push_back(item.e);
            } else {
                item.lane = static_cast<int>(free - laneEnds.begin());
                *free = item.e;
            }
            // Later bars that start before this one ends are the only ones it can share a night with.
            for (std::size_t j = i + 1; j < end && items[j].s < item.e; ++j) {
                Item &other = items[j];
                if (!ShareNight(item, other))
                    continue;
                for (Item *x : {&item, &other}) {
                    Item *y = x == &item ? &other : &item;
                    if (!x->doppelt || y->who.order() < x->partner.order())
                        x->partner = y->who;
                    x->doppelt = true;
                }
                const double s = std::max(item.s, other.s) - first;
                const double e = std::min(item.e, other.e) - first;
                if (s < days && e > 0)
                    overlaps.push_back({room, std::max(s, 0.0), std::min(e, static_cast<double>(days))});
            }
        }
        for (std::size_t i = begin; i < end; ++i)
            items[i].lanes = static_cast<int>(laneEnds.size());
        begin = end;
    }
}

void MergeOverlaps(std::vector<PlanOverlap> &overlaps)
{
    std::sort(overlaps.begin(), overlaps.end(), [](const PlanOverlap &a, const PlanOverlap &b) {
        return a.room != b.room ? a.room < b.room : a.start < b.start;
    });
    std::vector<PlanOverlap> merged;
    for (const PlanOverlap &o : overlaps) {
        if (!merged.empty() && merged.back().room == o.room && o.start <= merged.back().end)
            merged.back().end = std::max(merged.back().end, o.end);
        else
            merged.push_back(o);
    }
    overlaps = std::move(merged);
}

void FillDays(PlanGeometry &plan, qint32 plz)
{
    std::map<int, std::map<double, QString>> holidays; // by year, the first name of each day
    plan.dayInfo.resize(static_cast<std::size_t>(plan.days));
    for (int i = 0; i < plan.days; ++i) {
        PlanDay &d = plan.dayInfo[static_cast<std::size_t>(i)];
        d.day = plan.first + i;
        const QDate date = platform::DayToDate(d.day);
        d.dayOfMonth = date.day();
        d.dayOfWeek = platform::DayOfWeek(d.day);
        auto year = holidays.find(date.year());
        if (year == holidays.end()) {
            year = holidays.emplace(date.year(), std::map<double, QString>{}).first;
            for (const auto &h : De_Feiertage::GetFeiertage(static_cast<quint16>(date.year()), plz))
                year->second.emplace(h.Date, h.Name); // the first entry of a day names it
        }
        const auto holiday = year->second.find(d.day);
        if (holiday != year->second.end())
            d.feiertag = holiday->second;
        d.samstag = d.dayOfWeek == 7;
        d.sonnOderFeiertag = d.dayOfWeek == 1 || !d.feiertag.isEmpty();
        if (i == 0 || d.dayOfMonth == 1)
            plan.months.push_back({i, 0, date.month(), date.year()});
        ++plan.months.back().days;
    }
}

} // namespace

PlanZustand ZustandOf(const TGast &gast)
{
    if (gast.Bezahlt)
        return PlanZustand::Bezahlt;
    return gast.ReNr != 0 ? PlanZustand::Berechnet : PlanZustand::OhneRechnung;
}

PlanGeometry Belegungsplan(const Occupants &occupants, platform::TDateTime first, int days, platform::TDateTime now,
                           qint32 plz)
{
    const std::vector<TGast> &list = occupants.bookings();
    const std::vector<PortalBlock> &blocks = occupants.blocks();
    PlanGeometry plan;
    if (!platform::IsCalendarDay(first) || days <= 0)
        return plan;
    plan.first = platform::DateOf(first);
    days = std::min(days, kMaxPlanTage);
    while (days > 0 && !platform::IsCalendarDay(plan.first + days - 1))
        --days;
    plan.days = days;
    FillDays(plan, plz);
    const double lo = plan.first;
    const double hi = plan.first + days;
    if (std::isfinite(now) && now >= lo && now <= hi)
        plan.now = now - lo;

    std::array<std::vector<Item>, kRaeume> rooms;
    const auto place = [&rooms](Who who, unsigned mask, platform::TDateTime from, platform::TDateTime to) {
        double von = 0, bis = 0;
        if (mask == 0 || !StayDays(from, to, von, bis))
            return;
        const Item item = MakeItem(who, von, bis);
        for (int k = 0; k < kRaeume; ++k)
            if (mask & (1u << k))
                rooms[static_cast<std::size_t>(k)].push_back(item);
    };
    for (std::size_t i = 1; i < list.size(); ++i)
        place({static_cast<int>(i), -1}, RoomMask(list[i].Zimmer), list[i].Von, list[i].Bis);
    for (std::size_t b = 0; b < blocks.size(); ++b)
        place({0, static_cast<int>(b)}, BlockRoomMask(blocks[b]), blocks[b].from, blocks[b].to);

    for (int k = 0; k < kRaeume; ++k) {
        std::vector<Item> items = Neighbourhood(rooms[static_cast<std::size_t>(k)], lo, hi);
        std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
            return a.s != b.s ? a.s < b.s : (a.e != b.e ? a.e < b.e : a.who.order() < b.who.order());
        });
        Arrange(items, k + 1, lo, days, plan.overlaps);
        for (const Item &item : items) {
            const double s = item.s - lo;
            const double e = item.e - lo;
            if (!(s < days && e > 0))
                continue;
            PlanBar bar;
            bar.room = k + 1;
            bar.start = std::max(s, 0.0);
            bar.end = std::min(e, static_cast<double>(days));
            bar.beginsBefore = s < 0;
            bar.endsAfter = e > days;
            bar.lane = item.lane;
            bar.lanes = item.lanes;
            if (item.who.block >= 0) {
                // A block has no bill: it shows as a booking without an invoice would, but grey.
                bar.block = item.who.block;
                bar.label =
                    QStringLiteral("belegt über %1").arg(blocks[static_cast<std::size_t>(item.who.block)].subscription);
            } else {
                const TGast &gast = list[static_cast<std::size_t>(item.who.record)];
                bar.record = item.who.record;
                bar.zustand = ZustandOf(gast);
                bar.label = BarLabel(gast);
            }
            bar.doppelt = item.doppelt;
            bar.partner = item.partner.record;
            bar.partnerBlock = item.partner.block;
            plan.bars.push_back(std::move(bar));
        }
    }
    MergeOverlaps(plan.overlaps);
    return plan;
}

QString MonatsName(int month)
{
    static const char *const names[] = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                                        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

QString MonatsKurzname(int month)
{
    static const char *const names[] = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                                        "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
    return month >= 1 && month <= 12 ? QString::fromUtf8(names[month - 1]) : QString();
}

QString ZeitraumText(platform::TDateTime first, int days)
{
    if (!platform::IsCalendarDay(first) || days <= 0 || !platform::IsCalendarDay(first + days - 1))
        return {};
    const QDate from = platform::DayToDate(first);
    const QDate to = platform::DayToDate(first + days - 1);
    if (from.day() == 1 && from.month() == 1 && to.month() == 12 && to.day() == 31 && from.year() == to.year())
        return QString::number(from.year());
    if (from.day() == 1 && to.day() == to.daysInMonth() && from.month() == to.month() && from.year() == to.year())
        return QStringLiteral("%1 %2").arg(MonatsName(from.month())).arg(from.year());
    return QStringLiteral("%1 bis %2").arg(platform::DateToStr(first), platform::DateToStr(first + days - 1));
}

QString PlanTooltip(const Occupants &occupants, const PlanBar &bar)
{
    const std::vector<TGast> &list = occupants.bookings();
    const std::vector<PortalBlock> &blocks = occupants.blocks();
    QStringList lines;
    if (bar.block >= 0) {
        const QString text = blockTooltip(blocks, bar.block);
        if (text.isEmpty())
            return {};
        lines << text;
    } else {
        if (bar.record <= 0 || static_cast<std::size_t>(bar.record) >= list.size())
            return {};
        const TGast &gast = list[static_cast<std::size_t>(bar.record)];
        const QString name = gast.Name.trimmed();
        lines << (name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr)
                                 : QStringLiteral("Gast %1: %2").arg(gast.GastNr).arg(name));
        const auto nights = static_cast<qint64>(platform::DateOf(gast.Bis) - platform::DateOf(gast.Von));
        lines << QStringLiteral("%1 bis %2, %3 %4")
                     .arg(platform::DateToStr(gast.Von), platform::DateToStr(gast.Bis))
                     .arg(nights)
                     .arg(nights == 1 ? QStringLiteral("Nacht") : QStringLiteral("Nächte"));
        lines << QStringLiteral("%1, %2 %3")
                     .arg(RoomsText(gast.Zimmer))
                     .arg(gast.Personen)
                     .arg(gast.Personen == 1 ? QStringLiteral("Person") : QStringLiteral("Personen"));
        lines << (gast.Kosten != 0 ? QStringLiteral("Kosten: ") + BetragText(gast.Kosten)
                                   : QStringLiteral("Kosten: noch nicht berechnet"));
        if (gast.ReNr != 0)
            lines << QStringLiteral("Rechnung Nr. %1, %2")
                         .arg(gast.ReNr)
                         .arg(gast.Bezahlt ? QStringLiteral("bezahlt") : QStringLiteral("noch nicht bezahlt"));
        else
            lines << (gast.Bezahlt ? QStringLiteral("Keine Rechnung, bezahlt") : QStringLiteral("Noch keine Rechnung"));
    }
    if (bar.doppelt) {
        // The other side: a guest if the bar names one, else the portal.
        QString other;
        if (bar.partner > 0 && static_cast<std::size_t>(bar.partner) < list.size()) {
            const TGast &partner = list[static_cast<std::size_t>(bar.partner)];
            const QString name = partner.Name.trimmed();
            other = name.isEmpty() ? QStringLiteral("Gast %1").arg(partner.GastNr)
                                   : QStringLiteral("Gast %1 (%2)").arg(partner.GastNr).arg(name);
        } else if (bar.partner == 0 && bar.partnerBlock >= 0 &&
                   static_cast<std::size_t>(bar.partnerBlock) < blocks.size()) {
            other = blocks[static_cast<std::size_t>(bar.partnerBlock)].subscription;
        }
        if (!other.isEmpty())
            lines << QStringLiteral("Doppelbelegung in Zimmer %1 mit %2").arg(bar.room).arg(other);
    }
    return lines.join(u'\n');
}

platform::TDateTime FreierTag(const Occupants &occupants, int room, platform::TDateTime anchor,
                              platform::TDateTime target)
{
    if (room < 1 || room > kRaeume || !platform::IsCalendarDay(anchor) || !platform::IsCalendarDay(target))
        return anchor;
    anchor = platform::DateOf(anchor);
    target = platform::DateOf(target);
    // Leftwards is rightwards on mirrored days.
    const double sign = target >= anchor ? 1 : -1;
    const double a = sign * anchor;
    double result = sign * target;
    const unsigned bit = 1u << (room - 1);
    const auto stopAt = [&](unsigned mask, platform::TDateTime from, platform::TDateTime to) {
        double von = 0, bis = 0;
        if (!(mask & bit) || !StayDays(from, to, von, bis))
            return;
        const double lo = sign > 0 ? von : -bis;
        const double hi = sign > 0 ? bis : -von;
        if (lo == hi) {
            // A visit without a night stands in the way only of a stay that goes on over its day.
            if (lo > a)
                result = std::min(result, lo);
        } else if (hi > a) {
            result = std::min(result, lo < a ? a : lo);
        }
    };
    const std::vector<TGast> &list = occupants.bookings();
    for (std::size_t i = 1; i < list.size(); ++i)
        stopAt(RoomMask(list[i].Zimmer), list[i].Von, list[i].Bis);
    for (const PortalBlock &block : occupants.blocks())
        stopAt(BlockRoomMask(block), block.from, block.to);
    return sign * result;
}

platform::TDateTime HeuteStart(platform::TDateTime today, int days)
{
    today = platform::DateOf(today);
    const QDate date = platform::DayToDate(today);
    const platform::TDateTime monthStart = today - (date.day() - 1);
    if (days >= date.daysInMonth() || today - monthStart < days - 3)
        return monthStart;
    return today - 3;
}

PlanScrollRange planScrollRange(const std::vector<TGast> &list, platform::TDateTime today, platform::TDateTime first,
                                int days)
{
    double lo = platform::DateOf(today), hi = lo;
    for (const TGast &g : list) {
        if (std::isfinite(g.Von) && std::isfinite(g.Bis) && g.Von > 0 && g.Bis >= g.Von && !g.Zimmer.isEmpty()) {
            lo = std::min(lo, platform::DateOf(g.Von));
            hi = std::max(hi, platform::DateOf(g.Bis));
        }
    }
    lo = std::min(lo - kPlanRandTage, first);
    hi = std::max(hi + kPlanRandTage - days, first);
    return {static_cast<int>(lo), static_cast<int>(hi)};
}

} // namespace calendar
