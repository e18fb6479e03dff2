// What keeps a save from losing guests: the version of the guest file a session knows, the
// questions before replacing a file it has not read or that changed since, the backups kept in
// "Sicherung" (named, thinned, listed, restored), and the characters the file cannot hold.

#include "guestfile/Backups.h"
#include "guestfile/FileVersion.h"
#include "guestfile/GuestFile.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/LostCharacters.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/DayNumber.h"
#include "platform/IoError.h"
#include "platform/Regional.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using guestfile::BackupFileName;
using guestfile::BackupFolder;
using guestfile::BackupInfo;
using guestfile::BackupsToThin;
using guestfile::BackupTime;
using guestfile::CharactersLostOnSave;
using guestfile::FileVersion;
using guestfile::FileVersionOf;
using guestfile::GuestFileBytes;
using guestfile::GuestFileSession;
using guestfile::IsUnchangedOnDisk;
using guestfile::kBackupLedgerName;
using guestfile::KeepBackup;
using guestfile::kGuestFileName;
using guestfile::ListBackups;
using guestfile::LostCharacters;
using guestfile::LostCharactersQuestion;
using guestfile::ReadGuestFile;
using guestfile::ThinBackups;
using guestfile::WriteGuestFile;
using guests::TGast;

Q_DECLARE_METATYPE(std::vector<TGast>)

namespace {

const QDateTime kNow(QDate(2025, 6, 15), QTime(10, 0, 0));

TGast guest(int nr, const QString &name = {})
{
    TGast g;
    g.GastNr = nr;
    g.Zimmer = QString::number(nr % 3 + 1);
    g.Personen = 2;
    g.Von = platform::EncodeDate(2025, 6, 1) + nr;
    g.Bis = g.Von + 2;
    g.Name = name.isEmpty() ? QStringLiteral("Gast %1").arg(nr) : name;
    g.Ort = QStringLiteral("Köln");
    return g;
}

// Record 0 and `count` guests; `mark` makes versions of the same size differ.
std::vector<TGast> someGuests(int count, const QString &mark = QStringLiteral("a"))
{
    std::vector<TGast> list(1);
    list.front().Bemerkung = mark;
    for (int nr = 1; nr <= count; ++nr)
        list.push_back(guest(nr));
    return list;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Another program writes the file, keeping its time of modification (as a copy tool may).
bool writeBehindTheSessionsBack(const QString &path, const QByteArray &bytes)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           file.setFileTime(modified, QFileDevice::FileModificationTime);
}

QList<QDateTime> sorted(QList<QDateTime> times)
{
    std::sort(times.begin(), times.end());
    return times;
}

QFileDevice::Permissions modeOf(const QString &path)
{
    return QFile::permissions(path) & (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                       QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                       QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

} // namespace

class TestSafeSaves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::SetRegional(QLocale(QLocale::German, QLocale::Germany)); }
    void init() { platform::Clock::fix(kNow); }
    void cleanupTestCase() { platform::Clock::release(); }

    void fileVersionFollowsTheContent();
    void saveAsksFirstWhenTheFileWasNotRead_data();
    void saveAsksFirstWhenTheFileWasNotRead();
    void saveAsksFirstWhenAnotherProgramChangedTheFile();
    void failedReadKeepsTheKnownVersion();

    void backupNames_data();
    void backupNames();
    void thinning_data();
    void thinning();
    void backupIsPrivateAndNamedByTheClock();
    void thinningLeavesOtherFilesAlone();
    void eachSaveKeepsTheReplacedVersion();
    void listsBackupsNewestFirstWithTheirGuests();
    void restoredBackupIsSavedBackAsTheGuestFile();

    void charactersTheFileCannotHold_data();
    void charactersTheFileCannotHold();
};

// --- versions and questions ------------------------------------------------------------------

void TestSafeSaves::fileVersionFollowsTheContent()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    const QByteArray content = GuestFileBytes(someGuests(3));
    QVERIFY(writeBytes(path, content));

    // GIVEN the version of the file as read
    const FileVersion version = FileVersionOf(path, content);
    QVERIFY(version.known());
    QCOMPARE(version.size, content.size());
    QCOMPARE(version.modified, QFileInfo(path).lastModified());
    QVERIFY(IsUnchangedOnDisk(path, version));

    // WHEN another program changes one letter, keeping size and time THEN it is another version
    QByteArray changed = content;
    changed[changed.indexOf("Gast 2") + 5] = '9';
    QVERIFY(writeBehindTheSessionsBack(path, changed));
    QCOMPARE(QFileInfo(path).size(), version.size);
    QVERIFY(!IsUnchangedOnDisk(path, version));

    // WHEN it writes the old content back, with a new time THEN the content decides
    QVERIFY(writeBytes(path, content));
    QVERIFY(IsUnchangedOnDisk(path, version));

    // A deleted file, or no version at all, is no match.
    QVERIFY(!IsUnchangedOnDisk(path, FileVersion()));
    QVERIFY(QFile::remove(path));
    QVERIFY(!IsUnchangedOnDisk(path, version));
}

