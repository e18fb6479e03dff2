#pragma once
// Reading the calendars booking portals publish (iCalendar, RFC 5545, as they write it): which
// days a room is taken there. Only the days count; what a portal says about its guest is not kept
// beyond the event's summary.

#include "platform/DayNumber.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <vector>

namespace exchange {

// A calendar that cannot be read at all: not a calendar, too large, cut off, binary. The text
// says why in German.
class ECalendarError : public platform::Error
{
public:
    using platform::Error::Error;
};

// One event that holds the room: the night of `firstNight` is the first one taken, `departure`
// the day it is free again (a later day than firstNight).
struct PortalEvent
{
    QString uid;
    QString summary;
    platform::TDateTime firstNight = 0;
    platform::TDateTime departure = 0;
    QString status; // "CONFIRMED", "TENTATIVE" or empty as the portal wrote it
};

struct CalendarLimits
{
    qsizetype maxBytes = 10 * 1024 * 1024;
    int maxEvents = 20000;
    // Times of day are converted to the house's zone before the day is taken.
    QTimeZone houseZone = QTimeZone::systemTimeZone();
};

struct PortalCalendar
{
    std::vector<PortalEvent> events; // in the order of the file
    QStringList notes;               // German notes on what was left out and why
    int eventCount = 0;              // the events of the file, read or not
    int unreadable = 0;              // events left out because they could not be read (no cancelled ones)
};

// Reads a calendar. Lines may be folded (a line break followed by a blank or TAB), end in CR LF
// or LF. Dates may be all-day (the end day is the departure day), times in UTC, with a TZID or
// floating; an event without an end lasts one day; DURATION counts from the start. Cancelled
// events are left out; a repetition rule is not followed (the first date counts, with a note).
// Texts are UTF-8; bytes that are no UTF-8 are read as Windows-1252 with a note.
// Refused with ECalendarError: more than limits.maxBytes bytes or limits.maxEvents events, NUL
// bytes, no BEGIN:VCALENDAR, and a calendar without END:VCALENDAR: a download that was cut off
// would otherwise look as if the events after the cut had been released.
PortalCalendar readCalendar(const QByteArray &bytes, const CalendarLimits &limits = {});

// Whether a summary matches one of the host's patterns (case ignored; "*" stands for any text,
// else the pattern may stand anywhere in the summary). Empty patterns match nothing.
bool matchesSummaryFilter(const QString &summary, const QStringList &patterns);

// The events whose summary matches none of the patterns.
std::vector<PortalEvent> withoutFiltered(const std::vector<PortalEvent> &events, const QStringList &patterns);

} // namespace exchange
