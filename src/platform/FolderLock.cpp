#include "platform/FolderLock.h"

#include "platform/IoError.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QLockFile>
#include <QThread>
#include <cerrno>
#include <cstdlib>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// The lock file of FolderLock where the system cannot lock a folder itself.
constexpr char kStepLockName[] = ".zimbrana-schritt.lock";

// A claim left empty (or unreadable) names no process, so nothing could ever show it gone; once it
// is older than the moment a copy needs to write its claim, it is a crash's leftover.
constexpr qint64 kUnreadableClaimStaleMs = 2000;

// Lock files say who holds a folder with guests' data: nobody else's business.
void makePrivate(const QString &path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

int codeOf(QLockFile::LockError error, const QString &file)
{
    switch (error) {
    case QLockFile::NoError: return 0;
    case QLockFile::LockFailedError: return kSharingViolation;
    case QLockFile::PermissionError: return kAccessDenied;
    case QLockFile::UnknownError: break;
    }
    return LastIoErrorCode(file);
}

} // namespace

FolderLock::FolderLock(const QString &file, std::chrono::milliseconds timeout)
{
    const QString folder = QFileInfo(file).absolutePath();
#ifdef Q_OS_WIN
    lockWithFile(folder, file, timeout);
#else
    // The lock lives on the folder itself: nothing is written for it, and the system drops it
    // when the program dies, so no stale lock can ever block the next invoice.
    errno = 0;
    fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        errno = error == ENOTDIR ? ENOENT : error;
        ThrowLastIoError(file);
    }
    const QDeadlineTimer deadline(timeout);
    int pause = 1;
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            // A file system that cannot lock a folder (some network shares): a lock file instead.
            ::close(fd_);
            fd_ = -1;
            lockWithFile(folder, file, timeout);
            return;
        }
        if (deadline.hasExpired()) {
            ::close(fd_);
            fd_ = -1;
            throw EInOutError(kSharingViolation, file);
        }
        QThread::msleep(static_cast<unsigned long>(pause));
        pause = std::min(pause * 2, 20);
    }
#endif
}

void FolderLock::lockWithFile(const QString &folder, const QString &file, std::chrono::milliseconds timeout)
{
    if (!QFileInfo(folder).isDir())
        throw EInOutError(kPathNotFound, file);
    lockFile_ = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(kStepLockName)));
    if (!lockFile_->tryLock(timeout)) {
        const int code = codeOf(lockFile_->error(), file);
        lockFile_.reset();
        throw EInOutError(code, file);
    }
    makePrivate(QDir(folder).filePath(QString::fromLatin1(kStepLockName)));
}

FolderLock::~FolderLock()
{
#ifndef Q_OS_WIN
    if (fd_ >= 0)
        ::close(fd_); // closing the folder drops its lock
#endif
}

QString InstanceLock::fileName()
{
    return QStringLiteral(".zimbrana-sitzung.lock");
}

InstanceLock::InstanceLock() = default;

InstanceLock::~InstanceLock()
{
    release();
}

InstanceLock::State InstanceLock::lock(const QString &folder)
{
    const QString absolute = QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absolutePath();
    if (state_ == State::Locked && absolute == folder_)
        return state_;
    release();
    folder_ = absolute;
    lockFile_ = std::make_unique<QLockFile>(QDir(absolute).filePath(fileName()));
    // The claim lasts as long as the copy runs, so it must never count as stale by its age; the
    // claim of a copy that is gone is recognised by its process.
    lockFile_->setStaleLockTime(0);
    bool locked = lockFile_->tryLock(0);
    qint64 pid = 0;
    QString host;
    QString program;
    if (!locked && lockFile_->error() == QLockFile::LockFailedError && !lockFile_->getLockInfo(&pid, &host, &program)) {
        const QDateTime written = QFileInfo(QDir(absolute).filePath(fileName())).lastModified();
        if (!written.isValid() || std::abs(written.msecsTo(QDateTime::currentDateTime())) > kUnreadableClaimStaleMs) {
            lockFile_->removeStaleLockFile();
            locked = lockFile_->tryLock(0);
        }
    }
    if (locked) {
        makePrivate(QDir(absolute).filePath(fileName()));
        state_ = State::Locked;
        return state_;
    }
    if (lockFile_->error() == QLockFile::LockFailedError) {
        state_ = State::HeldByAnother;
        // Which computer and since when, as a host can tell them apart; a process number says nothing.
        if (lockFile_->getLockInfo(&pid, &host, &program)) {
            const QDateTime since = QFileInfo(QDir(absolute).filePath(fileName())).lastModified();
            holder_ = host == QSysInfo::machineHostName() ? QStringLiteral("auf diesem Rechner")
                                                           : QStringLiteral("auf dem Rechner „%1“").arg(host);
            if (since.isValid())
                holder_ += QStringLiteral(" seit %1").arg(since.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        }
    } else {
        state_ = State::Impossible;
    }
    lockFile_.reset();
    return state_;
}

void InstanceLock::release()
{
    if (lockFile_)
        lockFile_->unlock();
    lockFile_.reset();
    state_ = State::Free;
    holder_.clear();
}

QString InstanceLock::message() const
{
    if (state_ != State::HeldByAnother)
        return {};
    QString text =
        QStringLiteral("Zimbrana arbeitet bereits mit dem Datenordner %1").arg(QDir::toNativeSeparators(folder_));
    if (!holder_.isEmpty())
        text += QStringLiteral(" (%1)").arg(holder_);
    return text + QStringLiteral(".\nWas beide Programme speichern, kann sich gegenseitig überschreiben. Bitte "
                                 "arbeiten Sie nur in einem der beiden Fenster weiter.");
}

} // namespace platform
