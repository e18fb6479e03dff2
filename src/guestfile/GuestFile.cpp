#include "guestfile/GuestFile.h"

#include "guestfile/GuestRecord.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"

#include <QFileInfo>

namespace {

bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

} // namespace

std::vector<TGast> DecodeGuestLines(const QStringList &lines, const QString &fileName)
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
    }
    // The program always works on record 0, so even an empty file yields it.
    if (records.empty())
        records.emplace_back();
    return records;
}

std::vector<TGast> ReadGuestFile(const QString &path)
{
    return DecodeGuestLines(platform::ReadTextFile(path), QFileInfo(path).fileName());
}

QStringList EncodeGuestLines(const std::vector<TGast> &records)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(records.size()));
    for (const TGast &gast : records)
        lines.append(EncodeSatz(gast));
    return lines;
}

void WriteGuestFile(const QString &path, const std::vector<TGast> &records)
{
    platform::SaveTextFileAtomic(path, EncodeGuestLines(records));
}

bool WriteGuestFile(QIODevice &device, const std::vector<TGast> &records)
{
    return platform::WriteTextLines(device, EncodeGuestLines(records));
}
