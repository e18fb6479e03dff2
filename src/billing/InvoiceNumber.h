#pragma once
// The running invoice number, kept in a one-line text file.

#include <QString>
#include <QtGlobal>

inline constexpr char kReNummerDatei[] = "ReNummer.DAT";

// Reads the last number from the first line of the file, writes the next one back (replacing the
// file as a whole, so a failed write leaves the old number) and returns it. Throws EInOutError
// when the file is missing or cannot be written and EConvertError when its first line is no
// whole number; nothing is changed then.
qint32 NextReNr(const QString &path);
