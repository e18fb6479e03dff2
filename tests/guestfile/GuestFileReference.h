#pragma once
// The guest file read and written the slow way, line by line in Unicode, as the program did before
// it read and wrote the bytes directly: the reference that DecodeGuestFile and GuestFileBytes
// must match exactly, records, bytes and error messages alike. Used by the differential test and
// the fuzz target guest_reader.

#include "guestfile/GuestFile.h"
#include "guestfile/GuestRecord.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "register/TGast.h"
#include "support/GastText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstring>
#include <vector>

namespace reference {

// What reading a file gives: the records, or the error message.
struct Reading
{
    std::vector<guests::TGast> records;
    QString error; // empty when the file was read
};

inline bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

// The bytes cut into Unicode lines, each non-blank line through DecodeSatz; the first line that
// fails gives the error, named by its number.
inline Reading read(const QByteArray &bytes, const QString &fileName)
{
    Reading result;
    const QStringList lines = platform::SplitAnsiLines(bytes);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isBlank(lines.at(i)))
            continue;
        guests::TGast gast;
        try {
            guestfile::DecodeSatz(gast, lines.at(i));
        } catch (const platform::EConvertError &error) {
            result.records.clear();
            result.error = error.message() + u'\n' + fileName + QStringLiteral(", Zeile %1").arg(i + 1);
            return result;
        }
        result.records.push_back(std::move(gast));
    }
    if (result.records.empty())
        result.records.emplace_back();
    return result;
}

// Each record's line from EncodeSatz in the code page, followed by CR LF.
inline QByteArray write(const std::vector<guests::TGast> &records)
{
    QByteArray bytes;
    for (const guests::TGast &gast : records)
        bytes += platform::ToAnsi(guestfile::EncodeSatz(gast)) + "\r\n";
    return bytes;
}

// Every field, the numbers to the last bit (a negative zero differs from zero).
inline QString exactly(const guests::TGast &g)
{
    const auto bits = [](auto value) {
        quint64 b = 0;
        std::memcpy(&b, &value, sizeof value);
        return QString::number(b, 16);
    };
    return Describe(g) + QStringLiteral(" [%1 %2 %3 %4 %5]")
                             .arg(bits(g.Von), bits(g.Anreise), bits(g.Bis), bits(g.Abreise), bits(g.Kosten));
}

// Whether two records are the same to the last bit of every number.
inline bool same(const guests::TGast &a, const guests::TGast &b)
{
    const auto bits = [](auto value) {
        quint64 b = 0;
        std::memcpy(&b, &value, sizeof value);
        return b;
    };
    return a == b && bits(a.Von) == bits(b.Von) && bits(a.Anreise) == bits(b.Anreise) && bits(a.Bis) == bits(b.Bis) &&
           bits(a.Abreise) == bits(b.Abreise) && bits(a.Kosten) == bits(b.Kosten);
}

// Empty when DecodeGuestFile reads the bytes exactly as the reference does; else what differs.
inline QString differenceInReading(const QByteArray &bytes, const QString &fileName = QStringLiteral("Gaeste.csv"))
{
    const Reading expected = read(bytes, fileName);
    Reading actual;
    try {
        actual.records = guestfile::DecodeGuestFile(bytes, fileName);
    } catch (const platform::EConvertError &error) {
        actual.error = error.message();
    }
    if (actual.error != expected.error)
        return QStringLiteral("error '%1' instead of '%2'").arg(actual.error, expected.error);
    if (actual.records.size() != expected.records.size())
        return QStringLiteral("%1 records instead of %2").arg(actual.records.size()).arg(expected.records.size());
    for (std::size_t i = 0; i < expected.records.size(); ++i)
        if (!same(actual.records[i], expected.records[i]))
            return QStringLiteral("record %1:\n  %2\ninstead of\n  %3")
                .arg(i)
                .arg(exactly(actual.records[i]), exactly(expected.records[i]));
    return QString();
}

// Empty when GuestFileBytes writes the very bytes of the reference; else where they part.
inline QString differenceInWriting(const std::vector<guests::TGast> &records)
{
    const QByteArray expected = write(records);
    const QByteArray actual = guestfile::GuestFileBytes(records);
    if (actual == expected)
        return QString();
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const qsizetype from = std::max<qsizetype>(0, at - 60);
    return QStringLiteral("bytes part at %1:\n  %2\ninstead of\n  %3")
        .arg(at)
        .arg(QString::fromLatin1(actual.mid(from, 120).toPercentEncoding(" ;:.,-")),
             QString::fromLatin1(expected.mid(from, 120).toPercentEncoding(" ;:.,-")));
}

} // namespace reference
