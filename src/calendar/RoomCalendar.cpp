#include "calendar/RoomCalendar.h"

#include "holidays/De_Feiertage.h"
#include "platform/Convert.h"
#include "register/StayText.h"

#include <QDate>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <numeric>

namespace calendar {

using guests::GuestName;
using guests::kRaeume;
using guests::PortalBlock;
using guests::RoomMask;
using guests::StayText;
using guests::TGast;

namespace {

// How a booking stands to one day of its stay; two bookings share the night unless one of them
// leaves that day and the other arrives.
enum Phase : int { kMitte = 0, kAnreise = 1, kAbreise = 2, kAnUndAb = 3, kPhasen = 4 };

// The days a booking or a block holds its room: arrival and departure day both.
struct Stay
{
    platform::TDateTime Von = 0;
    platform::TDateTime Bis = 0;
};

Stay StayOf(const TGast &gast)
{
    return {gast.Von, gast.Bis};
}
Stay StayOf(const PortalBlock &block)
{
    return {block.from, block.to};
}

bool Holds(const Stay &stay, platform::TDateTime Datum)
{
    return stay.Von <= Datum && Datum <= stay.Bis;
}

Phase PhaseOf(const Stay &stay, platform::TDateTime Datum)
{
    const bool an = platform::IsSameDay(stay.Von, Datum);
    const bool ab = platform::IsSameDay(stay.Bis, Datum);
    return an ? (ab ? kAnUndAb : kAnreise) : (ab ? kAbreise : kMitte);
}

bool PhasesShareNight(Phase a, Phase b)
{
    return a == kMitte || b == kMitte || (a == b && a != kAnUndAb);
}

bool SharesNight(const Stay &a, const Stay &b, platform::TDateTime Datum)
{
    if (!Holds(a, Datum) || !Holds(b, Datum))
        return false;
    return PhasesShareNight(PhaseOf(a, Datum), PhaseOf(b, Datum));
}

// What one room on one day has seen of the bookings that claim it, enough to find the shown
// record, whether any two share a night, and one partner to name.
struct CellState
{
    int shown = 0;
    Phase shownPhase = kMitte;
    std::array<int, kPhasen> count{};
    std::array<int, kPhasen> last{}; // latest index in each phase
    std::array<int, kPhasen> prev{}; // the one before it
};

void Claim(CellState &cell, int index, Phase phase)
{
    cell.shown = index;
    cell.shownPhase = phase;
    ++cell.count[phase];
    cell.prev[phase] = cell.last[phase];
    cell.last[phase] = index;
}

bool HasClash(const CellState &cell)
{
    const int total = std::accumulate(cell.count.begin(), cell.count.end(), 0);
    return total >= 2 && (cell.count[kMitte] >= 1 || cell.count[kAnreise] >= 2 || cell.count[kAbreise] >= 2);
}

// The record named beside the shown one: preferably the latest one that shares the night with it,
// else one of another pair that does.
int ClashPartner(const CellState &cell)
{
    int partner = 0;
    for (int p = 0; p < kPhasen; ++p) {
        const auto phase = static_cast<Phase>(p);
        if (PhasesShareNight(cell.shownPhase, phase))
            partner = std::max(partner, phase == cell.shownPhase ? cell.prev[p] : cell.last[p]);
    }
    if (partner == 0)
        partner = cell.count[kAnreise] >= 2 ? cell.last[kAnreise] : cell.last[kAbreise];
    return partner;
}

QString GuestLabel(const TGast &gast)
{
    const QString name = gast.Name.trimmed();
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr)
                          : QStringLiteral("Gast %1 (%2)").arg(gast.GastNr).arg(name);
}

QString ClashHint(const std::vector<TGast> &list, int a, int b)
{
    const auto first = static_cast<std::size_t>(std::min(a, b));
    const auto second = static_cast<std::size_t>(std::max(a, b));
    return QStringLiteral("Doppelbelegung: %1 und %2").arg(GuestLabel(list[first]), GuestLabel(list[second]));
}

// A portal's name shortened for a narrow cell, as KurzName shortens a guest's.
QString KurzPortal(const PortalBlock &block)
{
    return block.subscription.simplified().left(6);
}

// Lays the blocks over the rows the bookings filled: a block shows in a cell no booking holds, and
// one that shares the night with the cell's booking or block marks it, naming the first such pair.
void LayBlocksOver(std::vector<CalendarRow> &rows, const std::vector<TGast> &list,
                   const std::vector<PortalBlock> &blocks)
{
    if (rows.empty() || !std::isfinite(rows.front().day))
        return;
    const platform::TDateTime base = rows.front().day;
    const auto last = static_cast<platform::TDateTime>(rows.size() - 1);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const PortalBlock &block = blocks[b];
        if (BlockRoomMask(block) == 0 || !(block.from <= block.to))
            continue;
        const Stay self = StayOf(block);
        // The rows of the block's days, counted as for a booking (arrival and departure day both).
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
                if (!SharesNight(StayOf(guest), self, row.day))
                    continue;
                cell.clash = true;
                cell.block = static_cast<int>(b);
                cell.clashHint = QStringLiteral("Doppelbelegung: %1 und %2").arg(GuestLabel(guest), block.subscription);
                cell.clashText = KurzName(guest) + u'/' + KurzPortal(block);
            } else {
                const PortalBlock &other = blocks[static_cast<std::size_t>(cell.block)];
                if (!SharesNight(StayOf(other), self, row.day))
                    continue;
                cell.clash = true;
                cell.clashHint =
                    QStringLiteral("Doppelbelegung: %1 und %2").arg(other.subscription, block.subscription);
                cell.clashText = KurzPortal(other) + u'/' + KurzPortal(block);
            }
        }
    }
}

