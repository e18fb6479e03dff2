#pragma once
// The running invoice number, kept in a one-line text file.

#include "platform/DataFolderLayout.h"
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace billing {

inline constexpr const auto &kReNummerDatei = platform::layout::kInvoiceCounter;

// Reads the last number from the first line of the file, writes the next one back (replacing the
// file as a whole, so a failed write leaves the old number) and returns it once it is on the
// disk. All of it happens under a lock on the file's folder, so that two running copies of the
// program never hand out the same number. Throws EInOutError when the file is missing, no
// ordinary file, cannot be read or written, or the folder stays locked by another program; and
// EConvertError when its first line is no whole number or a negative one; nothing is changed then.
qint32 NextReNr(const QString &path);

// A number taken for an invoice, and what had to be mended to take it.
struct TakenNumber
{
    qint32 nr = 0;
    // Set when the counter stood below a number issued already and was raised first:
    // "Der Rechnungszähler ReNummer.DAT stand auf 1040, aber die Nummer 1042 ist schon vergeben;
    // er wurde auf 1042 gestellt." Empty otherwise.
    QString counterNote;
};

// NextReNr for an invoice, all under the counter's lock: `highestIssued` is asked (the highest
// number the journal, the kept copies and the records know) and a counter below it is raised
// past it, so no number is ever given twice; then `reserve` is called with the number, and only
// once it returns is the counter written back. When `reserve` throws, the counter stays as it
// was and the number is not taken. The same throws as NextReNr.
TakenNumber NextReNr(const QString &path, const std::function<qint32()> &highestIssued,
                     const std::function<void(qint32)> &reserve);

// What the counter shows without taking a number, for a window that shows or sets it up.
struct ReNrStand
{
    bool fehlt = false;             // nothing by that name: no invoice has been numbered here yet
    std::optional<qint32> naechste; // the number the next invoice gets
    QString meldung;                // why there is none, naming the file; empty when there is one
};
ReNrStand LiesReNrStand(const QString &path);

// Sets the counter up so that the next invoice gets `erste` (at least 1): makes the file when it
// is missing, or raises the number of an existing one, durably and under the same lock as
// NextReNr. A number below the one the counter would give next is refused with EConvertError,
// since invoice numbers must never repeat; so is a counter that holds no number (it is left for
// the host to look at). Throws EInOutError when the file or folder cannot be read or written.
// `hoechsteVergebene` is the highest number issued already (HighestIssuedNumber): a first number
// at or below it is refused as well, even when the counter is missing.
void ReNrBeginnen(const QString &path, qint32 erste, qint32 hoechsteVergebene = 0);

} // namespace billing