void TestSafeSaves::saveAsksFirstWhenTheFileWasNotRead_data()
{
    QTest::addColumn<QByteArray>("content"); // "<missing>": no file
    QTest::addColumn<QString>("holds");      // what the question says of the file; empty: no question
    QTest::newRow("eight guests") << GuestFileBytes(someGuests(8)) << "Sie enthält 8 Gäste";
    // Record 0 may hold a guest of its own (a file whose first line is one): still asked.
    QTest::newRow("record 0 alone") << GuestFileBytes(someGuests(0)) << "Sie enthält 0 Gäste";
    QTest::newRow("damaged file") << QByteArray("kein;Gast\r\n") << "Sie ist nicht lesbar";
    QTest::newRow("no file") << QByteArray("<missing>") << "";
}

void TestSafeSaves::saveAsksFirstWhenTheFileWasNotRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, holds);
    // GIVEN a guest file this session has neither read nor written (after a failed read, or at
    // the start)
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    if (content != "<missing>")
        QVERIFY(writeBytes(path, content));
    const GuestFileSession session;

    // WHEN the window is about to save its 3 guests THEN it must ask, naming the file and its guests
    const QString question = session.questionBeforeSave(path, 3);
    if (holds.isEmpty()) {
        QCOMPARE(question, QString());
        return;
    }
    QCOMPARE(question, QStringLiteral("Die Datei %1 wurde in dieser Sitzung weder gelesen noch geschrieben. %2; im "
                                      "Programm sind 3 Gäste.\nSoll sie trotzdem ersetzt werden?")
                           .arg(QDir::toNativeSeparators(path), holds));
    QCOMPARE(bytesOf(path), content); // asking changes nothing
}

void TestSafeSaves::saveAsksFirstWhenAnotherProgramChangedTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    QVERIFY(writeBytes(path, GuestFileBytes(someGuests(5))));

    // GIVEN a session that read the file
    GuestFileSession session;
    QCOMPARE(session.read(path), someGuests(5));
    QCOMPARE(session.questionBeforeSave(path, 5), QString());

    // WHEN another copy of the program saves its new guest into it
    QVERIFY(writeBehindTheSessionsBack(path, GuestFileBytes(someGuests(6))));
    // THEN this session asks before replacing that work
    const QString question = session.questionBeforeSave(path, 5);
    QVERIFY2(question.startsWith(QStringLiteral("Die Datei %1 wurde seit dem Lesen oder Speichern von einem anderen "
                                                "Programm geändert (zuletzt am ")
                                     .arg(QDir::toNativeSeparators(path))),
             qPrintable(question));
    QVERIFY2(question.endsWith(QStringLiteral("Soll sie trotzdem durch die Daten im Fenster ersetzt werden?")),
             qPrintable(question));

    // WHEN the user agrees and it saves THEN the file is its own again, and the other version is
    // kept as a backup
    session.write(path, someGuests(5, QStringLiteral("b")));
    QCOMPARE(session.questionBeforeSave(path, 5), QString());
    QCOMPARE(ReadGuestFile(path), someGuests(5, QStringLiteral("b")));
    const std::vector<BackupInfo> backups = ListBackups(dir.path());
    QCOMPARE(backups.size(), std::size_t(1));
    QCOMPARE(ReadGuestFile(backups.front().path), someGuests(6));

    // WHEN another program deletes the file THEN saving may recreate it without asking
    QVERIFY(QFile::remove(path));
    QCOMPARE(session.questionBeforeSave(path, 5), QString());

    // A file of another folder is one this session has not read.
    const QString other = dir.filePath(QStringLiteral("anders/Gaeste.csv"));
    QVERIFY(QDir().mkpath(QFileInfo(other).path()));
    QVERIFY(writeBytes(other, GuestFileBytes(someGuests(2))));
    QVERIFY(session.questionBeforeSave(other, 5).contains(QStringLiteral("weder gelesen noch geschrieben")));
}

