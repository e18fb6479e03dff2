#include "platform/Clock.h"

namespace platform {

std::optional<QDateTime> &Clock::fixed()
{
    static std::optional<QDateTime> moment;
    return moment;
}

QDateTime Clock::now()
{
    return fixed() ? *fixed() : QDateTime::currentDateTime();
}

void Clock::fix(const QDateTime &moment)
{
    fixed() = moment;
}

void Clock::release()
{
    fixed().reset();
}

TDateTime Now()
{
    const QDateTime moment = Clock::now();
    return DateToDay(moment.date()) + TimeToFraction(moment.time());
}

TDateTime Today()
{
    return DateToDay(Clock::now().date());
}

} // namespace platform
