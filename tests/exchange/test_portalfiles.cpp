// The portal files in the data folder (subscriptions a host may write by hand, the blocks, the
// results of the fetches) and bringing a subscription's blocks up to date with its calendar.

#include "exchange/PortalFiles.h"
#include "exchange/PortalSync.h"
#include "platform/FileIo.h"
#include "register/BlockTakeover.h"
#include "support/Permissions.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using exchange::autoFetchDue;
using exchange::PortalEvent;
using exchange::Subscription;
using guests::PortalBlock;

namespace {

platform::TDateTime d(int year, int month, int day)
{
    return platform::DateToDay(QDate(year, month, day));
}

QString day(platform::TDateTime t)
{
    return platform::DayToDate(t).toString(QStringLiteral("dd.MM."));
}

const QDateTime kEarlier(QDate(2025, 2, 1), QTime(8, 0));
const QDateTime kNow(QDate(2025, 2, 20), QTime(10, 0));

PortalBlock block(int room, const QString &subscription, const QString &uid, platform::TDateTime from,
                  platform::TDateTime to)
{
    return PortalBlock{room, from, to, subscription, uid, QStringLiteral("Reserved"), kEarlier};
}

PortalEvent portalEvent(const QString &uid, platform::TDateTime from, platform::TDateTime to)
{
    return PortalEvent{uid, QStringLiteral("Reserved"), from, to, QString()};
}

// "room subscription uid from-to seen" per block, sorted, so the order of the file does not matter.
QString described(const std::vector<PortalBlock> &blocks)
{
    QStringList lines;
    for (const PortalBlock &b : blocks)
        lines << QStringLiteral("%1 %2 %3 %4-%5 %6")
                     .arg(b.room)
                     .arg(b.subscription, b.uid, day(b.from), day(b.to),
                          b.lastSeen == kNow ? QStringLiteral("jetzt") : QStringLiteral("früher"));
    lines.sort();
    return lines.join(u'\n');
}

QString described(const std::vector<Subscription> &subscriptions)
{
    QStringList lines;
    for (const Subscription &s : subscriptions)
        lines << QStringLiteral("%1|%2|%3").arg(s.room).arg(s.name, s.address);
    return lines.join(u'\n');
}

const QByteArray kCalendar = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:neu\r\nDTSTART;VALUE=DATE:20250301\r\n"
                             "DTEND;VALUE=DATE:20250303\r\nSUMMARY:Reserved\r\nEND:VEVENT\r\n"
                             "BEGIN:VEVENT\r\nUID:eigen\r\nDTSTART;VALUE=DATE:20250310\r\n"
                             "SUMMARY:Not available\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

QByteArray calendarOf(const QByteArray &events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

// An event the reader can take, one it cannot (its start is no date), and one cancelled.
QByteArray readable(const QByteArray &uid)
{
    return "BEGIN:VEVENT\r\nUID:" + uid +
           "\r\nDTSTART;VALUE=DATE:20250401\r\nDTEND;VALUE=DATE:20250403\r\nEND:VEVENT\r\n";
}
QByteArray unreadable(const QByteArray &uid)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTART;VALUE=DATE:2025-13-45\r\nEND:VEVENT\r\n";
}
QByteArray cancelled(const QByteArray &uid)
{
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSTATUS:CANCELLED\r\nDTSTART;VALUE=DATE:20250401\r\nEND:VEVENT\r\n";
}

} // namespace

class TestPortalFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void subscriptionsAsWritten_data();
    void subscriptionsAsWritten();
    void subscriptionsSaveAndReadBack();
    void blocksSaveAndReadBack();
    void damagedBlockLinesAreLeftOut();
    void merge_data();
    void merge();
    void removedSubscriptionReleasesItsBlocks();
    void failedFetchChangesNothing_data();
    void failedFetchChangesNothing();
    void fetchedCalendarUpdatesBlocksAndState();
    void autoFetchDue_data();
    void autoFetchDue();
    void doubtfulCalendarKeepsTheBlocks_data();
    void doubtfulCalendarKeepsTheBlocks();
    void formulaStartsAreGuardedAndReadBack_data();
    void formulaStartsAreGuardedAndReadBack();
    void portalFilesAreTheOwnersOnly();
};

