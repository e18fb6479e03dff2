#include "platform/TypedTime.h"

#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QTime>

namespace platform {

bool TryTypedTime(QStringView text, TDateTime &time)
{
    const QStringView s = text.trimmed();
    bool digitsOnly = !s.isEmpty();
    for (const QChar c : s)
        digitsOnly = digitsOnly && c >= u'0' && c <= u'9';
    if (!digitsOnly || s.size() > 4)
        return TryStrToTime(s, time);
    const int value = s.toInt();
    const int hours = s.size() <= 2 ? value : value / 100;
    const int minutes = s.size() <= 2 ? 0 : value % 100;
    const QTime t(hours, minutes);
    if (!t.isValid())
        return false;
    time = TimeToFraction(t);
    return true;
}

bool TryTypedDate(QStringView text, TDateTime &day)
{
    const RegionalSettings &r = Regional();
    const QStringView s = text.trimmed();
    // The year's place among the parts, as the regional format orders them.
    const qsizetype yearAt = r.shortDateFormat.indexOf(u'y');
    if (yearAt < 0)
        return false;
    const qsizetype yearPart = QStringView(r.shortDateFormat).left(yearAt).count(r.dateSeparator);
    const QList<QStringView> parts = s.split(r.dateSeparator);
    if (parts.size() != 3)
        return false;
    const qsizetype digits = parts[yearPart].trimmed().size();
    if (digits != 2 && digits != 4)
        return false;
    return TryStrToDate(s, day);
}

} // namespace platform
