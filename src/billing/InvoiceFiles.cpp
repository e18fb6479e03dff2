#include "billing/InvoiceFiles.h"

#include "platform/IoError.h"

#include "platform/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QRegularExpression>

namespace billing {

bool MakeInvoiceFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    return QDir().mkpath(info.absolutePath()) &&
           QDir().mkdir(info.absoluteFilePath(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

std::unique_ptr<platform::PrivateFile> PrivatePrintout(const QPrinter &printer)
{
    if (printer.outputFileName().isEmpty())
        return nullptr;
    try {
        return std::make_unique<platform::PrivateFile>(printer.outputFileName());
    } catch (const platform::EInOutError &) {
        // A file that cannot be made cannot be printed to either: the printer says so, as it always has.
        return nullptr;
    }
}

void KeepPrintedFilePrivate(const QPrinter &printer, const QString &dataFolder)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return;
    const QFileInfo file(printer.outputFileName());
    const QString folder =
        QFileInfo(dataFolder.isEmpty() ? QDir::currentPath() : dataFolder).canonicalFilePath();
    const QString printedIn = QFileInfo(file.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || printedIn.isEmpty() || !file.isFile() || file.isSymLink())
        return;
    if (printedIn == folder || printedIn.startsWith(folder + u'/'))
        QFile::setPermissions(file.absoluteFilePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void RemoveInvoiceLeftovers(const QString &folder)
{
    static const QRegularExpression leftover(
        QStringLiteral("^(\\.Rechnung [0-9]+\\.pdf\\.neu|\\.Schreibprobe-[A-Za-z0-9]+)$"));
    const QDir dir(folder);
    for (const QFileInfo &file : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (leftover.match(file.fileName()).hasMatch())
            QFile::remove(file.absoluteFilePath());
    }
    platform::RemoveSaveLeftovers(folder);
}

} // namespace billing
