#pragma once
// Bringing a subscription's blocks up to date with what its calendar says now.

#include "exchange/ICalendarReader.h"
#include "exchange/PortalFiles.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

namespace exchange {

// What fetching a subscription gave: the calendar's bytes, or the German reason it failed.
struct FetchResult
{
    bool ok = false;
    QByteArray body;
    QString error;
};

struct MergeCounts
{
    int added = 0;
    int moved = 0;    // same UID, other days
    int released = 0; // no longer in the calendar
    int kept = 0;
};

struct MergeResult
{
    std::vector<guests::PortalBlock> blocks;   // of every subscription
    std::vector<guests::PortalBlock> released; // this subscription's that the calendar no longer holds
    MergeCounts counts;
};

// The blocks after `subscription`'s calendar said `events`: the blocks of other subscriptions stay
// as they are; of this one's, an event with a known UID moves its block to the event's days, an
// unknown one adds a block, and a block whose UID the calendar no longer holds is released. Every
// block of the calendar is marked as seen at `now`.
MergeResult mergeFeed(const std::vector<guests::PortalBlock> &blocks, const Subscription &subscription,
                      const std::vector<PortalEvent> &events, const QDateTime &now);

// The blocks of subscriptions that still exist (a removed subscription releases its rooms).
std::vector<guests::PortalBlock> blocksOfSubscriptions(const std::vector<guests::PortalBlock> &blocks,
                                                       const std::vector<Subscription> &subscriptions);

// Why a calendar that could be read is still not trusted, or empty when it is: a non-empty
// calendar without a single readable event, or unreadable events while fewer than half of the
// subscription's `previousBlocks` are left. Such a calendar releasing the rooms would free nights
// the portal still holds; German.
QString doubtfulCalendar(const PortalCalendar &calendar, int previousBlocks);

struct SyncOutcome
{
    bool ok = false;
    bool changed = false; // the blocks file was written
    QString message;      // German: the counts, or why nothing changed
    QStringList notes;    // what the calendar reader left out
    MergeCounts counts;
    // When ok: the subscription's blocks now, and those the calendar no longer holds.
    std::vector<guests::PortalBlock> blocks;
    std::vector<guests::PortalBlock> released;
};

// One fetched subscription into the data folder's portal files: a failed fetch, an answer that
// is no calendar or a doubtful one (doubtfulCalendar) changes no block and records the reason; a calendar is merged,
// the blocks file saved when it changed, and the result recorded in "Abgleich.csv". Events whose
// summary matches one of `filters` are the portal's own unavailability and are left out.
// Throws platform::EInOutError when a portal file cannot be read or written.
SyncOutcome syncSubscription(const QString &dataFolder, const Subscription &subscription, const FetchResult &fetched,
                             const QStringList &filters, const QDateTime &now, const CalendarLimits &limits = {});

// The shortest time between two automatic fetches of the subscriptions.
inline constexpr int kAutoFetchMinutes = 15;

// Whether the program may fetch on its own now: never fetched, or the last automatic fetch is at
// least kAutoFetchMinutes ago. A clock that was set back (the last fetch lies in the future)
// allows a fetch too, so it is not blocked until the clock catches up.
bool autoFetchDue(const QDateTime &lastAutoFetch, const QDateTime &now);

} // namespace exchange
