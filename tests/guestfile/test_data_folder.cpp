// What lies in and around the data folder: links to the guest file, who may read the files that
// name guests, locks left by a crash, and a backup folder that is not what it should be.

#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/Settings.h"
#include "platform/Clock.h"
#include "platform/FileIo.h"
#include "platform/FolderLock.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using guestfile::BackupFileName;
using guestfile::BackupFolder;
using guestfile::GuestFileBytes;
using guestfile::GuestFileSession;
using guestfile::KeepBackup;
using guestfile::OpenSettings;
using guestfile::ReadGuestFile;
using guestfile::RememberDataFolder;
using guestfile::RememberedDataFolder;
using guests::TGast;

namespace {

const QDateTime kNow(QDate(2025, 6, 15), QTime(10, 0));

std::vector<TGast> someGuests(int count, const QString &name = QStringLiteral("Gast"))
{
    std::vector<TGast> list(1);
    for (int nr = 1; nr <= count; ++nr) {
        TGast g;
        g.GastNr = nr;
        g.Name = name + QString::number(nr);
        list.push_back(g);
    }
    return list;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("<none>");
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        platform::SetRegional(QLocale(QLocale::German, QLocale::Germany));
    }
    void init() { platform::Clock::fix(kNow); }
    void cleanupTestCase() { platform::Clock::release(); }

    void chainOfLinksIsFollowedToItsEnd();
    void filesThatNameGuestsAreTheOwnersOnly();
    void existingGuestFileKeepsItsMode();
    void crashedClaimIsStale_data();
    void crashedClaimIsStale();
    void backupFolderThatIsNoFolderIsNamed_data();
    void backupFolderThatIsNoFolderIsNamed();
    void thinningLeavesForeignFilesInALinkedFolder();
    void leftoversOfACutOffSaveAreRemoved();
};

void TestDataFolder::chainOfLinksIsFollowedToItsEnd()
{
    // GIVEN Gaeste.csv → link1.csv → daten/real.csv
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("daten")));
    const QString real = dir.filePath(QStringLiteral("daten/real.csv"));
    QVERIFY(writeBytes(real, GuestFileBytes(someGuests(1))));
    QVERIFY(QFile::link(QStringLiteral("daten/real.csv"), dir.filePath(QStringLiteral("link1.csv"))));
    QVERIFY(QFile::link(QStringLiteral("link1.csv"), dir.filePath(QStringLiteral("Gaeste.csv"))));
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));

    // WHEN the session reads and saves through the first link
    GuestFileSession session;
    session.read(path);
    session.write(path, someGuests(2));

    // THEN both links are still links, and the file at the end holds the save
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link1.csv"))).isSymLink());
    QCOMPARE(ReadGuestFile(real), someGuests(2));
    QCOMPARE(ReadGuestFile(path), someGuests(2));

    // A loop of links is refused, and nothing is written.
    QVERIFY(QFile::link(QStringLiteral("b.csv"), dir.filePath(QStringLiteral("a.csv"))));
    QVERIFY(QFile::link(QStringLiteral("a.csv"), dir.filePath(QStringLiteral("b.csv"))));
    QVERIFY(errorOf([&] { platform::SaveFileAtomic(dir.filePath(QStringLiteral("a.csv")), "x"); }) !=
            QStringLiteral("<none>"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("a.csv"))).isSymLink());
}

void TestDataFolder::filesThatNameGuestsAreTheOwnersOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const mode_t old = ::umask(022);

    // The claim of the data folder
    platform::InstanceLock claim;
    QCOMPARE(claim.lock(dir.path()), platform::InstanceLock::State::Locked);
    QCOMPARE(modeOf(dir.filePath(platform::InstanceLock::fileName())), 0600);

    // The settings file, new and after it was written
    RememberDataFolder(dir.path() + u'/');
    const QString settings = OpenSettings()->fileName();
    QCOMPARE(modeOf(settings), 0600);
    QCOMPARE(RememberedDataFolder(), dir.path() + u'/');
    // one of an earlier version, readable by all
    QVERIFY(QFile::setPermissions(settings, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
    RememberDataFolder(dir.path());
    QCOMPARE(modeOf(settings), 0600);
    ::umask(old);
}

void TestDataFolder::existingGuestFileKeepsItsMode()
{
    // GIVEN a guest file shared with the group (a shared folder)
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    QVERIFY(writeBytes(path, GuestFileBytes(someGuests(1))));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0664) == 0);
    GuestFileSession session;
    session.read(path);
    session.write(path, someGuests(2));
    QCOMPARE(modeOf(path), 0664);
    // ... while a new one is the owner's only
    const QString fresh = dir.filePath(QStringLiteral("neu/Gaeste.csv"));
    QVERIFY(QDir().mkpath(QFileInfo(fresh).path()));
    GuestFileSession other;
    other.write(fresh, someGuests(1));
    QCOMPARE(modeOf(fresh), 0600);
}

