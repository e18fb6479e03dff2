#pragma once
// Times as a host types them into a time field: "15:00", "15:00:30", "1530", "930" or "15".

#include "platform/DayNumber.h"

#include <QStringView>

namespace platform {

// One or two digits are the hour, three or four digits are hours and minutes without a separator;
// anything else is read as a time with the regional separator. False when no time of day results.
bool TryTypedTime(QStringView text, TDateTime &time);

} // namespace platform
