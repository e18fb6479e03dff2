// A crash in the middle of a save must not cost the host his records. A helper program saves a
// large guest list over and over, or takes invoice numbers one after the other, and is killed
// (SIGKILL) at random moments from a fixed seed. After every kill the guest file is one whole
// version, the last saved or the one being saved, and reads without error; the invoice counter
// holds a whole number, and no number is ever handed out twice; the invoice journal reads back
// whole lines only, and the next line appended after a kill stands whole on a line of its own.

#include "HardeningSupport.h"

#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <set>

using guestfile::kGuestFileName;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

using namespace hardening;

namespace {

constexpr int kKills = 50;
constexpr int kGuests = 2000;
constexpr quint32 kSeed = 20250220;

// One run of the helper, killed at a chosen moment; what it reported comes back as lines.
class Child
{
public:
    explicit Child(const QStringList &arguments)
    {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(HARDENING_CHILD), arguments);
    }

    bool started() { return process_.waitForStarted(20000); }

    // Waits until the helper has said `count` lines in all; false if it ended or took too long.
    bool waitForLines(int count)
    {
        QElapsedTimer timer;
        timer.start();
        while (lines_.size() < count) {
            if (timer.elapsed() > 30000 || process_.state() != QProcess::Running)
                return false;
            process_.waitForReadyRead(100);
            takeLines();
        }
        return true;
    }

    // Waits until the helper ends by itself (or is killed by its own hand); what it said.
    QStringList finish()
    {
        process_.waitForFinished(60000);
        takeLines();
        return lines_;
    }
    bool killed() const { return process_.exitStatus() == QProcess::CrashExit; }

    QStringList killAndCollect()
    {
        process_.kill();
        process_.waitForFinished(20000);
        takeLines();
        return lines_;
    }

private:
    void takeLines()
    {
        while (process_.canReadLine())
            lines_ << QString::fromLatin1(process_.readLine()).trimmed();
    }

    QProcess process_;
    QStringList lines_;
};

// Waits a random time of up to `window` microseconds.
void waitRandomly(QRandomGenerator &random, qint64 window)
{
    QThread::usleep(static_cast<unsigned long>(random.bounded(static_cast<quint64>(std::max<qint64>(window, 1)))));
}

// The time one step (a save, a number) takes, measured on a first run that is then killed like
// the others; the helper reports a step in `linesPerStep` lines.
qint64 microsecondsPerStep(Child &child, int linesPerStep)
{
    constexpr int kSteps = 4;
    QElapsedTimer timer;
    if (!child.waitForLines(1 + linesPerStep))
        return 0;
    timer.start();
    if (!child.waitForLines(1 + linesPerStep * (1 + kSteps)))
        return 0;
    return timer.nsecsElapsed() / 1000 / kSteps;
}

} // namespace

class TestCrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UseGermanSettings(); }
    void guestFileIsWholeAfterEveryKill();
    void invoiceNumbersStayUniqueAcrossKills();
    void journalKeepsWholeLinesAcrossKills();
    void everyInvoiceStepLeavesItsNumberExplained_data();
    void everyInvoiceStepLeavesItsNumberExplained();
};

void TestCrash::guestFileIsWholeAfterEveryKill()
{
    // GIVEN a guest file with version 0 of a large list
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    const std::vector<TGast> even = Guests(kGuests);
    const std::vector<TGast> odd = Guests(kGuests + 1);
    WriteGuestFile(path, Version(even, odd, 0));

    QRandomGenerator random(kSeed);
    int stand = 0;
    int killedWhileSaving = 0;
    int newerVersionFound = 0;
    qint64 window = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        // WHEN the helper saves one version after the other and is killed at a random moment
        Child child({QStringLiteral("save-guests"), path, QString::number(kGuests), QString::number(stand)});
        QVERIFY(child.started());
        if (kill == 0) {
            // Three saves long, so that the kills fall on every part of a save.
            window = 3 * microsecondsPerStep(child, 2);
            QVERIFY2(window > 0, "the helper did not save");
        } else if (random.bounded(10) != 0) { // now and then right at its start
            QVERIFY(child.waitForLines(1));
            waitRandomly(random, window);
        }
        const QStringList said = child.killAndCollect();

        // THEN the file reads without error and is exactly the last saved version or the next
        int lastDone = stand;
        int lastBegun = stand;
        for (const QString &line : said) {
            QVERIFY2(!line.startsWith(QStringLiteral("error")), qPrintable(line));
            if (line.startsWith(QStringLiteral("done ")))
                lastDone = line.mid(5).toInt();
            else if (line.startsWith(QStringLiteral("begin ")))
                lastBegun = line.mid(6).toInt();
        }
        std::vector<TGast> read;
        try {
            read = ReadGuestFile(path);
        } catch (const std::exception &error) {
            QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(kill).arg(QString::fromUtf8(error.what()))));
        }
        const int found = StandOf(read);
        QVERIFY2(found == lastDone || found == lastBegun,
                 qPrintable(QStringLiteral("kill %1: stand %2 after done %3, begun %4")
                                .arg(kill)
                                .arg(found)
                                .arg(lastDone)
                                .arg(lastBegun)));
        QVERIFY2(read == Version(even, odd, found), qPrintable(QStringLiteral("kill %1").arg(kill)));
        killedWhileSaving += lastBegun > lastDone ? 1 : 0;
        newerVersionFound += found > lastDone ? 1 : 0;
        stand = found;
    }
    qInfo("%d kills, %d of them during a save (%d after the new file was in place); %d versions saved; "
          "left beside the file: %s",
          kKills, killedWhileSaving, newerVersionFound, stand,
          qPrintable(Leftovers(dir.path(), QString::fromLatin1(kGuestFileName)).join(u' ')));
    // The test shows something only if kills did strike saves under way.
    QVERIFY(killedWhileSaving > 0);
}

