// Faults beneath the program and a second copy of it beside: a read that fails part-way, a sync,
// close or rename that fails, a save killed after writing, two programs taking invoice numbers or
// working on one data folder. The helper program runs the real code with the fault shim preloaded,
// which makes the system calls fail on chosen files; the test then looks at what is on the disk.

#include "HardeningSupport.h"
#include "billing/InvoiceNumber.h"
#include "billing/PriceMatrix.h"
#include "platform/FileIo.h"
#include "platform/FolderLock.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using billing::kPreisMatrixDatei;
using billing::kReNummerDatei;
using billing::NextReNr;
using guestfile::GuestFileBytes;
using guestfile::kGuestFileName;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;

using platform::EInOutError;
using platform::InstanceLock;
using namespace hardening;

namespace {

// Faults for the shim: environment variable and value.
using Faults = QList<QPair<QString, QString>>;

// One run of the helper program, with faults beneath it.
class Helper
{
public:
    explicit Helper(const QStringList &arguments, const Faults &faults = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!faults.isEmpty()) {
            environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAULT_SHIM));
            // The shim stands before the sanitizers' runtime, which they would otherwise refuse.
            environment.insert(QStringLiteral("ASAN_OPTIONS"), environment.value(QStringLiteral("ASAN_OPTIONS")) +
                                                                   QStringLiteral(":verify_asan_link_order=0"));
            for (const auto &[name, value] : faults)
                environment.insert(name, value);
        }
        process_.setProcessEnvironment(environment);
        process_.start(QStringLiteral(HARDENING_CHILD), arguments);
    }
    ~Helper()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(20000);
        }
    }
    Helper(const Helper &) = delete;
    Helper &operator=(const Helper &) = delete;

    // The next line the helper says; empty when it ended or took too long.
    QString nextLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!process_.canReadLine()) {
            if (timer.elapsed() > 60000 || (process_.state() == QProcess::NotRunning && !process_.waitForReadyRead(0)))
                return {};
            process_.waitForReadyRead(100);
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    void say(const QByteArray &line) { process_.write(line + '\n'); }

    // Everything it said until it ended.
    QStringList finish()
    {
        process_.waitForFinished(120000);
        QStringList lines;
        for (const QByteArray &line : process_.readAllStandardOutput().split('\n'))
            if (!line.trimmed().isEmpty())
                lines << QString::fromUtf8(line).trimmed();
        errors_ += QString::fromUtf8(process_.readAllStandardError());
        return lines;
    }

    void kill()
    {
        process_.kill();
        process_.waitForFinished(20000);
    }

    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }
    qint64 pid() const { return process_.processId(); }
    // What the shim said: the faults that really struck.
    QString faultsStruck()
    {
        errors_ += QString::fromUtf8(process_.readAllStandardError());
        QStringList struck;
        for (const QString &line : errors_.split(u'\n'))
            if (line.startsWith(QStringLiteral("faultshim: ")))
                struck << line.mid(11);
        return struck.join(u'\n');
    }

private:
    QProcess process_;
    QString errors_;
};

// How the helper reports an I/O error: the message with its lines joined.
QString errorLine(platform::IoErrorCode code, const QString &path)
{
    return QStringLiteral("error ") + IoMessage(code, path).replace(u'\n', QStringLiteral(" | "));
}

QStringList withPath(QStringList arguments, const QString &path)
{
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("%path"), path);
    return arguments;
}

QByteArray guestFile(int guests, int stand = 0)
{
    return GuestFileBytes(Guests(guests, stand));
}

const QByteArray kPrices = "45;42;38\r\n60;55;50\r\n75;70;65\r\n90;85;80\r\n20;18;16\r\n";

mode_t modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 07777;
}

} // namespace

class TestReliability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UseGermanSettings(); }

    void readThatFailsPartWayIsAFailedRead_data();
    void readThatFailsPartWayIsAFailedRead();
    void saveWhoseSyncCloseOrRenameFailsIsNotReportedDone_data();
    void saveWhoseSyncCloseOrRenameFailsIsNotReportedDone();
    void killedSaveLeavesAPrivateCopyThatTheNextSaveRemoves();
    void twoProgramsNeverHandOutTheSameNumber();
    void invoiceNumberWaitsForAnotherProgramsLock();
    void secondCopyLearnsThatTheFolderIsTaken();
    void readOnlyFolderCannotBeClaimed();
};

