// The text conversions, under German and US settings, on the input read both as the code page
// and as UTF-8. Each either succeeds or throws EConvertError, never anything else; the throwing
// and the trying form agree; a converted value written back as text converts to itself; and the
// error message keeps its reason and quotes the text (its start, when it is long; control
// characters, a NUL above all, as the replacement mark).

#include "FuzzCommon.h"
#include "platform/AnsiText.h"

#include <cmath>
#include <limits>

namespace {

using platform::EConvertError;

void checkMessage(const EConvertError &error, const QString &text, const char *rest)
{
    const QString message = error.message();
    const QString tail = QStringLiteral("' ") + QString::fromUtf8(rest);
    FUZZ_CHECK(message.startsWith(u'\'') && message.endsWith(tail), message);
    FUZZ_CHECK(message.size() <= 1 + 61 + tail.size(), message);
    const QString shown = message.mid(1, message.size() - 1 - tail.size());
    QString visible = text;
    for (QChar &c : visible)
        if (c.unicode() < 32)
            c = QChar(QChar::ReplacementCharacter);
    FUZZ_CHECK(shown == visible || (shown.endsWith(u'…') && visible.startsWith(shown.chopped(1))), message);
}

void checkDate(const QString &text)
{
    double tried = -1.5;
    const bool ok = platform::TryStrToDate(text, tried);
    try {
        const double day = platform::StrToDate(text);
        FUZZ_CHECK(ok && day == tried, text);
        FUZZ_CHECK(day == std::trunc(day), text);
        const int year = platform::YearOf(day);
        FUZZ_CHECK(year >= 1 && year <= 9999, text);
        FUZZ_CHECK(platform::StrToDate(platform::DateToStr(day)) == day, text);
    } catch (const EConvertError &error) {
        FUZZ_CHECK(!ok && tried == -1.5, text);
        checkMessage(error, text, "ist kein gültiges Datum");
    }
}

void checkTime(const QString &text)
{
    double tried = -1.5;
    const bool ok = platform::TryStrToTime(text, tried);
    try {
        const double time = platform::StrToTime(text);
        FUZZ_CHECK(ok && time == tried, text);
        FUZZ_CHECK(time >= 0 && time < 1, text);
        FUZZ_CHECK(platform::StrToTime(platform::TimeToStr(time)) == time, text);
    } catch (const EConvertError &error) {
        FUZZ_CHECK(!ok && tried == -1.5, text);
        checkMessage(error, text, "ist keine gültige Uhrzeit");
    }
}

void checkBool(const QString &text)
{
    try {
        const bool value = platform::StrToBool(text);
        FUZZ_CHECK(platform::StrToBool(platform::BoolToStr(value)) == value, text);
        double number = 0;
        if (platform::TryStrToFloat(text, number))
            FUZZ_CHECK(value == (number != 0), text);
    } catch (const EConvertError &error) {
        checkMessage(error, text, "ist kein gültiger boolescher Wert");
    }
}

void checkInt(const QString &text)
{
    qint32 tried = -7;
    const bool ok = platform::TryStrToInt(text, tried);
    try {
        const qint32 value = platform::StrToInt(text);
        FUZZ_CHECK(ok && value == tried, text);
        FUZZ_CHECK(platform::StrToInt(QString::number(value)) == value, text);
        // A decimal number is read as what it says.
        bool decimal = false;
        const qint64 said = text.toLongLong(&decimal, 10);
        FUZZ_CHECK(!decimal || said == value, text);
    } catch (const EConvertError &error) {
        FUZZ_CHECK(!ok && tried == -7, text);
        checkMessage(error, text, "ist kein gültiger Integerwert");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    const QByteArray bytes = fuzz::Bytes(data, size);
    for (const QString &text : {platform::FromAnsi(bytes), QString::fromUtf8(bytes)}) {
        for (const fuzz::Region region : {fuzz::Region::German, fuzz::Region::Us}) {
            fuzz::UseRegion(region);
            checkDate(text);
            checkTime(text);
            checkBool(text);
            checkInt(text);
        }
    }
    return 0;
}
