#pragma once
// Cutting one line of the guest file into its fields. Each call first strips the whole rest of
// the line of leading and trailing characters up to code 32, then takes the text up to the
// first separator; without a separator the whole rest is the field and the line becomes empty.

#include <QString>

namespace platform {

// The next field as it stands (blanks before its separator stay).
QString NextField(QString &line, const QString &separator);

// The next field as a whole number: optional sign, then decimal digits or hexadecimal digits
// after "$" or "0x". Anything else, including a trailing blank or a value beyond 32 bits, is 0.
qint32 NextFieldInt(QString &line, const QString &separator);

// The next field as a decimal number whose first comma counts as the decimal point, whatever
// the regional settings say; '.' is accepted too. Anything unreadable is 0.
double NextFieldFloat(QString &line, const QString &separator);

// The same cuts on a view of the line: the field is a view into it and nothing is copied, so a
// reader that keeps only some fields as texts pays for those alone.
QStringView NextField(QStringView &line, QStringView separator);
qint32 NextFieldInt(QStringView &line, QStringView separator);
double NextFieldFloat(QStringView &line, QStringView separator);

// A whole number as a person writes it into the file: blanks around it, the digits perhaps
// grouped by thousands ("1.040", "1 040"); otherwise what NextFieldInt reads. False for anything
// else; the value is then unchanged.
bool ReadWrittenInt(QStringView field, qint32 &value);

// An amount as a person writes it: "128,50", "19.99", "1.280,00", "1,280.00", "128,00 €",
// " 1040 ". A single '.' before exactly three digits groups thousands ("1.280" is 1280), as a
// German host means it. No exponent, no "nan" or "inf", at most 15 digits. False for anything
// else; the value is then unchanged.
bool ReadWrittenAmount(QStringView field, double &value);

} // namespace platform
