#pragma once
// Names of files made from what a host typed (a guest's name): they must be valid on every system
// the files travel to, never climb out of their folder or hide, and stay apart for two guests.

#include <QString>

namespace platform {

// `text` fit to stand in a file name: blanks tidied, and every character a file name may not hold
// or that shells and searches treat specially ([ ] * ? / \ : " ' ` < > |, control and invisible
// format characters) becomes "_", as does each leading dot (no hidden file, no ".."). At most
// `maxLength` characters.
QString fileNamePart(const QString &text, int maxLength = 60);

// "Auskunft 12 Sabine Krüger": what the file is, the guest number and the name fit for a file
// name. The number keeps two guests' files apart whatever their names ("..", "/", "....").
QString guestFileName(const QString &kind, qint32 gastNr, const QString &name);

} // namespace platform