void TestReliability::readThatFailsPartWayIsAFailedRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fault"); // after the file's name: ":<bytes>" or ":<bytes>:eof"
    QTest::addColumn<int>("code");      // the error told, or 0 where the caller only learns "missing"
    QTest::addColumn<QString>("withoutFault");

    const QString guests = QString::fromLatin1(kGuestFileName);
    const QStringList readGuests{QStringLiteral("read-guests"), QStringLiteral("%path")};
    // Failing right after a line end, the rest of the file would pass for a short guest list:
    // "234 Gästedatensätze gelesen", and the next save would drop the other 1,766.
    const QByteArray large = guestFile(2000);
    qsizetype lineEnd = -1;
    for (int line = 0; line < 235; ++line)
        lineEnd = large.indexOf("\r\n", lineEnd + 1);
    QTest::newRow("guest file, device fails at a line end")
        << guests << large << readGuests << QStringLiteral(":%1").arg(lineEnd + 2) << int(platform::kDeviceFault)
        << "read 2000";
    QTest::newRow("guest file, device fails after 64 KiB")
        << guests << guestFile(2000) << readGuests << ":65536" << int(platform::kDeviceFault) << "read 2000";
    QTest::newRow("guest file, device fails at once")
        << guests << guestFile(2000) << readGuests << ":0" << int(platform::kDeviceFault) << "read 2000";
    QTest::newRow("guest file ends early after 64 KiB")
        << guests << guestFile(2000) << readGuests << ":65536:eof" << int(platform::kReadFault) << "read 2000";

    const QString counter = QString::fromLatin1(kReNummerDatei);
    const QStringList takeNumber{QStringLiteral("take-renr"), QStringLiteral("%path"), QStringLiteral("1")};
    QTest::newRow("invoice counter, device fails")
        << counter << QByteArray("1041\r\n") << takeNumber << ":0" << int(platform::kDeviceFault) << "1042";
    QTest::newRow("invoice counter ends early")
        << counter << QByteArray("1041\r\n") << takeNumber << ":2:eof" << int(platform::kReadFault) << "1042";

    QTest::newRow("price matrix, device fails") << QString::fromLatin1(kPreisMatrixDatei) << kPrices
                                                << QStringList{QStringLiteral("read-prices"), QStringLiteral("%path")}
                                                << ":20" << 0 << "prices 45 42 38 60 55 50 75 70 65 90 85 80 20 18 16";
}

void TestReliability::readThatFailsPartWayIsAFailedRead()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, arguments);
    QFETCH(QString, fault);
    QFETCH(int, code);
    QFETCH(QString, withoutFault);
    // GIVEN the file on a device whose reads fail (or end) after some bytes
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(name);
    QVERIFY(WriteBytes(path, content));

    // WHEN the program reads it
    Helper helper(withPath(arguments, path), {{QStringLiteral("ZIMBRANA_FAULT_READ"), u'=' + path + fault}});
    const QStringList said = helper.finish();

    // THEN the read fails as a whole, with the German text and the path; nothing was taken from it
    QVERIFY2(helper.faultsStruck().startsWith(QStringLiteral("read-")), "the fault never struck");
    QCOMPARE(said, QStringList{code == 0 ? QStringLiteral("missing") : errorLine(platform::IoErrorCode(code), path)});
    QCOMPARE(FileBytes(path), content);

    // AND without the fault the same read succeeds, so it was the fault
    Helper healthy(withPath(arguments, path));
    const QStringList fine = healthy.finish();
    QVERIFY2(!fine.isEmpty() && fine.first() == withoutFault, qPrintable(fine.join(u'\n')));
}

