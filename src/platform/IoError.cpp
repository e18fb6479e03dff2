#include "platform/IoError.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

EInOutError::EInOutError(int code, const QString &path)
    : Error(IoErrorText(code) + u'\n' + QDir::toNativeSeparators(path)), code_(code), path_(path)
{}

QString ShownPath(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString IoErrorText(int code)
{
    switch (code) {
    case kFileNotFound: return QStringLiteral("Datei nicht gefunden");
    case kPathNotFound: return QStringLiteral("Ungültiger Dateiname");
    case kTooManyOpenFiles: return QStringLiteral("Zu viele geöffnete Dateien");
    case kAccessDenied: return QStringLiteral("Dateizugriff verweigert");
    case kDiskFull: return QStringLiteral("Zu wenig Speicherplatz");
    case kReadFault: return QStringLiteral("Die Datei konnte nicht vollständig gelesen werden");
    case kSharingViolation: return QStringLiteral("Die Datei wird gerade von einem anderen Programm benutzt");
    case kDeviceFault: return QStringLiteral("E/A-Fehler 1117: Das Speichergerät meldet einen Fehler");
    case kNotAFile: return QStringLiteral("Keine gewöhnliche Datei, sondern ein Gerät oder eine Pipe");
    default: return QStringLiteral("E/A-Fehler %1").arg(code);
    }
}

int LastIoErrorCode(const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    const DWORD error = GetLastError();
    return error == 0 ? kAccessDenied : static_cast<int>(error);
#else
    const int error = errno;
    switch (error) {
    case ENOENT:
        // A missing folder is a wrong path rather than a missing file.
        return QFileInfo(path).absoluteDir().exists() ? kFileNotFound : kPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR: return kPathNotFound;
    case EMFILE:
    case ENFILE: return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return kDiskFull;
    case 0: return QFileInfo::exists(path) ? kAccessDenied : kFileNotFound;
    // EIO has the number of the access-denied code and would show that text; a failing
    // device gets the Windows number of a device error (ERROR_IO_DEVICE) instead.
    case EIO: return kDeviceFault;
    default: return error;
    }
#endif
}

void ThrowLastIoError(const QString &path)
{
    throw EInOutError(LastIoErrorCode(path), path);
}

} // namespace platform