void TestSafeSaves::failedReadKeepsTheKnownVersion()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    QVERIFY(writeBytes(path, GuestFileBytes(someGuests(4))));
    GuestFileSession session;
    session.read(path);
    const FileVersion known = session.version();

    // GIVEN the file damaged by another program WHEN it is read THEN the read fails, and the
    // session still knows only the version it read, so a save asks first
    QVERIFY(writeBytes(path, "0;;0;kein Datum\r\n"));
    QVERIFY_THROWS_EXCEPTION(platform::EConvertError, session.read(path));
    QCOMPARE(session.version().hash, known.hash);
    QVERIFY(session.questionBeforeSave(path, 5).contains(QStringLiteral("geändert")));
}

// --- backups ----------------------------------------------------------------------------------

void TestSafeSaves::backupNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDateTime>("time"); // invalid: no backup's name
    QTest::newRow("morning") << "Gaeste 2025-06-15 090503.csv" << QDateTime(QDate(2025, 6, 15), QTime(9, 5, 3));
    QTest::newRow("midnight") << "Gaeste 2026-01-01 000000.csv" << QDateTime(QDate(2026, 1, 1), QTime(0, 0));
    QTest::newRow("evening") << "Gaeste 2024-12-31 235959.csv" << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59));
    QTest::newRow("the guest file") << "Gaeste.csv" << QDateTime();
    QTest::newRow("no seconds") << "Gaeste 2025-06-15 0905.csv" << QDateTime();
    QTest::newRow("no such day") << "Gaeste 2025-02-30 090503.csv" << QDateTime();
    QTest::newRow("renamed by the host") << "Gaeste 2025-06-15 090503 alt.csv" << QDateTime();
    QTest::newRow("another program's") << "Export 2025-06-15 090503.csv" << QDateTime();
}

void TestSafeSaves::backupNames()
{
    QFETCH(QString, name);
    QFETCH(QDateTime, time);
    QCOMPARE(BackupTime(name), time);
    if (time.isValid())
        QCOMPARE(BackupFileName(time), name);
}

void TestSafeSaves::thinning_data()
{
    QTest::addColumn<QList<QDateTime>>("times");
    QTest::addColumn<QList<QDateTime>>("kept");
    const QDate today = kNow.date();
    const auto at = [](QDate day, int minute = 0) { return QDateTime(day, QTime(10, minute)); };

    QList<QDateTime> thirty;
    for (int i = 0; i < 30; ++i)
        thirty << at(today, i);
    QTest::newRow("30 of one day") << thirty << thirty;

    QList<QDateTime> thirtyOne = thirty;
    thirtyOne << at(today.addDays(-1));
    QTest::newRow("31st is one day older than the rest") << thirtyOne << thirty;

    const QList<QDateTime> fewOld{at(QDate(2019, 3, 1)), at(QDate(2023, 1, 1))};
    QTest::newRow("a few, however old") << fewOld << fewOld;

    // A save every day for 400 days: the last 30, and then the last of each month back to July
    // of last year.
    QList<QDateTime> daily;
    QList<QDateTime> dailyKept;
    for (int back = 0; back < 400; ++back) {
        const QDate day = today.addDays(-back);
        daily << at(day);
        const bool lastOfMonth = day.addDays(1).month() != day.month();
        if (back < 30 || (lastOfMonth && day >= QDate(2024, 7, 1)))
            dailyKept << at(day);
    }
    QTest::newRow("a year of daily saves") << daily << dailyKept;

    // Many saves today; before them two a month for 14 months, on the 1st and the 20th.
    QList<QDateTime> busy;
    QList<QDateTime> busyKept;
    for (int i = 0; i < 40; ++i) {
        busy << at(today, i);
        if (i >= 10)
            busyKept << at(today, i);
    }
    for (int back = 1; back <= 14; ++back) {
        const QDate month = QDate(today.year(), today.month(), 1).addMonths(-back);
        busy << at(month) << at(month.addDays(19));
        if (back <= 11)
            busyKept << at(month.addDays(19));
    }
    QTest::newRow("busy day after months of few saves") << busy << busyKept;
}

void TestSafeSaves::thinning()
{
    QFETCH(QList<QDateTime>, times);
    QFETCH(QList<QDateTime>, kept);
    const QList<QDateTime> thin = BackupsToThin(times, kNow);
    QList<QDateTime> left;
    for (const QDateTime &time : times)
        if (!thin.contains(time))
            left << time;
    QCOMPARE(sorted(left), sorted(kept));
    QCOMPARE(thin.size() + kept.size(), times.size());
}

