#pragma once
// Backups of the guest file: before a save replaces "Gaeste.csv", the replaced version is kept
// in the folder "Sicherung" inside the data folder, named by the time of the save. The last 30
// are kept, and beyond them the newest of each month for a year, so the host can go back a
// little or a long way without ever thinking of it.

#include "platform/DataFolderLayout.h"
#include "platform/Error.h"
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <vector>

namespace guestfile {

inline constexpr const auto &kBackupFolderName = platform::layout::kBackupFolder;
inline constexpr int kBackupsKept = 30;        // the newest, whatever their age
inline constexpr int kMonthlyBackupsKept = 12; // the newest of each month, this month included

// "Sicherung" is there but no folder one can write a backup into (a file, a link to nothing).
class EBackupFolderError : public platform::Error
{
public:
    using Error::Error;
};

// The list in the backup folder of the backups this program wrote: only those are ever thinned,
// so that files of the same name that someone else put there (a linked folder) stay.
inline constexpr const auto &kBackupLedgerName = platform::layout::kBackupLedger;

struct BackupInfo
{
    QString path;
    QDateTime time; // of the save that replaced this version
    int guests = 0; // its records without record 0; -1 when it does not read as a guest file
};

// "Gaeste 2025-02-20 100503.csv" for a save at that moment.
QString BackupFileName(const QDateTime &moment);
// The moment a backup's name stands for; invalid for any other name.
QDateTime BackupTime(const QString &fileName);

// The folder of the backups of the data folder `dataFolder` (empty: the current one).
QString BackupFolder(const QString &dataFolder);

// Keeps `content`, the guest file a save is about to replace, as a backup named by the clock's
// present moment, readable and writable by the owner only, and then thins the backups. Returns
// the backup's path. A backup of the same second is kept as it is. Throws EInOutError when the
// backup cannot be written; the save must not go on then, and EBackupFolderError, naming
// "Sicherung" and what is wrong with it, when it is no folder.
QString KeepBackup(const QString &dataFolder, const QByteArray &content);
// The same for a version of the moment `moment` (a recovery copy set aside); a backup of that
// name that is already there is never replaced: the next free second is taken.
QString KeepBackupAt(const QString &dataFolder, const QByteArray &content, const QDateTime &moment);

// Of the backup times, which to delete at `now`: all but the newest kBackupsKept and the newest
// of each of the last kMonthlyBackupsKept months (the month of `now` and the eleven before it).
QList<QDateTime> BackupsToThin(QList<QDateTime> times, const QDateTime &now);
// Deletes the backups in the data folder that BackupsToThin names, of those this program wrote
// (listed in kBackupLedgerName); other files stay, however they are named.
void ThinBackups(const QString &dataFolder);

// The backups of the data folder, newest first, with the number of guests each holds; a file
// that does not read as a guest file is listed with -1 and must not be restored.
std::vector<BackupInfo> ListBackups(const QString &dataFolder);

// The question before `backup` replaces the guests in the program (`guestsNow` of them): it names
// the backup's time and guests, what is replaced, and that the guest file is kept as a backup first.
QString RestoreQuestion(const BackupInfo &backup, int guestsNow);

} // namespace guestfile
