#include "exchange/PortalSync.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace exchange {

namespace {

bool belongsTo(const guests::PortalBlock &block, const Subscription &subscription)
{
    return block.room == subscription.room && block.subscription == subscription.name;
}

QString countsText(const MergeCounts &c)
{
    const int total = c.added + c.moved + c.kept;
    return QStringLiteral("%1 %2 (%3 neu, %4 verschoben, %5 freigegeben)")
        .arg(total)
        .arg(total == 1 ? QStringLiteral("Blockierung") : QStringLiteral("Blockierungen"))
        .arg(c.added)
        .arg(c.moved)
        .arg(c.released);
}

void recordState(const QString &dataFolder, const Subscription &subscription, const QDateTime &now, bool ok,
                 const QString &message)
{
    std::vector<SyncState> states = readSyncStates(dataFolder);
    SyncState state{subscription.room, subscription.name, now, ok, message};
    bool replaced = false;
    for (SyncState &s : states) {
        if (s.room == state.room && s.subscription == state.subscription) {
            s = state;
            replaced = true;
        }
    }
    if (!replaced)
        states.push_back(state);
    saveSyncStates(dataFolder, states);
}

} // namespace

MergeResult mergeFeed(const std::vector<guests::PortalBlock> &blocks, const Subscription &subscription,
                      const std::vector<PortalEvent> &events, const QDateTime &now)
{
    MergeResult result;
    QHash<QString, const guests::PortalBlock *> old;
    for (const guests::PortalBlock &b : blocks) {
        if (belongsTo(b, subscription))
            old.insert(b.uid, &b);
        else
            result.blocks.push_back(b);
    }
    QSet<QString> present;
    for (const PortalEvent &e : events) {
        if (present.contains(e.uid))
            continue; // the reader gives each UID once; a second one adds nothing
        present.insert(e.uid);
        guests::PortalBlock b{subscription.room, e.firstNight, e.departure, subscription.name, e.uid, e.summary, now};
        const auto before = old.constFind(e.uid);
        if (before == old.constEnd())
            ++result.counts.added;
        else if ((*before)->from != b.from || (*before)->to != b.to)
            ++result.counts.moved;
        else
            ++result.counts.kept;
        result.blocks.push_back(b);
    }
    // In the order of the old file, so what is said about them comes in a stable order.
    QSet<QString> released;
    for (const guests::PortalBlock &b : blocks)
        if (belongsTo(b, subscription) && !present.contains(b.uid) && !released.contains(b.uid)) {
            released.insert(b.uid);
            ++result.counts.released;
            result.released.push_back(b);
        }
    return result;
}

QString doubtfulCalendar(const PortalCalendar &calendar, int previousBlocks)
{
    const QString kept = QStringLiteral("; die bisherigen Blockierungen bleiben bestehen.");
    if (calendar.eventCount > 0 && calendar.unreadable >= calendar.eventCount)
        return (calendar.eventCount == 1
                    ? QStringLiteral("Der einzige Termin im Kalender ist nicht lesbar")
                    : QStringLiteral("Keiner der %1 Termine im Kalender ist lesbar").arg(calendar.eventCount)) +
               kept;
    const int readable = static_cast<int>(calendar.events.size());
    if (calendar.unreadable > 0 && 2 * qint64(readable) < previousBlocks)
        return QStringLiteral("Im Kalender sind nur noch %1 von bisher %2 Blockierungen, und %3 nicht lesbar%4")
            .arg(readable)
            .arg(previousBlocks)
            .arg(calendar.unreadable == 1 ? QStringLiteral("1 Termin ist")
                                          : QStringLiteral("%1 Termine sind").arg(calendar.unreadable))
            .arg(kept);
    return {};
}

std::vector<guests::PortalBlock> blocksOfSubscriptions(const std::vector<guests::PortalBlock> &blocks,
                                                       const std::vector<Subscription> &subscriptions)
{
    std::vector<guests::PortalBlock> kept;
    for (const guests::PortalBlock &b : blocks)
        for (const Subscription &s : subscriptions)
            if (belongsTo(b, s)) {
                kept.push_back(b);
                break;
            }
    return kept;
}

SyncOutcome syncSubscription(const QString &dataFolder, const Subscription &subscription, const FetchResult &fetched,
                             const QStringList &filters, const QDateTime &now, const CalendarLimits &limits)
{
    SyncOutcome outcome;
    if (!fetched.ok) {
        outcome.message = fetched.error.isEmpty() ? QStringLiteral("Der Abruf ist fehlgeschlagen.") : fetched.error;
    } else {
        try {
            const PortalCalendar calendar = readCalendar(fetched.body, limits);
            outcome.notes = calendar.notes;
            const BlockList stored = readBlocks(dataFolder);
            outcome.notes += stored.notes;
            const auto previous =
                std::count_if(stored.blocks.begin(), stored.blocks.end(),
                              [&](const guests::PortalBlock &b) { return belongsTo(b, subscription); });
            // Counted before the host's filters: leaving out the portal's own days is no sign of a
            // damaged calendar.
            outcome.message = doubtfulCalendar(calendar, static_cast<int>(previous));
            if (outcome.message.isEmpty()) {
                MergeResult merged =
                    mergeFeed(stored.blocks, subscription, withoutFiltered(calendar.events, filters), now);
                outcome.ok = true;
                outcome.counts = merged.counts;
                outcome.message = countsText(merged.counts);
                // "Zuletzt gesehen" changes on every fetch; that alone is worth the write, so the
                // file tells when each block was last confirmed.
                saveBlocks(dataFolder, merged.blocks);
                outcome.changed = true;
                for (const guests::PortalBlock &b : merged.blocks)
                    if (belongsTo(b, subscription))
                        outcome.blocks.push_back(b);
                outcome.released = std::move(merged.released);
            }
        } catch (const ECalendarError &error) {
            outcome.message = error.message();
        }
    }
    recordState(dataFolder, subscription, now, outcome.ok, outcome.message);
    return outcome;
}

bool autoFetchDue(const QDateTime &lastAutoFetch, const QDateTime &now)
{
    if (!lastAutoFetch.isValid() || !now.isValid())
        return true;
    if (lastAutoFetch > now)
        return true;
    return lastAutoFetch.secsTo(now) >= qint64(kAutoFetchMinutes) * 60;
}

} // namespace exchange
