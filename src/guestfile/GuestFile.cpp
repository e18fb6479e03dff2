#include "guestfile/GuestFile.h"

#include "guestfile/GuestRecord.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"

#include <QFileInfo>
#include <algorithm>

namespace {

bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

// Decodes the lines in order and calls release(i) once line i is read, so that a caller who owns
// the lines can free each as it goes.
template <typename Release>
std::vector<TGast> decodeLines(const QStringList &lines, const QString &fileName, Release release)
{
    std::vector<TGast> records;
    records.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        // An editor may leave empty lines, typically at the end; they hold no guest.
        if (isBlank(line))
            continue;
        TGast gast;
        try {
            DecodeSatz(gast, line);
        } catch (const platform::EConvertError &error) {
            // Name the line so that the file can be mended by hand.
            const QString where = QStringLiteral("Zeile %1").arg(i + 1);
            throw platform::EConvertError(error.message() + u'\n' +
                                          (fileName.isEmpty() ? where : fileName + QStringLiteral(", ") + where));
        }
        records.push_back(std::move(gast));
        release(i);
    }
    // The program always works on record 0, so even an empty file yields it.
    if (records.empty())
        records.emplace_back();
    return records;
}

} // namespace

std::vector<TGast> DecodeGuestLines(const QStringList &lines, const QString &fileName)
{
    return decodeLines(lines, fileName, [](qsizetype) {});
}

std::vector<TGast> DecodeGuestFile(const QByteArray &bytes, const QString &fileName)
{
    QStringList lines = platform::SplitAnsiLines(bytes);
    // Each line is dropped as soon as it is decoded: its memory then takes the record's texts, so a
    // file of many years is not held twice over (as lines and as records) while it is read.
    return decodeLines(lines, fileName, [&lines](qsizetype i) { lines[i] = QString(); });
}

int GuestsInFile(const QByteArray &bytes)
{
    int records = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        // Blank lines hold no record, as when reading.
        for (qsizetype i = start; i < end; ++i)
            if (static_cast<unsigned char>(bytes.at(i)) > 32) {
                ++records;
                break;
            }
        start = end + 1;
    }
    return std::max(records - 1, 0);
}

std::vector<TGast> ReadGuestFile(const QString &path)
{
    return DecodeGuestFile(platform::ReadFileBytes(path), QFileInfo(path).fileName());
}

QStringList EncodeGuestLines(const std::vector<TGast> &records)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(records.size()));
    for (const TGast &gast : records)
        lines.append(EncodeSatz(gast));
    return lines;
}

QByteArray GuestFileBytes(const std::vector<TGast> &records)
{
    return platform::AnsiTextBytes(EncodeGuestLines(records));
}

void WriteGuestFile(const QString &path, const std::vector<TGast> &records)
{
    platform::SaveFileAtomic(path, GuestFileBytes(records));
}

bool WriteGuestFile(QIODevice &device, const std::vector<TGast> &records)
{
    return platform::WriteTextLines(device, EncodeGuestLines(records));
}