void TestCrash::invoiceNumbersStayUniqueAcrossKills()
{
    // GIVEN the counter at 1000
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ReNummer.DAT"));
    QVERIFY(WriteBytes(path, "1000\r\n"));

    QRandomGenerator random(kSeed + 1);
    const QRegularExpression wholeNumber(QStringLiteral("^[0-9]+\r\n$"));
    qint64 lastHandedOut = 1000; // the last number a run reported, or the counter's start
    qint64 floor = 1000;         // no number at or below this may be handed out again
    int takenButNotReported = 0;
    int handedOut = 0;
    qint64 window = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        // WHEN the helper takes one number after the other and is killed at a random moment
        Child child({QStringLiteral("next-renr"), path});
        QVERIFY(child.started());
        if (kill == 0) {
            window = 3 * microsecondsPerStep(child, 1);
            QVERIFY2(window > 0, "the helper took no numbers");
        } else if (random.bounded(10) != 0) {
            QVERIFY(child.waitForLines(1));
            waitRandomly(random, window);
        }
        const QStringList said = child.killAndCollect();

        // THEN every number it got is new, and larger than all before it
        for (const QString &line : said) {
            if (line == u"ready")
                continue;
            bool ok = false;
            const qint64 number = line.toLongLong(&ok);
            QVERIFY2(ok, qPrintable(line));
            QVERIFY2(number > floor, qPrintable(QStringLiteral("kill %1: %2 handed out again").arg(kill).arg(number)));
            floor = lastHandedOut = number;
            ++handedOut;
        }
        // AND the counter holds one whole number: the last one handed out, or the one taken just
        // before the kill
        const QByteArray content = FileBytes(path);
        QVERIFY2(wholeNumber.match(QString::fromLatin1(content)).hasMatch(), content.constData());
        const qint64 counter = content.trimmed().toLongLong();
        QVERIFY2(
            counter == floor || counter == floor + 1,
            qPrintable(QStringLiteral("kill %1: counter %2, last handed out %3").arg(kill).arg(counter).arg(floor)));
        takenButNotReported += counter > floor ? 1 : 0;
        floor = counter;
    }
    qInfo("%d kills, %d numbers handed out (last %lld), %d numbers taken but lost to a kill (gaps, never "
          "repeats); left beside the file: %s",
          kKills, handedOut, lastHandedOut, takenButNotReported,
          qPrintable(Leftovers(dir.path(), QStringLiteral("ReNummer.DAT")).join(u' ')));
    QVERIFY(handedOut > 0);
}