void TestSafeSaves::backupIsPrivateAndNamedByTheClock()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray first = GuestFileBytes(someGuests(3));

    // WHEN a backup is kept at 10:00:00 on 15 June 2025
    const QString path = KeepBackup(dir.path(), first);

    // THEN it is named by that moment, holds the bytes, and only the owner may read it
    QCOMPARE(path, dir.filePath(QStringLiteral("Sicherung/Gaeste 2025-06-15 100000.csv")));
    QCOMPARE(bytesOf(path), first);
    QCOMPARE(modeOf(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(modeOf(BackupFolder(dir.path())),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // WHEN a second save follows in the same second THEN the first backup stays as it was
    QCOMPARE(KeepBackup(dir.path(), GuestFileBytes(someGuests(4))), path);
    QCOMPARE(bytesOf(path), first);

    // WHEN the data folder cannot take the backup THEN the save must not go on
    const QString file = dir.filePath(QStringLiteral("datei"));
    QVERIFY(writeBytes(file, "x"));
    QVERIFY_THROWS_EXCEPTION(platform::EInOutError, KeepBackup(file, first));
}

void TestSafeSaves::thinningLeavesOtherFilesAlone()
{
    // GIVEN 35 backups of today that the program wrote (its ledger lists them) and files of the
    // host's own in the backup folder
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir folder(BackupFolder(dir.path()));
    QVERIFY(QDir().mkpath(folder.path()));
    QByteArray ledger;
    for (int i = 0; i < 35; ++i) {
        QVERIFY(writeBytes(folder.filePath(BackupFileName(kNow.addSecs(-60 * i))), "x"));
        ledger += BackupFileName(kNow.addSecs(-60 * i)).toUtf8() + '\n';
    }
    QVERIFY(writeBytes(folder.filePath(QString::fromLatin1(kBackupLedgerName)), ledger));
    const QStringList own{QStringLiteral("Gaeste alt.csv"), QStringLiteral("Notiz.txt")};
    for (const QString &name : own)
        QVERIFY(writeBytes(folder.filePath(name), "x"));

    // WHEN the backups are thinned
    ThinBackups(dir.path());

    // THEN the 30 newest backups are left, and the host's files
    QStringList expected = own;
    for (int i = 0; i < 30; ++i)
        expected << BackupFileName(kNow.addSecs(-60 * i));
    expected.sort();
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), expected);
}

void TestSafeSaves::eachSaveKeepsTheReplacedVersion()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    GuestFileSession session;

    // WHEN a new file is saved THEN there is nothing to keep
    session.write(path, someGuests(1));
    QCOMPARE(ListBackups(dir.path()).size(), std::size_t(0));

    // WHEN it is saved again, a minute later each time THEN each replaced version is kept
    for (int count = 2; count <= 4; ++count) {
        platform::Clock::fix(kNow.addSecs(60 * count));
        session.write(path, someGuests(count));
    }
    QCOMPARE(ReadGuestFile(path), someGuests(4));
    const std::vector<BackupInfo> backups = ListBackups(dir.path());
    QCOMPARE(backups.size(), std::size_t(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(backups.at(i).time, kNow.addSecs(60 * (4 - i)));
        QCOMPARE(ReadGuestFile(backups.at(i).path), someGuests(3 - i));
    }
}

void TestSafeSaves::listsBackupsNewestFirstWithTheirGuests()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir folder(BackupFolder(dir.path()));
    QVERIFY(QDir().mkpath(folder.path()));
    const QDateTime monday(QDate(2025, 6, 9), QTime(8, 30, 0));
    QVERIFY(writeBytes(folder.filePath(BackupFileName(monday)), GuestFileBytes(someGuests(8))));
    QVERIFY(writeBytes(folder.filePath(BackupFileName(monday.addDays(2))), GuestFileBytes(someGuests(0))));
    // An extra blank line at the end holds no guest.
    QVERIFY(writeBytes(folder.filePath(BackupFileName(monday.addDays(-30))), GuestFileBytes(someGuests(2)) + "\r\n"));
    QVERIFY(writeBytes(folder.filePath(QStringLiteral("Notiz.txt")), "x"));

    const std::vector<BackupInfo> backups = ListBackups(dir.path());
    QCOMPARE(backups.size(), std::size_t(3));
    QCOMPARE(backups.at(0).time, monday.addDays(2));
    QCOMPARE(backups.at(0).guests, 0);
    QCOMPARE(backups.at(1).time, monday);
    QCOMPARE(backups.at(1).guests, 8);
    QCOMPARE(backups.at(1).path, folder.filePath(QStringLiteral("Gaeste 2025-06-09 083000.csv")));
    QCOMPARE(backups.at(2).time, monday.addDays(-30));
    QCOMPARE(backups.at(2).guests, 2);

    // A data folder without backups lists none.
    QTemporaryDir empty;
    QCOMPARE(ListBackups(empty.path()).size(), std::size_t(0));
}

