#include "billing/InvoiceNumber.h"

#include "platform/AnsiText.h"
#include "platform/Convert.h"

#include <QStringList>
#include <limits>

qint32 NextReNr(const QString &path)
{
    const qint32 last = platform::StrToInt(platform::ReadFirstLine(path));
    if (last == std::numeric_limits<qint32>::max())
        throw platform::EConvertError(
            QStringLiteral("Die Rechnungsnummer %1 ist die größte mögliche; es kann keine weitere vergeben werden.")
                .arg(last));
    const qint32 next = last + 1;
    // Only a number that is safely on disk may be handed out, or it could be given twice.
    platform::SaveTextFileAtomic(path, {QString::number(next)});
    return next;
}
