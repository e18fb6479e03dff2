#include "billing/InvoiceNumber.h"

#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/FolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <limits>

qint32 NextReNr(const QString &path)
{
    // Read, count on and write back under one lock: two running copies of the program must never
    // both read the same last number.
    const platform::FolderLock lock(path);
    const qint32 last = platform::StrToInt(platform::ReadFirstLine(path));
    if (last < 0)
        // The next number would be 0 or below, and 0 means "no invoice".
        throw platform::EConvertError(
            QStringLiteral("%1 enthält die Rechnungsnummer %2; eine Rechnungsnummer kann nicht negativ sein. Bitte "
                           "tragen Sie dort die zuletzt vergebene Nummer ein.\n%3")
                .arg(QFileInfo(path).fileName())
                .arg(last)
                .arg(QDir::toNativeSeparators(path)));
    if (last == std::numeric_limits<qint32>::max())
        throw platform::EConvertError(
            QStringLiteral("Die Rechnungsnummer %1 ist die größte mögliche; es kann keine weitere vergeben werden.")
                .arg(last));
    const qint32 next = last + 1;
    // Only a number that is safely on disk may be handed out, or it could be given twice.
    platform::SaveTextFileAtomic(path, {QString::number(next)});
    return next;
}
