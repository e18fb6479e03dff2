#include "platform/Convert.h"

#include "platform/Clock.h"
#include "platform/Regional.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace platform {

namespace {

QString quoted(const QString &text, const char *rest)
{
    // A field of a damaged file may be megabytes long; quoted whole it would make an error box
    // that takes minutes to lay out. Its start is enough to find it.
    constexpr qsizetype kShown = 60;
    QString shown = text;
    if (shown.size() > kShown) {
        shown.truncate(shown.at(kShown - 1).isHighSurrogate() ? kShown - 1 : kShown);
        shown += u'…';
    }
    // The message travels as a C string, so a NUL would cut off its reason; other control
    // characters would not show. Both appear as the replacement mark.
    for (QChar &c : shown)
        if (c.unicode() < 32)
            c = QChar(QChar::ReplacementCharacter);
    return QStringLiteral("'%1' %2").arg(shown, QString::fromUtf8(rest));
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

// The order of day, month and year in the short date format, e.g. "dMy" or "Mdy". Built without
// allocating, since the guest file reads two dates per line.
std::array<char16_t, 3> dateOrder(QStringView format)
{
    std::array<char16_t, 3> order{};
    std::size_t found = 0;
    for (const QChar c : format) {
        const char16_t u = c.unicode();
        if ((u == u'd' || u == u'M' || u == u'y') &&
            std::find(order.begin(), order.begin() + found, u) == order.begin() + found)
            order[found++] = u;
    }
    return found == 3 ? order : std::array<char16_t, 3>{u'd', u'M', u'y'};
}

// Cuts a text at each separator as QString::split does (empty parts kept) into at most `max`
// parts; returns the number of parts, or max + 1 when there are more.
qsizetype splitParts(QStringView text, QChar separator, QStringView *parts, qsizetype max)
{
    qsizetype count = 0;
    qsizetype start = 0;
    for (;;) {
        // A plain loop: the texts are a few characters long.
        qsizetype at = start;
        while (at < text.size() && text.at(at) != separator)
            ++at;
        if (at == text.size())
            at = -1;
        if (count == max)
            return max + 1;
        parts[count++] = at < 0 ? text.sliced(start) : text.sliced(start, at - start);
        if (at < 0)
            return count;
        start = at + 1;
    }
}

// The value of a text of at most four ASCII digits (checked by the caller).
int digitsValue(QStringView digits)
{
    int value = 0;
    for (const QChar c : digits)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

// A non-negative number with leading zeros up to `width` digits.
void appendNumber(QString &out, int value, qsizetype width)
{
    char16_t digits[16];
    qsizetype n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value > 0 && n < 10);
    while (n < width && n < 16)
        digits[n++] = u'0';
    std::reverse(digits, digits + n);
    out.append(QStringView(digits, n));
}

// Writes a date or time by a format made only of number fields and characters other than letters
// and quotes, as QDate/QTime::toString would; false for any other format, which is left to Qt.
// `number` gives the text of a field letter repeated `run` times, or false when it has none.
template <typename Number> bool formatNumbersOnly(QStringView format, QString &out, Number number)
{
    out.reserve(format.size() + 4);
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c.isLetter()) {
            if (!number(c.unicode(), run, out))
                return false;
        } else if (c == u'\'') {
            return false;
        } else {
            out.append(format.sliced(i, run));
        }
        i += run;
    }
    return true;
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
    // No date for what is no calendar day, as Qt writes an invalid date.
    if (!IsCalendarDay(day))
        return {};
    const QDate date = DayToDate(day);
    const QString &format = Regional().shortDateFormat;
    // Qt's general formatter is slow for the thousands of dates of a guest file; the usual short
    // formats are only numbers and separators. Four-digit years only: Qt pads and signs others.
    if (date.isValid() && date.year() >= 1000 && date.year() <= 9999) {
        QString text;
        const bool done = formatNumbersOnly(format, text, [&date](char16_t letter, qsizetype run, QString &out) {
            if ((letter == u'd' || letter == u'M') && run <= 2)
                appendNumber(out, letter == u'd' ? date.day() : date.month(), run);
            else if (letter == u'y' && (run == 2 || run == 4))
                appendNumber(out, run == 4 ? date.year() : date.year() % 100, run);
            else
                return false;
            return true;
        });
        if (done)
            return text;
    }
    return date.toString(format);
}

