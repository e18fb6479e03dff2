// A whole guest file, as bytes. Splitting keeps every byte and only drops the line ends.
// A file that reads without error saves to bytes that read back to the same records (up to
// what saving may change); after that one round saving and reading change nothing more. A file that cannot be read
// throws EConvertError only, naming a line that is not blank, fails on its own, and is the
// first such line; the message stays short whatever the line holds.

#include "FuzzCommon.h"
#include "guestfile/GuestFile.h"
#include "platform/AnsiText.h"

#include <QBuffer>

using guestfile::DecodeGuestLines;
using guestfile::DecodeSatz;
using guestfile::WriteGuestFile;
using guests::TGast;

namespace {

const QString kFileName = QStringLiteral("Gaeste.csv");

bool isBlank(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

void checkSplit(const QByteArray &bytes, const QStringList &lines)
{
    QByteArray expected = bytes;
    expected.replace("\r\n", "\n");
    expected.replace('\r', '\n');
    if (expected.endsWith('\n'))
        expected.chop(1);
    FUZZ_CHECK(platform::ToAnsi(lines.join(u'\n')) == expected, lines.join(u'\n'));
}

QByteArray saved(const std::vector<TGast> &records)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    FUZZ_CHECK(WriteGuestFile(buffer, records), QString());
    return buffer.data();
}

std::vector<TGast> reread(const QByteArray &bytes)
{
    const QStringList lines = platform::SplitAnsiLines(bytes);
    FUZZ_CHECK(bytes.endsWith("\r\n") && bytes.count('\n') == lines.size(), QString::fromLatin1(bytes.right(200)));
    try {
        return DecodeGuestLines(lines, kFileName);
    } catch (const platform::EConvertError &error) {
        fuzz::Broken("a saved file reads back", error.message(), __FILE__, __LINE__);
    }
}

void checkError(const QStringList &lines, const QString &message)
{
    FUZZ_CHECK(message.size() < 200, message);
    const qsizetype cut = message.lastIndexOf(u'\n');
    FUZZ_CHECK(cut > 0, message);
    const QString where = message.mid(cut + 1);
    const QString prefix = kFileName + QStringLiteral(", Zeile ");
    FUZZ_CHECK(where.startsWith(prefix), message);
    bool ok = false;
    const qsizetype number = where.mid(prefix.size()).toLongLong(&ok);
    FUZZ_CHECK(ok && number >= 1 && number <= lines.size(), message);
    for (qsizetype i = 0; i < number; ++i) {
        const QString &line = lines.at(i);
        bool failed = false;
        TGast g;
        try {
            if (!isBlank(line))
                DecodeSatz(g, line);
        } catch (const platform::EConvertError &error) {
            failed = true;
            FUZZ_CHECK(message.startsWith(error.message() + u'\n'), message + u'\n' + error.message());
        }
        FUZZ_CHECK(failed == (i == number - 1), message + u'\n' + line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    fuzz::UseRegion(fuzz::Region::German);
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QStringList lines = platform::SplitAnsiLines(bytes);
    checkSplit(bytes, lines);

    std::vector<TGast> records;
    try {
        records = DecodeGuestLines(lines, kFileName);
    } catch (const platform::EConvertError &error) {
        checkError(lines, error.message());
        return 0;
    }
    const auto guests = std::count_if(lines.begin(), lines.end(), [](const QString &l) { return !isBlank(l); });
    FUZZ_CHECK(records.size() == static_cast<std::size_t>(std::max<qsizetype>(guests, 1)), QString());

    const std::vector<TGast> second = reread(saved(records));
    FUZZ_CHECK(second.size() == records.size(), QString());
    for (std::size_t i = 0; i < records.size(); ++i)
        FUZZ_CHECK(fuzz::SameAfterSaving(records[i], second[i]),
                   fuzz::Describe(records[i]) + u'\n' + fuzz::Describe(second[i]));
    // From here on nothing changes any more.
    const QByteArray savedAgain = saved(second);
    const std::vector<TGast> third = reread(savedAgain);
    FUZZ_CHECK(third == second, QString());
    FUZZ_CHECK(saved(third) == savedAgain, QString::fromLatin1(savedAgain.left(400)));
    return 0;
}
