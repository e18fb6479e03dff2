#pragma once
// Fetching the subscriptions' calendars without ever blocking the window: one request at a time,
// each with a time limit, and nothing is sent but the request for the calendar.

#include "exchange/PortalFiles.h"
#include "exchange/PortalSync.h"

#include <QObject>
#include <QPointer>

#include <deque>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace exchange {

class SubscriptionFetcher : public QObject
{
    Q_OBJECT

public:
    explicit SubscriptionFetcher(QObject *parent = nullptr);
    ~SubscriptionFetcher() override;

    // How long a fetch may take before it is given up (20 s; tests make it short).
    void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
    int timeout() const { return timeoutMs_; }
    // Larger answers are cut off and reported as failed.
    void setMaxBytes(qsizetype bytes) { maxBytes_ = bytes; }

    // Queues the subscriptions; each is fetched after those queued before it. finished() follows
    // for each one, then allFinished() once the queue is empty. Returns at once.
    void fetch(const std::vector<Subscription> &subscriptions);
    bool busy() const { return current_.has_value() || !queue_.empty(); }
    // Drops the queue and gives up the running fetch (reported as cancelled).
    void cancel();

Q_SIGNALS:
    void finished(const Subscription &subscription, const FetchResult &result);
    void allFinished();

private:
    void startNext();
    void finishCurrent(FetchResult result);
    void onReplyFinished();
    void fetchFile(const QUrl &url);

    QNetworkAccessManager *network_;
    QTimer *timer_;
    std::deque<Subscription> queue_;
    std::optional<Subscription> current_;
    QPointer<QNetworkReply> reply_;
    int timeoutMs_ = 20000;
    qsizetype maxBytes_ = 10 * 1024 * 1024;
    bool timedOut_ = false;
    bool tooLarge_ = false;
};

// The German reason for a failed HTTP answer ("Der Server meldet 404: Seite nicht gefunden.").
QString httpStatusText(int status);

} // namespace exchange