QString TimeToStr(TDateTime day)
{
    const QTime time = FractionToTime(day);
    const QString &format = Regional().longTimeFormat;
    // As for dates; a format with an AM/PM marker or milliseconds is left to Qt.
    QString text;
    const bool done = formatNumbersOnly(format, text, [&time](char16_t letter, qsizetype run, QString &out) {
        if (run > 2)
            return false;
        if (letter == u'h' || letter == u'H')
            appendNumber(out, time.hour(), run);
        else if (letter == u'm')
            appendNumber(out, time.minute(), run);
        else if (letter == u's')
            appendNumber(out, time.second(), run);
        else
            return false;
        return true;
    });
    return done ? text : time.toString(format);
}

bool TryStrToDate(const QString &text, TDateTime &day)
{
    return TryStrToDate(QStringView(text), day);
}

namespace {

// A date of three numbers in the given order with the given separator.
bool readDate(QStringView text, QChar separator, const std::array<char16_t, 3> &order, TDateTime &day)
{
    // Views into the text, not copies: the guest file reads two dates on every line.
    QStringView parts[3];
    if (splitParts(text.trimmed(), separator, parts, 3) != 3)
        return false;
    int d = 0, m = 0, y = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const QStringView part = parts[i].trimmed();
        if (!allDigits(part) || part.size() > 4)
            return false;
        const int v = digitsValue(part);
        switch (order[i]) {
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

} // namespace

bool TryStrToDate(QStringView text, TDateTime &day)
{
    const RegionalSettings &r = Regional();
    return readDate(text, r.dateSeparator, dateOrder(r.shortDateFormat), day);
}

bool TryGermanStrToDate(QStringView text, TDateTime &day)
{
    // Only four-digit years: a German date in a file never has fewer, and "1.2.25" could be
    // another order's two-digit year.
    const QStringView trimmed = text.trimmed();
    const qsizetype lastDot = trimmed.lastIndexOf(u'.');
    if (lastDot < 0 || trimmed.size() - lastDot - 1 != 4)
        return false;
    return readDate(trimmed, u'.', {u'd', u'M', u'y'}, day);
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
    return TryStrToTime(QStringView(text), time);
}

namespace {

bool readTime(QStringView text, QChar separator, TDateTime &time)
{
    QStringView s = text.trimmed();
    int addHours = 0;
    bool twelveHour = false;
    // Looked at the last letter first: most times have no marker, and the guest file reads two a line.
    const bool marked = !s.isEmpty() && (s.back() == u'M' || s.back() == u'm');
    if (marked && (s.endsWith(u"AM", Qt::CaseInsensitive) || s.endsWith(u"PM", Qt::CaseInsensitive))) {
        twelveHour = true;
        addHours = s.endsWith(u"PM", Qt::CaseInsensitive) ? 12 : 0;
        s.chop(2);
        s = s.trimmed();
    }
    QStringView parts[3];
    const qsizetype count = splitParts(s, separator, parts, 3);
    if (count < 2 || count > 3)
        return false;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < count; ++i) {
        if (!allDigits(parts[i]) || parts[i].size() > 2)
            return false;
        values[i] = digitsValue(parts[i]);
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

} // namespace

bool TryStrToTime(QStringView text, TDateTime &time)
{
    return readTime(text, Regional().timeSeparator, time);
}

bool TryGermanStrToTime(QStringView text, TDateTime &time)
{
    return readTime(text, u':', time);
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
    return TryStrToInt(QStringView(text), value);
}

bool TryStrToInt(QStringView text, qint32 &value)
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