void TestCrash::journalKeepsWholeLinesAcrossKills()
{
    // GIVEN an empty folder for the journal
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = billing::journalPath(dir.path());
    constexpr int kJournalKills = 20;
    constexpr qint32 kMarkers = 1000000; // the lines this test appends itself, after each kill

    QRandomGenerator random(kSeed + 2);
    qint32 next = 1;       // the helper's next number
    qint32 lastDone = 0;   // the last line the helper said was on the disk
    std::set<qint32> done; // every line it said was on the disk
    int killedWhileAppending = 0;
    qint64 window = 0;
    for (int kill = 0; kill < kJournalKills; ++kill) {
        // WHEN the helper appends one line after the other and is killed at a random moment
        Child child({QStringLiteral("append-journal"), path, QString::number(next)});
        QVERIFY(child.started());
        if (kill == 0) {
            window = 3 * microsecondsPerStep(child, 2);
            QVERIFY2(window > 0, "the helper appended no lines");
        } else {
            QVERIFY(child.waitForLines(1));
            waitRandomly(random, window);
        }
        const QStringList said = child.killAndCollect();
        qint32 lastBegun = 0;
        for (const QString &line : said) {
            if (line.startsWith(u"begin "))
                lastBegun = line.mid(6).toInt();
            else if (line.startsWith(u"done "))
                done.insert(lastDone = line.mid(5).toInt());
        }
        killedWhileAppending += lastBegun > lastDone ? 1 : 0;

        // AND the program appends its own line after the kill
        const billing::JournalLine marker = JournalLineNr(kMarkers + kill);
        try {
            billing::appendJournalLine(path, marker);
        } catch (const std::exception &error) {
            QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(kill).arg(QString::fromUtf8(error.what()))));
        }

        // THEN every line read back is whole: the helper's in order, each as written, up to the
        // last one it said was done or the one under way; at most one line per kill is cut off,
        // and the program's own line is whole at the end
        const billing::JournalContents journal = billing::readJournal(path);
        QVERIFY2(journal.skipped <= kill + 1,
                 qPrintable(QStringLiteral("kill %1: %2 lines skipped").arg(kill).arg(journal.skipped)));
        QVERIFY(!journal.lines.empty());
        QCOMPARE(journal.lines.back(), marker);
        qint32 expected = 1;
        std::set<qint32> read;
        for (const billing::JournalLine &line : journal.lines) {
            read.insert(line.nr);
            if (line.nr >= kMarkers) {
                QCOMPARE(line, JournalLineNr(line.nr));
                continue;
            }
            // A line cut off by a kill is skipped; the next run starts after the last begun.
            QVERIFY2(line.nr >= expected,
                     qPrintable(QStringLiteral("kill %1: line %2 after %3").arg(kill).arg(line.nr).arg(expected)));
            QCOMPARE(line, JournalLineNr(line.nr));
            expected = line.nr + 1;
        }
        for (const qint32 nr : done)
            QVERIFY2(read.count(nr),
                     qPrintable(QStringLiteral("kill %1: line %2 was done but is missing").arg(kill).arg(nr)));
        // A round killed before it began a line must not go back: the line begun in an earlier
        // round may be on the disk although it was never said to be done.
        next = std::max({next, lastBegun + 1, lastDone + 1});
    }
    const billing::JournalContents journal = billing::readJournal(path);
    qInfo("%d kills, %d of them during an append; %zu whole lines, %d cut off and skipped", kJournalKills,
          killedWhileAppending, journal.lines.size(), journal.skipped);
    // The test shows something only if kills did strike appends under way.
    QVERIFY(killedWhileAppending > 0);
}

namespace {

// Invoices guest `guest` in a helper that kills itself at `stop` ("none": runs to its end).
QStringList issueInvoice(const QString &folder, int guest, const QString &stop, bool *killed = nullptr)
{
    Child child({QStringLiteral("issue-invoice"), folder, QString::number(guest), stop});
    if (!child.started())
        return {QStringLiteral("not started")};
    const QStringList said = child.finish();
    if (killed)
        *killed = child.killed();
    return said;
}

// Why the journal cannot account for the numbers up to `counter`: each needs a line (issued,
// reserved, or left free with its reason), and no number may be issued or kept twice. Empty when
// it can.
QString unexplained(const QString &folder, qint32 first, qint32 counter)
{
    const QString ablage = QDir(folder).filePath(QString::fromLatin1(billing::kRechnungenOrdner));
    const billing::JournalContents journal = billing::readJournal(billing::journalPath(ablage));
    std::set<qint32> mentioned;
    std::multiset<qint32> issued;
    for (const billing::JournalLine &line : journal.lines) {
        mentioned.insert(line.nr);
        if (line.used())
            issued.insert(line.nr);
    }
    QStringList why;
    const qint32 highest = std::max(counter, mentioned.empty() ? 0 : *mentioned.rbegin());
    for (qint32 nr = first; nr <= highest; ++nr) {
        if (!mentioned.count(nr))
            why << QStringLiteral("Nummer %1 ohne Zeile im Rechnungsbuch").arg(nr);
        if (issued.count(nr) > 1)
            why << QStringLiteral("Nummer %1 %2-mal ausgestellt").arg(nr).arg(issued.count(nr));
    }
    std::multiset<qint32> kept;
    for (const billing::AbgelegteRechnung &copy : billing::AbgelegteRechnungen(ablage))
        kept.insert(copy.nr);
    for (const qint32 nr : kept)
        if (kept.count(nr) > 1)
            why << QStringLiteral("Nummer %1 mehrfach abgelegt").arg(nr);
    return why.join(QStringLiteral("; "));
}

qint32 counterIn(const QString &folder)
{
    return FileBytes(QDir(folder).filePath(QStringLiteral("ReNummer.DAT"))).trimmed().toInt();
}

} // namespace