void TestPortalFiles::subscriptionsAsWritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("notes"); // parts of the notes, "|" between them

    QTest::newRow("as the program writes it")
        << QByteArray("Zimmer;Name;Adresse\r\n1;Portal A;https://a.example/1.ics\r\n3;Portal B;/home/gh/b.ics\r\n")
        << "1|Portal A|https://a.example/1.ics\n3|Portal B|/home/gh/b.ics" << QString();
    QTest::newRow("no header, LF, byte-order mark, blanks")
        << QByteArray("\xEF\xBB\xBF 2 ; Portal A ;  http://a.example/x.ics \n") << "2|Portal A|http://a.example/x.ics"
        << QString();
    QTest::newRow("empty lines and comments")
        << QByteArray("# Zimmer 1 bei Portal A\n\n1;Portal A;file:///tmp/a.ics\n\n") << "1|Portal A|file:///tmp/a.ics"
        << QString();
    QTest::newRow("\"Zimmer 2\" and quotes")
        << QByteArray("Zimmer 2;\"Portal \"\"Süd\"\"\";\"https://a.example/x.ics\"\n")
        << QStringLiteral("2|Portal \"Süd\"|https://a.example/x.ics") << QString();
    QTest::newRow("TAB or comma when there is no semicolon")
        << QByteArray("1\tPortal A\thttps://a.example/1.ics\n2,Portal B,https://b.example/2.ics\n")
        << "1|Portal A|https://a.example/1.ics\n2|Portal B|https://b.example/2.ics" << QString();
    QTest::newRow("semicolon inside the address") << QByteArray("1;Portal A;https://a.example/cal?x=1;y=2\n")
                                                  << "1|Portal A|https://a.example/cal?x=1;y=2" << QString();
    QTest::newRow("Windows-1252 from an old editor")
        << QByteArray("1;Portal S\xFC\x64;https://a.example/1.ics\n")
        << QStringLiteral("1|Portal Süd|https://a.example/1.ics") << "Windows-1252";
    QTest::newRow("bad lines are left out with their line numbers")
        << QByteArray("Zimmer;Name;Adresse\n4;Portal A;https://a.example/1.ics\n1;;https://a.example/1.ics\n"
                      "1;Portal A;ftp://a.example/1.ics\n1;Portal A\n2;Portal B;https://b.example/2.ics\n"
                      "2;portal b;https://b.example/other.ics\n")
        << "2|Portal B|https://b.example/2.ics"
        << QStringLiteral("Zeile 2: Ein Zimmer „4“|Zeile 3: Der Name fehlt|Zeile 4: „ftp://a.example/1.ics“|"
                          "Zeile 5: Es fehlen Felder|Zeile 7: Zimmer 2 hat schon");
    QTest::newRow("the same name in two rooms is two subscriptions")
        << QByteArray("1;Portal A;https://a.example/1.ics\n2;Portal A;https://a.example/2.ics\n")
        << "1|Portal A|https://a.example/1.ics\n2|Portal A|https://a.example/2.ics" << QString();
    QTest::newRow("file address with a blank") << QByteArray("1;Portal A;file:///home/gh/Zimmer 1.ics\n")
                                               << "1|Portal A|file:///home/gh/Zimmer 1.ics" << QString();
    QTest::newRow("empty file") << QByteArray() << QString() << QString();
}

void TestPortalFiles::subscriptionsAsWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QFETCH(QString, notes);
    const exchange::SubscriptionList read = exchange::parseSubscriptions(file);
    QCOMPARE(described(read.subscriptions), expected);
    const QStringList parts = notes.isEmpty() ? QStringList() : notes.split(u'|');
    QCOMPARE(read.notes.size(), parts.size());
    for (qsizetype i = 0; i < parts.size(); ++i)
        QVERIFY2(read.notes[i].contains(parts[i]), qPrintable(read.notes[i]));
}

