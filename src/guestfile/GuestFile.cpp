#include "guestfile/GuestFile.h"

#include "guestfile/GuestRecord.h"
#include "guestfile/Pages.h"
#include "guestfile/RecordBytes.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace guestfile {

using guests::TGast;

namespace {

bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

// The error of a line that cannot be read, naming it so that the file can be mended by hand.
platform::EConvertError errorInLine(const platform::EConvertError &error, qsizetype line, const QString &fileName)
{
    const QString where = QStringLiteral("Zeile %1").arg(line);
    return platform::EConvertError(error.message() + u'\n' +
                                   (fileName.isEmpty() ? where : fileName + QStringLiteral(", ") + where));
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
            throw errorInLine(error, i + 1, fileName);
        }
        records.push_back(std::move(gast));
    }
    // The program always works on record 0, so even an empty file yields it.
    if (records.empty())
        records.emplace_back();
    return records;
}

namespace {

// Reads the records of the bytes; calls decoded(n) now and then with the number of bytes from the
// start that have been read, and not looked at again.
template <typename Decoded>
std::vector<TGast> decodeBytes(QByteArrayView bytes, const QString &fileName, Decoded decoded,
                               std::vector<DamagedField> *damaged)
{
    std::vector<TGast> records;
    // The program always works on record 0, so even an empty file yields it.
    if (bytes.isEmpty()) {
        records.emplace_back();
        return records;
    }
    const char *const start = bytes.data();
    const char *const end = start + bytes.size();
    // One record a line; a file with old Mac line ends, which has no LF, grows the list as it goes.
    std::size_t lineFeeds = 0;
    for (const char *lf = start;
         (lf = static_cast<const char *>(std::memchr(lf, '\n', std::size_t(end - lf)))) != nullptr; ++lf)
        ++lineFeeds;
    records.reserve(lineFeeds + 1);
    // The list of many years is kept for the whole session and filled from start to end.
    guestfile::preferLargePages(records.data(), records.data() + records.capacity());

    guestfile::RecordReader reader;
    guestfile::Line line;
    qsizetype lineNumber = 0;
    for (const char *p = start; p < end; p = line.next) {
        line.cut(p, end);
        ++lineNumber;
        if ((lineNumber & 0x3FFF) == 0)
            decoded(p - start);
        // An editor may leave empty lines, typically at the end; they hold no guest.
        if (line.blank())
            continue;
        TGast &gast = records.emplace_back();
        if (!reader.read(line, gast)) {
            // Anything but the usual shapes goes the general way, with its errors.
            std::vector<UnreadableField> unreadable;
            try {
                DecodeSatz(gast, platform::FromAnsi(QByteArrayView(line.begin, line.end - line.begin)),
                           damaged != nullptr ? &unreadable : nullptr);
            } catch (const platform::EConvertError &error) {
                throw errorInLine(error, lineNumber, fileName);
            }
            for (UnreadableField &field : unreadable)
                damaged->push_back({lineNumber, records.size() - 1, std::move(field)});
        }
    }
    // The program always works on record 0, so even an empty file yields it.
    if (records.empty())
        records.emplace_back();
    return records;
}

} // namespace

std::vector<TGast> DecodeGuestFile(QByteArrayView bytes, const QString &fileName)
{
    return DecodeGuestFile(bytes, fileName, nullptr);
}

std::vector<TGast> DecodeGuestFile(QByteArrayView bytes, const QString &fileName, std::vector<DamagedField> *damaged)
{
    return decodeBytes(
        bytes, fileName, [](qsizetype) {}, damaged);
}

std::vector<TGast> DecodeGuestFile(QByteArray &&bytes, const QString &fileName)
{
    return DecodeGuestFile(std::move(bytes), fileName, nullptr);
}

