#pragma once
// "Auskunft…": everything stored about one person, written as a PDF to hand over and a CSV to
// open in a spreadsheet, both in the data folder's "Export".

#include "exchange/PersonalDataReport.h"

#include <QString>
#include <optional>

class AppContext;
class QPrinter;
class QWidget;

namespace app {

struct PersonalDataFiles
{
    QString pdf;
    QString csv;
    int stays = 0;
    // Where the files are, for the host.
    QString message() const;
};

// "Auskunft 12 Weiß": the start of the files' names for the person `name` of guest number
// `gastNr` (the day follows), distinct for every guest (platform::guestFileName).
QString personalDataFileName(const QString &name, qint32 gastNr);

// Lays the report out on the printer's pages. Throws when the printer does not start or finish.
void printPersonalDataReport(QPrinter &printer, const exchange::PersonalDataReport &report);

// Writes the report on every stay of the person of record `index`; nothing when a file would
// replace one of the program's own (the host is told). Throws when a file cannot be written.
std::optional<PersonalDataFiles> savePersonalData(AppContext &context, QWidget *parent, int index);

} // namespace app
