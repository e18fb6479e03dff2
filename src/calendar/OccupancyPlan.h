#pragma once
// The occupancy plan without any widgets: where each booking's bar lies in a span of days, which
// bars are double bookings and where they overlap, and what each day of the span is (weekend,
// holiday, first of a month). Positions are counted in days from the span's first day (its left
// edge is 0, the first day's middle 0.5); the window and the printout scale them to pixels.
//
// A guest arrives and leaves around midday, so a bar runs from the middle of the arrival day to
// the middle of the departure day: on a changeover day the leaving guest fills the left half and
// the arriving one the right half. A visit without a night (arrival and departure on one day)
// fills the middle half of its day.

#include "calendar/Occupants.h"
#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QString>

#include <optional>
#include <vector>

namespace calendar {

// How far a booking's bill has come; the plan colours bars by it.
enum class PlanZustand {
    Bezahlt,     // paid (with or without an invoice)
    Berechnet,   // an invoice is issued and not yet paid
    OhneRechnung // no invoice yet
};

PlanZustand ZustandOf(const guests::TGast &gast);

struct PlanBar
{
    int record = 0; // index in the guest list
    int room = 0;   // 1..3
    // Visible extent in days from the span's first day, cut to the span.
    double start = 0;
    double end = 0;
    bool beginsBefore = false; // the stay began before the span, so the bar is cut at the left
    bool endsAfter = false;    // and it goes on after the span
    // Bars of one room that overlap are drawn one above the other: this bar's lane of `lanes`.
    int lane = 0;
    int lanes = 1;
    PlanZustand zustand = PlanZustand::OhneRechnung;
    // The booking shares a night in this room with another one: `partner` is one of those.
    bool doppelt = false;
    int partner = 0;
    QString label; // "Anna Müller (2 P.)"
    // A portal block's bar (drawn grey) carries the block's index and no record; -1 for a booking.
    int block = -1;
    int partnerBlock = -1; // the block a booking's bar shares a night with, when `partner` is none
};

// Where two bookings of a room overlap; the plan hatches it.
struct PlanOverlap
{
    int room = 0;
    double start = 0;
    double end = 0;
};

struct PlanDay
{
    platform::TDateTime day = 0;
    int dayOfMonth = 0;
    int dayOfWeek = 0; // 1 = Sunday ... 7 = Saturday
    bool samstag = false;
    bool sonnOderFeiertag = false;
    QString feiertag; // the holiday's name, or empty
};

struct PlanMonth
{
    int firstIndex = 0; // index of its first shown day in the span
    int days = 0;       // how many of its days are shown
    int month = 0;
    int year = 0;
};

struct PlanGeometry
{
    platform::TDateTime first = 0; // the span's first day
    int days = 0;
    std::vector<PlanDay> dayInfo;
    std::vector<PlanMonth> months;
    std::vector<PlanBar> bars; // by room, then by start
    std::vector<PlanOverlap> overlaps;
    std::optional<double> now; // the present moment's position, when it lies in the span
};

// The plan of `days` days from `first` (a whole day) for the bookings (record 0 never shows) and
// the portal blocks, with the public holidays of postal code `plz` and the present moment `now`.
// A block's bar ("belegt über Portal A") carries `block` and no record; blocks take lanes and make
// double bookings exactly as bookings do, and a partner is a booking before it is a block.
PlanGeometry Belegungsplan(const Occupants &occupants, platform::TDateTime first, int days, platform::TDateTime now,
                           qint32 plz);

// The German name of a month 1..12 ("März"), and its short form ("Mär").
QString MonatsName(int month);
QString MonatsKurzname(int month);

// The span's name for the window's title and the printout: "Februar 2025" for a whole month,
// "2025" for a whole year, else "17.02.2025 bis 02.03.2025".
QString ZeitraumText(platform::TDateTime first, int days);

// The tooltip of a bar: guest, stay with its nights, rooms, persons, cost, invoice and, for a
// double booking, the other side, guest or portal ("Doppelbelegung in Zimmer 1 mit Portal A"); a
// block's bar as blockTooltip says it.
QString PlanTooltip(const Occupants &occupants, const PlanBar &bar);

// The last day a stay in `room` from `anchor` may reach on the way to `target` (either side of it)
// without sharing a night with a booking or block of that room: a drag across the plan stops
// there. A stay may begin on the day another leaves and end on the day another arrives.
platform::TDateTime FreierTag(const Occupants &occupants, int room, platform::TDateTime anchor,
                              platform::TDateTime target);

// The span the plan shows on "Heute": the current month from its first day while today lies well
// inside the span, else a span that starts a few days before today.
platform::TDateTime HeuteStart(platform::TDateTime today, int days);

// The first days the plan's scroll bar reaches, for a plan that shows `days` days from `first`:
// a good while (kPlanRandTage) beyond the bookings, and beyond today, in both directions; never
// so that the span shown now falls outside. Only a booking with a room and sane dates counts.
struct PlanScrollRange
{
    int lowest = 0;
    int highest = 0;

    bool operator==(const PlanScrollRange &) const = default;
};
PlanScrollRange planScrollRange(const std::vector<guests::TGast> &list, platform::TDateTime today,
                                platform::TDateTime first, int days);
inline constexpr int kPlanRandTage = 366;

// Zoom limits of the plan, in days shown.
inline constexpr int kPlanMinTage = 14;
inline constexpr int kPlanMaxTage = 366;

} // namespace calendar
