// The guest file read straight from its bytes (DecodeGuestFile) gives exactly what reading it line
// by line in Unicode gives (GuestFileReference.h): the same records to the last bit, or the same
// error message; and records, whether read from the input or made from its raw bytes (any number,
// any character), are written (GuestFileBytes) as the very bytes of the line-by-line writer.
// Each input under German, US, Swedish and Finnish settings, whose dates and times differ.

#include "FuzzCommon.h"
#include "GuestFileReference.h"

#include <cmath>
#include <cstring>

using guests::TGast;

namespace {

void useLocale(int index)
{
    static const QLocale locales[] = {
        QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::Swedish, QLocale::Sweden), QLocale(QLocale::Finnish, QLocale::Finland)};
    static int current = -1;
    if (current != index)
        platform::SetRegional(locales[index]);
    current = index;
}

template <typename T> T take(const QByteArray &bytes, qsizetype &at)
{
    T value{};
    const auto size = static_cast<qsizetype>(sizeof(T));
    if (at + size <= bytes.size())
        std::memcpy(&value, bytes.constData() + at, sizeof(T));
    at += size;
    return value;
}

// A text of up to 8 characters, each from two raw bytes: surrogates, characters the code page
// lacks and control characters all come up.
QString takeText(const QByteArray &bytes, qsizetype &at)
{
    const int length = take<quint8>(bytes, at) % 9;
    QString text;
    for (int i = 0; i < length; ++i)
        text += QChar(take<char16_t>(bytes, at));
    return text;
}

// A day number from raw bits, kept where a day number can be converted to a calendar day at all
// (not a number, an infinity or beyond 64 bits of days has no day).
double takeDay(const QByteArray &bytes, qsizetype &at)
{
    const double day = take<double>(bytes, at);
    return std::isfinite(day) ? std::fmod(day, 1e18) : 0.0;
}

// Records made from the raw bytes: every number any bit pattern.
std::vector<TGast> recordsOf(const QByteArray &bytes)
{
    std::vector<TGast> records;
    for (qsizetype at = 0; at < bytes.size() && records.size() < 64;) {
        TGast g;
        g.GastNr = take<qint32>(bytes, at);
        g.Zimmer = takeText(bytes, at);
        g.Personen = take<qint32>(bytes, at);
        g.Von = takeDay(bytes, at);
        g.Anreise = take<double>(bytes, at);
        g.Bis = takeDay(bytes, at);
        g.Abreise = take<double>(bytes, at);
        g.Name = takeText(bytes, at);
        g.PLZ = take<qint32>(bytes, at);
        g.Kosten = take<float>(bytes, at);
        g.Bezahlt = (take<quint8>(bytes, at) & 1) != 0;
        g.Bemerkung = takeText(bytes, at);
        records.push_back(g);
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::FixClock();
    const QByteArray bytes = fuzz::Bytes(data, size);
    for (int locale = 0; locale < 4; ++locale) {
        useLocale(locale);
        const QString read = reference::differenceInReading(bytes);
        FUZZ_CHECK(read.isEmpty(), read);
        const reference::Reading reading = reference::read(bytes, QStringLiteral("Gaeste.csv"));
        if (reading.error.isEmpty()) {
            const QString written = reference::differenceInWriting(reading.records);
            FUZZ_CHECK(written.isEmpty(), written);
        }
        const QString made = reference::differenceInWriting(recordsOf(bytes));
        FUZZ_CHECK(made.isEmpty(), made);
    }
    return 0;
}