void TestDataFolder::crashedClaimIsStale_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("taken");
    QTest::newRow("empty, left by a crash") << QByteArray() << 600 << true;
    QTest::newRow("garbage, left by a crash") << QByteArray("\x01\x02") << 600 << true;
    QTest::newRow("empty, being written this moment") << QByteArray() << 0 << false;
}

void TestDataFolder::crashedClaimIsStale()
{
    QFETCH(QByteArray, content);
    QFETCH(int, ageSeconds);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString claimFile = dir.filePath(platform::InstanceLock::fileName());
    QVERIFY(writeBytes(claimFile, content));
    QFile file(claimFile);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    file.close();

    platform::InstanceLock claim;
    QCOMPARE(claim.lock(dir.path()),
             taken ? platform::InstanceLock::State::Locked : platform::InstanceLock::State::HeldByAnother);
    QCOMPARE(claim.message().contains(QStringLiteral("bereits")), !taken);
}

void TestDataFolder::backupFolderThatIsNoFolderIsNamed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("says");
    QTest::newRow("dangling link") << "link" << "ist ein Verweis auf";
    QTest::newRow("plain file") << "file" << "ist eine Datei und kein Ordner";
}

void TestDataFolder::backupFolderThatIsNoFolderIsNamed()
{
    QFETCH(QString, kind);
    QFETCH(QString, says);
    // GIVEN a read guest file and "Sicherung" that is no folder
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Gaeste.csv"));
    QVERIFY(writeBytes(path, GuestFileBytes(someGuests(1))));
    const QString backups = BackupFolder(dir.path());
    if (kind == QStringLiteral("link"))
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("weg")), backups));
    else
        QVERIFY(writeBytes(backups, "x"));
    GuestFileSession session;
    session.read(path);

    // WHEN it saves THEN the message names "Sicherung" and what is wrong, and the file stays
    const QString message = errorOf([&] { session.write(path, someGuests(2)); });
    QVERIFY2(message.contains(QStringLiteral("„Sicherung“")) && message.contains(says), qPrintable(message));
    QVERIFY2(message.contains(QDir::toNativeSeparators(backups)), qPrintable(message));
    QVERIFY2(!message.contains(QStringLiteral("E/A-Fehler")), qPrintable(message));
    QCOMPARE(ReadGuestFile(path), someGuests(1));
}

void TestDataFolder::thinningLeavesForeignFilesInALinkedFolder()
{
    // GIVEN "Sicherung" linked to a folder that holds two foreign files named like old backups
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("anderswo")));
    const QString elsewhere = dir.filePath(QStringLiteral("anderswo"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("daten")));
    const QString data = dir.filePath(QStringLiteral("daten"));
    QVERIFY(QFile::link(elsewhere, BackupFolder(data)));
    const QStringList foreign{BackupFileName(kNow.addYears(-3)), BackupFileName(kNow.addYears(-2))};
    for (const QString &name : foreign)
        QVERIFY(writeBytes(QDir(elsewhere).filePath(name), "fremd"));

    // WHEN the program keeps 35 backups, a minute apart
    for (int i = 0; i < 35; ++i) {
        platform::Clock::fix(kNow.addSecs(60 * i));
        KeepBackup(data, GuestFileBytes(someGuests(i + 1)));
    }

    // THEN its own are thinned to the newest 30, and the foreign files stay as they were
    QStringList expected = foreign;
    for (int i = 5; i < 35; ++i)
        expected << BackupFileName(kNow.addSecs(60 * i));
    expected.sort();
    QCOMPARE(QDir(elsewhere).entryList(QDir::Files, QDir::Name), expected);
    for (const QString &name : foreign)
        QCOMPARE(bytesOf(QDir(elsewhere).filePath(name)), QByteArray("fremd"));
}

void TestDataFolder::leftoversOfACutOffSaveAreRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList leftovers{QStringLiteral(".Gaeste.csv.pc1-4711-abc123.tmp"),
                                QStringLiteral(".ReNummer.DAT.pc1-99-Zz9.tmp")};
    const QStringList others{QStringLiteral("Gaeste.csv"), QStringLiteral("notiz.tmp"), QStringLiteral(".versteckt")};
    for (const QString &name : leftovers + others)
        QVERIFY(writeBytes(dir.filePath(name), "x"));
    platform::RemoveSaveLeftovers(dir.path());
    QStringList expected = others;
    expected.sort();
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
}

QTEST_MAIN(TestDataFolder)
#include "test_data_folder.moc"