void TestPortalFiles::subscriptionsSaveAndReadBack()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // A missing file is no subscription, and no error.
    QCOMPARE(exchange::readSubscriptions(folder.path()).subscriptions.size(), std::size_t(0));

    const std::vector<Subscription> subscriptions{
        {1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/cal.ics?k=1;2")},
        {2, QStringLiteral("Grüne \"Wiese\""), QStringLiteral("/home/gast haus/b.ics")},
        {3, QStringLiteral(" Portal C "), QStringLiteral("file:///tmp/c.ics")}};
    exchange::saveSubscriptions(folder.path(), subscriptions);
    const QByteArray bytes = platform::ReadFileBytes(folder.filePath(QStringLiteral("Portale/Abonnements.csv")));
    QVERIFY2(bytes.startsWith("Zimmer;Name;Adresse\r\n1;Portal A;"), bytes.constData());
    const exchange::SubscriptionList back = exchange::readSubscriptions(folder.path());
    QCOMPARE(back.notes, QStringList());
    // Blanks around a name are what a hand edit leaves; reading drops them.
    std::vector<Subscription> expected = subscriptions;
    expected[2].name = QStringLiteral("Portal C");
    QCOMPARE(described(back.subscriptions), described(expected));
}

void TestPortalFiles::blocksSaveAndReadBack()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    std::vector<PortalBlock> blocks{
        block(1, QStringLiteral("Portal A"), QStringLiteral("a1@x"), d(2025, 3, 1), d(2025, 3, 4)),
        PortalBlock{3, d(2025, 12, 31), d(2026, 1, 2), QStringLiteral("Portal; B"), QStringLiteral("\"quoted\" uid"),
                    QStringLiteral(" Müller; \"VIP\" "), kNow}};
    exchange::saveBlocks(folder.path(), blocks);
    const exchange::BlockList back = exchange::readBlocks(folder.path());
    QCOMPARE(back.notes, QStringList());
    QCOMPARE(back.blocks.size(), blocks.size());
    QVERIFY(back.blocks[0] == blocks[0]);
    // The summary loses only its outer blanks, which a field read never keeps.
    blocks[1].summary = blocks[1].summary.trimmed();
    QVERIFY(back.blocks[1] == blocks[1]);
}

void TestPortalFiles::damagedBlockLinesAreLeftOut()
{
    const QByteArray file = "Zimmer;Von;Bis;Abonnement;UID;Bezeichnung;Zuletzt gesehen\r\n"
                            "1;01.03.2025;04.03.2025;Portal A;a;x;20.02.2025 10:00:00\r\n"
                            "1;04.03.2025;01.03.2025;Portal A;b;x;20.02.2025 10:00:00\r\n"
                            "7;01.03.2025;04.03.2025;Portal A;c;x;20.02.2025 10:00:00\r\n"
                            "1;31.02.2025;04.03.2025;Portal A;d;x;20.02.2025 10:00:00\r\n"
                            "1;01.03.2025\r\n";
    const exchange::BlockList read = exchange::parseBlocks(file);
    QCOMPARE(read.blocks.size(), std::size_t(1));
    QCOMPARE(read.blocks[0].uid, QStringLiteral("a"));
    QCOMPARE(read.notes.size(), 4);
    QVERIFY(read.notes[0].contains(QStringLiteral("Zeile 3")));
}

