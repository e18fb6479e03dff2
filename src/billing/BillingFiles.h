#pragma once
// Where the price file and the invoice form are looked for: in the data folder first, then in
// the folder the program was started in (where hosts kept them before), so both places work.

#include <QString>

namespace billing {

struct DateiFund
{
    QString pfad;   // the file found; when nothing was found, where it was looked for first
    QString fehler; // empty when found; else why not, naming every path looked at
    QString kurz;   // the same in a few words, for the status line
    bool gefunden() const { return fehler.isEmpty(); }
};

// Looks for `name` in `dataFolder` (skipped when empty) and then in `startFolder`. The first
// place that holds anything by that name counts: an ordinary file is found; anything else (a
// pipe, a folder, a link to nowhere) is reported as what it is rather than passed over.
DateiFund SucheDatei(const QString &name, const QString &dataFolder, const QString &startFolder);

// What sits at `path` when it is no ordinary file, in the host's words ("eine benannte Pipe
// (FIFO)", "ein Ordner"); empty for an ordinary file or for nothing at all.
QString KeineDateiSondern(const QString &path);

} // namespace billing
