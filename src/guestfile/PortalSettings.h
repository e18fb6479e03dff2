#pragma once
// What the program remembers about the portal subscriptions beside the data folder's own files,
// in the settings file: the text patterns of the portals' own unavailability, whether to fetch at
// start, and when it last did so on its own. The subscriptions themselves live in the data
// folder ("Portale/Abonnements.csv"), as a host may write them by hand.

#include <QDateTime>
#include <QStringList>

namespace guestfile {

// Events whose summary matches one of these are not taken as bookings (e.g. "Not available").
QStringList portalFilters();
// Keeps the patterns trimmed, without empty ones or repeats.
void setPortalFilters(const QStringList &patterns);

// Whether the subscriptions are fetched when the program starts; off until the host ticks it.
bool portalSyncAtStart();
void setPortalSyncAtStart(bool on);

// When the program last fetched on its own; invalid when it never did.
QDateTime lastAutomaticPortalSync();
void setLastAutomaticPortalSync(const QDateTime &time);

} // namespace guestfile