void TestPortalFiles::merge_data()
{
    QTest::addColumn<std::vector<PortalBlock>>("stored");
    QTest::addColumn<std::vector<PortalEvent>>("events");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QList<int>>("counts"); // added, moved, released, kept

    const QString a = QStringLiteral("Portal A");
    const QString b = QStringLiteral("Portal B");
    QTest::newRow("new events become blocks")
        << std::vector<PortalBlock>{} << std::vector<PortalEvent>{portalEvent("u1", d(2025, 3, 1), d(2025, 3, 3))}
        << "1 Portal A u1 01.03.-03.03. jetzt" << QList<int>{1, 0, 0, 0};
    QTest::newRow("same UID on other days moves")
        << std::vector<PortalBlock>{block(1, a, "u1", d(2025, 3, 1), d(2025, 3, 3))}
        << std::vector<PortalEvent>{portalEvent("u1", d(2025, 3, 2), d(2025, 3, 5))}
        << "1 Portal A u1 02.03.-05.03. jetzt" << QList<int>{0, 1, 0, 0};
    QTest::newRow("a vanished event is released")
        << std::vector<PortalBlock>{block(1, a, "u1", d(2025, 3, 1), d(2025, 3, 3)),
                                    block(1, a, "u2", d(2025, 4, 1), d(2025, 4, 3))}
        << std::vector<PortalEvent>{portalEvent("u2", d(2025, 4, 1), d(2025, 4, 3))}
        << "1 Portal A u2 01.04.-03.04. jetzt" << QList<int>{0, 0, 1, 1};
    QTest::newRow("an empty calendar releases all of its blocks")
        << std::vector<PortalBlock>{block(1, a, "u1", d(2025, 3, 1), d(2025, 3, 3))} << std::vector<PortalEvent>{}
        << QString() << QList<int>{0, 0, 1, 0};
    QTest::newRow("other subscriptions and other rooms stay as they are")
        << std::vector<PortalBlock>{block(1, b, "u1", d(2025, 3, 1), d(2025, 3, 3)),
                                    block(2, a, "u1", d(2025, 3, 1), d(2025, 3, 3)),
                                    block(1, a, "u1", d(2025, 3, 1), d(2025, 3, 3))}
        << std::vector<PortalEvent>{portalEvent("u1", d(2025, 3, 7), d(2025, 3, 8))}
        << "1 Portal A u1 07.03.-08.03. jetzt\n1 Portal B u1 01.03.-03.03. früher\n2 Portal A u1 01.03.-03.03. früher"
        << QList<int>{0, 1, 0, 0};
    QTest::newRow("unchanged blocks are seen again")
        << std::vector<PortalBlock>{block(1, a, "u1", d(2025, 3, 1), d(2025, 3, 3))}
        << std::vector<PortalEvent>{portalEvent("u1", d(2025, 3, 1), d(2025, 3, 3)),
                                    portalEvent("u9", d(2025, 5, 1), d(2025, 5, 2))}
        << "1 Portal A u1 01.03.-03.03. jetzt\n1 Portal A u9 01.05.-02.05. jetzt" << QList<int>{1, 0, 0, 1};
}

