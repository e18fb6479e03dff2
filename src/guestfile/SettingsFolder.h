#pragma once
// The per-user folder for the program's settings.

#include <QString>

namespace guestfile {

// Creates (with all missing levels, each its owner's only) and returns, with a trailing '/', the folder
// <user data>/Kestrumbel/<program name>/ where user data is the roaming AppData folder on
// Windows and the generic data location elsewhere, and the program name is the executable's
// name without extension. Nothing is written into it.
QString MakeSettingsFolder();

} // namespace guestfile
