#pragma once
// Text files as the host's Windows program keeps them: the ANSI code page (Windows-1252 on
// German systems), no byte-order mark, CR LF line ends.

#include "platform/FileIo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

namespace platform {

// Unicode to the ANSI code page; characters it lacks become '?'.
QByteArray ToAnsi(const QString &text);
// The ANSI code page to Unicode.
QString FromAnsi(QByteArrayView bytes);
// The characters of `text` that the ANSI code page cannot hold (ToAnsi would write '?' for
// them), each once, in the order they first appear; empty when all of them fit.
QString CharactersAnsiLacks(const QString &text);

// Splits bytes into lines at CR LF, LF or a lone CR, as Windows programs read text; a last line
// without a line end counts, a final line end does not start another line.
QStringList SplitAnsiLines(const QByteArray &bytes);

// Reads a whole text file into lines; throws EInOutError as ReadFileBytes does.
QStringList ReadTextFile(const QString &path);
// Reads only the first line (empty when the file is empty). Only the file's first 64 KiB are
// read; a first line that does not end within them throws EConvertError.
QString ReadFirstLine(const QString &path);

// Writes the lines, each followed by CR LF, to a device; returns false when a write fails.
bool WriteTextLines(QIODevice &device, const QStringList &lines);

// The bytes of the lines in the ANSI code page, each followed by CR LF.
QByteArray AnsiTextBytes(const QStringList &lines);

// Saves the lines with SaveFileAtomic: the old file stays whole until the new one is on the disk.
// Throws EInOutError on any failure.
void SaveTextFileAtomic(const QString &path, const QStringList &lines);

} // namespace platform
