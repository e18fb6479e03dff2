#pragma once
// Which version of a file this session knows, taken from the bytes it read from the file or
// wrote to it: so that a save can tell whether another program (or another copy of this one) has
// changed the file since, and ask before replacing that work.

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace guestfile {

struct FileVersion
{
    qint64 size = -1;   // in bytes; -1 while no version is known
    QDateTime modified; // as the file system reported it then, to tell the user
    QByteArray hash;    // SHA-256 of the content

    bool known() const { return size >= 0; }
};

// The version of the file at `path` whose content is `bytes`, just read from it or written to it.
// The content decides; should another program have replaced the file in between, the version
// simply will not match the file on disk, which is the safe side.
FileVersion FileVersionOf(const QString &path, const QByteArray &bytes);

// True when the file at `path` holds exactly the content of `version`. A missing file, or an
// unknown version, is no match. Reads the file when its size agrees; throws EInOutError when it
// cannot.
bool IsUnchangedOnDisk(const QString &path, const FileVersion &version);

} // namespace guestfile
