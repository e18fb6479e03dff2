#pragma once
// One field of a ";"-separated file as German spreadsheets open it. Here rather than beside the
// CSV writer, because the invoice journal in billing writes its lines by the same rule and may
// not use the exchange module.

#include <QString>

namespace platform {

// A text that a spreadsheet would run as a formula (=, +, -, @, TAB or CR first) gets a leading
// "'", so a guest's name cannot run as a formula; a plain number with a sign ("-12,50", "-1",
// "+3") is no formula and stays a number. A text that already starts with "'" and such a sign gets
// one "'" more, so that reading it back (csvUnguarded) gives the text as it was. A field with ";", a
// quote, a line break or blanks at either end is put in quotes (quotes doubled), so it reads back
// unchanged.
QString csvField(const QString &text);

// The text of a field as csvField guarded it: one leading "'" before a formula sign is dropped.
QString csvUnguarded(const QString &field);

} // namespace platform
