#include "platform/FileIo.h"

#include "platform/IoError.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// A temporary copy older than this is left over whoever made it (another computer on a shared
// folder, say): no save takes a day.
constexpr qint64 kStaleSeconds = 24 * 60 * 60;

// As many links in a row as the system itself follows before it calls it a loop.
constexpr int kMaxLinks = 40;

// Throws the error `error` (an errno value, or GetLastError on Windows) for `path`.
[[noreturn]] void throwError(int error, const QString &path)
{
#ifdef Q_OS_WIN
    SetLastError(static_cast<DWORD>(error));
#else
    errno = error;
#endif
    ThrowLastIoError(path);
}

int lastError()
{
#ifdef Q_OS_WIN
    return static_cast<int>(GetLastError());
#else
    return errno;
#endif
}

// This computer's name as it may stand in a file name.
QString hostToken()
{
    QString host;
    for (const QChar c : QSysInfo::machineHostName())
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            host += c;
    return host.left(24).isEmpty() ? QStringLiteral("pc") : host.left(24);
}

bool processRuns(qint64 pid)
{
#ifdef Q_OS_WIN
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
#else
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

// Removes the temporary copies of `fileName` in `folder` that a killed save left behind: those of
// a process of this computer that no longer runs, and any older than a day. They hold the
// host's guests, so they must not linger; a save under way in another program is left alone.
void removeStaleTemporaries(const QString &folder, const QString &fileName)
{
    const QString prefix = TemporaryPrefix(fileName);
    const QDir dir(folder);
    const QStringList names = dir.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    if (names.isEmpty())
        return;
    static const QRegularExpression pattern(QStringLiteral("^([A-Za-z0-9]+)-([0-9]+)-[A-Za-z0-9]+\\.tmp$"));
    const QString host = hostToken();
    const qint64 ownPid = QCoreApplication::applicationPid();
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(QStringView(name).sliced(prefix.size()));
        if (!match.hasMatch())
            continue;
        const QString path = dir.filePath(name);
        const qint64 pid = match.captured(2).toLongLong();
        const bool deadHere = match.captured(1) == host && pid != ownPid && !processRuns(pid);
        const QDateTime modified = QFileInfo(path).lastModified();
        const bool old = modified.isValid() && modified.secsTo(QDateTime::currentDateTime()) > kStaleSeconds;
        if (deadHere || old)
            QFile::remove(path);
    }
}

// The new file of one save, beside the file it is to replace; removed again unless it took the
// old one's place.
class Temporary
{
public:
    Temporary(const QString &folder, const QString &fileName, const QString &reportPath) : reportPath_(reportPath)
    {
        const QString start = folder + u'/' + TemporaryPrefix(fileName) + hostToken() + u'-' +
                              QString::number(QCoreApplication::applicationPid()) + u'-';
        static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        for (int attempt = 0; attempt < 100; ++attempt) {
            QString suffix;
            for (int i = 0; i < 6; ++i)
                suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
            path_ = start + suffix + QStringLiteral(".tmp");
            // Exclusive and owner-only from the first moment: the guests' addresses are nobody
            // else's business, not even while the file is being written.
#ifdef Q_OS_WIN
            file_.setFileName(path_);
            if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                return;
            if (QFileInfo::exists(path_))
                continue;
            throwError(lastError(), reportPath_);
#else
            fd_ = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd_ >= 0)
                return;
            if (errno != EEXIST)
                throwError(errno, reportPath_);
#endif
        }
        throwError(EEXIST, reportPath_);
    }

    ~Temporary()
    {
        if (placed_)
            return;
        const int error = lastError();
#ifdef Q_OS_WIN
        file_.close();
        QFile::remove(path_);
#else
        if (fd_ >= 0)
            ::close(fd_);
        ::unlink(QFile::encodeName(path_).constData());
        errno = error;
#endif
        Q_UNUSED(error);
    }

    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;

    void write(const QByteArray &bytes)
    {
#ifdef Q_OS_WIN
        if (file_.write(bytes) != bytes.size() || !file_.flush())
            throwError(lastError(), reportPath_);
#else
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, data, static_cast<size_t>(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throwError(n < 0 ? errno : ENOSPC, reportPath_);
            data += n;
            left -= n;
        }
#endif
    }

    // The bytes are on the disk when this returns; a device that cannot promise it fails here
    // rather than later, unseen.
    void syncAndClose()
    {
#ifdef Q_OS_WIN
        const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file_.handle()));
        if (!FlushFileBuffers(handle))
            throwError(lastError(), reportPath_);
        file_.close();
        if (file_.error() != QFileDevice::NoError)
            throwError(lastError(), reportPath_);
#else
        if (::fsync(fd_) != 0)
            throwError(errno, reportPath_);
        const int fd = fd_;
        fd_ = -1; // closed even when close() fails
        if (::close(fd) != 0)
            throwError(errno, reportPath_);
#endif
    }

    void replace(const QString &target)
    {
#ifdef Q_OS_WIN
        const auto from = reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path_).utf16());
        const auto to = reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(target).utf16());
        if (!MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throwError(lastError(), reportPath_);
#else
        if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target).constData()) != 0)
            throwError(errno, reportPath_);
#endif
        placed_ = true;
    }

private:
    QString reportPath_;
    QString path_;
    bool placed_ = false;
#ifdef Q_OS_WIN
    QFile file_;
#else
    int fd_ = -1;
#endif
};

