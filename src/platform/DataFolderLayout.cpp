#include "platform/DataFolderLayout.h"

#include <QDir>

namespace platform {

QString DataFolderLayout::path(const char *name) const
{
    // Without a folder, the name alone: relative to the current folder.
    return folder_.isEmpty() ? QString::fromUtf8(name) : QDir(folder_).filePath(QString::fromUtf8(name));
}

QString DataFolderLayout::path(const char *folder, const char *name) const
{
    return QDir(path(folder)).filePath(QString::fromUtf8(name));
}

} // namespace platform
