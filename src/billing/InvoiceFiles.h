#pragma once
// The files around invoices that hold a guest's address: the folder of the kept copies and an
// invoice printed to a file are for the host's eyes only, and what a cut-off invoice left behind
// does not stay.

#include "platform/PrivateFiles.h"

#include <QString>
#include <memory>

class QPrinter;

namespace billing {

// Makes the folder of the kept copies (and the folders above it), readable by the owner only.
// False when it could not be made; errno tells why.
bool MakeInvoiceFolder(const QString &folder);

// The file the printer is set to print to, made its owner's only before its first byte, as every
// file naming guests is; null when it prints on paper or the file cannot be made (the printer then
// reports that it cannot start). keep() it once the print is done, else a file made here is removed
// again.
std::unique_ptr<platform::PrivateFile> PrivatePrintout(const QPrinter &printer);

// An invoice printed to a file inside the data folder `dataFolder` (empty: the current folder)
// becomes readable and writable by the owner only; a printer or a file elsewhere is left as it is.
void KeepPrintedFilePrivate(const QPrinter &printer, const QString &dataFolder);

// Removes from the folder of the kept copies the half-kept copies (".Rechnung 1042.pdf.neu"), the
// write probes and the temporary files of a save that was cut off. Only while no other copy of
// the program works on the folder.
void RemoveInvoiceLeftovers(const QString &folder);

} // namespace billing
