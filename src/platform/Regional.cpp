#include "platform/Regional.h"

#include <QRegularExpression>
#include <optional>

namespace platform {

namespace {

std::optional<RegionalSettings> &current()
{
    static std::optional<RegionalSettings> settings;
    return settings;
}

QChar firstSeparator(const QString &format, const QString &fieldLetters, QChar fallback)
{
    for (const QChar c : format)
        if (!fieldLetters.contains(c) && c != u'\'')
            return c;
    return fallback;
}

} // namespace

RegionalSettings SettingsFromLocale(const QLocale &locale)
{
    RegionalSettings s;
    s.shortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    // Qt writes two year digits ("dd.MM.yy"); the desktop and the guest file use four.
    static const QRegularExpression years(QStringLiteral("y+"));
    s.shortDateFormat.replace(years, QStringLiteral("yyyy"));
    s.dateSeparator = firstSeparator(s.shortDateFormat, QStringLiteral("dMy"), u'.');

    s.longTimeFormat = locale.timeFormat(QLocale::LongFormat);
    // A time zone has no place in a stored time of day.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    s.longTimeFormat.replace(zone, QString());
    s.longTimeFormat = s.longTimeFormat.trimmed();
    s.timeSeparator = firstSeparator(s.longTimeFormat, QStringLiteral("hHmsaApPz "), u':');

    const QString decimal = locale.decimalPoint();
    s.decimalSeparator = decimal.isEmpty() ? u'.' : decimal.at(0);
    return s;
}

const RegionalSettings &Regional()
{
    if (!current())
        current() = SettingsFromLocale(QLocale::system());
    return *current();
}

void SetRegional(const QLocale &locale)
{
    current() = SettingsFromLocale(locale);
}

void SetRegional(const RegionalSettings &settings)
{
    current() = settings;
}

RegionalSettings GermanSettings()
{
    return {QStringLiteral("dd.MM.yyyy"), u'.', QStringLiteral("HH:mm:ss"), u':', u','};
}

} // namespace platform
