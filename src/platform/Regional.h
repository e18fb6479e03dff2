#pragma once
// The user's regional settings, read once from the system locale: dates, times and decimal
// numbers are written and read with them on screen and in the guest file alike.

#include <QChar>
#include <QLocale>
#include <QString>

namespace platform {

struct RegionalSettings
{
    QString shortDateFormat; // Qt date format, always with a four-digit year ("dd.MM.yyyy")
    QChar dateSeparator;     // the separator of the short date format ('.')
    QString longTimeFormat;  // Qt time format without a time zone ("HH:mm:ss")
    QChar timeSeparator;     // ':'
    QChar decimalSeparator;  // ','
};

// Derives the settings from a locale (the short date widened to four year digits, the zone dropped).
RegionalSettings SettingsFromLocale(const QLocale &locale);

// The settings in force; taken from QLocale::system() on first use.
const RegionalSettings &Regional();
// Replaces the settings in force (tests use a fixed German or US locale).
void SetRegional(const QLocale &locale);
void SetRegional(const RegionalSettings &settings);

// The German formats: "dd.MM.yyyy", "HH:mm:ss" and the decimal comma. The guest file falls back on
// them where the regional ones do not read back, and they are read under any settings.
RegionalSettings GermanSettings();

} // namespace platform
