#pragma once
// Whole files in and out. A read that does not deliver every byte of the file is a failed read,
// and a save is on the disk, whole, before it is reported done: the host's guest list and
// invoice counter must survive a failing stick, a full disk and a power cut.

#include <QByteArray>
#include <QString>

namespace platform {

// Reads a whole file. Throws EInOutError when it cannot be opened or read (with the path), when
// it is no ordinary file (a pipe or a device would hang or never end), or when the bytes read do
// not match the file's size (a device that fails part-way, or another program writing the file
// meanwhile).
QByteArray ReadFileBytes(const QString &path);

// The first `maxBytes` bytes of a file, or all of it when it is shorter, with the same checks;
// for files of which only the beginning counts, so that a huge one costs no time.
QByteArray ReadFileStart(const QString &path, qsizetype maxBytes);

// Puts `bytes` in place of the file at `path`: they go to a new file beside it, readable and
// writable by its owner only, which is synced to the disk and then renamed over the old one,
// and the folder is synced too. Any failure before the rename keeps the old file and removes the
// new one; a failure after it is reported as well, since the save may not survive a power cut.
// A replaced file keeps its permissions; a link, or a chain of links, keeps pointing at the file
// it named, which is the one replaced. Temporary
// copies that an earlier save left behind when it was killed are removed. Throws EInOutError.
void SaveFileAtomic(const QString &path, const QByteArray &bytes);

// Removes every temporary copy that SaveFileAtomic left in `folder` when it was cut off (killed,
// power cut). Only for a folder that no other running program saves into.
void RemoveSaveLeftovers(const QString &folder);

// The names SaveFileAtomic gives its temporary copies of `fileName` start with this.
QString TemporaryPrefix(const QString &fileName);

} // namespace platform