void TestSafeSaves::restoredBackupIsSavedBackAsTheGuestFile()
{
    // GIVEN three saves, so that two versions are kept as backups
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    {
        GuestFileSession earlier;
        for (int count = 1; count <= 3; ++count) {
            platform::Clock::fix(kNow.addSecs(60 * count));
            earlier.write(path, someGuests(count));
        }
    }

    // WHEN a new session (the next start) restores the oldest backup
    platform::Clock::fix(kNow.addSecs(600));
    GuestFileSession session;
    const std::vector<BackupInfo> backups = ListBackups(dir.path());
    QCOMPARE(backups.size(), std::size_t(2));
    const std::vector<TGast> restored = session.readBackup(backups.back().path, path);

    // THEN it reads as the guest file did then, and the next save writes it back without asking,
    // keeping the version it replaces
    QCOMPARE(restored, someGuests(1));
    QCOMPARE(session.questionBeforeSave(path, 5), QString());
    session.write(path, restored);
    QCOMPARE(ReadGuestFile(path), someGuests(1));
    const std::vector<BackupInfo> after = ListBackups(dir.path());
    QCOMPARE(after.size(), std::size_t(3));
    QCOMPARE(after.front().time, kNow.addSecs(600));
    QCOMPARE(ReadGuestFile(after.front().path), someGuests(3));
}

// --- characters -------------------------------------------------------------------------------

void TestSafeSaves::charactersTheFileCannotHold_data()
{
    QTest::addColumn<std::vector<TGast>>("records");
    QTest::addColumn<QString>("question");

    std::vector<TGast> german = someGuests(2);
    german.at(1).Name = QStringLiteral("Jürgen Weiß");
    german.at(2).Bemerkung = QStringLiteral("Frühstück – 12,50 €");
    QTest::newRow("German only") << german << QString();

    std::vector<TGast> mixed = someGuests(3);
    mixed.at(1).Name = QStringLiteral("Łukasz Dvořák");
    mixed.at(2).Strasse = QStringLiteral("Tř. Míru 5");
    mixed.at(2).Ort = QStringLiteral("Łódź");
    mixed.at(3).Name = QString();
    mixed.at(3).Bemerkung = QStringLiteral("Anreise 😀");
    QTest::newRow("three guests")
        << mixed
        << QStringLiteral("Diese Zeichen kann Gaeste.csv nicht speichern; sie würden als „?“ gespeichert:\n\n"
                          "Łukasz Dvořák: Ł ř\nGast 2: ř Ł ź\nDatensatz 3: 😀\n\nTrotzdem speichern?");

    std::vector<TGast> many = someGuests(12);
    for (std::size_t i = 1; i < many.size(); ++i)
        many.at(i).Ort = QStringLiteral("Kraków");
    // "ó" is in Windows-1252: "Kraków" fits, so there is no question at all.
    QTest::newRow("fits after all") << many << QString();

    std::vector<TGast> crowd = someGuests(12);
    for (std::size_t i = 1; i < crowd.size(); ++i)
        crowd.at(i).Ort = QStringLiteral("Gdańsk");
    QString named;
    for (int nr = 1; nr <= 10; ++nr)
        named += QStringLiteral("Gast %1: ń\n").arg(nr);
    QTest::newRow("twelve guests, ten named")
        << crowd
        << QStringLiteral("Diese Zeichen kann Gaeste.csv nicht speichern; sie würden als „?“ gespeichert:\n\n%1"
                          "… und 2 weitere\n\nTrotzdem speichern?")
               .arg(named);
}

void TestSafeSaves::charactersTheFileCannotHold()
{
    QFETCH(std::vector<TGast>, records);
    QFETCH(QString, question);
    const std::vector<LostCharacters> lost = CharactersLostOnSave(records);
    QCOMPARE(LostCharactersQuestion(lost), question);
    // Exactly the records named would change on the way through the file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(kGuestFileName));
    WriteGuestFile(path, records);
    const std::vector<TGast> back = ReadGuestFile(path);
    std::vector<qsizetype> changed;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!(back.at(i) == records.at(i)))
            changed.push_back(static_cast<qsizetype>(i));
    std::vector<qsizetype> named;
    for (const LostCharacters &one : lost)
        named.push_back(one.index);
    QCOMPARE(named, changed);
}

QTEST_GUILESS_MAIN(TestSafeSaves)
#include "test_safe_saves.moc"