void TestCrash::everyInvoiceStepLeavesItsNumberExplained_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<qint32>("counter"); // what the counter holds after the kill
    QTest::addColumn<bool>("kept");      // the copy of 1042 is kept
    QTest::addColumn<bool>("issued");    // the journal holds 1042 as issued
    // A kept copy makes the reservation count as issued: it may well have been printed.
    QTest::addColumn<bool>("counts"); // the stay has its invoice 1042
    QTest::newRow("after the reservation") << "reserved" << 1041 << false << false << false;
    QTest::newRow("after the counter") << "taken" << 1042 << false << false << false;
    QTest::newRow("after the copy was kept") << "kept" << 1042 << true << false << true;
    QTest::newRow("after printing") << "printed" << 1042 << true << false << true;
    QTest::newRow("after the journal line") << "journaled" << 1042 << true << true << true;
}

void TestCrash::everyInvoiceStepLeavesItsNumberExplained()
{
    QFETCH(QString, step);
    QFETCH(qint32, counter);
    QFETCH(bool, kept);
    QFETCH(bool, issued);
    QFETCH(bool, counts);
    // GIVEN a data folder whose counter stands at 1041
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(WriteBytes(dir.filePath(QStringLiteral("ReNummer.DAT")), "1041\r\n"));
    const QString ablage = dir.filePath(QString::fromLatin1(billing::kRechnungenOrdner));

    // WHEN the program is killed at this step of guest 1's invoice, before the guest file is saved
    bool killed = false;
    const QStringList said = issueInvoice(dir.path(), 1, step, &killed);
    QVERIFY2(killed && said.contains(QStringLiteral("at %1 1042").arg(step)), qPrintable(said.join(u'|')));

    // THEN the journal explains number 1042: its last line is the reservation, or the issued invoice
    QCOMPARE(counterIn(dir.path()), counter);
    QCOMPARE(QFile::exists(QDir(ablage).filePath(QStringLiteral("Rechnung 1042.pdf"))), kept);
    const billing::JournalContents journal = billing::readJournal(billing::journalPath(ablage));
    QVERIFY(!journal.lines.empty());
    QCOMPARE(journal.lines.back().nr, 1042);
    QCOMPARE(journal.lines.back().used(), issued);
    QCOMPARE(journal.lines.back().isReservation(), !issued);
    QCOMPARE(unexplained(dir.path(), 1042, counterIn(dir.path())), QString());

    // WHEN the next run invoices guest 2
    const QStringList next = issueInvoice(dir.path(), 2, QStringLiteral("none"));

    // THEN it gets a number above 1042 (even where the counter was not written), and every number stays explained
    QCOMPARE(next, QStringList{QStringLiteral("issued 1043")});
    QCOMPARE(counterIn(dir.path()), 1043);
    QCOMPARE(unexplained(dir.path(), 1042, 1043), QString());

    // WHEN guest 1, whose record lost its number, is invoiced again
    const QStringList again = issueInvoice(dir.path(), 1, QStringLiteral("none"));

    // THEN an invoice for the stay, issued or kept before the kill, is not issued twice; otherwise
    // it gets the next number
    if (counts) {
        QCOMPARE(again.size(), 1);
        QVERIFY2(again.front().startsWith(QStringLiteral("error ")) &&
                     again.front().contains(QStringLiteral("gibt es schon die Rechnung 1042 vom 20.02.2025")),
                 qPrintable(again.front()));
        QCOMPARE(counterIn(dir.path()), 1043);
    } else {
        QCOMPARE(again, QStringList{QStringLiteral("issued 1044")});
    }
    QCOMPARE(unexplained(dir.path(), 1042, counterIn(dir.path())), QString());
}

QTEST_GUILESS_MAIN(TestCrash)
#include "test_crash.moc"
