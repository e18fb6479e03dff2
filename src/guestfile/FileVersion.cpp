#include "guestfile/FileVersion.h"

#include "platform/FileIo.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace guestfile {

namespace {

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

FileVersion FileVersionOf(const QString &path, const QByteArray &bytes)
{
    FileVersion version;
    version.size = bytes.size();
    version.modified = QFileInfo(path).lastModified();
    version.hash = hashOf(bytes);
    return version;
}

bool IsUnchangedOnDisk(const QString &path, const FileVersion &version)
{
    if (!version.known())
        return false;
    const QFileInfo info(path);
    if (!info.exists() || info.size() != version.size)
        return false;
    // Equal size and time still do not prove equal content (a time can be set back, and a
    // coarse clock gives two saves the same time), so the content is compared.
    return hashOf(platform::ReadFileBytes(path)) == version.hash;
}

} // namespace guestfile
