#include "guestfile/Recovery.h"

#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "platform/FileIo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace guestfile {

using guests::TGast;

namespace {

QString inFolder(const QString &dataFolder, const char *name)
{
    return QDir(dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder).filePath(QString::fromUtf8(name));
}

} // namespace

QString RecoveryPath(const QString &dataFolder)
{
    return inFolder(dataFolder, kRecoveryFileName);
}

void WriteRecoveryCopy(const QString &dataFolder, const std::vector<TGast> &records)
{
    const QString path = RecoveryPath(dataFolder);
    // Nobody else's file may take the guests' addresses: the copy is always the program's own.
    const QFileInfo old(path);
    if (old.isSymLink() || (old.exists() && !old.isFile()))
        QFile::remove(path);
    platform::SaveFileAtomic(path, GuestFileBytes(records));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void RemoveRecoveryCopy(const QString &dataFolder)
{
    QFile::remove(RecoveryPath(dataFolder));
}

bool HasRecoveryCopy(const QString &dataFolder)
{
    return QFileInfo(RecoveryPath(dataFolder)).isFile();
}

std::optional<QDateTime> RecoveryToOffer(const QString &dataFolder)
{
    const QFileInfo recovery(RecoveryPath(dataFolder));
    if (!recovery.isFile())
        return std::nullopt;
    const QFileInfo guests(inFolder(dataFolder, kGuestFileName));
    const QDateTime written = recovery.lastModified();
    if (guests.exists() && guests.lastModified() >= written)
        return std::nullopt;
    return written;
}

QString RecoveryQuestion(const QDateTime &written)
{
    return QStringLiteral("Ungespeicherte Änderungen vom %1 wiederherstellen?")
        .arg(written.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

std::vector<TGast> ReadRecoveryCopy(const QString &dataFolder)
{
    const QString path = RecoveryPath(dataFolder);
    return DecodeGuestFile(platform::ReadFileBytes(path), QFileInfo(path).fileName());
}

QString SetRecoveryAside(const QString &dataFolder)
{
    const QString path = RecoveryPath(dataFolder);
    const QString kept = KeepBackupAt(dataFolder, platform::ReadFileBytes(path), QFileInfo(path).lastModified());
    RemoveRecoveryCopy(dataFolder);
    return kept;
}

} // namespace guestfile
