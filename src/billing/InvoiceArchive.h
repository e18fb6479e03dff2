#pragma once
// Every issued invoice is kept as "Rechnungen/Rechnung <Nr>.pdf" in the data folder: written
// whole, read-only, and never replaced. Here too: which invoices the folder and the records know.

#include "platform/DataFolderLayout.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace billing {

inline constexpr const auto &kRechnungenOrdner = platform::layout::kInvoiceFolder;

// "Rechnung 1042.pdf"
QString RechnungsDateiname(qint32 nr);

// The number in the counter file without taking one: the last issued, and the one the next
// invoice will get. Nothing when the file cannot be read or holds no number (taking a number
// then fails with the reason).
std::optional<qint32> LetzteReNr(const QString &counterPath);
std::optional<qint32> NaechsteReNrVorschau(const QString &counterPath);

// Makes the folder if it is missing and proves that a file of `bytes` (the copy about to be kept)
// can be written and synced in it, so that no number is taken for an invoice that could not be
// kept. Throws EInvoiceError saying why.
void PruefeAblage(const QString &folder, qint64 bytes = 0);

// Throws EInvoiceError when a copy with number `nr` exists already (an invoice's or a
// cancellation's); it is never replaced.
void PruefeNeueAblage(const QString &folder, qint32 nr);

// Keeps `pdf` as the copy of invoice `nr` in `folder` and returns its path. The file appears
// whole or not at all, is readable by its owner only (0400), and an existing file is never
// replaced. Throws EInvoiceError (exists) or platform::EInOutError.
QString LegeRechnungAb(const QString &folder, qint32 nr, const QByteArray &pdf);
// The same under another name for number `nr` ("Rechnung 1050 (Storno zu 1042).pdf").
QString keepCopy(const QString &folder, qint32 nr, const QString &fileName, const QByteArray &pdf);

struct AbgelegteRechnung
{
    qint32 nr = 0;
    QString pfad;
    QDateTime abgelegt; // when the file was written
};

// The kept copies in `folder` ("Rechnung <Nr>.pdf", and "Rechnung <Nr> (Storno zu <Nr>).pdf" for a
// cancellation), by number; other files are no copies.
std::vector<AbgelegteRechnung> AbgelegteRechnungen(const QString &folder);

// The lowest number a new counter may start with: one above the highest that a record or a kept
// copy carries, 1 when there is none. The journal knows numbers neither holds: with it at hand,
// use ErsteFreieReNr(records, kopien, journal) of IssuedInvoices.h.
qint32 ErsteFreieReNr(const std::vector<guests::TGast> &records, const std::vector<AbgelegteRechnung> &kopien);

} // namespace billing
