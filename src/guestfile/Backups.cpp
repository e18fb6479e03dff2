#include "guestfile/Backups.h"

#include "guestfile/GuestFile.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>

namespace guestfile {

namespace {

int monthNumber(const QDate &date)
{
    return date.year() * 12 + date.month() - 1;
}

QString ledgerPath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kBackupLedgerName));
}

QStringList readLedger(const QString &folder)
{
    try {
        return QString::fromUtf8(platform::ReadFileBytes(ledgerPath(folder))).split(u'\n', Qt::SkipEmptyParts);
    } catch (const platform::EInOutError &) {
        return {};
    }
}

// The ledger only decides what thinning may delete; a backup missing from it is merely kept.
void writeLedger(const QString &folder, const QStringList &names)
{
    try {
        platform::SaveFileAtomic(ledgerPath(folder), names.join(u'\n').toUtf8() + '\n');
    } catch (const platform::EInOutError &) {
    }
}

// "Sicherung" must be a folder (or a link to one) before a backup can go there.
void checkBackupFolder(const QString &folder)
{
    const QFileInfo info(folder);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    const QString notSaved = QStringLiteral("\nDie Gästedatei wurde nicht gespeichert, damit ihre bisherige Fassung nicht "
                                            "ohne Sicherung verloren geht.");
    if (info.isSymLink() && !info.exists())
        throw EBackupFolderError(
            QStringLiteral("Der Ordner „%1“ für die Sicherungen ist ein Verweis auf „%2“, den es nicht gibt.\n%3")
                .arg(QString::fromLatin1(kBackupFolderName), QDir::toNativeSeparators(info.symLinkTarget()), shown) +
            notSaved);
    if (info.exists() && !info.isDir())
        throw EBackupFolderError(
            QStringLiteral("„%1“ im Datenordner ist eine Datei und kein Ordner; dort können keine Sicherungen "
                           "abgelegt werden.\n%2")
                .arg(QString::fromLatin1(kBackupFolderName), shown) +
            notSaved);
}

} // namespace

QString BackupFileName(const QDateTime &moment)
{
    return QStringLiteral("Gaeste %1.csv").arg(moment.toString(QStringLiteral("yyyy-MM-dd HHmmss")));
}

QDateTime BackupTime(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^Gaeste (\\d{4}-\\d{2}-\\d{2} \\d{6})\\.csv$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HHmmss"));
}

QString BackupFolder(const QString &dataFolder)
{
    return QDir(dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder)
        .filePath(QString::fromLatin1(kBackupFolderName));
}

