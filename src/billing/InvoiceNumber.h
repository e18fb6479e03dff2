#pragma once
// The running invoice number, kept in a one-line text file.

#include <QString>
#include <QtGlobal>
#include <optional>

namespace billing {

inline constexpr char kReNummerDatei[] = "ReNummer.DAT";

// Reads the last number from the first line of the file, writes the next one back (replacing the
// file as a whole, so a failed write leaves the old number) and returns it once it is on the
// disk. All of it happens under a lock on the file's folder, so that two running copies of the
// program never hand out the same number. Throws EInOutError when the file is missing, no
// ordinary file, cannot be read or written, or the folder stays locked by another program; and
// EConvertError when its first line is no whole number or a negative one; nothing is changed then.
qint32 NextReNr(const QString &path);

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
void ReNrBeginnen(const QString &path, qint32 erste);

} // namespace billing
