#include "exchange/SubscriptionFetcher.h"

#include "platform/Error.h"
#include "platform/FileIo.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace exchange {

namespace {

QString networkErrorText(QNetworkReply::NetworkError error, const QUrl &url)
{
    const QString host = url.host();
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Der Server „%1“ wurde nicht gefunden. Besteht eine Internetverbindung?").arg(host);
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Der Server „%1“ lehnt die Verbindung ab.").arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("Der Server „%1“ hat die Verbindung vorzeitig beendet.").arg(host);
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("Die sichere Verbindung zu „%1“ ist fehlgeschlagen (Zertifikat ungültig?).").arg(host);
    case QNetworkReply::TooManyRedirectsError: return QStringLiteral("Der Server „%1“ leitet zu oft weiter.").arg(host);
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("Der Server „%1“ leitet auf eine unsichere Adresse (http statt https) um.").arg(host);
    case QNetworkReply::OperationCanceledError: return QStringLiteral("Der Abruf wurde abgebrochen.");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError: return QStringLiteral("Keine Netzwerkverbindung.");
    default:
        return QStringLiteral("Der Abruf von „%1“ ist fehlgeschlagen (Netzwerkfehler %2).").arg(host).arg(int(error));
    }
}

} // namespace

QString httpStatusText(int status)
{
    QString meaning;
    switch (status) {
    case 400: meaning = QStringLiteral("ungültige Anfrage"); break;
    case 401:
    case 403: meaning = QStringLiteral("kein Zugriff; ist die Adresse noch gültig?"); break;
    case 404:
    case 410: meaning = QStringLiteral("Kalender nicht gefunden; ist die Adresse noch gültig?"); break;
    case 429: meaning = QStringLiteral("zu viele Abrufe, bitte später erneut versuchen"); break;
    default:
        meaning = status >= 500 ? QStringLiteral("Fehler beim Server, bitte später erneut versuchen")
                                : QStringLiteral("unerwartete Antwort");
    }
    return QStringLiteral("Der Server meldet %1: %2.").arg(status).arg(meaning);
}

SubscriptionFetcher::SubscriptionFetcher(QObject *parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (reply_) {
            timedOut_ = true;
            reply_->abort();
        }
    });
}

SubscriptionFetcher::~SubscriptionFetcher()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

void SubscriptionFetcher::fetch(const std::vector<Subscription> &subscriptions)
{
    const bool wasIdle = !busy();
    queue_.insert(queue_.end(), subscriptions.begin(), subscriptions.end());
    if (wasIdle && !queue_.empty())
        QTimer::singleShot(0, this, &SubscriptionFetcher::startNext);
}

void SubscriptionFetcher::cancel()
{
    queue_.clear();
    if (reply_)
        reply_->abort();
}

void SubscriptionFetcher::startNext()
{
    if (current_)
        return;
    if (queue_.empty()) {
        Q_EMIT allFinished();
        return;
    }
    current_ = queue_.front();
    queue_.pop_front();
    const QUrl url = subscriptionUrl(current_->address);
    if (url.isEmpty()) {
        FetchResult result;
        result.error = QStringLiteral("„%1“ ist keine Adresse, die das Programm abrufen kann (https://…, http://… "
                                      "oder eine .ics-Datei).")
                           .arg(current_->address);
        QTimer::singleShot(0, this, [this, result] { finishCurrent(result); });
        return;
    }
    if (url.isLocalFile()) {
        fetchFile(url);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    // Nothing but the request: no cookies kept from an earlier answer, nothing from a cache.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Zimbrana"));
    timedOut_ = false;
    tooLarge_ = false;
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        if (received > maxBytes_ && reply_) {
            tooLarge_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &SubscriptionFetcher::onReplyFinished);
    timer_->start(timeoutMs_);
}

void SubscriptionFetcher::fetchFile(const QUrl &url)
{
    FetchResult result;
    const QString path = url.toLocalFile();
    try {
        result.body = platform::ReadFileStart(path, maxBytes_ + 1);
        if (result.body.size() > maxBytes_) {
            result.body.clear();
            result.error = QStringLiteral("Die Datei „%1“ ist zu groß für einen Kalender.").arg(path);
        } else {
            result.ok = true;
        }
    } catch (const platform::Error &error) {
        result.error = error.message();
    }
    // Reported as a network answer is: after fetch() has returned.
    QTimer::singleShot(0, this, [this, result] { finishCurrent(result); });
}

void SubscriptionFetcher::onReplyFinished()
{
    timer_->stop();
    QNetworkReply *reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    FetchResult result;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (timedOut_) {
        const int seconds = (timeoutMs_ + 999) / 1000;
        result.error = seconds == 1 ? QStringLiteral("Keine Antwort innerhalb einer Sekunde.")
                                    : QStringLiteral("Keine Antwort innerhalb von %1 Sekunden.").arg(seconds);
    } else if (tooLarge_) {
        result.error = QStringLiteral("Die Antwort ist zu groß für einen Kalender.");
    } else if (status.isValid() && status.toInt() >= 400) {
        result.error = httpStatusText(status.toInt());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.error = networkErrorText(reply->error(), reply->url());
    } else if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300)) {
        result.error = httpStatusText(status.toInt());
    } else {
        result.ok = true;
        result.body = reply->readAll();
    }
    finishCurrent(result);
}

void SubscriptionFetcher::finishCurrent(FetchResult result)
{
    if (!current_)
        return;
    const Subscription done = *current_;
    current_.reset();
    Q_EMIT finished(done, result);
    startNext();
}

} // namespace exchange
