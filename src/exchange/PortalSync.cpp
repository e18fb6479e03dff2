#include "exchange/PortalSync.h"

#include <QHash>
#include <QSet>

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
    for (auto it = old.constBegin(); it != old.constEnd(); ++it)
        if (!present.contains(it.key()))
            ++result.counts.released;
    return result;
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
            const MergeResult merged =
                mergeFeed(stored.blocks, subscription, withoutFiltered(calendar.events, filters), now);
            outcome.ok = true;
            outcome.counts = merged.counts;
            outcome.message = countsText(merged.counts);
            // "Zuletzt gesehen" changes on every fetch; that alone is worth the write, so the file
            // tells when each block was last confirmed.
            saveBlocks(dataFolder, merged.blocks);
            outcome.changed = true;
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
