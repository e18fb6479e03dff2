#pragma once
// File errors with the German texts the user sees, followed by the file's path on a second line.

#include "platform/Error.h"

#include <QString>

namespace platform {

// The error codes of the messages (the Windows numbers, which the messages were made for).
enum IoErrorCode : int {
    kFileNotFound = 2,
    kPathNotFound = 3,
    kTooManyOpenFiles = 4,
    kAccessDenied = 5,
    kReadFault = 30,        // fewer or more bytes arrived than the file holds
    kSharingViolation = 32, // another program holds the file or folder
    kDiskFull = 112,
    kDeviceFault = 1117, // the device reported an error (EIO)
    kNotAFile = 1920,    // a pipe, a device or a socket where a file belongs
};

class EInOutError : public Error
{
public:
    EInOutError(int code, const QString &path);
    int code() const { return code_; }
    QString path() const { return path_; }

private:
    int code_;
    QString path_;
};

// A path as the host reads it in a message: absolute, with the system's separators.
QString ShownPath(const QString &path);

// "Datei nicht gefunden", ..., "E/A-Fehler %d".
QString IoErrorText(int code);

// The code for the operating system's last error (errno, or GetLastError on Windows), as
// seen right after a failed file operation on `path`.
int LastIoErrorCode(const QString &path);

[[noreturn]] void ThrowLastIoError(const QString &path);

} // namespace platform
