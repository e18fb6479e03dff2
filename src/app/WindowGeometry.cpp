#include "app/WindowGeometry.h"

#include "guestfile/Settings.h"

#include <QWidget>

namespace app {

using guestfile::OpenSettings;

namespace {
QString geometryKey(const QString &key)
{
    return QStringLiteral("Fenster/") + key;
}
} // namespace

void RestoreWindowGeometry(QWidget &window, const QString &key)
{
    const QByteArray geometry = OpenSettings()->value(geometryKey(key)).toByteArray();
    if (!geometry.isEmpty())
        window.restoreGeometry(geometry);
}

void SaveWindowGeometry(const QWidget &window, const QString &key)
{
    OpenSettings()->setValue(geometryKey(key), window.saveGeometry());
}

} // namespace app