// Days outside the years 1..9999 have no date to show.
} // namespace

QString WochentagText(int dayOfWeek)
{
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return {};
    return QString::fromLatin1(Wochentage[static_cast<std::size_t>(dayOfWeek)]);
}

std::vector<int> RoomsOf(const QString &Zimmer)
{
    const unsigned mask = RoomMask(Zimmer);
    std::vector<int> rooms;
    for (int room = 1; room <= kRaeume; ++room) {
        if (mask & (1u << (room - 1)))
            rooms.push_back(room);
    }
    return rooms;
}

bool Belegt(const TGast &gast, platform::TDateTime Datum)
{
    return Holds(StayOf(gast), Datum);
}

std::array<int, 3> ZimmerAmTag(const std::vector<TGast> &list, platform::TDateTime Datum)
{
    std::array<int, 3> result{};
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (!Belegt(list[i], Datum))
            continue;
        const unsigned mask = RoomMask(list[i].Zimmer);
        for (std::size_t k = 0; k < kRaeume; ++k) {
            if (mask & (1u << k))
                result[k] = static_cast<int>(i);
        }
    }
    return result;
}

bool TeilenNacht(const TGast &a, const TGast &b, platform::TDateTime Datum)
{
    return SharesNight(StayOf(a), StayOf(b), Datum);
}

std::vector<CalendarRow> ZeigGridRows(const Occupants &occupants, platform::TDateTime Starttag, int rowCount)
{
    const std::vector<TGast> &list = occupants.bookings();
    if (rowCount <= 0)
        return {};
    const auto rows = static_cast<std::size_t>(rowCount);

    // A start day that is no number at all leaves every row without a day, and so free.
    const platform::TDateTime base = std::isfinite(Starttag) ? platform::DateOf(Starttag) - kTageVorStarttag
                                                             : std::numeric_limits<double>::quiet_NaN();
    std::vector<platform::TDateTime> days(rows);
    for (std::size_t r = 0; r < rows; ++r)
        days[r] = base + static_cast<double>(r);

    // One pass over the records in list order, so a later record overwrites an earlier one. Each
    // record finds the rows of its stay by bisection over the ascending days, with the very
    // comparisons of Belegt, and touches only those: stays far outside the window, reversed ones
    // and those with NaN find no row and cost nothing.
    std::vector<std::array<CellState, 3>> cells(rows);
    for (std::size_t i = 1; i < list.size(); ++i) {
        const TGast &gast = list[i];
        const unsigned mask = RoomMask(gast.Zimmer);
        if (mask == 0)
            continue;
        const auto from =
            std::partition_point(days.begin(), days.end(), [&](platform::TDateTime d) { return !(gast.Von <= d); });
        const auto to = std::partition_point(from, days.end(), [&](platform::TDateTime d) { return d <= gast.Bis; });
        for (auto it = from; it < to; ++it) {
            const auto r = static_cast<std::size_t>(it - days.begin());
            const Phase phase = PhaseOf(StayOf(gast), *it);
            for (std::size_t k = 0; k < kRaeume; ++k) {
                if (mask & (1u << k))
                    Claim(cells[r][k], static_cast<int>(i), phase);
            }
        }
    }

    std::vector<CalendarRow> result(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        CalendarRow &row = result[r];
        row.day = days[r];
        if (platform::IsCalendarDay(row.day)) {
            row.datum = platform::DateToStr(row.day);
            row.wochentag = WochentagText(platform::DayOfWeek(row.day));
        }
        for (std::size_t k = 0; k < kRaeume; ++k) {
            const CellState &cell = cells[r][k];
            if (cell.shown == 0)
                continue;
            const TGast &gast = list[static_cast<std::size_t>(cell.shown)];
            row.rooms[k].text = QStringLiteral("%1,%2P").arg(gast.GastNr).arg(gast.Personen);
            row.rooms[k].record = cell.shown;
            if (HasClash(cell)) {
                const int partner = ClashPartner(cell);
                row.rooms[k].clash = true;
                row.rooms[k].clashHint = ClashHint(list, cell.shown, partner);
                const auto &a = list[static_cast<std::size_t>(std::min(cell.shown, partner))];
                const auto &b = list[static_cast<std::size_t>(std::max(cell.shown, partner))];
                row.rooms[k].clashText = KurzName(a) + u'/' + KurzName(b);
            }
        }
    }
    LayBlocksOver(result, list, occupants.blocks());
    return result;
}

