#pragma once
// Cutting one line of the guest file into its fields. Each call first strips the whole rest of
// the line of leading and trailing characters up to code 32, then takes the text up to the
// first separator; without a separator the whole rest is the field and the line becomes empty.

#include <QString>

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
