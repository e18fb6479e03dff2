#include "guestfile/PortalSettings.h"

#include "guestfile/Settings.h"

namespace guestfile {

namespace {
const QString kFiltersKey = QStringLiteral("Portale/Filter");
const QString kAtStartKey = QStringLiteral("Portale/BeimStartAbgleichen");
const QString kLastAutoKey = QStringLiteral("Portale/LetzterAutomatischerAbgleich");
} // namespace

QStringList portalFilters()
{
    return OpenSettings()->value(kFiltersKey).toStringList();
}

void setPortalFilters(const QStringList &patterns)
{
    QStringList kept;
    for (const QString &pattern : patterns) {
        const QString p = pattern.trimmed();
        if (!p.isEmpty() && !kept.contains(p))
            kept << p;
    }
    OpenSettings()->setValue(kFiltersKey, kept);
}

bool portalSyncAtStart()
{
    return OpenSettings()->value(kAtStartKey, false).toBool();
}

void setPortalSyncAtStart(bool on)
{
    OpenSettings()->setValue(kAtStartKey, on);
}

QDateTime lastAutomaticPortalSync()
{
    return OpenSettings()->value(kLastAutoKey).toDateTime();
}

void setLastAutomaticPortalSync(const QDateTime &time)
{
    OpenSettings()->setValue(kLastAutoKey, time);
}

} // namespace guestfile
