#include "calendar/RoomCalendar.h"

#include "platform/Convert.h"
#include "register/StayText.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// How a booking stands to one day of its stay; two bookings share the night unless one of them
// leaves that day and the other arrives.
enum Phase : int { kMitte = 0, kAnreise = 1, kAbreise = 2, kAnUndAb = 3, kPhasen = 4 };

bool IsArrival(const TGast &gast, platform::TDateTime Datum)
{
    return platform::IsSameDay(gast.Von, Datum);
}
bool IsDeparture(const TGast &gast, platform::TDateTime Datum)
{
    return platform::IsSameDay(gast.Bis, Datum);
}

Phase PhaseOf(const TGast &gast, platform::TDateTime Datum)
{
    const bool an = IsArrival(gast, Datum);
    const bool ab = IsDeparture(gast, Datum);
    return an ? (ab ? kAnUndAb : kAnreise) : (ab ? kAbreise : kMitte);
}

bool PhasesShareNight(Phase a, Phase b)
{
    return a == kMitte || b == kMitte || (a == b && a != kAnUndAb);
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

// Days outside the years 1..9999 have no date to show.
bool HasCalendarDate(platform::TDateTime day)
{
    static const platform::TDateTime first = platform::DateToDay(QDate(1, 1, 1));
    static const platform::TDateTime last = platform::DateToDay(QDate(9999, 12, 31));
    return std::isfinite(day) && day >= first && day < last + 1;
}

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
    return gast.Von <= Datum && Datum <= gast.Bis;
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
    if (!Belegt(a, Datum) || !Belegt(b, Datum))
        return false;
    return PhasesShareNight(PhaseOf(a, Datum), PhaseOf(b, Datum));
}

std::vector<CalendarRow> ZeigGridRows(const std::vector<TGast> &list, platform::TDateTime Starttag, int rowCount)
{
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
            const Phase phase = PhaseOf(gast, *it);
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
        if (HasCalendarDate(row.day)) {
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
                row.rooms[k].clash = true;
                row.rooms[k].clashHint = ClashHint(list, cell.shown, ClashPartner(cell));
            }
        }
    }
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

QString AuswahlErsetzenFrage(const TGast &gast, const PickResult &neu)
{
    const QString alt =
        QStringLiteral("Zimmer %1, %2").arg(gast.Zimmer.isEmpty() ? QStringLiteral("-") : gast.Zimmer, StayText(gast));
    const QString neuText = QStringLiteral("Zimmer %1, %2 bis %3")
                                .arg(neu.Zimmer, platform::DateToStr(neu.Von), platform::DateToStr(neu.Bis));
    return QStringLiteral("%1 hat schon eine Buchung: %2.\nDurch die Auswahl ersetzen: %3?")
        .arg(GuestName(gast), alt, neuText);
}
