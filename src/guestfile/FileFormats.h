#pragma once
// The guest file is written with the regional formats of dates, times and amounts, as the files
// the host already has were. Some regional settings write texts that cannot be read back (month
// names, right-to-left marks, AM/PM words, a decimal separator the code page lacks); the file then
// takes the German format for what would not read back.

#include <QString>

namespace guestfile {

// Writes and reads a few records under the regional settings in force and keeps each of the date,
// time and amount formats that reads back exactly; each other one is replaced by the German one,
// for the file and the screen alike. Returns the note for the status line that says so, or an
// empty text when every format is kept. `localeName` names the settings in the note.
QString UseReadableFileFormats(const QString &localeName);

// Whether records written under the regional settings in force read back exactly, field by field.
bool FileFormatsReadBack();

} // namespace guestfile
