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

namespace {

int monthNumber(const QDate &date)
{
    return date.year() * 12 + date.month() - 1;
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

QString KeepBackup(const QString &dataFolder, const QByteArray &content)
{
    const QString folder = BackupFolder(dataFolder);
    const QString path = QDir(folder).filePath(BackupFileName(platform::Clock::now()));
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
    // Two saves within one second: the version before the first of them is the one worth keeping.
    if (!QFileInfo::exists(path))
        platform::SaveFileAtomic(path, content);
    ThinBackups(dataFolder);
    return path;
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
    QHash<QDateTime, QString> names;
    for (const QString &name : folder.entryList({QStringLiteral("Gaeste *.csv")}, QDir::Files)) {
        const QDateTime time = BackupTime(name);
        if (time.isValid())
            names.insert(time, name);
    }
    for (const QDateTime &time : BackupsToThin(names.keys(), platform::Clock::now()))
        QFile::remove(folder.filePath(names.value(time)));
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
