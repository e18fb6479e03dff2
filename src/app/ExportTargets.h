#pragma once
// Every export and every print to a file asks here before it writes: none may replace one of the
// program's own files (ProgramFileAt).

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;
namespace guestfile {
class DataFolder;
}

namespace app {

class Dialogs;

// The folders whose program files are looked at: the data folder and the folder the program
// started in, where the price list and the invoice form may lie.
QStringList ProgramFolders(const guestfile::DataFolder &dataFolder);

// Whether an export may be written to `path`; when not, the host is told why and nothing is written.
bool MayWriteTo(QWidget *parent, Dialogs &dialogs, const guestfile::DataFolder &dataFolder, const QString &path);

// Whether the printer, as the host set it up, may print: to a printer, or to a file that is not
// one of the program's; when not, the host is told why and nothing is printed.
bool MayPrintTo(QWidget *parent, Dialogs &dialogs, const guestfile::DataFolder &dataFolder, const QPrinter &printer);

// Offers "<name> <when>.pdf" in the folder "Ausdrucke" of the data folder as the file to print
// to, without making printing to a file the choice.
void SuggestPrintout(QPrinter &printer, const guestfile::DataFolder &dataFolder, const QString &name,
                     const QString &when);

// The suggested export file "<name> <today>.<suffix>" in the folder "Export" of the data folder.
QString SuggestedExport(const guestfile::DataFolder &dataFolder, const QString &name, const QString &suffix);

} // namespace app