namespace {

// `setAside`: a version that must not give way to a backup of the same second (see KeepBackupAt).
QString keepBackup(const QString &dataFolder, const QByteArray &content, const QDateTime &moment, bool setAside)
{
    const QString folder = BackupFolder(dataFolder);
    checkBackupFolder(folder);
    QString path = QDir(folder).filePath(BackupFileName(moment));
    if (!QFileInfo(folder).isDir()) {
        // The guests' data: only the owner may look into the folder.
        const QDir parent(dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder);
        errno = 0;
        if (!parent.mkdir(QString::fromLatin1(kBackupFolderName),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
            // Taken before anything else can overwrite the reason (a read-only folder, say).
            const int code = platform::LastIoErrorCode(folder);
            if (!QFileInfo(folder).isDir())
                throw platform::EInOutError(code, path);
        }
    }
    if (setAside) {
        QDateTime free = moment;
        while (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            free = free.addSecs(1);
            path = QDir(folder).filePath(BackupFileName(free));
        }
    }
    // Two saves within one second: the version before the first of them is the one worth keeping.
    if (!QFileInfo::exists(path)) {
        platform::SaveFileAtomic(path, content);
        QStringList ledger = readLedger(folder);
        ledger.append(QFileInfo(path).fileName());
        writeLedger(folder, ledger);
    }
    ThinBackups(dataFolder);
    return path;
}

} // namespace

QString KeepBackup(const QString &dataFolder, const QByteArray &content)
{
    return keepBackup(dataFolder, content, platform::Clock::now(), false);
}

QString KeepBackupAt(const QString &dataFolder, const QByteArray &content, const QDateTime &moment)
{
    return keepBackup(dataFolder, content, moment.isValid() ? moment : platform::Clock::now(), true);
}

QList<QDateTime> BackupsToThin(QList<QDateTime> times, const QDateTime &now)
{
    std::sort(times.begin(), times.end(), std::greater<>());
    QSet<int> monthsKept;
    const int thisMonth = monthNumber(now.date());
    QList<QDateTime> thin;
    for (qsizetype i = 0; i < times.size(); ++i) {
        const int month = monthNumber(times.at(i).date());
        // The list runs from new to old, so the first of a month met is its newest.
        const bool monthly = month > thisMonth - kMonthlyBackupsKept && !monthsKept.contains(month);
        if (monthly)
            monthsKept.insert(month);
        if (i >= kBackupsKept && !monthly)
            thin.append(times.at(i));
    }
    return thin;
}

void ThinBackups(const QString &dataFolder)
{
    const QDir folder(BackupFolder(dataFolder));
    const QStringList ledger = readLedger(folder.path());
    QHash<QDateTime, QString> names;
    for (const QString &name : ledger) {
        const QFileInfo file(folder.filePath(name));
        const QDateTime time = BackupTime(name);
        if (time.isValid() && file.isFile() && !file.isSymLink())
            names.insert(time, name);
    }
    const QList<QDateTime> thin = BackupsToThin(names.keys(), platform::Clock::now());
    for (const QDateTime &time : thin)
        QFile::remove(folder.filePath(names.value(time)));
    // What is gone (thinned, or deleted by the host) leaves the list too.
    QStringList kept;
    for (const QString &name : ledger)
        if (QFileInfo::exists(folder.filePath(name)) && !kept.contains(name))
            kept.append(name);
    if (kept != ledger)
        writeLedger(folder.path(), kept);
}

std::vector<BackupInfo> ListBackups(const QString &dataFolder)
{
    const QDir folder(BackupFolder(dataFolder));
    std::vector<BackupInfo> backups;
    for (const QString &name : folder.entryList({QStringLiteral("Gaeste *.csv")}, QDir::Files)) {
        BackupInfo backup;
        backup.time = BackupTime(name);
        if (!backup.time.isValid())
            continue;
        backup.path = folder.filePath(name);
        // Only what reads as a guest file can be restored; anything else (an export saved
        // there, a damaged file) is shown as unreadable.
        try {
            backup.guests = static_cast<int>(DecodeGuestFile(platform::ReadFileBytes(backup.path), name).size()) - 1;
        } catch (const platform::EInOutError &) {
            backup.guests = -1;
        } catch (const platform::EConvertError &) {
            backup.guests = -1;
        }
        backups.push_back(backup);
    }
    std::sort(backups.begin(), backups.end(), [](const BackupInfo &a, const BackupInfo &b) { return a.time > b.time; });
    return backups;
}

QString RestoreQuestion(const BackupInfo &backup, int guestsNow)
{
    const QString held = backup.guests == 1 ? QStringLiteral("1 Gast") : QStringLiteral("%1 Gästen").arg(backup.guests);
    const QString now = guestsNow == 1 ? QStringLiteral("1 Gast") : QStringLiteral("%1 Gäste").arg(guestsNow);
    return QStringLiteral("Die Sicherung vom %1 mit %2 ersetzt die Gästeliste im Programm (jetzt %3).\n\n"
                          "Die jetzige Gaeste.csv wird vorher im Ordner „Sicherung“ abgelegt; Rechnungen, Preise und "
                          "Einstellungen bleiben, wie sie sind.\n\nSicherung wiederherstellen?")
        .arg(backup.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")), held, now);
}

} // namespace guestfile