void TestReliability::saveWhoseSyncCloseOrRenameFailsIsNotReportedDone_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("onFolder"); // the fault strikes the folder, not the new file
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("whenHealthy");

    const QString guests = QString::fromLatin1(kGuestFileName);
    const QStringList save{QStringLiteral("save-guests-once"), QStringLiteral("%path"), QStringLiteral("50")};
    const QString counter = QString::fromLatin1(kReNummerDatei);
    const QStringList take{QStringLiteral("take-renr"), QStringLiteral("%path"), QStringLiteral("1")};
    const QString fsync = QStringLiteral("ZIMBRANA_FAULT_FSYNC");
    const QString close = QStringLiteral("ZIMBRANA_FAULT_CLOSE");
    const QString rename = QStringLiteral("ZIMBRANA_FAULT_RENAME");

    // A failure before the rename keeps the old file; after it, the new file is in place but the
    // save is still not reported done, since a power cut could take it back.
    QTest::newRow("guest file: syncing the new file fails")
        << guests << guestFile(8) << save << fsync << false << guestFile(8) << "saved";
    QTest::newRow("guest file: closing the new file fails")
        << guests << guestFile(8) << save << close << false << guestFile(8) << "saved";
    QTest::newRow("guest file: the rename fails")
        << guests << guestFile(8) << save << rename << false << guestFile(8) << "saved";
    QTest::newRow("guest file: syncing the folder fails")
        << guests << guestFile(8) << save << fsync << true << guestFile(50, 1) << "saved";

    QTest::newRow("invoice counter: syncing the new file fails")
        << counter << QByteArray("1041\r\n") << take << fsync << false << QByteArray("1041\r\n") << "1042";
    QTest::newRow("invoice counter: closing the new file fails")
        << counter << QByteArray("1041\r\n") << take << close << false << QByteArray("1041\r\n") << "1042";
    QTest::newRow("invoice counter: the rename fails")
        << counter << QByteArray("1041\r\n") << take << rename << false << QByteArray("1041\r\n") << "1042";
    // 1042 is on the disk but was never handed out: a gap in the numbers, never a repeat.
    QTest::newRow("invoice counter: syncing the folder fails")
        << counter << QByteArray("1041\r\n") << take << fsync << true << QByteArray("1042\r\n") << "1043";
}

void TestReliability::saveWhoseSyncCloseOrRenameFailsIsNotReportedDone()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, before);
    QFETCH(QStringList, arguments);
    QFETCH(QString, fault);
    QFETCH(bool, onFolder);
    QFETCH(QByteArray, after);
    QFETCH(QString, whenHealthy);
    // GIVEN the file, and a disk on which one step of saving fails
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = QFileInfo(dir.path()).absoluteFilePath();
    const QString path = folder + u'/' + name;
    QVERIFY(WriteBytes(path, before));

    // WHEN the program saves (or takes a number, which saves the counter)
    Helper helper(withPath(arguments, path), {{fault, onFolder ? u'=' + folder : name}});
    const QStringList said = helper.finish();

    // THEN it reports the failure and hands nothing out; the disk holds a whole file and no copy
    const QString struck = helper.faultsStruck();
    QVERIFY2(!struck.isEmpty(), "the fault never struck");
    QCOMPARE(said, QStringList{errorLine(platform::kDeviceFault, path)});
    QCOMPARE(FileBytes(path), after);
    QCOMPARE(Leftovers(folder, name), QStringList());

    // AND once the disk is healthy the same step succeeds
    Helper healthy(withPath(arguments, path));
    const QStringList fine = healthy.finish();
    QVERIFY2(!fine.isEmpty() && fine.first() == whenHealthy, qPrintable(fine.join(u'\n')));
}

