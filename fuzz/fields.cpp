// Cutting a line into fields. The first byte chooses the separator's length (none, one or two
// characters, taken from the next bytes), the rest is the line. Each cut first strips the rest
// of the line of characters up to code 32 at both ends and then takes the text up to the first
// separator, so the rest only ever shrinks: what is left is the stripped line without the field
// and its separator, the field holds no separator, and the line is used up after at most one
// cut per character. The number readers give 0 or exactly what the field's text says.

#include "platform/Fields.h"
#include "FuzzCommon.h"
#include "platform/AnsiText.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

using platform::NextField;
using platform::NextFieldFloat;
using platform::NextFieldInt;

namespace {

QString stripped(const QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && line.at(end - 1).unicode() <= 32)
        --end;
    return line.sliced(begin, end - begin);
}

// The field NextField takes from `line`, and the rest it leaves, checked against the stripped line.
QString checkedField(QString &line, const QString &separator)
{
    const QString whole = stripped(line);
    const QString field = NextField(line, separator);
    if (separator.isEmpty() || !whole.contains(separator)) {
        FUZZ_CHECK(field == whole && line.isEmpty(), whole);
    } else {
        FUZZ_CHECK(!field.contains(separator), field);
        FUZZ_CHECK(field + separator + line == whole, whole);
    }
    return field;
}

void checkInt(const QString &field, qint32 value)
{
    qint32 expected = 0;
    if (!platform::TryStrToInt(field, expected))
        expected = 0;
    FUZZ_CHECK(value == expected, field);
    // Plain decimal digits must be read as what they say.
    const bool plain = !field.isEmpty() && field.size() <= 9 &&
                       std::all_of(field.begin(), field.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (plain)
        FUZZ_CHECK(value == field.toInt(), field);
}

void checkFloat(const QString &field, double value)
{
    FUZZ_CHECK(std::isfinite(value), field);
    if (value == 0)
        return;
    // Whatever was read, the field says exactly that once its first comma is a point.
    QString text = field;
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0)
        text[comma] = u'.';
    bool ok = false;
    FUZZ_CHECK(QLocale::c().toDouble(text.trimmed(), &ok) == value && ok, field);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    fuzz::UseRegion(fuzz::Region::German);
    if (size == 0)
        return 0;
    const qsizetype separatorLength = std::min<qsizetype>(data[0] % 3, static_cast<qsizetype>(size) - 1);
    const QString separator = platform::FromAnsi(fuzz::Bytes(data + 1, static_cast<size_t>(separatorLength)));
    QString line = platform::FromAnsi(fuzz::Bytes(data + 1 + separatorLength, size - 1 - separatorLength));

    const qsizetype maxCuts = line.size() + 1;
    qsizetype cuts = 0;
    while (!line.isEmpty()) {
        FUZZ_CHECK(++cuts <= maxCuts, line);
        const qsizetype before = line.size();
        QString copy = line;
        const QString field = checkedField(copy, separator);
        switch (cuts % 3) {
        case 0: NextField(line, separator); break;
        case 1: checkInt(field, NextFieldInt(line, separator)); break;
        default: checkFloat(field, NextFieldFloat(line, separator)); break;
        }
        FUZZ_CHECK(line == copy, line);
        FUZZ_CHECK(line.size() < before, line);
    }
    // A used-up line stays used up.
    FUZZ_CHECK(NextField(line, separator).isEmpty() && line.isEmpty(), line);
    FUZZ_CHECK(NextFieldInt(line, separator) == 0 && NextFieldFloat(line, separator) == 0.0, line);
    return 0;
}
