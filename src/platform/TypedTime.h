#pragma once
// Dates and times as a host types them into a field: "15.3.27" or "15.03.2027"; "15:00",
// "15:00:30", "1530", "930" or "15".

#include "platform/DayNumber.h"

#include <QStringView>

namespace platform {

// One or two digits are the hour, three or four digits are hours and minutes without a separator;
// anything else is read as a time with the regional separator. False when no time of day results.
bool TryTypedTime(QStringView text, TDateTime &time);

// A date in the regional short format whose year has two digits (widened as the guest file does) or
// four. A year of one or three digits is one the host has not finished typing, so it is no date.
bool TryTypedDate(QStringView text, TDateTime &day);

} // namespace platform
