#include "app/portals/PortalState.h"

#include "app/Dialogs.h"
#include "exchange/PortalFindings.h"
#include "exchange/SubscriptionFetcher.h"
#include "guestfile/PortalSettings.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "register/GuestList.h"

#include <exception>

namespace app {

QString subscriptionLabel(const exchange::Subscription &subscription)
{
    return QStringLiteral("%1 (Zimmer %2)").arg(subscription.name).arg(subscription.room);
}

PortalState::PortalState(Dialogs &dialogs, const guests::GuestList &guests, QObject *parent)
    : QObject(parent), dialogs_(dialogs), guests_(guests), fetcher_(new exchange::SubscriptionFetcher(this))
{
    connect(fetcher_, &exchange::SubscriptionFetcher::finished, this, &PortalState::fetched);
    connect(fetcher_, &exchange::SubscriptionFetcher::allFinished, this, &PortalState::allFetched);
}

PortalState::~PortalState()
{
    // A fetch still under way when the program ends reports to nobody.
    fetcher_->disconnect(this);
}

bool PortalState::busy() const
{
    return fetcher_->busy();
}

void PortalState::setTimeout(int milliseconds)
{
    fetcher_->setTimeout(milliseconds);
}

void PortalState::follow(const QString &dataFolder, QWidget *asker)
{
    if (read_ && dataFolder == folder_)
        return;
    // A fetch for the folder left behind goes on writing only into that folder.
    folder_ = dataFolder;
    read(asker);
}

void PortalState::reread(QWidget *asker)
{
    read(asker);
}

void PortalState::read(QWidget *asker)
{
    read_ = true;
    subscriptions_.clear();
    blocks_.clear();
    states_.clear();
    takeovers_.clear();
    QStringList notes;
    if (!folder_.isEmpty()) {
        // A portal file that cannot be read costs no booking: the rooms are shown without its
        // blocks, and the host is told why.
        try {
            exchange::SubscriptionList list = exchange::readSubscriptions(folder_);
            subscriptions_ = std::move(list.subscriptions);
            notes << list.notes;
            exchange::BlockList blocks = exchange::readBlocks(folder_);
            blocks_ = exchange::blocksOfSubscriptions(blocks.blocks, subscriptions_);
            notes << blocks.notes;
            states_ = exchange::readSyncStates(folder_);
        } catch (const std::exception &error) {
            notes << platform::ErrorText(error);
        }
        // Apart, so that blocks still show when only this file is damaged: then they all count.
        try {
            exchange::TakeoverList takeovers = exchange::readTakeovers(folder_);
            takeovers_ = std::move(takeovers.takeovers);
            notes << takeovers.notes;
        } catch (const std::exception &error) {
            notes << platform::ErrorText(error);
        }
    }
    const QString told = notes.join(u'\n');
    if (!told.isEmpty() && told != notesTold_)
        dialogs_.inform(asker, QStringLiteral("Aus dem Ordner „Portale“ wurde nicht alles übernommen:\n") + told);
    notesTold_ = told;
    Q_EMIT changed();
}

void PortalState::saveSubscriptions(const std::vector<exchange::Subscription> &subscriptions, QWidget *asker)
{
    if (folder_.isEmpty())
        throw platform::Error(
            QStringLiteral("Die Abonnements können erst gespeichert werden, wenn ein Datenordner gewählt ist."));
    exchange::saveSubscriptions(folder_, subscriptions);
    read(asker);
}

void PortalState::saveTakeover(const guests::PortalBlock &block, qint32 gastNr, QWidget *asker)
{
    if (folder_.isEmpty())
        throw platform::Error(QStringLiteral("Ohne gewählten Datenordner kann die Übernahme nicht vermerkt werden."));
    exchange::addTakeover(folder_, guests::BlockTakeover{block.uid, block.subscription, gastNr});
    read(asker);
}

bool PortalState::sync()
{
    if (fetcher_->busy()) {
        Q_EMIT syncFinished(QStringLiteral("Der Abgleich läuft bereits."), false);
        return false;
    }
    if (folder_.isEmpty()) {
        Q_EMIT syncFinished(QStringLiteral("Kein Abgleich: es ist noch kein Datenordner gewählt."), false);
        return false;
    }
    if (subscriptions_.empty()) {
        Q_EMIT syncFinished(
            QStringLiteral("Kein Abgleich: es ist kein Abonnement eingerichtet (Einstellungen, Seite „Portale“)."),
            false);
        return false;
    }
    syncFolder_ = folder_;
    syncLines_.clear();
    syncOk_ = true;
    Q_EMIT syncStarted();
    fetcher_->fetch(subscriptions_);
    return true;
}

void PortalState::fetched(const exchange::Subscription &subscription, const exchange::FetchResult &result)
{
    QString line = subscriptionLabel(subscription) + QStringLiteral(": ");
    QStringList findings;
    try {
        const exchange::SyncOutcome outcome = exchange::syncSubscription(
            syncFolder_, subscription, result, guestfile::portalFilters(), platform::Clock::now());
        syncOk_ = syncOk_ && outcome.ok;
        line += outcome.ok ? outcome.message : QStringLiteral("nicht abgeglichen, ") + outcome.message;
        // What the reader left out changes what the rooms show: the host hears it here, not in a log.
        if (!outcome.notes.isEmpty())
            line += QStringLiteral(" – Hinweise: ") + outcome.notes.join(u' ');
        // The list is that of the folder fetched for, unless the host took another one meanwhile.
        if (outcome.ok && syncFolder_ == folder_) {
            const platform::TDateTime today = platform::Today();
            findings << exchange::vanishedBookings(outcome.released, takeovers_, guests_.records(), today)
                     << exchange::blockConflicts(outcome.blocks, takeovers_, guests_.records(), today);
        }
    } catch (const std::exception &error) {
        // The portal files could not be read or written: said with the subscription it concerns.
        syncOk_ = false;
        line += QStringLiteral("nicht abgeglichen, ") + platform::ErrorText(error);
    }
    syncLines_ << line << findings;
}

void PortalState::allFetched()
{
    if (syncFolder_ == folder_)
        read(nullptr);
    Q_EMIT syncFinished(QStringLiteral("Abgleich beendet: ") + syncLines_.join(QStringLiteral("; ")), syncOk_);
}

} // namespace app
