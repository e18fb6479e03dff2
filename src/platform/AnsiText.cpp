#include "platform/AnsiText.h"

#include "platform/Convert.h"

#include <QDir>
#include <array>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

namespace {

#ifndef Q_OS_WIN
// Windows-1252 bytes 0x80..0x9F; the five bytes it leaves undefined map to the C1 controls of
// the same value, as Windows itself does, so they survive a round trip.
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character of every byte, so that reading a file costs one look-up per byte.
constexpr std::array<char16_t, 256> kFromAnsi = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : static_cast<char16_t>(b);
    return table;
}();

char encodeOne(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}
#endif

} // namespace

QByteArray ToAnsi(const QString &text)
{
#ifdef Q_OS_WIN
    const auto wide = reinterpret_cast<const wchar_t *>(text.utf16());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, "?", nullptr);
    QByteArray out(size, Qt::Uninitialized);
    WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), out.data(), size, "?", nullptr);
    return out;
#else
    // One pass into a buffer of the final size: the guest file is written through here line by line.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    const QChar *p = text.constData();
    const QChar *const end = p + text.size();
    while (p < end) {
        // A surrogate pair is one character, and none of the code page; a lone surrogate also becomes '?'.
        if (p->isHighSurrogate() && p + 1 < end && p[1].isLowSurrogate()) {
            *dst++ = '?';
            p += 2;
        } else {
            *dst++ = encodeOne(p->unicode());
            ++p;
        }
    }
    out.truncate(dst - out.constData());
    return out;
#endif
}

QString FromAnsi(QByteArrayView bytes)
{
#ifdef Q_OS_WIN
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    QString out(size, Qt::Uninitialized);
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), int(bytes.size()), reinterpret_cast<wchar_t *>(out.data()), size);
    return out;
#else
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char b : bytes)
        *dst++ = QChar(kFromAnsi[static_cast<unsigned char>(b)]);
    return out;
#endif
}

QString CharactersAnsiLacks(const QString &text)
{
    QString lacking;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = text.at(i);
        // A surrogate pair is one character and goes whole into the answer.
        const qsizetype length = c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QStringView one = QStringView(text).sliced(i, length);
        i += length;
        if (length == 1 && c.unicode() < 0x80)
            continue; // ASCII, the common case, fits every code page
        const QString character = one.toString();
        if (FromAnsi(ToAnsi(character)) != character && !lacking.contains(character))
            lacking += character;
    }
    return lacking;
}

QStringList SplitAnsiLines(const QByteArray &bytes)
{
    QStringList lines;
    const QByteArrayView all(bytes);
    const qsizetype size = all.size();
    qsizetype start = 0;
    qsizetype lf = -1; // the next LF at or after start; searched once per LF to stay linear
    while (start < size) {
        if (lf < start) {
            lf = all.indexOf('\n', start);
            if (lf < 0)
                lf = size;
        }
        // A lone CR ends a line too: a file saved with old Mac line ends would otherwise be one
        // line, read as its first record only, and the next save would drop all the others.
        const qsizetype cr = all.sliced(start, lf - start).indexOf('\r');
        const qsizetype stop = cr < 0 ? lf : start + cr;
        lines.append(FromAnsi(all.sliced(start, stop - start)));
        start = stop + 1;
        if (cr >= 0 && start == lf)
            ++start; // CR LF is one line end
    }
    return lines;
}

QStringList ReadTextFile(const QString &path)
{
    return SplitAnsiLines(ReadFileBytes(path));
}

QString ReadFirstLine(const QString &path)
{
    // The first line is all that counts; a huge file must not cost the time to read it all.
    constexpr qsizetype kEnough = 64 * 1024;
    const QByteArray start = ReadFileStart(path, kEnough);
    qsizetype end = 0;
    while (end < start.size() && start.at(end) != '\n' && start.at(end) != '\r')
        ++end;
    if (end == kEnough)
        throw EConvertError(QStringLiteral("Die erste Zeile ist länger als %1 Zeichen.\n%2")
                                .arg(kEnough)
                                .arg(QDir::toNativeSeparators(path)));
    return FromAnsi(QByteArrayView(start).first(end));
}

bool WriteTextLines(QIODevice &device, const QStringList &lines)
{
    for (const QString &line : lines) {
        QByteArray bytes = ToAnsi(line);
        bytes.append("\r\n", 2);
        if (device.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

QByteArray AnsiTextBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes.append(ToAnsi(line));
        bytes.append("\r\n", 2);
    }
    return bytes;
}

void SaveTextFileAtomic(const QString &path, const QStringList &lines)
{
    SaveFileAtomic(path, AnsiTextBytes(lines));
}

} // namespace platform