void TestReliability::killedSaveLeavesAPrivateCopyThatTheNextSaveRemoves()
{
    // GIVEN a guest file readable by everybody, as a host may have set it
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = QString::fromLatin1(kGuestFileName);
    const QString path = dir.filePath(name);
    QVERIFY(WriteBytes(path, guestFile(8)));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));

    // WHEN a save is killed after writing the new file, before putting it in place
    Helper helper(withPath({QStringLiteral("save-guests-once"), QStringLiteral("%path"), QStringLiteral("50")}, path),
                  {{QStringLiteral("ZIMBRANA_FAULT_KILL_AT_FSYNC"), name}});
    const QStringList said = helper.finish();
    QVERIFY2(helper.faultsStruck().startsWith(QStringLiteral("kill-at-fsync")), "the kill never struck");
    QCOMPARE(said, QStringList());

    // THEN the old file is whole, and the copy left behind was never readable by others
    QCOMPARE(FileBytes(path), guestFile(8));
    const QStringList left = Leftovers(dir.path(), name);
    QCOMPARE(left.size(), 1);
    const QString copy = left.first();
    QCOMPARE(modeOf(dir.filePath(copy)), mode_t(0600));
    QCOMPARE(FileBytes(dir.filePath(copy)), guestFile(50, 1));

    // GIVEN beside it a copy of a save under way in a program that still runs (here the one that
    // started this test), one of another computer, one of another computer two days old, and a
    // file of the host's own
    const QString stem = copy.section(u'-', 0, 0); // ".Gaeste.csv.<computer>"
    const QString running = QStringLiteral("%1-%2-abcdef.tmp").arg(stem).arg(getppid());
    const QString elsewhere =
        platform::TemporaryPrefix(name) + QStringLiteral("anderespc-%1-abcdef.tmp").arg(helper.pid());
    const QString elsewhereOld =
        platform::TemporaryPrefix(name) + QStringLiteral("anderespc-%1-ghijkl.tmp").arg(helper.pid());
    const QString own = QStringLiteral("Gaeste.csv.alt");
    for (const QString &other : {running, elsewhere, elsewhereOld, own})
        QVERIFY(WriteBytes(dir.filePath(other), "x"));
    QFile old(dir.filePath(elsewhereOld));
    QVERIFY(old.open(QIODevice::ReadWrite));
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    old.close();

    // WHEN the next save runs
    WriteGuestFile(path, Guests(9, 2));

    // THEN the dead save's copy and the stale one are gone; the others stay
    QCOMPARE(ReadGuestFile(path), Guests(9, 2));
    QStringList expected{running, elsewhere, own};
    expected.sort();
    QStringList found = Leftovers(dir.path(), name);
    found.sort();
    QCOMPARE(found, expected);
    // AND the replaced file kept the permissions the host gave it
    QCOMPARE(modeOf(path), mode_t(0644));
}

void TestReliability::twoProgramsNeverHandOutTheSameNumber()
{
    constexpr int kEach = 300;
    // GIVEN the counter at 1000
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kReNummerDatei));
    QVERIFY(WriteBytes(path, "1000\r\n"));

    // WHEN two programs each take numbers as fast as they can, at the same time
    QElapsedTimer timer;
    timer.start();
    const QStringList arguments{QStringLiteral("take-renr"), path, QString::number(kEach)};
    Helper first(arguments);
    Helper second(arguments);
    const QStringList saidFirst = first.finish();
    const QStringList saidSecond = second.finish();

    // THEN between them they got 1001 to 1600, each number once
    QList<int> numbers;
    for (const QStringList &said : {saidFirst, saidSecond}) {
        QCOMPARE(said.size(), kEach + 1);
        QCOMPARE(said.last(), QStringLiteral("done"));
        for (const QString &line : said.first(kEach))
            numbers << line.toInt();
    }
    const int distinct = static_cast<int>(QSet<int>(numbers.begin(), numbers.end()).size());
    std::sort(numbers.begin(), numbers.end());
    qInfo("two programs took %d numbers in %lld ms: %d distinct, %d handed out twice, %d to %d", int(numbers.size()),
          timer.elapsed(), distinct, int(numbers.size()) - distinct, numbers.first(), numbers.last());
    QCOMPARE(distinct, 2 * kEach);
    QCOMPARE(numbers.first(), 1001);
    QCOMPARE(numbers.last(), 1000 + 2 * kEach);
    QCOMPARE(FileBytes(path), QByteArray::number(1000 + 2 * kEach) + "\r\n");
    QCOMPARE(Leftovers(dir.path(), QString::fromLatin1(kReNummerDatei)), QStringList());
}