void PickState::pick(int room, platform::TDateTime day)
{
    if (room < 1 || room > kRaeume)
        return;
    if (room_ == 0) {
        room_ = room;
        first_ = day;
    } else {
        last_ = day;
        hasLast_ = true;
    }
}

void PickState::reset()
{
    *this = PickState();
}

std::optional<PickResult> PeekPicks(const PickState &state, const QString &zimmerText)
{
    if (state.empty())
        return std::nullopt;
    PickResult result;
    result.Von = state.first();
    result.Bis = state.last();
    result.Zimmer = zimmerText;
    const QChar digit(u'0' + state.room());
    if (!zimmerText.contains(digit))
        result.Zimmer += digit;
    return result;
}

std::optional<PickResult> PeekPicks(const PickState &state, const QString &zimmerText, AuswahlNutzung nutzung)
{
    return PeekPicks(state, nutzung == AuswahlNutzung::Ersetzen ? QString() : zimmerText);
}

std::optional<PickResult> TakePicks(PickState &state, const QString &zimmerText)
{
    auto result = PeekPicks(state, zimmerText);
    state.reset();
    return result;
}

QString AuswahlText(const PickState &state)
{
    if (state.empty())
        return {};
    return QStringLiteral("Auswahl: Zimmer %1, %2 bis %3")
        .arg(state.room())
        .arg(platform::DateToStr(state.first()), platform::DateToStr(state.last()));
}

platform::TDateTime KalenderStarttag(platform::TDateTime today)
{
    return platform::EncodeDate(platform::YearOf(today), 1, 1) + kTageVorStarttag;
}

QString AuswahlErsetzenFrage(const TGast &gast, const PickResult &ersetzen, const PickResult &hinzufuegen)
{
    const auto stay = [](const QString &zimmer, platform::TDateTime von, platform::TDateTime bis) {
        return QStringLiteral("Zimmer %1, %2 bis %3")
            .arg(zimmer.isEmpty() ? QStringLiteral("-") : zimmer, platform::DateToStr(von), platform::DateToStr(bis));
    };
    QString alt =
        QStringLiteral("Zimmer %1, %2").arg(gast.Zimmer.isEmpty() ? QStringLiteral("-") : gast.Zimmer, StayText(gast));
    if (gast.ReNr != 0)
        alt += QStringLiteral(" (Rechnung Nr. %1 ist schon ausgestellt)").arg(gast.ReNr);
    return QStringLiteral("%1 hat schon eine Buchung: %2.\n\n"
                          "„Ersetzen“ ändert sie in: %3.\n"
                          "„Hinzufügen“ nimmt das Zimmer dazu: %4.")
        .arg(GuestName(gast), alt, stay(ersetzen.Zimmer, ersetzen.Von, ersetzen.Bis),
             stay(hinzufuegen.Zimmer, hinzufuegen.Von, hinzufuegen.Bis));
}

