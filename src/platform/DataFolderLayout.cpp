#include "platform/DataFolderLayout.h"

#include <QDir>

namespace platform {

QString DataFolderLayout::path(const char *name) const
{
    return QDir(folder_.isEmpty() ? QStringLiteral(".") : folder_).filePath(QString::fromUtf8(name));
}

QString DataFolderLayout::path(const char *folder, const char *name) const
{
    return QDir(path(folder)).filePath(QString::fromUtf8(name));
}

} // namespace platform
