#pragma once
// A room taken on a booking portal: read from the portal's calendar, kept apart from the guests
// and never a record of the guest list, but the house's rooms are just as taken.

#include "platform/DayNumber.h"

#include <QDateTime>
#include <QString>

namespace guests {

struct PortalBlock
{
    int room = 0;                 // 1..3
    platform::TDateTime from = 0; // the first night taken (a whole day)
    platform::TDateTime to = 0;   // the day the room is free again, as a guest's departure
    QString subscription;         // the subscription's name ("Portal A")
    QString uid;                  // the event's identity in the portal's calendar
    QString summary;              // the event's text as the portal wrote it
    QDateTime lastSeen;           // when a fetch last found it in the calendar

    bool operator==(const PortalBlock &) const = default;
};

} // namespace guests