void TestPortalFiles::merge()
{
    QFETCH(std::vector<PortalBlock>, stored);
    QFETCH(std::vector<PortalEvent>, events);
    QFETCH(QString, expected);
    QFETCH(QList<int>, counts);
    const Subscription subscription{1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/1.ics")};
    const exchange::MergeResult result = exchange::mergeFeed(stored, subscription, events, kNow);
    QCOMPARE(described(result.blocks), expected);
    QCOMPARE((QList<int>{result.counts.added, result.counts.moved, result.counts.released, result.counts.kept}),
             counts);
}

void TestPortalFiles::removedSubscriptionReleasesItsBlocks()
{
    const std::vector<PortalBlock> blocks{block(1, QStringLiteral("Portal A"), "u1", d(2025, 3, 1), d(2025, 3, 3)),
                                          block(2, QStringLiteral("Portal A"), "u2", d(2025, 3, 1), d(2025, 3, 3)),
                                          block(1, QStringLiteral("Portal B"), "u3", d(2025, 3, 1), d(2025, 3, 3))};
    const std::vector<Subscription> left{{1, QStringLiteral("Portal B"), QStringLiteral("/x.ics")},
                                         {2, QStringLiteral("Portal A"), QStringLiteral("/y.ics")}};
    QCOMPARE(described(exchange::blocksOfSubscriptions(blocks, left)),
             QStringLiteral("1 Portal B u3 01.03.-03.03. früher\n2 Portal A u2 01.03.-03.03. früher"));
}

void TestPortalFiles::failedFetchChangesNothing_data()
{
    QTest::addColumn<exchange::FetchResult>("fetched");
    QTest::addColumn<QString>("reason");
    QTest::newRow("network error") << exchange::FetchResult{false, {}, QStringLiteral("Der Server meldet 404: weg.")}
                                   << "Der Server meldet 404: weg.";
    QTest::newRow("a web page") << exchange::FetchResult{true, "<html>Login</html>", {}} << "Webseite";
    QTest::newRow("cut off") << exchange::FetchResult{true, kCalendar.left(120), {}} << "unvollständig";
    QTest::newRow("empty answer") << exchange::FetchResult{true, {}, {}} << "leer";
}

void TestPortalFiles::failedFetchChangesNothing()
{
    QFETCH(exchange::FetchResult, fetched);
    QFETCH(QString, reason);
    // GIVEN a data folder with a guest file and blocks of Portal A
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString guestFile = folder.filePath(QStringLiteral("Gaeste.csv"));
    platform::SaveFileAtomic(guestFile, "Gaeste-Bytes\r\n");
    const Subscription subscription{1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/1.ics")};
    exchange::saveBlocks(folder.path(), {block(1, subscription.name, "alt", d(2025, 3, 1), d(2025, 3, 3))});
    const QByteArray blocksBefore = platform::ReadFileBytes(exchange::blocksPath(folder.path()));

    // WHEN the fetch failed or brought no calendar
    const exchange::SyncOutcome outcome = exchange::syncSubscription(folder.path(), subscription, fetched, {}, kNow);

    // THEN no block changed, the reason is given and kept as the subscription's last result
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.changed);
    QVERIFY2(outcome.message.contains(reason), qPrintable(outcome.message));
    QCOMPARE(platform::ReadFileBytes(exchange::blocksPath(folder.path())), blocksBefore);
    QCOMPARE(platform::ReadFileBytes(guestFile), QByteArray("Gaeste-Bytes\r\n"));
    const std::vector<exchange::SyncState> states = exchange::readSyncStates(folder.path());
    const exchange::SyncState *state = exchange::syncStateOf(states, subscription);
    QVERIFY(state);
    QVERIFY(!state->ok);
    QCOMPARE(state->time, kNow);
    QCOMPARE(exchange::syncStateText(state),
             QStringLiteral("Abgleich am 20.02.2025 um 10:00 fehlgeschlagen: ") + outcome.message);
}

void TestPortalFiles::fetchedCalendarUpdatesBlocksAndState()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString guestFile = folder.filePath(QStringLiteral("Gaeste.csv"));
    platform::SaveFileAtomic(guestFile, "Gaeste-Bytes\r\n");
    const Subscription a{1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/1.ics")};
    const Subscription b{2, QStringLiteral("Portal B"), QStringLiteral("https://b.example/2.ics")};
    exchange::saveBlocks(folder.path(), {block(1, a.name, "weg", d(2025, 3, 1), d(2025, 3, 3)),
                                         block(2, b.name, "b1", d(2025, 3, 1), d(2025, 3, 3))});
    // Portal B failed before; its state stays when A is fetched.
    exchange::syncSubscription(folder.path(), b, exchange::FetchResult{false, {}, QStringLiteral("Zeitüberschreitung")},
                               {}, kEarlier);

    const exchange::SyncOutcome outcome = exchange::syncSubscription(
        folder.path(), a, exchange::FetchResult{true, kCalendar, {}}, {QStringLiteral("not available")}, kNow);

    QVERIFY(outcome.ok);
    QCOMPARE(outcome.message, QStringLiteral("1 Blockierung (1 neu, 0 verschoben, 1 freigegeben)"));
    QCOMPARE(described(exchange::readBlocks(folder.path()).blocks),
             QStringLiteral("1 Portal A neu 01.03.-03.03. jetzt\n2 Portal B b1 01.03.-03.03. früher"));
    QCOMPARE(platform::ReadFileBytes(guestFile), QByteArray("Gaeste-Bytes\r\n"));
    const std::vector<exchange::SyncState> states = exchange::readSyncStates(folder.path());
    QCOMPARE(states.size(), std::size_t(2));
    QCOMPARE(exchange::syncStateText(exchange::syncStateOf(states, a)),
             QStringLiteral("Zuletzt abgeglichen am 20.02.2025 um 10:00: ") + outcome.message);
    QVERIFY(!exchange::syncStateOf(states, b)->ok);
    QCOMPARE(exchange::syncStateText(nullptr), QStringLiteral("Noch nie abgeglichen"));
}

void TestPortalFiles::autoFetchDue_data()
{
    QTest::addColumn<QDateTime>("last");
    QTest::addColumn<bool>("due");
    QTest::newRow("never") << QDateTime() << true;
    QTest::newRow("just now") << kNow << false;
    QTest::newRow("14 minutes 59 ago") << kNow.addSecs(-(15 * 60 - 1)) << false;
    QTest::newRow("15 minutes ago") << kNow.addSecs(-15 * 60) << true;
    QTest::newRow("yesterday") << kNow.addDays(-1) << true;
    QTest::newRow("clock set back") << kNow.addSecs(3600) << true;
}

void TestPortalFiles::autoFetchDue()
{
    QFETCH(QDateTime, last);
    QFETCH(bool, due);
    QCOMPARE(exchange::autoFetchDue(last, kNow), due);
}

void TestPortalFiles::doubtfulCalendarKeepsTheBlocks_data()
{
    QTest::addColumn<int>("previous"); // blocks of the subscription before the fetch
    QTest::addColumn<QByteArray>("events");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("message");
    const QString kept = QStringLiteral("; die bisherigen Blockierungen bleiben bestehen.");
    QTest::newRow("no event readable") << 1 << unreadable("x") + unreadable("y") << false
                                       << QStringLiteral("Keiner der 2 Termine im Kalender ist lesbar") + kept;
    QTest::newRow("the only event unreadable")
        << 0 << unreadable("x") << false << QStringLiteral("Der einzige Termin im Kalender ist nicht lesbar") + kept;
    QTest::newRow("under half left, one unreadable")
        << 4 << readable("b0") + unreadable("x") << false
        << QStringLiteral("Im Kalender sind nur noch 1 von bisher 4 Blockierungen, und 1 Termin ist nicht lesbar") +
               kept;
    QTest::newRow("under half left, two unreadable")
        << 5 << readable("b0") + readable("b1") + unreadable("x") + unreadable("y") << false
        << QStringLiteral("Im Kalender sind nur noch 2 von bisher 5 Blockierungen, und 2 Termine sind nicht lesbar") +
               kept;
    // What a portal may well say: taken as it is.
    QTest::newRow("half left, one unreadable")
        << 4 << readable("b0") + readable("b1") + unreadable("x") << true
        << QStringLiteral("2 Blockierungen (0 neu, 0 verschoben, 2 freigegeben)");
    QTest::newRow("under half left, all readable")
        << 4 << readable("b0") << true << QStringLiteral("1 Blockierung (0 neu, 0 verschoben, 3 freigegeben)");
    QTest::newRow("only cancelled events") << 2 << cancelled("b0") + cancelled("b1") << true
                                           << QStringLiteral("0 Blockierungen (0 neu, 0 verschoben, 2 freigegeben)");
    QTest::newRow("empty calendar") << 2 << QByteArray() << true
                                    << QStringLiteral("0 Blockierungen (0 neu, 0 verschoben, 2 freigegeben)");
}

void TestPortalFiles::doubtfulCalendarKeepsTheBlocks()
{
    QFETCH(int, previous);
    QFETCH(QByteArray, events);
    QFETCH(bool, taken);
    QFETCH(QString, message);
    // GIVEN `previous` blocks b0, b1, … of Portal A on 1–3 April and one of Portal B
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const Subscription a{1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/1.ics")};
    std::vector<PortalBlock> before{block(2, QStringLiteral("Portal B"), "b", d(2025, 4, 1), d(2025, 4, 3))};
    for (int i = 0; i < previous; ++i)
        before.push_back(block(1, a.name, QStringLiteral("b%1").arg(i), d(2025, 4, 1), d(2025, 4, 3)));
    exchange::saveBlocks(folder.path(), before);
    const QByteArray blocksBefore = platform::ReadFileBytes(exchange::blocksPath(folder.path()));

    // WHEN Portal A's calendar holds `events`
    const exchange::SyncOutcome outcome =
        exchange::syncSubscription(folder.path(), a, exchange::FetchResult{true, calendarOf(events), {}}, {}, kNow);

    // THEN a calendar the program cannot trust counts as failed and keeps every block
    QCOMPARE(outcome.ok, taken);
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.changed, taken);
    if (!taken) {
        QCOMPARE(platform::ReadFileBytes(exchange::blocksPath(folder.path())), blocksBefore);
        QVERIFY(outcome.released.empty());
        // The reader's notes say which events could not be read.
        QVERIFY2(!outcome.notes.isEmpty() && outcome.notes.first().contains(QStringLiteral("unlesbarem Beginn")),
                 qPrintable(outcome.notes.join(u'\n')));
    }
    const std::vector<exchange::SyncState> states = exchange::readSyncStates(folder.path());
    QCOMPARE(exchange::syncStateOf(states, a)->ok, taken);
    QCOMPARE(exchange::syncStateOf(states, a)->message, message);
}

void TestPortalFiles::formulaStartsAreGuardedAndReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("equals") << QStringLiteral("=HYPERLINK(\"http://x\";\"Hier\")");
    QTest::newRow("plus") << QStringLiteral("+49 561 1234");
    QTest::newRow("minus") << QStringLiteral("-A1");
    QTest::newRow("at") << QStringLiteral("@SUMME(A1)");
    QTest::newRow("TAB") << QStringLiteral("\t=1+2");
    QTest::newRow("already an apostrophe") << QStringLiteral("'=1");
    QTest::newRow("plain text") << QStringLiteral("Reserved");
}

