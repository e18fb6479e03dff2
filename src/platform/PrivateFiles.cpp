#include "platform/PrivateFiles.h"

#include "platform/IoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace platform {

namespace {

constexpr QFileDevice::Permissions kOwnerFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

bool makePrivateFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList missing; // innermost first
    while (!QFileInfo::exists(path)) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    for (const QString &level : missing)
        // Made with its rights at once; another program making it meanwhile is as good.
        if (!QDir().mkdir(level, kOwnerFolder) && !QFileInfo(level).isDir())
            return false;
    return QFileInfo(folder).isDir();
}

PrivateFile::PrivateFile(const QString &path) : path_(path)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerFile)) {
        made_ = true;
        return;
    }
    const int code = LastIoErrorCode(path); // before another look at the file changes it
    if (!QFileInfo::exists(path))
        throw EInOutError(code, path);
}

PrivateFile::~PrivateFile()
{
    if (made_)
        QFile::remove(path_);
}

} // namespace platform
