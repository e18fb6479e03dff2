#pragma once
// Tables as CSV files for spreadsheets and the tax adviser's programs.

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace exchange {

// The rows as a CSV file the way German spreadsheets open it: ";" between fields, CR LF after
// every row, the ANSI code page; when a character does not fit it ("Ğ"), the whole file is UTF-8
// with a byte-order mark instead, which spreadsheets read as well, so nothing becomes "?". A field
// with ";", a quote or a line break is put in quotes (quotes doubled). A text that a spreadsheet
// would take for a formula ("=", "+", "-", "@" first, and no plain number) gets a leading "'", so
// a guest's name cannot run as a formula.
QByteArray CsvDatei(const QList<QStringList> &rows);

// One field as it is written.
QString CsvFeld(const QString &text);

} // namespace exchange
