// Fetching subscriptions from a small HTTP server on 127.0.0.1 that the test runs itself (no
// internet): a calendar, error statuses, a redirect, an answer that is no calendar, a server that
// never answers, local files; one request at a time, and nothing sent but the request.

#include "exchange/ICalendarReader.h"
#include "exchange/SubscriptionFetcher.h"
#include "platform/FileIo.h"
#include "support/CalendarServer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using exchange::FetchResult;
using exchange::Subscription;

namespace {

const QByteArray kCalendar = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nDTSTART;VALUE=DATE:20250301\r\n"
                             "END:VEVENT\r\nEND:VCALENDAR\r\n";

// The shapes of answer a fetcher meets; "/slow" is never answered.
void serveShapes(CalendarServer &server)
{
    server.answers["/cal.ics"] = {"200 OK", "text/calendar", kCalendar, "Set-Cookie: session=geheim\r\n"};
    server.answers["/missing"] = {"404 Not Found", "text/html", "<html>not found</html>"};
    server.answers["/broken"] = {"500 Internal Server Error", "text/plain", "oops"};
    server.answers["/page"] = {"200 OK", "text/html", "<!DOCTYPE html><html><body>Bitte anmelden</body></html>"};
    server.answers["/moved"] = {"302 Found", "text/plain", {}, "Location: /cal.ics\r\n"};
    server.answers["/loop"] = {"302 Found", "text/plain", {}, "Location: /loop\r\n"};
    server.silent << "/slow";
}

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
    serveShapes(server);
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
    serveShapes(server);
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
    QCOMPARE(server.heads.size(), 4);
    for (const QByteArray &request : server.heads) {
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
