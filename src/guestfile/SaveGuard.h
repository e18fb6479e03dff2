#pragma once
// A save must not replace a guest file that this session has never seen: it may hold bookings
// that the list in the program lacks (after a failed read, or before any read).

#include <QString>

namespace guestfile {

// The question before the guest file at `path` is replaced although it was neither read nor
// written in this session; empty when there is no such file, so nothing needs asking.
QString ReplaceUnreadQuestion(const QString &path, int guestsInProgram);

} // namespace guestfile
