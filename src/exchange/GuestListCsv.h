#pragma once
// Bookings as rows for the CSV writer: what the guest list exports for a spreadsheet.

#include "register/TGast.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace exchange {

// The header line's fields.
QStringList guestListHeader();

// The header, then the records at `indexes` in that order: dates and amounts in the regional
// format, times as "HH:mm", nothing for a missing date, post code or invoice number.
QList<QStringList> guestListRows(const std::vector<guests::TGast> &list, const std::vector<int> &indexes);

// Those rows as the file the guest list exports (kGuestListCodePage).
QByteArray guestListCsv(const std::vector<guests::TGast> &list, const std::vector<int> &indexes);

// Writes the file whole or not at all; throws platform::EInOutError.
void exportGuestListCsv(const QString &path, const std::vector<guests::TGast> &list, const std::vector<int> &indexes);

} // namespace exchange
