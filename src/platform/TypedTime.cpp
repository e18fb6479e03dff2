#include "platform/TypedTime.h"

#include "platform/Convert.h"

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

} // namespace platform