std::vector<TGast> DecodeGuestFile(QByteArray &&bytes, const QString &fileName, std::vector<DamagedField> *damaged)
{
    // The records take about as much memory again as the file's bytes; each page of those is
    // handed back once it has been read. Bytes still shared with another copy are copied first
    // (data() does that), so the other copy stays whole.
    QByteArray own = std::move(bytes);
    char *const start = own.data();
    qsizetype released = 0;
    return decodeBytes(
        own, fileName,
        [start, &released](qsizetype done) {
            guestfile::releasePages(start + released, start + done);
            released = done;
        },
        damaged);
}

namespace {

// One damaged field as the host reads it: "Zeile 12, Rechnung Nr.: „1O40“".
QString damagedLine(const DamagedField &d)
{
    QString text = d.field.text;
    if (text.size() > 60)
        text = text.first(60) + u'…';
    return QStringLiteral("Zeile %1, %2: „%3“").arg(d.line).arg(FieldName(d.field.field), text);
}

QString damagedList(const std::vector<const DamagedField *> &fields)
{
    // A list the host can read in a message box; the rest are counted.
    constexpr std::size_t kShown = 15;
    QStringList lines;
    for (std::size_t i = 0; i < fields.size() && i < kShown; ++i)
        lines << damagedLine(*fields[i]);
    if (fields.size() > kShown)
        lines << QStringLiteral("… und %1 weitere").arg(fields.size() - kShown);
    return lines.join(u'\n');
}

// Whether the record still holds 0 in the damaged field (or, for the text after the last field,
// whether the record is still there).
bool stillLost(const DamagedField &d, const std::vector<TGast> &records)
{
    if (d.record >= records.size())
        return false;
    const TGast &g = records[d.record];
    switch (d.field.field) {
    case 1: return g.GastNr == 0;
    case 3: return g.Personen == 0;
    case 10: return g.PLZ == 0;
    case 14: return g.ReNr == 0;
    case 15: return g.Kosten == 0;
    default: return true;
    }
}

} // namespace

QString DamagedFieldsMessage(const std::vector<DamagedField> &damaged, const QString &fileName)
{
    if (damaged.empty())
        return {};
    std::vector<const DamagedField *> all;
    for (const DamagedField &d : damaged)
        all.push_back(&d);
    return QStringLiteral("In %1 stehen Angaben, die nicht gelesen werden konnten. Zahlen gelten als 0, Text nach "
                          "dem 18. Feld fehlt im Formular:\n%2\n\nBitte die Angaben im Formular nachtragen; beim "
                          "ersten Speichern wird noch einmal gefragt.")
        .arg(fileName, damagedList(all));
}

QString DamagedFieldsQuestion(const std::vector<DamagedField> &damaged, const std::vector<TGast> &records,
                              const QString &fileName)
{
    std::vector<const DamagedField *> lost;
    for (const DamagedField &d : damaged)
        if (stillLost(d, records))
            lost.push_back(&d);
    if (lost.empty())
        return {};
    return QStringLiteral("Diese Angaben aus %1 konnten nicht gelesen werden:\n%2\n\nBeim Speichern werden die "
                          "Zahlen als 0 geschrieben und Text nach dem 18. Feld fällt weg. Trotzdem speichern?")
        .arg(fileName, damagedList(lost));
}

std::vector<TGast> ReadGuestFile(const QString &path)
{
    return DecodeGuestFile(platform::ReadFileBytes(path), QFileInfo(path).fileName());
}

QByteArray GuestFileBytes(const std::vector<TGast> &records)
{
    // The usual line takes some 150 bytes; a longer one now and then grows the buffer.
    guestfile::RecordWriter writer(static_cast<qsizetype>(records.size()) * 192);
    for (const TGast &gast : records)
        writer.append(gast);
    return writer.take();
}

void WriteGuestFile(const QString &path, const std::vector<TGast> &records)
{
    platform::SaveFileAtomic(path, GuestFileBytes(records));
}

bool WriteGuestFile(QIODevice &device, const std::vector<TGast> &records)
{
    const QByteArray bytes = GuestFileBytes(records);
    return device.write(bytes) == bytes.size();
}

} // namespace guestfile
