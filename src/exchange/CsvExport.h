#pragma once
// Bookings as a CSV file for a spreadsheet program.

#include "register/TGast.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The records at `indexes`, in that order, under a header line: UTF-8 with a byte-order mark (so
// spreadsheet programs read the umlauts right), ";" between fields as German spreadsheets expect,
// CR LF after each line, dates and amounts in the regional format.
QByteArray GaesteAlsCsv(const std::vector<TGast> &list, const std::vector<int> &indexes);

// The header line's fields.
QStringList CsvKopf();

// One field as a spreadsheet reads it back unchanged: quoted when it holds the separator, a quote
// or a line break; a text that a spreadsheet would run as a formula ("=", "+", "-", "@", TAB or
// CR first) is marked as text with a leading apostrophe.
QString CsvFeld(const QString &text, bool istText);

// Writes the file whole or not at all; throws EInOutError.
void ExportiereCsv(const QString &path, const std::vector<TGast> &list, const std::vector<int> &indexes);
