#pragma once
// Whether the journal is still what the program wrote: lines that break its chain, and kept
// copies that have no line in it although they were kept while it existed (a journal cut short,
// emptied, or with lines taken out).

#include "billing/InvoiceArchive.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace billing {

// The copies among `copies` that the journal should have a line for but has not, said in German:
// a copy whose number lies above the lowest number of the journal (`journaled`, sorted, without
// repeats), or, when the journal has no line at all, a copy kept after the journal was made
// (`journalMade`; invalid when not known). Copies from before the journal lie below its numbers
// and before it was made, and are no finding. `fileLines` is the number of lines of the file.
QStringList missingLineFindings(const std::vector<qint32> &journaled, qint64 fileLines,
                                const std::vector<AbgelegteRechnung> &copies, const QDateTime &journalMade);

// Everything that says the journal in `invoiceFolder` was changed by hand: the lines that break
// its chain (forEachJournalLine's findings) and the copies without a line; empty when all is
// well. For the main window to say once at start. Reads the journal line by line. Throws what
// forEachJournalLine throws.
QStringList journalFindings(const QString &invoiceFolder);

} // namespace billing
