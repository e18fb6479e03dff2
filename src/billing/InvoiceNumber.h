#pragma once
// The running invoice number, kept in a one-line text file.

#include <QString>
#include <QtGlobal>

inline constexpr char kReNummerDatei[] = "ReNummer.DAT";

// Reads the last number from the first line of the file, writes the next one back (replacing the
// file as a whole, so a failed write leaves the old number) and returns it once it is on the
// disk. All of it happens under a lock on the file's folder, so that two running copies of the
// program never hand out the same number. Throws EInOutError when the file is missing, no
// ordinary file, cannot be read or written, or the folder stays locked by another program; and
// EConvertError when its first line is no whole number or a negative one; nothing is changed then.
qint32 NextReNr(const QString &path);
