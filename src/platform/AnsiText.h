#pragma once
// Text files as the host's Windows program keeps them: the ANSI code page (Windows-1252 on
// German systems), no byte-order mark, CR LF line ends.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace platform {

// Unicode to the ANSI code page; characters it lacks become '?'.
QByteArray ToAnsi(const QString &text);
// The ANSI code page to Unicode.
QString FromAnsi(QByteArrayView bytes);

// Splits bytes into lines at CR LF, LF or a lone CR, as Windows programs read text; a last line
// without a line end counts, a final line end does not start another line.
QStringList SplitAnsiLines(const QByteArray &bytes);

// Reads a whole file's bytes; throws EInOutError when it cannot be opened or read.
QByteArray ReadFileBytes(const QString &path);
// Reads a whole text file into lines; throws EInOutError when it cannot be opened or read.
QStringList ReadTextFile(const QString &path);
// Reads only the first line (empty when the file is empty).
QString ReadFirstLine(const QString &path);

// Writes the lines, each followed by CR LF, to a device; returns false when a write fails.
bool WriteTextLines(QIODevice &device, const QStringList &lines);

// Writes the lines to a new file beside `path` and puts it in place of the old one only when
// everything was written and flushed, so a failure leaves the old file intact. A new file is
// readable and writable by its owner only; a replaced file keeps its permissions.
// Throws EInOutError on any failure.
void SaveTextFileAtomic(const QString &path, const QStringList &lines);
// The same for bytes already encoded.
void SaveFileAtomic(const QString &path, const QByteArray &bytes);

} // namespace platform
