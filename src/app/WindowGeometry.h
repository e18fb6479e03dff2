#pragma once
// The other windows open where the host left them: size and position are kept in the settings.

class QWidget;
class QString;

namespace app {

// Puts the window where it was when it last closed; leaves it as it is the first time.
void RestoreWindowGeometry(QWidget &window, const QString &key);
// Remembers where the window is now (call it when the window closes).
void SaveWindowGeometry(const QWidget &window, const QString &key);

} // namespace app
