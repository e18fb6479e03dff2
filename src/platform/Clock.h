#pragma once
// "Now" for the whole program. Tests fix it so that dates like "today" are reproducible.

#include "platform/DayNumber.h"

#include <QDateTime>
#include <optional>

namespace platform {

class Clock
{
public:
    static QDateTime now();
    // Until release(), now() answers this moment.
    static void fix(const QDateTime &moment);
    static void release();

private:
    static std::optional<QDateTime> &fixed();
};

// The present moment as a day number (with the time of day) and today as a whole day.
TDateTime Now();
TDateTime Today();

} // namespace platform
