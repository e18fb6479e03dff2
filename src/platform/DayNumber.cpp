#include "platform/DayNumber.h"

#include "platform/Convert.h"
#include "platform/Error.h"

#include <cmath>
#include <stdexcept>

namespace platform {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 24.0 * 60 * 60 * 1000;
} // namespace

TDateTime DateToDay(const QDate &date)
{
    return static_cast<double>(kEpoch.daysTo(date));
}

bool IsCalendarDay(TDateTime day)
{
    // 1 January 1 and 31 December 9999; a time of day on the last day still belongs to it.
    constexpr double kFirst = -693593;
    constexpr double kLast = 2958465;
    return day > kFirst - 1 && day < kLast + 1;
}

QDate DayToDate(TDateTime day)
{
    // Turning NaN, an infinity or a number beyond 64 bits into a whole number is undefined, and
    // a date beyond the year 9999 is nothing the program can show or write.
    if (!IsCalendarDay(day))
        throw EConvertError(std::isnan(day)
                                ? QStringLiteral("Die Tageszahl ist keine Zahl: sie ergibt kein Datum")
                                : QStringLiteral("Die Tageszahl %1 ergibt kein Datum zwischen den Jahren 1 und 9999")
                                      .arg(QString::number(day, 'g', 17)));
    return kEpoch.addDays(static_cast<qint64>(std::trunc(day)));
}

TDateTime TimeToFraction(const QTime &time)
{
    return time.msecsSinceStartOfDay() / kMsPerDay;
}

QTime FractionToTime(TDateTime day)
{
    double fraction = std::fabs(day - std::trunc(day));
    auto ms = static_cast<int>(std::llround(fraction * kMsPerDay));
    if (ms >= static_cast<int>(kMsPerDay))
        ms = static_cast<int>(kMsPerDay) - 1;
    return QTime::fromMSecsSinceStartOfDay(ms);
}

TDateTime EncodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (year < 1 || year > 9999)
        throw EDateRangeError(
            QStringLiteral("Ein Datum muss in den Jahren 1 bis 9999 liegen (nicht im Jahr %1).").arg(year));
    if (!date.isValid())
        throw EDateRangeError(QStringLiteral("Den %1.%2.%3 gibt es nicht.").arg(day).arg(month).arg(year));
    return DateToDay(date);
}

int DayOfWeek(TDateTime day)
{
    return DayToDate(day).dayOfWeek() % 7 + 1;
}

int YearOf(TDateTime day)
{
    return DayToDate(day).year();
}

bool IsSameDay(TDateTime a, TDateTime b)
{
    return std::trunc(a) == std::trunc(b);
}

TDateTime DateOf(TDateTime day)
{
    return std::trunc(day);
}

} // namespace platform
