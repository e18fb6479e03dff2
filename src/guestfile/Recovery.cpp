#include "guestfile/Recovery.h"

#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "platform/FileIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUuid>
#include <algorithm>

namespace guestfile {

using guests::TGast;

namespace {

QString inFolder(const QString &dataFolder, const char *name)
{
    return QDir(dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder).filePath(QString::fromUtf8(name));
}

// The lock that tells that the copy of the program owning a recovery copy still runs.
QString inUsePath(const QString &recoveryPath)
{
    return recoveryPath + QStringLiteral(".lock");
}

void writeRecoveryFile(const QString &path, const std::vector<TGast> &records)
{
    // Nobody else's file may take the guests' addresses: the copy is always the program's own.
    const QFileInfo old(path);
    if (old.isSymLink() || (old.exists() && !old.isFile()))
        QFile::remove(path);
    platform::SaveFileAtomic(path, GuestFileBytes(records));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// True while the copy of the program that keeps the recovery copy at `path` runs.
bool ownedByARunningCopy(const QString &path)
{
    const QString lock = inUsePath(path);
    if (!QFileInfo::exists(lock))
        return false;
    QLockFile probe(lock);
    probe.setStaleLockTime(0);
    if (probe.tryLock(0)) {
        probe.unlock();
        return false;
    }
    return probe.error() == QLockFile::LockFailedError;
}

} // namespace

QString RecoveryPath(const QString &dataFolder)
{
    return inFolder(dataFolder, kRecoveryFileName);
}

void WriteRecoveryCopy(const QString &dataFolder, const std::vector<TGast> &records)
{
    writeRecoveryFile(RecoveryPath(dataFolder), records);
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

OwnRecoveryCopy::OwnRecoveryCopy()
    : tag_(QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QUuid::createUuid().toString(QUuid::Id128).left(8)))
{
}

OwnRecoveryCopy::~OwnRecoveryCopy() = default;

void OwnRecoveryCopy::follow(const QString &dataFolder, bool holdsFolder)
{
    const QString path = holdsFolder ? RecoveryPath(dataFolder)
                                     : RecoveryPath(dataFolder) + u'.' + tag_;
    if (path == path_)
        return;
    inUse_.reset();
    path_ = path;
    if (!holdsFolder) {
        inUse_ = std::make_unique<QLockFile>(inUsePath(path_));
        // Without the lock the copy is still kept; only a start meanwhile might take it for left.
        inUse_->tryLock(0);
    }
}

void OwnRecoveryCopy::write(const std::vector<TGast> &records)
{
    if (!path_.isEmpty())
        writeRecoveryFile(path_, records);
}

void OwnRecoveryCopy::remove()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}

std::vector<LeftRecoveryCopy> LeftRecoveryCopies(const QString &dataFolder)
{
    const QDir folder(dataFolder.isEmpty() ? QStringLiteral(".") : dataFolder);
    const QString shared = QString::fromUtf8(kRecoveryFileName);
    const QFileInfo guests(inFolder(dataFolder, kGuestFileName));
    std::vector<LeftRecoveryCopy> left;
    for (const QFileInfo &file : folder.entryInfoList({shared, shared + QStringLiteral(".*")}, QDir::Files)) {
        if (file.fileName().endsWith(QStringLiteral(".lock")) || file.isSymLink() ||
            ownedByARunningCopy(file.filePath()))
            continue;
        const QDateTime written = file.lastModified();
        left.push_back({file.filePath(), written, !guests.exists() || guests.lastModified() < written});
    }
    std::sort(left.begin(), left.end(), [](const auto &a, const auto &b) { return a.written > b.written; });
    return left;
}

std::vector<TGast> ReadRecoveryFile(const QString &path)
{
    return DecodeGuestFile(platform::ReadFileBytes(path), QFileInfo(path).fileName());
}

QString SetRecoveryFileAside(const QString &dataFolder, const QString &path)
{
    const QString kept = KeepBackupAt(dataFolder, platform::ReadFileBytes(path), QFileInfo(path).lastModified());
    QFile::remove(path);
    return kept;
}

} // namespace guestfile