// The new name of the file lives in its folder's entry; without syncing the folder, a power cut
// can bring the old file back after the save was reported done.
void syncFolder(const QString &folder, const QString &reportPath)
{
#ifdef Q_OS_WIN
    // MOVEFILE_WRITE_THROUGH has already waited for the rename to reach the disk.
    Q_UNUSED(folder);
    Q_UNUSED(reportPath);
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throwError(errno, reportPath);
    const int synced = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder at all; they have nothing better to offer.
    if (synced != 0 && error != EINVAL && error != ENOTSUP && error != EROFS && error != EBADF)
        throwError(error, reportPath);
#endif
}

#ifndef Q_OS_WIN
class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

void checkOrdinary(const struct stat &status, const QString &path)
{
    if (S_ISDIR(status.st_mode))
        throwError(EISDIR, path);
    if (!S_ISREG(status.st_mode))
        throw EInOutError(kNotAFile, path);
}
#endif

// Reads at most `limit` bytes (all when negative), checking that everything expected arrived.
QByteArray readFile(const QString &path, qsizetype limit)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (info.exists() && info.isDir())
        throwError(ERROR_DIRECTORY, path);
    if (info.exists() && !info.isFile())
        throw EInOutError(kNotAFile, path);
    QFile file(path);
    SetLastError(0);
    if (!file.open(QIODevice::ReadOnly))
        throwError(lastError(), path);
    const qint64 size = file.size();
    const qint64 expected = limit < 0 ? size : std::min<qint64>(size, limit);
    const qint64 room = expected + (expected == size ? 1 : 0);
    QByteArray bytes(room, Qt::Uninitialized);
    qint64 total = 0;
    while (total < room) {
        const qint64 n = file.read(bytes.data() + total, room - total);
        if (n < 0)
            throwError(lastError(), path);
        if (n == 0)
            break;
        total += n;
    }
#else
    const QByteArray native = QFile::encodeName(path);
    struct stat status = {};
    if (::stat(native.constData(), &status) != 0)
        throwError(errno, path);
    // A pipe or a device named like our file would block the program or never end.
    checkOrdinary(status, path);
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throwError(errno, path);
    // What was opened counts, should the name have changed hands since.
    if (::fstat(fd.get(), &status) != 0)
        throwError(errno, path);
    checkOrdinary(status, path);
    const qint64 size = status.st_size;
    const qint64 expected = limit < 0 ? size : std::min<qint64>(size, limit);
    // One byte more than expected shows a file that grew while it was read.
    const qint64 room = expected + (expected == size ? 1 : 0);
    QByteArray bytes(static_cast<qsizetype>(room), Qt::Uninitialized);
    qint64 total = 0;
    while (total < room) {
        const ssize_t n = ::read(fd.get(), bytes.data() + total, static_cast<size_t>(room - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwError(errno, path);
        if (n == 0)
            break;
        total += n;
    }
#endif
    if (total != expected)
        throw EInOutError(kReadFault, path);
    bytes.truncate(static_cast<qsizetype>(total));
    return bytes;
}

} // namespace

QString TemporaryPrefix(const QString &fileName)
{
    return u'.' + fileName + u'.';
}

void RemoveSaveLeftovers(const QString &folder)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.[A-Za-z0-9]+-[0-9]+-[A-Za-z0-9]+\\.tmp$"));
    const QDir dir(folder);
    for (const QFileInfo &file : dir.entryInfoList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden)) {
        if (pattern.match(file.fileName()).hasMatch() && !file.isSymLink())
            QFile::remove(file.absoluteFilePath());
    }
}

QByteArray ReadFileBytes(const QString &path)
{
    return readFile(path, -1);
}

QByteArray ReadFileStart(const QString &path, qsizetype maxBytes)
{
    return readFile(path, std::max<qsizetype>(maxBytes, 0));
}

void SaveFileAtomic(const QString &path, const QByteArray &bytes)
{
    // A link keeps pointing at the file it named: the file at the end of the chain is replaced,
    // and every link on the way stays.
    QFileInfo end(path);
    for (int hops = 0; end.isSymLink(); ++hops) {
        if (hops >= kMaxLinks)
            throwError(ELOOP, path);
        end = QFileInfo(end.symLinkTarget());
    }
    const QString target = end.absoluteFilePath();
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    const bool existed = info.exists();
    if (existed) {
        if (info.isDir())
            throwError(EISDIR, path);
        if (!info.isFile())
            throw EInOutError(kNotAFile, path);
            // A file the user made read-only is not replaced behind that protection.
#ifndef Q_OS_WIN
        if (::access(QFile::encodeName(target).constData(), W_OK) != 0)
            throwError(errno, path);
#else
        if (!info.isWritable())
            throwError(ERROR_ACCESS_DENIED, path);
#endif
    }

    removeStaleTemporaries(folder, info.fileName());
#ifndef Q_OS_WIN
    struct stat old = {};
    const bool keepMode = existed && ::stat(QFile::encodeName(target).constData(), &old) == 0;
#endif
    Temporary file(folder, info.fileName(), path);
    file.write(bytes);
    file.syncAndClose();
    file.replace(target);
#ifndef Q_OS_WIN
    // The copy stays private until it is in place; then it gets the permissions the host gave the
    // file. Should that fail, the file is merely more private than before.
    if (keepMode)
        (void)::chmod(QFile::encodeName(target).constData(), old.st_mode & 07777);
#endif
    syncFolder(folder, path);
}

} // namespace platform
