#pragma once
// Text conversions with the regional settings. A text that cannot be converted raises
// EConvertError with the German message the user sees; it quotes at most the first 60
// characters of the text, control characters as U+FFFD.

#include "platform/DayNumber.h"

#include "platform/Error.h"

#include <QString>

namespace platform {

class EConvertError : public Error
{
public:
    using Error::Error;
};

// Day number to text in the short date format (the date only).
QString DateToStr(TDateTime day);
// Time of day (the fraction of a day number) to text in the long time format.
QString TimeToStr(TDateTime day);

// Reads a date in the order and with the separator of the short date format; leading zeros
// and one- or two-digit day and month are optional ("1.1.2025" and "01.01.2025").
TDateTime StrToDate(const QString &text);
bool TryStrToDate(const QString &text, TDateTime &day);
// The same on a part of a longer text, without copying it (the guest file reader's way).
bool TryStrToDate(QStringView text, TDateTime &day);
// The same in the German format ("24.12.2026", day and month of one or two digits, the year of
// four) whatever the regional settings: the guest file may have been written that way.
bool TryGermanStrToDate(QStringView text, TDateTime &day);
// Hours, minutes and optional seconds with the regional time separator (AM/PM where the format has it).
TDateTime StrToTime(const QString &text);
bool TryStrToTime(const QString &text, TDateTime &time);
bool TryStrToTime(QStringView text, TDateTime &time);
// The same in the German format ("13:45:56", seconds optional) whatever the regional settings.
bool TryGermanStrToTime(QStringView text, TDateTime &time);

// Optional leading blanks, optional sign, decimal digits or hexadecimal digits after "$" or
// "0x"; the digits must run to the end and the value must fit 32 bits.
bool TryStrToInt(const QString &text, qint32 &value);
bool TryStrToInt(QStringView text, qint32 &value);
qint32 StrToInt(const QString &text);

// A decimal number with the regional decimal separator; blanks around it are allowed.
bool TryStrToFloat(const QString &text, double &value);

// A number gives false for 0 and true otherwise; else "True"/"False" in any case.
bool StrToBool(const QString &text);
QString BoolToStr(bool value); // "True" or "False"

// printf's "%<width>.<decimals>f" with the regional decimal separator and no thousands separator.
QString FormatFixed(double value, int width, int decimals);

} // namespace platform