QString KurzName(const TGast &gast)
{
    constexpr qsizetype kLetters = 6;
    QString name = gast.Name.simplified();
    if (name.isEmpty())
        return QStringLiteral("Gast %1").arg(gast.GastNr);
    // "Weiß, Jürgen" names the family first; otherwise the family name comes last.
    const qsizetype comma = name.indexOf(u',');
    if (comma > 0)
        name = name.left(comma).trimmed();
    else
        name = name.section(u' ', -1);
    return name.left(kLetters);
}

namespace {

// The days two records both hold a room, by calendar day: [first, last]; empty when first > last.
std::pair<platform::TDateTime, platform::TDateTime> CommonDays(const Stay &a, const Stay &b)
{
    return {std::max(platform::DateOf(a.Von), platform::DateOf(b.Von)),
            std::min(platform::DateOf(a.Bis), platform::DateOf(b.Bis))};
}

bool ShareNightOnCommonDays(const Stay &a, const Stay &b)
{
    if (!std::isfinite(a.Von) || !std::isfinite(a.Bis) || !std::isfinite(b.Von) || !std::isfinite(b.Bis))
        return false;
    const auto [first, last] = CommonDays(a, b);
    if (first < last)
        return true; // the night after the first common day belongs to both stays
    return first == last && SharesNight(a, b, first);
}

QString PlainName(const TGast &gast)
{
    const QString name = gast.Name.simplified();
    return name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr) : name;
}

} // namespace

bool TeilenEinZimmer(const TGast &a, const TGast &b)
{
    return (RoomMask(a.Zimmer) & RoomMask(b.Zimmer)) != 0 && ShareNightOnCommonDays(StayOf(a), StayOf(b));
}

QString DoppelbelegungText(const Occupants &occupants, int index)
{
    const std::vector<TGast> &list = occupants.bookings();
    if (index <= 0 || index >= static_cast<int>(list.size()))
        return {};
    const Stay stay = StayOf(list[static_cast<std::size_t>(index)]);
    QStringList lines;
    const auto line = [&lines](int room, const Stay &a, const Stay &b, const QString &other) {
        const auto [first, last] = CommonDays(a, b);
        lines << QStringLiteral("Doppelbelegung: Zimmer %1, %2 bis %3 auch %4")
                     .arg(room)
                     .arg(platform::DateToStr(first), platform::DateToStr(last), other);
    };
    for (const int room : RoomsOf(list[static_cast<std::size_t>(index)].Zimmer)) {
        const unsigned bit = 1u << (room - 1);
        for (std::size_t i = 1; i < list.size(); ++i) {
            const TGast &other = list[i];
            if (static_cast<int>(i) != index && (RoomMask(other.Zimmer) & bit) &&
                ShareNightOnCommonDays(stay, StayOf(other)))
                line(room, stay, StayOf(other), PlainName(other));
        }
        for (const PortalBlock &block : occupants.blocks()) {
            if ((BlockRoomMask(block) & bit) && ShareNightOnCommonDays(stay, StayOf(block)))
                line(room, stay, StayOf(block), BlockName(block));
        }
    }
    return lines.join(u'\n');
}

std::vector<int> DoppeltBelegteZimmer(const Occupants &occupants, int index, platform::TDateTime tag)
{
    const std::vector<TGast> &list = occupants.bookings();
    std::vector<int> rooms;
    if (index <= 0 || index >= static_cast<int>(list.size()))
        return rooms;
    const TGast &gast = list[static_cast<std::size_t>(index)];
    const Stay stay = StayOf(gast);
    const platform::TDateTime day = platform::DateOf(tag);
    for (const int room : RoomsOf(gast.Zimmer)) {
        const unsigned bit = 1u << (room - 1);
        bool shared = false;
        for (std::size_t i = 1; i < list.size() && !shared; ++i)
            shared = static_cast<int>(i) != index && (RoomMask(list[i].Zimmer) & bit) &&
                     SharesNight(stay, StayOf(list[i]), day);
        for (const PortalBlock &block : occupants.blocks())
            shared = shared || ((BlockRoomMask(block) & bit) && SharesNight(stay, StayOf(block), day));
        if (shared)
            rooms.push_back(room);
    }
    return rooms;
}

bool IsMarkedDay(platform::TDateTime day, qint32 plz)
{
    if (!platform::IsCalendarDay(day))
        return false;
    if (platform::DayOfWeek(day) == 1)
        return true;
    // Painting must not throw; a day the holiday table cannot place is simply not marked.
    try {
        return De_Feiertage::IstFeiertag(plz, day);
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace calendar
