#include "platform/Convert.h"

#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace platform {

EConvertError::EConvertError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EConvertError::message() const
{
    return QString::fromUtf8(what());
}

namespace {

QString quoted(const QString &text, const char *rest)
{
    return QStringLiteral("'%1' %2").arg(text, QString::fromUtf8(rest));
}

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The order of day, month and year in the short date format, e.g. "dMy" or "Mdy".
QString dateOrder(const QString &format)
{
    QString order;
    for (const QChar c : format)
        if ((c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    return order.size() == 3 ? order : QStringLiteral("dMy");
}

int widenYear(int year, int digits)
{
    if (digits > 2)
        return year;
    // Two-digit years lie within fifty years of today, as the desktop reads them.
    const int thisYear = Clock::now().date().year();
    int full = thisYear / 100 * 100 + year;
    if (full > thisYear + 50)
        full -= 100;
    else if (full <= thisYear - 50)
        full += 100;
    return full;
}

} // namespace

QString DateToStr(TDateTime day)
{
    return DayToDate(day).toString(Regional().shortDateFormat);
}

QString TimeToStr(TDateTime day)
{
    return FractionToTime(day).toString(Regional().longTimeFormat);
}

bool TryStrToDate(const QString &text, TDateTime &day)
{
    const RegionalSettings &r = Regional();
    const QStringList parts = text.trimmed().split(r.dateSeparator);
    if (parts.size() != 3)
        return false;
    const QString order = dateOrder(r.shortDateFormat);
    int d = 0, m = 0, y = 0;
    for (int i = 0; i < 3; ++i) {
        const QString part = parts.at(i).trimmed();
        if (!allDigits(part) || part.size() > 4)
            return false;
        const int v = part.toInt();
        switch (order.at(i).unicode()) {
        case u'd': d = v; break;
        case u'M': m = v; break;
        default: y = widenYear(v, static_cast<int>(part.size())); break;
        }
    }
    const QDate date(y, m, d);
    if (!date.isValid() || y < 1)
        return false;
    day = DateToDay(date);
    return true;
}

TDateTime StrToDate(const QString &text)
{
    TDateTime day = 0;
    if (!TryStrToDate(text, day))
        throw EConvertError(quoted(text, "ist kein gültiges Datum"));
    return day;
}

bool TryStrToTime(const QString &text, TDateTime &time)
{
    QString s = text.trimmed();
    int addHours = 0;
    bool twelveHour = false;
    if (s.endsWith(QStringLiteral("AM"), Qt::CaseInsensitive) ||
        s.endsWith(QStringLiteral("PM"), Qt::CaseInsensitive)) {
        twelveHour = true;
        addHours = s.endsWith(QStringLiteral("PM"), Qt::CaseInsensitive) ? 12 : 0;
        s.chop(2);
        s = s.trimmed();
    }
    const QStringList parts = s.split(Regional().timeSeparator);
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!allDigits(parts.at(i)) || parts.at(i).size() > 2)
            return false;
        values[i] = parts.at(i).toInt();
    }
    int hours = values[0];
    if (twelveHour) {
        if (hours < 1 || hours > 12)
            return false;
        hours = hours % 12 + addHours;
    }
    const QTime t(hours, values[1], values[2]);
    if (!t.isValid())
        return false;
    time = TimeToFraction(t);
    return true;
}

TDateTime StrToTime(const QString &text)
{
    TDateTime time = 0;
    if (!TryStrToTime(text, time))
        throw EConvertError(quoted(text, "ist keine gültige Uhrzeit"));
    return time;
}

bool TryStrToInt(const QString &text, qint32 &value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<qint32>::max())
        return false;
    value = static_cast<qint32>(result);
    return true;
}

qint32 StrToInt(const QString &text)
{
    qint32 value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(quoted(text, "ist kein gültiger Integerwert"));
    return value;
}

bool TryStrToFloat(const QString &text, double &value)
{
    QString s = text.trimmed();
    const QChar sep = Regional().decimalSeparator;
    if (sep != u'.') {
        if (s.contains(u'.'))
            return false; // the regional separator is the only decimal point
        s.replace(sep, u'.');
    }
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (!(c.isDigit() || c == u'.' || c == u'+' || c == u'-' || c == u'e' || c == u'E'))
            return false;
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool StrToBool(const QString &text)
{
    double number = 0;
    if (TryStrToFloat(text, number))
        return number != 0;
    if (text.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    throw EConvertError(quoted(text, "ist kein gültiger boolescher Wert"));
}

QString BoolToStr(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString FormatFixed(double value, int width, int decimals)
{
    QString s = QString::asprintf("%*.*f", width, decimals, value);
    s.replace(u'.', Regional().decimalSeparator);
    return s;
}

} // namespace platform
