// Fetching subscriptions from a small HTTP server on 127.0.0.1 that the test runs itself (no
// internet): a calendar, error statuses, a redirect, an answer that is no calendar, a server that
// never answers, local files; one request at a time, and nothing sent but the request.

#include "exchange/ICalendarReader.h"
#include "exchange/SubscriptionFetcher.h"
#include "platform/FileIo.h"

#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using exchange::FetchResult;
using exchange::Subscription;

namespace {

const QByteArray kCalendar = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20250301\r\n"
                             "END:VEVENT\r\nEND:VCALENDAR\r\n";

// Answers GET requests by path; "/slow" is never answered.
class CalendarServer : public QObject
{
public:
    CalendarServer()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRead(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

    QList<QByteArray> requests; // the head of each request as it arrived
    int inFlight = 0;
    int maxInFlight = 0;

private:
    void onRead(QTcpSocket *socket)
    {
        QByteArray &buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        buffer.clear();
        requests << head;
        maxInFlight = std::max(maxInFlight, ++inFlight);
        const QByteArray path = head.split(' ').value(1);
        if (path == "/slow") {
            connect(socket, &QTcpSocket::disconnected, this, [this] { --inFlight; });
            return;
        }
        QByteArray status = "200 OK";
        QByteArray headers = "Content-Type: text/calendar\r\nSet-Cookie: session=geheim\r\n";
        QByteArray body = kCalendar;
        if (path == "/missing") {
            status = "404 Not Found";
            body = "<html>not found</html>";
        } else if (path == "/broken") {
            status = "500 Internal Server Error";
            body = "oops";
        } else if (path == "/page") {
            headers = "Content-Type: text/html\r\n";
            body = "<!DOCTYPE html><html><body>Bitte anmelden</body></html>";
        } else if (path == "/moved") {
            status = "302 Found";
            headers = "Location: /cal.ics\r\n";
            body.clear();
        } else if (path == "/loop") {
            status = "302 Found";
            headers = "Location: /loop\r\n";
            body.clear();
        }
        socket->write("HTTP/1.1 " + status + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        --inFlight;
    }

    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> buffers_;
};

struct Done
{
    Subscription subscription;
    FetchResult result;
};

// Fetches and waits (the event loop runs) until all are done.
std::vector<Done> fetchAll(exchange::SubscriptionFetcher &fetcher, const std::vector<Subscription> &subscriptions)
{
    std::vector<Done> done;
    const auto connection = QObject::connect(&fetcher, &exchange::SubscriptionFetcher::finished, &fetcher,
                                             [&done](const Subscription &s, const FetchResult &r) {
                                                 done.push_back({s, r});
                                             });
    QSignalSpy all(&fetcher, &exchange::SubscriptionFetcher::allFinished);
    fetcher.fetch(subscriptions);
    // Nothing is reported before the window's event loop runs again.
    const bool immediate = !done.empty() || all.count() != 0;
    if (!immediate)
        all.wait(15000);
    QObject::disconnect(connection);
    if (immediate)
        done.clear();
    return done;
}

} // namespace

class TestSubscriptionFetcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fetch_data();
    void fetch();
    void oneAtATimeInOrderWithoutCookies();
    void localFiles();
};

void TestSubscriptionFetcher::fetch_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("fetched");
    QTest::addColumn<QString>("reason"); // of the fetch, or of reading what it fetched

    QTest::newRow("calendar") << "/cal.ics" << true << QString();
    QTest::newRow("redirect") << "/moved" << true << QString();
    QTest::newRow("404") << "/missing" << false << "Der Server meldet 404: Kalender nicht gefunden";
    QTest::newRow("500") << "/broken" << false << "Der Server meldet 500: Fehler beim Server";
    QTest::newRow("no calendar") << "/page" << true << "kein Kalender, sondern eine Webseite";
    QTest::newRow("endless redirects") << "/loop" << false << "leitet zu oft weiter";
    QTest::newRow("no answer") << "/slow" << false << "Keine Antwort innerhalb einer Sekunde";
}