void TestReliability::invoiceNumberWaitsForAnotherProgramsLock()
{
    // GIVEN another program that holds the data folder locked for 400 ms
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kReNummerDatei));
    QVERIFY(WriteBytes(path, "41\r\n"));
    Helper holder({QStringLiteral("hold-folder-lock"), path, QStringLiteral("400")});
    QCOMPARE(holder.nextLine(), QStringLiteral("locked"));

    // WHEN this one takes a number THEN it waits for the lock and gets the next number
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(NextReNr(path), 42);
    QVERIFY2(timer.elapsed() >= 200, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(holder.nextLine(), QStringLiteral("released"));

    // GIVEN another program that keeps the folder locked
    Helper stuck({QStringLiteral("hold-folder-lock"), path});
    QCOMPARE(stuck.nextLine(), QStringLiteral("locked"));
    // WHEN this one cannot wait any longer THEN it says so and takes no number
    const QString message =
        ErrorOf<EInOutError>([&] { platform::FolderLock lock(path, std::chrono::milliseconds(300)); });
    QCOMPARE(message, IoMessage(platform::kSharingViolation, path));
    QCOMPARE(FileBytes(path), QByteArray("42\r\n"));
    stuck.say("");
    QCOMPARE(stuck.nextLine(), QStringLiteral("released"));
    QCOMPARE(NextReNr(path), 43);
}

void TestReliability::secondCopyLearnsThatTheFolderIsTaken()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = QFileInfo(dir.path()).absoluteFilePath();

    // GIVEN a running copy that works on the data folder
    auto first = std::make_unique<Helper>(QStringList{QStringLiteral("hold-instance"), folder});
    QCOMPARE(first->nextLine(), QStringLiteral("locked"));

    // WHEN this copy comes to the same folder THEN it learns that the folder is taken, and by whom
    InstanceLock lock;
    QCOMPARE(lock.lock(folder), InstanceLock::State::HeldByAnother);
    QVERIFY2(lock.message().contains(QStringLiteral("bereits")), qPrintable(lock.message()));
    QVERIFY2(lock.message().contains(QDir::toNativeSeparators(folder)), qPrintable(lock.message()));
    // which computer and since when, not a process number
    const QString since = QFileInfo(QDir(folder).filePath(InstanceLock::fileName()))
                              .lastModified()
                              .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    QCOMPARE(lock.holder(), QStringLiteral("auf diesem Rechner seit ") + since);
    QVERIFY2(lock.message().contains(QStringLiteral("(auf diesem Rechner seit ") + since + u')'), qPrintable(lock.message()));
    QVERIFY(!lock.message().contains(QString::number(first->pid())));

    // AND however long the other copy has been running, its claim holds
    QFile claim(QDir(folder).filePath(InstanceLock::fileName()));
    QVERIFY(claim.open(QIODevice::ReadWrite));
    QVERIFY(claim.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    claim.close();
    QCOMPARE(lock.lock(folder), InstanceLock::State::HeldByAnother);

    // WHEN the other copy is killed, leaving its claim behind
    first->kill();
    QVERIFY(claim.exists());
    // THEN this copy takes the folder over, and a third copy learns that it is taken
    QCOMPARE(lock.lock(folder), InstanceLock::State::Locked);
    QCOMPARE(lock.lock(folder), InstanceLock::State::Locked); // asking again changes nothing
    QCOMPARE(lock.message(), QString());
    Helper third({QStringLiteral("hold-instance"), folder});
    const QString told = third.nextLine();
    QVERIFY2(told.startsWith(QStringLiteral("held ")) && told.contains(QStringLiteral("bereits")), qPrintable(told));
    third.say("");

    // WHEN this copy lets the folder go THEN the next copy gets it, and nothing is left behind
    lock.release();
    QCOMPARE(lock.state(), InstanceLock::State::Free);
    Helper fourth({QStringLiteral("hold-instance"), folder});
    QCOMPARE(fourth.nextLine(), QStringLiteral("locked"));
    fourth.say("");
    fourth.finish();
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

void TestReliability::readOnlyFolderCannotBeClaimed()
{
    // GIVEN a data folder that may be read but not written (a write-protected stick)
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadOther | QFile::ExeOther));
    const QString folder = root.filePath(QStringLiteral("daten"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));

    // WHEN a copy tries to claim it THEN it learns that nobody can, which is not "taken"
    InstanceLock lock;
    {
        const AsNobody nobody;
        QVERIFY(nobody.ok());
        QCOMPARE(lock.lock(folder), InstanceLock::State::Impossible);
    }
    QCOMPARE(lock.message(), QString());
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QTEST_GUILESS_MAIN(TestReliability)
#include "test_reliability.moc"
