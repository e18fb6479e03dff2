// Two copies of the program saving the guest file at the same time: each save holds the data
// folder from its check for another copy's change to the synced folder, so no reported save is
// ever overwritten without a question.

#include "HardeningSupport.h"
#include "guestfile/Backups.h"
#include "guestfile/GuestFileSession.h"
#include "platform/FolderLock.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using guestfile::BackupInfo;
using guestfile::EGuestFileChanged;
using guestfile::GuestFileSession;
using guestfile::ListBackups;
using guestfile::ReadGuestFile;
using guestfile::WriteGuestFile;
using guests::TGast;

using namespace hardening;

namespace {

// A helper program run to its end; its lines.
QStringList linesOf(QProcess &process)
{
    QStringList lines;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            lines << QString::fromUtf8(line).trimmed();
    return lines;
}

QSet<QString> remarksIn(const QString &path)
{
    QSet<QString> remarks;
    for (const TGast &guest : ReadGuestFile(path))
        remarks.insert(guest.Bemerkung);
    return remarks;
}

} // namespace

class TestConcurrentSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { UseGermanSettings(); }
    void cleanupTestCase() { platform::Clock::release(); }

    void saveAfterAnotherCopysSaveAsksAgain();
    void saveWaitsWhileAnotherCopyHoldsTheFolder();
    void twoCopiesSavingAtOnceOverwriteNothingUnasked();
};

void TestConcurrentSaves::saveAfterAnotherCopysSaveAsksAgain()
{
    // GIVEN two copies that read the same guest file
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    WriteGuestFile(path, Guests(3));
    GuestFileSession mine;
    GuestFileSession theirs;
    mine.read(path);
    theirs.read(path);

    // WHEN the other copy saves first THEN this copy's save writes nothing, even unasked
    theirs.write(path, Guests(4));
    QVERIFY_THROWS_EXCEPTION(EGuestFileChanged, mine.write(path, Guests(5)));
    QCOMPARE(ReadGuestFile(path), Guests(4));

    // WHEN the host agrees to replace that version, but the other copy saves once more while the
    // question is open THEN the save still writes nothing: the host was asked about another version
    QVERIFY(mine.questionBeforeSave(path, 5).contains(QStringLiteral("geändert")));
    theirs.write(path, Guests(6));
    QVERIFY_THROWS_EXCEPTION(EGuestFileChanged, mine.write(path, Guests(5)));
    QCOMPARE(ReadGuestFile(path), Guests(6));

    // WHEN it is asked about the version that is there THEN "Ja" replaces it, and it is kept
    platform::Clock::fix(QDateTime(QDate(2025, 2, 20), QTime(10, 1)));
    QVERIFY(!mine.questionBeforeSave(path, 5).isEmpty());
    mine.write(path, Guests(5));
    QCOMPARE(ReadGuestFile(path), Guests(5));
    const std::vector<BackupInfo> backups = ListBackups(dir.path());
    QVERIFY(!backups.empty());
    QCOMPARE(ReadGuestFile(backups.front().path), Guests(6));
}

void TestConcurrentSaves::saveWaitsWhileAnotherCopyHoldsTheFolder()
{
    // GIVEN another program that holds the data folder for 1.5 seconds
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    GuestFileSession session;
    QProcess other;
    other.start(QStringLiteral(HARDENING_CHILD), {QStringLiteral("hold-folder-lock"), path, QStringLiteral("1500")});
    QVERIFY(other.waitForReadyRead(20000));
    QCOMPARE(other.readLine().trimmed(), QByteArray("locked"));

    // WHEN this copy saves THEN the save waits for the folder and then writes
    QElapsedTimer timer;
    timer.start();
    session.write(path, Guests(2));
    QVERIFY2(timer.elapsed() >= 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(ReadGuestFile(path), Guests(2));
    QVERIFY(other.waitForFinished(20000));
}

void TestConcurrentSaves::twoCopiesSavingAtOnceOverwriteNothingUnasked()
{
    // GIVEN a guest file and two copies of the program that each add a guest and save, in a loop
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    WriteGuestFile(path, Guests(2));
    constexpr int kRounds = 150;
    QProcess a;
    QProcess b;
    a.start(QStringLiteral(HARDENING_CHILD), {QStringLiteral("save-as-copy"), path, QStringLiteral("A"),
                                              QString::number(kRounds)});
    b.start(QStringLiteral(HARDENING_CHILD), {QStringLiteral("save-as-copy"), path, QStringLiteral("B"),
                                              QString::number(kRounds)});
    QVERIFY(a.waitForFinished(240000));
    QVERIFY(b.waitForFinished(240000));

    // THEN every save a copy reported is in the file: it was never replaced without a question
    QStringList saved;
    int asked = 0;
    for (QProcess *copy : {&a, &b}) {
        const QStringList lines = linesOf(*copy);
        QCOMPARE(lines.value(lines.size() - 1), QStringLiteral("done"));
        for (const QString &line : lines) {
            if (line.startsWith(QStringLiteral("saved ")))
                saved << line.mid(6);
            else if (line.startsWith(QStringLiteral("asked ")))
                ++asked;
        }
    }
    const QSet<QString> inFile = remarksIn(path);
    QStringList overwritten;
    for (const QString &mark : saved)
        if (!inFile.contains(mark))
            overwritten << mark;
    qInfo("%d reported saves, %d asked about, %d overwritten unasked", int(saved.size()), asked,
          int(overwritten.size()));
    QVERIFY(saved.size() > kRounds / 2);
    QVERIFY2(overwritten.isEmpty(), qPrintable(overwritten.join(u' ')));
    QCOMPARE(saved.size() + asked, 2 * kRounds);
}

QTEST_MAIN(TestConcurrentSaves)
#include "test_concurrent_saves.moc"
