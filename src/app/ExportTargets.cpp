#include "app/ExportTargets.h"

#include "app/Dialogs.h"
#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceNumber.h"
#include "billing/PriceMatrix.h"
#include "guestfile/Backups.h"
#include "guestfile/DataFolder.h"
#include "guestfile/GuestFile.h"
#include "guestfile/ProgramFiles.h"
#include "platform/Clock.h"
#include "platform/IoError.h"

#include <QDir>
#include <QPrinter>

#include <string_view>

namespace app {

using billing::kPreisMatrixDatei;
using billing::kRechnungenOrdner;
using billing::kRechnungsvorlageDatei;
using billing::kReNummerDatei;
using guestfile::DataFolder;
using guestfile::ExportSuggestion;
using guestfile::kBackupFolderName;
using guestfile::kGuestFileName;
using guestfile::kProgramFileNames;
using guestfile::kProgramFolderNames;
using guestfile::PrintoutSuggestion;
using guestfile::ProgramFileAt;
using guestfile::ProgramFileRefusal;

// The list of the program's files is kept where the files are named.
static_assert(std::string_view(kProgramFileNames[0]) == kGuestFileName);
static_assert(std::string_view(kProgramFileNames[1]) == kReNummerDatei);
static_assert(std::string_view(kProgramFileNames[2]) == kPreisMatrixDatei);
static_assert(std::string_view(kProgramFileNames[3]) == kRechnungsvorlageDatei);
static_assert(std::string_view(kProgramFolderNames[0]) == kBackupFolderName);
static_assert(std::string_view(kProgramFolderNames[1]) == kRechnungenOrdner);

QStringList ProgramFolders(const DataFolder &dataFolder)
{
    return {dataFolder.folder(), QDir::currentPath()};
}

bool MayWriteTo(QWidget *parent, Dialogs &dialogs, const DataFolder &dataFolder, const QString &path)
{
    const QString own = ProgramFileAt(path, ProgramFolders(dataFolder));
    if (own.isEmpty())
        return true;
    dialogs.showError(parent, ProgramFileRefusal(path, own));
    return false;
}

bool MayPrintTo(QWidget *parent, Dialogs &dialogs, const DataFolder &dataFolder, const QPrinter &printer)
{
    return printer.outputFileName().isEmpty() || MayWriteTo(parent, dialogs, dataFolder, printer.outputFileName());
}

QString SuggestedExport(const DataFolder &dataFolder, const QString &name, const QString &suffix)
{
    return ExportSuggestion(dataFolder.folder(), name, platform::Clock::now().date(), suffix);
}

void SuggestPrintout(QPrinter &printer, const DataFolder &dataFolder, const QString &name, const QString &when)
{
    printer.setOutputFileName(PrintoutSuggestion(dataFolder.folder(), name, when));
    printer.setOutputFormat(QPrinter::NativeFormat);
}

} // namespace app