void TestSubscriptionFetcher::fetch()
{
    QFETCH(QString, path);
    QFETCH(bool, fetched);
    QFETCH(QString, reason);
    CalendarServer server;
    exchange::SubscriptionFetcher fetcher;
    fetcher.setTimeout(400);
    const Subscription subscription{1, QStringLiteral("Portal A"), server.url(path)};

    const std::vector<Done> done = fetchAll(fetcher, {subscription});

    QCOMPARE(done.size(), std::size_t(1));
    QVERIFY(done[0].subscription == subscription);
    const FetchResult &result = done[0].result;
    QCOMPARE(result.ok, fetched);
    QVERIFY(!fetcher.busy());
    QString why = result.error;
    if (result.ok) {
        QVERIFY(result.error.isEmpty());
        try {
            QCOMPARE(exchange::readCalendar(result.body).events.size(), std::size_t(1));
            QCOMPARE(result.body, kCalendar);
        } catch (const exchange::ECalendarError &error) {
            why = error.message();
        }
    }
    if (reason.isEmpty())
        QVERIFY2(why.isEmpty(), qPrintable(why));
    else
        QVERIFY2(why.contains(reason), qPrintable(why));
}

void TestSubscriptionFetcher::oneAtATimeInOrderWithoutCookies()
{
    CalendarServer server;
    exchange::SubscriptionFetcher fetcher;
    fetcher.setTimeout(400);
    const std::vector<Subscription> subscriptions{{1, QStringLiteral("A"), server.url(QStringLiteral("/cal.ics"))},
                                                  {2, QStringLiteral("B"), server.url(QStringLiteral("/slow"))},
                                                  {3, QStringLiteral("C"), server.url(QStringLiteral("/missing"))},
                                                  {1, QStringLiteral("D"), server.url(QStringLiteral("/cal.ics"))}};
    const std::vector<Done> done = fetchAll(fetcher, subscriptions);

    QCOMPARE(done.size(), subscriptions.size());
    for (std::size_t i = 0; i < done.size(); ++i)
        QVERIFY(done[i].subscription == subscriptions[i]);
    QCOMPARE((QList<bool>{done[0].result.ok, done[1].result.ok, done[2].result.ok, done[3].result.ok}),
             (QList<bool>{true, false, false, true}));
    QCOMPARE(server.maxInFlight, 1);
    // The first answer set a cookie; no later request sends it back.
    QCOMPARE(server.requests.size(), 4);
    for (const QByteArray &request : server.requests) {
        QVERIFY2(!request.toLower().contains("cookie"), request.constData());
        QVERIFY2(request.startsWith("GET "), request.constData());
    }
}

void TestSubscriptionFetcher::localFiles()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Zimmer 1.ics"));
    platform::SaveFileAtomic(path, kCalendar);
    exchange::SubscriptionFetcher fetcher;
    fetcher.setMaxBytes(kCalendar.size());
    const std::vector<Subscription> subscriptions{
        {1, QStringLiteral("Pfad"), path},
        {1, QStringLiteral("Adresse"), QUrl::fromLocalFile(path).toString()},
        {1, QStringLiteral("fehlt"), folder.filePath(QStringLiteral("fehlt.ics"))},
        {1, QStringLiteral("Ordner"), folder.path()},
        {1, QStringLiteral("ftp"), QStringLiteral("ftp://a.example/x.ics")}};
    const std::vector<Done> done = fetchAll(fetcher, subscriptions);
    QCOMPARE(done.size(), subscriptions.size());
    QVERIFY(done[0].result.ok);
    QCOMPARE(done[0].result.body, kCalendar);
    QVERIFY(done[1].result.ok);
    QCOMPARE(done[1].result.body, kCalendar);
    QVERIFY2(!done[2].result.ok && done[2].result.error.contains(QStringLiteral("nicht gefunden")),
             qPrintable(done[2].result.error));
    QVERIFY(!done[3].result.ok && !done[3].result.error.isEmpty());
    QVERIFY2(!done[4].result.ok && done[4].result.error.contains(QStringLiteral("keine Adresse")),
             qPrintable(done[4].result.error));

    // A file larger than allowed is not read.
    fetcher.setMaxBytes(kCalendar.size() - 1);
    const std::vector<Done> large = fetchAll(fetcher, {subscriptions[0]});
    QCOMPARE(large.size(), std::size_t(1));
    QVERIFY2(!large[0].result.ok && large[0].result.error.contains(QStringLiteral("zu groß")),
             qPrintable(large[0].result.error));
}

QTEST_GUILESS_MAIN(TestSubscriptionFetcher)
#include "test_subscriptionfetcher.moc"