void TestPortalFiles::formulaStartsAreGuardedAndReadBack()
{
    QFETCH(QString, text);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    // GIVEN a portal's texts (its name, an event's UID and summary) that a spreadsheet would run
    const PortalBlock b{2, d(2025, 3, 1), d(2025, 3, 4), text, text, text, kNow};
    const guests::BlockTakeover t{text, text, 12};
    const exchange::SyncState state{2, text, kNow, false, text};

    // WHEN the three portal files are written
    exchange::saveBlocks(folder.path(), {b});
    exchange::saveTakeovers(folder.path(), {t});
    exchange::saveSyncStates(folder.path(), {state});

    // THEN no field starts with a formula sign (outside a guard), and each reads back as it was
    for (const QString &path : {exchange::blocksPath(folder.path()), exchange::takeoversPath(folder.path()),
                                exchange::syncStatesPath(folder.path())}) {
        const QString file = QString::fromUtf8(platform::ReadFileBytes(path));
        for (const QString &line : file.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            for (QString field : line.split(u';')) {
                if (field.startsWith(u'"'))
                    field.remove(0, 1);
                QVERIFY2(field.isEmpty() || !QStringView(u"=+-@\t\r").contains(field.front()), qPrintable(line));
            }
    }
    const exchange::BlockList blocks = exchange::readBlocks(folder.path());
    QCOMPARE(blocks.notes, QStringList());
    QCOMPARE(blocks.blocks.size(), std::size_t(1));
    QVERIFY(blocks.blocks.front() == b);
    const exchange::TakeoverList takeovers = exchange::readTakeovers(folder.path());
    QCOMPARE(takeovers.takeovers.size(), std::size_t(1));
    QVERIFY(takeovers.takeovers.front() == t);
    const std::vector<exchange::SyncState> states = exchange::readSyncStates(folder.path());
    QCOMPARE(states.size(), std::size_t(1));
    QVERIFY(states.front() == state);
}

void TestPortalFiles::portalFilesAreTheOwnersOnly()
{
    // GIVEN a data folder without "Portale"
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const Subscription a{1, QStringLiteral("Portal A"), QStringLiteral("https://a.example/1.ics")};

    // WHEN a fetch writes the blocks and its result, and a block is taken over
    exchange::syncSubscription(folder.path(), a, exchange::FetchResult{true, kCalendar, {}}, {}, kNow);
    exchange::addTakeover(folder.path(), guests::BlockTakeover{QStringLiteral("neu"), a.name, 4});
    exchange::saveSubscriptions(folder.path(), {a});

    // THEN the folder is its owner's to enter only and every file its owner's to read only
    QCOMPARE(permissions::modeOf(exchange::portalFolder(folder.path())), permissions::kOwnerFolder);
    for (const QString &path : {exchange::blocksPath(folder.path()), exchange::syncStatesPath(folder.path()),
                                exchange::takeoversPath(folder.path()), exchange::subscriptionsPath(folder.path())})
        QCOMPARE(permissions::modeOf(path), permissions::kOwnerFile);
}

QTEST_GUILESS_MAIN(TestPortalFiles)
#include "test_portalfiles.moc"
