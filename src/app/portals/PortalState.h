#pragma once
// The portal subscriptions of the data folder in use, the rooms they block and how each last
// fetch went, and the fetching itself: one at a time, never blocking the window. Read when the
// data folder is taken; read again after a fetch or an edit, and then announced (changed).

#include "exchange/PortalFiles.h"
#include "exchange/PortalSync.h"

#include <QObject>
#include <QStringList>

#include <vector>

class QWidget;

namespace exchange {
class SubscriptionFetcher;
}
namespace guests {
class GuestList;
}

namespace app {

class Dialogs;

class PortalState : public QObject
{
    Q_OBJECT

public:
    // `guests` is the list whose bookings a fetch is compared with (blocks on their nights, taken
    // over bookings the portal no longer shows).
    PortalState(Dialogs &dialogs, const guests::GuestList &guests, QObject *parent = nullptr);
    ~PortalState() override;

    const std::vector<exchange::Subscription> &subscriptions() const { return subscriptions_; }
    // The blocks of subscriptions that still exist.
    const std::vector<guests::PortalBlock> &blocks() const { return blocks_; }
    const std::vector<exchange::SyncState> &syncStates() const { return states_; }
    // Which blocks the host took over as guests.
    const std::vector<guests::BlockTakeover> &takeovers() const { return takeovers_; }
    QString folder() const { return folder_; }

    // Reads the portal files of `dataFolder` (empty: none chosen) when it is not the one read
    // last. Lines left out are told `asker` once, not at every reading.
    void follow(const QString &dataFolder, QWidget *asker);
    // Reads them again (after an edit or a fetch) and announces the change.
    void reread(QWidget *asker);
    // Keeps new subscriptions in the data folder and reads again. Throws platform::EInOutError.
    void saveSubscriptions(const std::vector<exchange::Subscription> &subscriptions, QWidget *asker);
    // Notes that `block` was taken over as the guest `gastNr` and reads again. Throws
    // platform::EInOutError (and keeps nothing) when the file cannot be saved.
    void saveTakeover(const guests::PortalBlock &block, qint32 gastNr, QWidget *asker);

    // Fetches every subscription; the result is said by syncFinished. False (and said why by
    // syncFinished) when there is nothing to fetch or a fetch runs already.
    bool sync();
    bool busy() const;
    // How long one fetch may take (20 s; tests make it short).
    void setTimeout(int milliseconds);

Q_SIGNALS:
    // The subscriptions, blocks or sync states were read anew.
    void changed();
    void syncStarted();
    // The summary of a fetch for the status line: per subscription what came of it, what the
    // calendar reader left out, and the house's bookings the fetch concerns.
    void syncFinished(const QString &summary, bool allOk);

private:
    void read(QWidget *asker);
    void fetched(const exchange::Subscription &subscription, const exchange::FetchResult &result);
    void allFetched();

    Dialogs &dialogs_;
    const guests::GuestList &guests_;
    exchange::SubscriptionFetcher *fetcher_;
    QString folder_;
    bool read_ = false;
    std::vector<exchange::Subscription> subscriptions_;
    std::vector<guests::PortalBlock> blocks_;
    std::vector<exchange::SyncState> states_;
    std::vector<guests::BlockTakeover> takeovers_;
    QString notesTold_; // the notes last shown, so the same ones are not shown again
    // The fetch under way: its folder and what each subscription came to.
    QString syncFolder_;
    QStringList syncLines_;
    bool syncOk_ = true;
};

// "Portal A (Zimmer 1)" as the messages name a subscription.
QString subscriptionLabel(const exchange::Subscription &subscription);

} // namespace app
