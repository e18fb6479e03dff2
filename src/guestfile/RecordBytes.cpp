#include "guestfile/RecordBytes.h"

#include "guestfile/GuestRecord.h"
#include "guestfile/Pages.h"
#include "platform/AnsiText.h"
#include "platform/Convert.h"
#include "platform/Regional.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace guestfile {

using guests::TGast;

struct Field
{
    const char *begin;
    const char *end;
};

namespace {

// Day numbers count from 30 December 1899, which is this many days before 1 January 1970.
constexpr qint64 kDaysBefore1970 = 25569;
constexpr double kMsPerDay = 24.0 * 60 * 60 * 1000;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Days since 1 January 1970 of a date of the (proleptic) Gregorian calendar, as QDate counts them.
qint64 daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear =
        (153u * static_cast<unsigned>(m > 2 ? m - 3 : m + 9) + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<qint64>(dayOfEra) - 719468;
}

// The reverse of daysFromCivil.
void civilFromDays(qint64 z, int &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    d = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<qint64>(yearOfEra) + era * 400) + (m <= 2 ? 1 : 0);
}

// A separator the quick readers can look for as one byte: printable ASCII other than a digit.
char asciiSeparator(QChar c)
{
    const char16_t u = c.unicode();
    return u > 32 && u < 127 && !(u >= u'0' && u <= u'9') && u != u';' ? static_cast<char>(u) : 0;
}

// ---------------------------------------------------------------------------------------------
// Reading

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// The fields of a line as NextField cuts them: blanks and control characters before a field
// skipped, then up to the next ';' or the end of the line less the blanks at its end; the rest of
// the line is thus always trimmed at both ends as NextField trims it. Past the end, fields are empty.
void cutFields(const Line &line, std::array<Field, Line::kSeparators> &fields)
{
    const char *p = line.begin;
    const char *trimmedEnd = nullptr;
    for (int k = 0; k < Line::kSeparators; ++k) {
        const char *end = nullptr;
        if (k < line.separatorCount) {
            end = line.separators[static_cast<std::size_t>(k)];
        } else {
            if (trimmedEnd == nullptr) {
                trimmedEnd = line.end;
                while (trimmedEnd > p && isBlank(trimmedEnd[-1]))
                    --trimmedEnd;
            }
            end = trimmedEnd;
        }
        while (p < end && isBlank(*p))
            ++p;
        fields[static_cast<std::size_t>(k)] = {p, end};
        p = k < line.separatorCount ? end + 1 : end;
    }
}

// A whole number of up to nine digits with an optional minus: TryStrToInt's value. Anything else
// (a plus, hexadecimal, blanks, more digits) is left to it.
bool usualInt(Field field, qint32 &value)
{
    const char *p = field.begin;
    const char *const end = field.end;
    const bool negative = p < end && *p == '-';
    p += negative ? 1 : 0;
    if (end - p < 1 || end - p > 9)
        return false;
    qint32 v = 0;
    for (; p < end; ++p) {
        if (!isDigit(*p))
            return false;
        v = v * 10 + (*p - '0');
    }
    value = negative ? -v : v;
    return true;
}

// Up to `maxDigits` digits from p; their count, 0 for none or too many.
int digitsAt(const char *&p, const char *end, int maxDigits, int &value)
{
    const char *const start = p;
    int v = 0;
    while (p < end && isDigit(*p)) {
        if (p - start == maxDigits)
            return 0;
        v = v * 10 + (*p - '0');
        ++p;
    }
    value = v;
    return static_cast<int>(p - start);
}

// Hours, minutes and optional seconds of one or two digits each with the regional separator,
// optionally followed by " AM" or " PM": TryStrToTime's fraction of the day.
bool usualTime(Field field, char separator, platform::TDateTime &time)
{
    const char *p = field.begin;
    const char *end = field.end;
    if (end - p == 8 && p[2] == separator && p[5] == separator) {
        // Hours, minutes and seconds of two digits each: the usual time.
        const auto v = [p](int i) { return static_cast<unsigned>(p[i] - '0'); };
        if (v(0) > 9 || v(1) > 9 || v(3) > 9 || v(4) > 9 || v(6) > 9 || v(7) > 9)
            return false;
        const unsigned hours = v(0) * 10 + v(1);
        const unsigned minutes = v(3) * 10 + v(4);
        const unsigned seconds = v(6) * 10 + v(7);
        if (hours > 23 || minutes > 59 || seconds > 59)
            return false;
        time = static_cast<double>(static_cast<int>(((hours * 60 + minutes) * 60 + seconds) * 1000)) / kMsPerDay;
        return true;
    }
    bool twelveHour = false;
    bool afternoon = false;
    if (end - p >= 3 && end[-1] == 'M' && (end[-2] == 'A' || end[-2] == 'P') && end[-3] == ' ') {
        twelveHour = true;
        afternoon = end[-2] == 'P';
        end -= 3;
    }
    int values[3] = {0, 0, 0};
    int count = 0;
    for (;;) {
        if (digitsAt(p, end, 2, values[count]) == 0)
            return false;
        ++count;
        if (p == end)
            break;
        if (count == 3 || *p != separator)
            return false;
        ++p;
    }
    if (count < 2)
        return false;
    int hours = values[0];
    if (twelveHour) {
        if (hours < 1 || hours > 12)
            return false;
        hours = hours % 12 + (afternoon ? 12 : 0);
    }
    if (hours > 23 || values[1] > 59 || values[2] > 59)
        return false;
    // As TimeToFraction divides the milliseconds since midnight.
    const int ms = ((hours * 60 + values[1]) * 60 + values[2]) * 1000;
    time = static_cast<double>(ms) / kMsPerDay;
    return true;
}

// A cost of up to 15 digits with an optional minus and at most one decimal comma or point, as
// ReadWrittenAmount reads it: the digits as a whole number divided once by a power of ten. A
// negative zero, three decimals (perhaps a thousands point), blanks and the like are left to it.
bool usualCost(Field field, double &cost)
{
    static constexpr double kPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char *p = field.begin;
    const char *const end = field.end;
    const bool negative = p < end && *p == '-';
    p += negative ? 1 : 0;
    qint64 digits = 0;
    int count = 0;
    int decimals = 0;
    bool point = false;
    for (; p < end; ++p) {
        if (isDigit(*p)) {
            if (++count > 15)
                return false;
            digits = digits * 10 + (*p - '0');
            decimals += point ? 1 : 0;
        } else if ((*p == ',' || *p == '.') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (count == 0 || (negative && digits == 0))
        return false;
    // "1.280" may be a thousands point: that is for the general way to decide.
    if (point && decimals == 3)
        return false;
    const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
    cost = negative ? -magnitude : magnitude;
    return true;
}

bool usualBool(Field field, bool &value)
{
    const auto size = field.end - field.begin;
    if (size == 4 && std::memcmp(field.begin, "True", 4) == 0) {
        value = true;
        return true;
    }
    if (size == 5 && std::memcmp(field.begin, "False", 5) == 0) {
        value = false;
        return true;
    }
    return false;
}

} // namespace

RecordReader::RecordReader()
{
    // The characters of the code page's bytes, from the platform's own conversion. The quick way
    // cuts and reads the bytes as they stand, so it needs every byte to be one character, ASCII
    // bytes themselves, and no other byte a blank, a control character or the field separator:
    // true for Windows-1252; a code page of several bytes per character goes the general way.
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = static_cast<char>(b);
    const QString characters = platform::FromAnsi(all);
    usable_ = characters.size() == 256;
    for (int b = 0; usable_ && b < 256; ++b) {
        const char16_t c = characters.at(b).unicode();
        usable_ = b < 0x80 ? c == b : c > 32 && c != u';';
        characters_[static_cast<std::size_t>(b)] = c;
        latin1_ = latin1_ && (b < 0x80 || b >= 0xA0 ? c == b : true);
    }

    const platform::RegionalSettings &r = platform::Regional();
    dateSeparator_ = asciiSeparator(r.dateSeparator);
    timeSeparator_ = asciiSeparator(r.timeSeparator);
    // Day, month and year in the order of their first letters in the short date format, as the
    // general reader takes them; without all three, day-month-year.
    std::array<char, 3> order{};
    std::size_t found = 0;
    for (const QChar c : r.shortDateFormat) {
        const char16_t u = c.unicode();
        if ((u == u'd' || u == u'M' || u == u'y') &&
            std::find(order.begin(), order.begin() + found, static_cast<char>(u)) == order.begin() + found)
            order[found++] = static_cast<char>(u);
        if (found == 3)
            break;
    }
    if (found == 3)
        dateOrder_ = order;
}

#if defined(__SSE2__)
namespace {

// Whether none of the first kCount bytes needs the table (0x80 to 0x9F); then their characters,
// which in Windows-1252 are the bytes widened, are stored.
template <int kCount> bool widen(__m128i bytes, char16_t *out)
{
    // Signed, 0x80 to 0x9F are the only bytes below 0xA0.
    if ((_mm_movemask_epi8(_mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xA0 - 256)))) &
         ((1 << kCount) - 1)) != 0)
        return false;
    const __m128i low = _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
    if constexpr (kCount == 4) {
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out), low);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), low);
        if constexpr (kCount == 16)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(bytes, _mm_setzero_si128()));
    }
    return true;
}

bool widenSixteen(const unsigned char *in, char16_t *out)
{
    return widen<16>(_mm_loadu_si128(reinterpret_cast<const __m128i *>(in)), out);
}

bool widenEight(const unsigned char *in, char16_t *out)
{
    return widen<8>(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(in)), out);
}

bool widenFour(const unsigned char *in, char16_t *out)
{
    int four = 0;
    std::memcpy(&four, in, 4);
    return widen<4>(_mm_cvtsi32_si128(four), out);
}

} // namespace
#endif

QString RecordReader::text(Field field) const
{
    const qsizetype size = field.end - field.begin;
    QString text(size, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(field.begin);
#if defined(__SSE2__)
    // Blocks of bytes that need no table; the last block overlaps the ones before, which gives the
    // same characters again.
    if (latin1_ && size >= 4) {
        bool plain = true;
        if (size >= 16) {
            for (qsizetype i = 0; plain && i + 16 <= size; i += 16)
                plain = widenSixteen(in + i, out + i);
            plain = plain && widenSixteen(in + size - 16, out + size - 16);
        } else if (size >= 8) {
            plain = widenEight(in, out) && widenEight(in + size - 8, out + size - 8);
        } else {
            plain = widenFour(in, out) && widenFour(in + size - 4, out + size - 4);
        }
        if (plain)
            return text;
    }
#endif
    for (qsizetype i = 0; i < size; ++i)
        out[i] = characters_[in[i]];
    return text;
}

QString RecordReader::rooms(Field field)
{
    const qsizetype size = field.end - field.begin;
    if (size > 8)
        return text(field);
    quint64 bytes = 0;
    std::memcpy(&bytes, field.begin, static_cast<std::size_t>(size));
    for (const Rooms &known : rooms_)
        if (known.size == size && known.bytes == bytes)
            return known.text;
    Rooms &slot = rooms_[nextRooms_];
    nextRooms_ = (nextRooms_ + 1) % rooms_.size();
    slot = {bytes, size, text(field)};
    return slot.text;
}

// The three numbers of a date separated by the regional separator, day and month of one or two
// digits and a year of four, in the regional order: TryStrToDate's day. Two-digit years (read
// relative to today), blanks and other spellings are left to it.
bool RecordReader::date(Field field, platform::TDateTime &day)
{
    if (field.end - field.begin != 10)
        return parseDate(field, day);
    quint64 bytes = 0;
    quint16 more = 0;
    std::memcpy(&bytes, field.begin, 8);
    std::memcpy(&more, field.begin + 8, 2);
    const quint32 tail = 0x10000u | more;
    Known &known = dates_[static_cast<std::size_t>(((bytes ^ tail) * 0x9E3779B97F4A7C15ull) >> 56)];
    if (known.bytes == bytes && known.more == tail) {
        day = known.value;
        return true;
    }
    if (!parseDate(field, day))
        return false;
    known = {bytes, tail, day};
    return true;
}

bool RecordReader::parseDate(Field field, platform::TDateTime &day)
{
    const char *p = field.begin;
    const char *const end = field.end;
    int d = 0, m = 0, y = 0;
    const char separator = dateSeparator_;
    const std::array<char, 3> &order = dateOrder_;
    if (end - p == 10 && order[2] == 'y' && p[2] == separator && p[5] == separator) {
        // Two digits, two digits, four digits: the usual date of the day-month or month-day orders.
        const auto v = [p](int i) { return static_cast<unsigned>(p[i] - '0'); };
        if (v(0) > 9 || v(1) > 9 || v(3) > 9 || v(4) > 9 || v(6) > 9 || v(7) > 9 || v(8) > 9 || v(9) > 9)
            return false;
        const int first = static_cast<int>(v(0) * 10 + v(1));
        const int second = static_cast<int>(v(3) * 10 + v(4));
        (order[0] == 'd' ? d : m) = first;
        (order[1] == 'd' ? d : m) = second;
        y = static_cast<int>(v(6) * 1000 + v(7) * 100 + v(8) * 10 + v(9));
    } else {
        for (std::size_t i = 0; i < 3; ++i) {
            int value = 0;
            const int digits = digitsAt(p, end, 4, value);
            if (order[i] == 'y') {
                y = value;
                if (digits != 4)
                    return false;
            } else {
                (order[i] == 'd' ? d : m) = value;
                if (digits < 1 || digits > 2)
                    return false;
            }
            if (i < 2) {
                if (p == end || *p != separator)
                    return false;
                ++p;
            }
        }
        if (p != end)
            return false;
    }
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const int key = y * 12 + m - 1;
    Month &month = months_[static_cast<std::size_t>(key) % months_.size()];
    if (month.key != key)
        month = {key, daysInMonth(y, m), daysFromCivil(y, m, 1) + kDaysBefore1970};
    if (d > month.days)
        return false;
    day = static_cast<double>(month.first + d - 1);
    return true;
}

bool RecordReader::read(const Line &line, TGast &g)
{
    // Text after the 18th field is reported by the general way.
    if (!usable_ || dateSeparator_ == 0 || timeSeparator_ == 0 || line.separatorCount >= Line::kSeparators)
        return false;
    if (line.separatorCount >= Line::kSeparators - 1) {
        // The usual line, with a separator after each of the first 17 fields: field k lies
        // between separators k - 1 and k; the last one runs to the 18th separator or the end.
        const auto &separators = line.separators;
        const auto f = [&](std::size_t k) {
            const char *begin = k == 0 ? line.begin : separators[k - 1] + 1;
            const char *end = separators[k];
            if (k == Line::kSeparators - 1 && line.separatorCount < Line::kSeparators) {
                end = line.end;
                while (end > begin && isBlank(end[-1]))
                    --end;
            }
            while (begin < end && isBlank(*begin))
                ++begin;
            return Field{begin, end};
        };
        return readFields(f, g);
    }
    std::array<Field, Line::kSeparators> fields;
    cutFields(line, fields);
    return readFields([&fields](std::size_t k) { return fields[k]; }, g);
}

template <typename FieldAt> bool RecordReader::readFields(FieldAt f, TGast &g)
{
    if (!usualInt(f(0), g.GastNr) || !usualInt(f(2), g.Personen) || !date(f(3), g.Von) || !time(f(4), g.Anreise) ||
        !date(f(5), g.Bis) || !time(f(6), g.Abreise) || !usualInt(f(9), g.PLZ) || !usualInt(f(13), g.ReNr) ||
        !usualCost(f(14), g.Kosten) || !usualBool(f(15), g.Bezahlt) || !usualBool(f(16), g.Schluessel))
        return false;
    // The texts only once the rest is known to be read, so that a line for the general way costs none.
    g.Zimmer = rooms(f(1));
    g.Name = text(f(7));
    g.Strasse = text(f(8));
    g.Ort = text(f(10));
    g.Telefon = text(f(11));
    g.EMail = text(f(12));
    g.Bemerkung = text(f(17));
    return true;
}

bool RecordReader::time(Field field, platform::TDateTime &time)
{
    if (field.end - field.begin == 8) {
        quint64 bytes = 0;
        std::memcpy(&bytes, field.begin, 8);
        Known &known = times_[static_cast<std::size_t>((bytes * 0x9E3779B97F4A7C15ull) >> 60)];
        if (known.bytes == bytes && known.more == 0x10000u) {
            time = known.value;
            return true;
        }
        if (!usualTime(field, timeSeparator_, time))
            return false;
        known = {bytes, 0x10000u, time};
        return true;
    }
    return usualTime(field, timeSeparator_, time);
}

void Line::cut(const char *from, const char *bytesEnd)
{
    begin = from;
    const char **noted = separators.data();
    int count = 0;
    const char *p = from;
#if defined(__SSE2__)
    // Sixteen bytes at a time: where the separators are, and whether the line ends among them.
    const __m128i semicolon = _mm_set1_epi8(';');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; bytesEnd - p >= 16; p += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        auto separatorBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, semicolon)));
        const auto endBits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        if (endBits != 0)
            separatorBits &= (endBits & -endBits) - 1; // only those before the line end
        // At most kSeparators - 1 before a block and sixteen in it: within the room of `separators`.
        if (count < kSeparators)
            for (; separatorBits != 0; separatorBits &= separatorBits - 1)
                noted[count++] = p + __builtin_ctz(separatorBits);
        if (endBits != 0) {
            p += __builtin_ctz(endBits);
            break;
        }
    }
#endif
    for (; p < bytesEnd && *p != '\r' && *p != '\n'; ++p)
        if (*p == ';' && count < kSeparators)
            noted[count++] = p;
    separatorCount = std::min(count, kSeparators);
    end = p;
    next = p == bytesEnd ? bytesEnd : p + 1;
    if (p < bytesEnd && *p == '\r' && next < bytesEnd && *next == '\n')
        ++next;
}

bool Line::blank() const
{
    return separatorCount == 0 && std::all_of(begin, end, isBlank);
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

// The bytes of every character of the Basic Multilingual Plane as a text field is saved: ';' as
// ',', CR and LF as blanks, then the code page ('?' where it has none). Made once by the
// platform's own conversion, so the quick way cannot differ from it. Empty when the code page
// takes more than a byte for some character. Surrogates, which only come in pairs, are not in it.
const QByteArray &textBytes()
{
    static const QByteArray table = [] {
        QString all(0x10000, Qt::Uninitialized);
        for (char32_t c = 0; c < 0x10000; ++c)
            all[static_cast<qsizetype>(c)] = QChar(static_cast<char16_t>(c >= 0xD800 && c <= 0xDFFF ? u'?' : c));
        all.replace(u';', u',');
        all.replace(u'\r', u' ');
        all.replace(u'\n', u' ');
        QByteArray bytes = platform::ToAnsi(all);
        return bytes.size() == all.size() ? bytes : QByteArray();
    }();
    return table;
}

// Room for the fixed fields of a line as the quick way writes them: four numbers, two dates and
// two times (each written as kMemoBytes at once), the cost, the Booleans, the separators, CR LF.
constexpr qsizetype kMemoBytes = 24;
constexpr qsizetype kFixedBytes = 4 * 11 + 4 * kMemoBytes + 32 + 11 + 17 + 2;

// Where the lines go: a buffer that grows in large steps, written through a plain pointer. Room
// for a whole line as the quick way writes it is made once per line; whatever goes the general way
// makes room for itself and again for the rest of the line.
class Cursor
{
public:
    explicit Cursor(qsizetype expected)
    {
        bytes_.resize(std::max<qsizetype>(expected, 64));
        // The file of many years is written into it from start to end.
        preferLargePages(bytes_.constData(), bytes_.constData() + bytes_.size());
    }

    // Where a line of up to n bytes written the quick way goes.
    char *startLine(qsizetype n)
    {
        line_ = n;
        return need(bytes_.data() + used_, n);
    }
    void endLine(char *p) { used_ = p - bytes_.constData(); }

    // Bytes made the general way, at p; where the line goes on.
    char *put(char *p, QByteArrayView bytes)
    {
        p = need(p, bytes.size() + line_);
        std::memcpy(p, bytes.data(), static_cast<std::size_t>(bytes.size()));
        return p + bytes.size();
    }

    // The bytes written; empty afterwards.
    QByteArray take()
    {
        bytes_.truncate(used_);
        QByteArray written = std::move(bytes_);
        bytes_ = QByteArray();
        used_ = 0;
        return written;
    }

private:
    // Room for n bytes at p, which may move the buffer: where p is then.
    char *need(char *p, qsizetype n)
    {
        const qsizetype at = p - bytes_.constData();
        if (bytes_.size() - at < n)
            bytes_.resize(std::max(at + n, 2 * bytes_.size()));
        return bytes_.data() + at;
    }

    QByteArray bytes_;
    qsizetype used_ = 0;
    qsizetype line_ = 0;
};

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

// QString::number's digits of a whole number, at p; where the line goes on.
char *putInt(char *p, qint32 value)
{
    quint32 magnitude = value < 0 ? 0u - static_cast<quint32>(value) : static_cast<quint32>(value);
    if (value < 0)
        *p++ = '-';
    const int digits = magnitude < 10           ? 1
                       : magnitude < 100        ? 2
                       : magnitude < 1000       ? 3
                       : magnitude < 10000      ? 4
                       : magnitude < 100000     ? 5
                       : magnitude < 1000000    ? 6
                       : magnitude < 10000000   ? 7
                       : magnitude < 100000000  ? 8
                       : magnitude < 1000000000 ? 9
                                                : 10;
    char *d = p + digits;
    for (; magnitude >= 100; magnitude /= 100) {
        d -= 2;
        std::memcpy(d, kDigitPairs + 2 * (magnitude % 100), 2);
    }
    if (magnitude >= 10) {
        d -= 2;
        std::memcpy(d, kDigitPairs + 2 * magnitude, 2);
    } else {
        *--d = static_cast<char>('0' + magnitude);
    }
    return p + digits;
}

#if defined(__SSE2__)
// Bytes of characters that are all their own byte (below 0x100, but not 0x80 to 0x9F, ';', CR or
// LF): 16 characters from two loads, or the first 8 or 4 of one (then the rest is ignored).
// False when one of them is not.
template <int kCount> bool plainBytes(__m128i low, __m128i high, __m128i &bytes)
{
    constexpr int kMask = (1 << kCount) - 1;
    const __m128i zero = _mm_setzero_si128();
    const __m128i above = _mm_and_si128(_mm_or_si128(low, high), _mm_set1_epi16(static_cast<short>(0xFF00)));
    if ((~_mm_movemask_epi8(_mm_cmpeq_epi16(above, zero)) & ((1 << (2 * std::min(kCount, 8))) - 1)) != 0)
        return false;
    bytes = _mm_packus_epi16(low, high);
    // Signed, 0x80 to 0x9F are the only bytes below 0xA0.
    const __m128i special = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(';')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')),
                     _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xA0 - 256)))));
    return (_mm_movemask_epi8(special) & kMask) == 0;
}

bool putPlainSixteen(const char16_t *in, char *out)
{
    __m128i bytes;
    if (!plainBytes<16>(_mm_loadu_si128(reinterpret_cast<const __m128i *>(in)),
                        _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + 8)), bytes))
        return false;
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
    return true;
}

bool putPlainEight(const char16_t *in, char *out)
{
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in));
    __m128i bytes;
    if (!plainBytes<8>(chars, chars, bytes))
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), bytes);
    return true;
}

bool putPlainFour(const char16_t *in, char *out)
{
    const __m128i chars = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(in));
    __m128i bytes;
    if (!plainBytes<4>(chars, chars, bytes))
        return false;
    const int four = _mm_cvtsi128_si32(bytes);
    std::memcpy(out, &four, 4);
    return true;
}
#endif

// A text with a character beyond the plane (a surrogate pair, or half of one), as EncodeSatz and
// ToAnsi write it: the general conversion, for the whole text, since it takes a pair as one.
Q_DECL_COLD_FUNCTION char *putTextBeyondPlane(char *p, const QString &text, Cursor &c)
{
    QString storable = text;
    storable.replace(u';', u',');
    storable.replace(u'\r', u' ');
    storable.replace(u'\n', u' ');
    return c.put(p, platform::ToAnsi(storable));
}

// A text field as EncodeSatz makes it storable and ToAnsi encodes it, at p where there is room
// for text.size() bytes; where the line goes on. `latin1`: the code page writes the characters
// below 0x100 as their own bytes but for 0x80 to 0x9F, so they need no table.
inline char *putText(char *p, const QString &text, const unsigned char *table, bool latin1, Cursor &c)
{
    const auto *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
#if defined(__SSE2__)
    // Blocks of characters that are their own bytes; the last block overlaps the ones before, which
    // gives the same bytes again.
    if (latin1 && size >= 4) {
        bool plain = true;
        if (size >= 16) {
            for (qsizetype i = 0; plain && i + 16 <= size; i += 16)
                plain = putPlainSixteen(in + i, p + i);
            plain = plain && putPlainSixteen(in + size - 16, p + size - 16);
        } else if (size >= 8) {
            plain = putPlainEight(in, p) && putPlainEight(in + size - 8, p + size - 8);
        } else {
            plain = putPlainFour(in, p) && putPlainFour(in + size - 4, p + size - 4);
        }
        if (plain)
            return p + size;
    }
#else
    Q_UNUSED(latin1);
#endif
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = in[i];
        if (u >= 0xD800 && u <= 0xDFFF)
            return putTextBeyondPlane(p, text, c);
        p[i] = static_cast<char>(table[u]);
    }
    return p + size;
}

// FormatFixed(cost, 5, 2): the cost rounded to cents, at least five characters wide, at p; where
// the line goes on. The cost times 100 is rounded once, to the nearest double, which keeps it on
// its side of every half cent or makes it one exactly; so only an exact half cent needs the
// general formatter's own rule of rounding. It, a negative cost that rounds to zero, the very
// large or not finite, and a decimal separator of more than a byte take the general way.
char *putCost(char *p, double cost, const QByteArray &decimalSeparator, Cursor &c)
{
    const double cents = static_cast<double>(cost) * 100.0;
    if (!std::isfinite(cents) || std::fabs(cents) >= 1e15 || cents - std::floor(cents) == 0.5 ||
        (std::signbit(cost) && std::fabs(cents) < 0.5) || decimalSeparator.size() != 1)
        return c.put(p, platform::ToAnsi(platform::FormatFixed(cost, 5, 2)));
    // Not a half, so adding one half and cutting off rounds to the nearest (exactly, below 10^15).
    const auto rounded = static_cast<qint64>(std::fabs(cents) + 0.5);
    char whole[24];
    char *const last = whole + sizeof whole;
    char *d = last;
    qint64 euros = rounded / 100;
    do {
        *--d = static_cast<char>('0' + euros % 10);
        euros /= 10;
    } while (euros != 0);
    if (cost < 0)
        *--d = '-';
    const qsizetype wholeSize = last - d;
    for (qsizetype width = wholeSize + 3; width < 5; ++width)
        *p++ = ' ';
    std::memcpy(p, d, static_cast<std::size_t>(wholeSize));
    p += wholeSize;
    *p++ = decimalSeparator.front();
    std::memcpy(p, kDigitPairs + 2 * (rounded % 100), 2);
    return p + 2;
}

// The short date format as DateToStr writes four-digit years: day and month of one or two digits,
// the year of two or four, and anything but letters and quotes as it stands. Empty (unusable) for
// any other format, which only the general way writes.
struct DatePart
{
    char field = 0; // 'd', 'M', 'y', or 0 for the literal bytes
    int width = 0;
    QByteArray literal;
};

std::vector<DatePart> dateLayout(const QString &format)
{
    std::vector<DatePart> parts;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c.isLetter()) {
            const bool fits = ((c == u'd' || c == u'M') && run <= 2) || (c == u'y' && (run == 2 || run == 4));
            if (!fits)
                return {};
            parts.push_back({static_cast<char>(c.unicode()), static_cast<int>(run), QByteArray()});
            bytes += run == 1 ? 2 : run;
        } else if (c == u'\'' || c.isSurrogate()) {
            return {};
        } else {
            parts.push_back({0, 0, platform::ToAnsi(format.sliced(i, run))});
            bytes += parts.back().literal.size();
        }
        i += run;
    }
    // A date is kept in a memo entry.
    return bytes <= kMemoBytes ? parts : std::vector<DatePart>();
}

void putNumber(char *&p, int value, int width)
{
    if (width == 4) {
        std::memcpy(p, kDigitPairs + 2 * (value / 100), 2);
        std::memcpy(p + 2, kDigitPairs + 2 * (value % 100), 2);
        p += 4;
    } else if (width == 2 || value >= 10) {
        std::memcpy(p, kDigitPairs + 2 * value, 2);
        p += 2;
    } else {
        *p++ = static_cast<char>('0' + value);
    }
}

// A key no finite day number gives: neither as a whole day nor as its bits.
constexpr qint64 kNoKey = 0x7FF8DEADBEEF0000;

} // namespace

struct RecordWriter::State
{
    explicit State(qsizetype expected) : out(expected) {}

    Cursor out;
    const unsigned char *table = nullptr; // textBytes(), or none: every record the general way
    bool latin1 = false;                  // the table keeps characters below 0x100 but C1 controls
    std::vector<DatePart> date;           // the date layout, or empty: dates the general way
    // The usual layout of two digits, a separator, two digits, a separator, four digits: which
    // of day and month come first, or 0 for another layout.
    char twoTwoFour = 0;
    char dateSeparators[2] = {};
    QByteArray decimalSeparator;

    // Texts of dates and times already written, by day and by the bits of the time: a guest file
    // has few distinct times, and the days of one stretch of bookings recur.
    struct Entry
    {
        qint64 key = kNoKey;
        quint8 size = 0;
        char bytes[kMemoBytes] = {};
    };
    static constexpr std::size_t kSlots = 1024;
    std::array<Entry, kSlots> dates;
    std::array<Entry, kSlots> times;

    static Entry &slotOf(std::array<Entry, kSlots> &entries, qint64 key)
    {
        return entries[static_cast<std::size_t>((static_cast<quint64>(key) * 0x9E3779B97F4A7C15ull) >> 54)];
    }

    // The entry's text at p, all of its bytes at once, which is quicker than its exact size; only
    // its size counts.
    static char *putEntry(char *p, const Entry &entry)
    {
        std::memcpy(p, entry.bytes, kMemoBytes);
        return p + entry.size;
    }

    // Keeps bytes made the general way in an entry and writes them; bytes too long for an entry
    // are only written.
    static char *keep(char *p, Entry &entry, qint64 key, const QByteArray &bytes, Cursor &c)
    {
        if (bytes.size() > kMemoBytes)
            return c.put(p, bytes);
        entry.key = key;
        entry.size = static_cast<quint8>(bytes.size());
        std::memcpy(entry.bytes, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return putEntry(p, entry);
    }

    // DateToStr(day) at p; where the line goes on.
    char *putDate(char *p, platform::TDateTime day, Cursor &c)
    {
        // Far beyond any calendar the whole-day part no longer fits 64 bits: the general way.
        if (!std::isfinite(day) || std::fabs(day) >= 1e15)
            return c.put(p, platform::ToAnsi(platform::DateToStr(day)));
        const auto key = static_cast<qint64>(std::trunc(day));
        Entry &entry = slotOf(dates, key);
        if (entry.key == key)
            return putEntry(p, entry);
        int y = 0, m = 0, d = 0;
        if (!date.empty() && key > -1000000 && key < 3000000)
            civilFromDays(key - kDaysBefore1970, y, m, d);
        // Years DateToStr does not write as plain numbers, or a format with more than numbers.
        if (y < 1000 || y > 9999)
            return keep(p, entry, key, platform::ToAnsi(platform::DateToStr(day)), c);
        char *e = entry.bytes;
        if (twoTwoFour != 0) {
            putNumber(e, twoTwoFour == 'd' ? d : m, 2);
            *e++ = dateSeparators[0];
            putNumber(e, twoTwoFour == 'd' ? m : d, 2);
            *e++ = dateSeparators[1];
            putNumber(e, y, 4);
        } else {
            for (const DatePart &part : date) {
                if (part.field == 'd')
                    putNumber(e, d, part.width);
                else if (part.field == 'M')
                    putNumber(e, m, part.width);
                else if (part.field == 'y')
                    putNumber(e, part.width == 4 ? y : y % 100, part.width);
                else {
                    std::memcpy(e, part.literal.constData(), static_cast<std::size_t>(part.literal.size()));
                    e += part.literal.size();
                }
            }
        }
        entry.key = key;
        entry.size = static_cast<quint8>(e - entry.bytes);
        return putEntry(p, entry);
    }

    // TimeToStr(day) at p; where the line goes on.
    char *putTime(char *p, platform::TDateTime day, Cursor &c)
    {
        if (!std::isfinite(day))
            return c.put(p, platform::ToAnsi(platform::TimeToStr(day)));
        // Keyed by the number itself: equal numbers are equal times, and the few times of a file
        // are the very same numbers again and again.
        qint64 key = 0;
        std::memcpy(&key, &day, sizeof key);
        Entry &entry = slotOf(times, key);
        if (entry.key == key)
            return putEntry(p, entry);
        return keep(p, entry, key, platform::ToAnsi(platform::TimeToStr(day)), c);
    }
};

RecordWriter::RecordWriter(qsizetype expected) : state_(std::make_unique<State>(expected))
{
    State &s = *state_;
    const QByteArray &table = textBytes();
    if (!table.isEmpty()) {
        s.table = reinterpret_cast<const unsigned char *>(table.constData());
        s.latin1 = true;
        for (char16_t c = 0; c < 0x100; ++c)
            s.latin1 =
                s.latin1 && ((c >= 0x80 && c < 0xA0) || c == u';' || c == u'\r' || c == u'\n' || s.table[c] == c);
    }
    const platform::RegionalSettings &r = platform::Regional();
    s.date = dateLayout(r.shortDateFormat);
    const auto &d = s.date;
    if (d.size() == 5 && d[0].field != 0 && d[0].field != 'y' && d[0].width == 2 && d[1].literal.size() == 1 &&
        d[2].field != 0 && d[2].field != 'y' && d[2].width == 2 && d[3].literal.size() == 1 && d[4].field == 'y' &&
        d[4].width == 4) {
        s.twoTwoFour = d[0].field;
        s.dateSeparators[0] = d[1].literal.front();
        s.dateSeparators[1] = d[3].literal.front();
    }
    s.decimalSeparator = platform::ToAnsi(QString(r.decimalSeparator));
}

RecordWriter::~RecordWriter() = default;

QByteArray RecordWriter::take()
{
    return state_->out.take();
}

void RecordWriter::append(const TGast &g)
{
    State &s = *state_;
    Cursor &c = s.out;
    if (s.table == nullptr) {
        c.endLine(c.put(c.startLine(0), platform::ToAnsi(EncodeSatz(g) + QStringLiteral("\r\n"))));
        return;
    }
    // Every character of a text takes at most a byte.
    char *p = c.startLine(kFixedBytes + g.Zimmer.size() + g.Name.size() + g.Strasse.size() + g.Ort.size() +
                          g.Telefon.size() + g.EMail.size() + g.Bemerkung.size());
    const auto text = [&](const QString &t) {
        p = putText(p, t, s.table, s.latin1, c);
        *p++ = ';';
    };
    const auto number = [&p](qint32 value) {
        p = putInt(p, value);
        *p++ = ';';
    };
    const auto boolean = [&p](bool value) {
        std::memcpy(p, value ? "True;\0" : "False;", 6);
        p += value ? 5 : 6;
    };

    number(g.GastNr);
    text(g.Zimmer);
    number(g.Personen);
    p = s.putDate(p, g.Von, c);
    *p++ = ';';
    p = s.putTime(p, g.Anreise, c);
    *p++ = ';';
    p = s.putDate(p, g.Bis, c);
    *p++ = ';';
    p = s.putTime(p, g.Abreise, c);
    *p++ = ';';
    text(g.Name);
    text(g.Strasse);
    number(g.PLZ);
    text(g.Ort);
    text(g.Telefon);
    text(g.EMail);
    number(g.ReNr);
    p = putCost(p, g.Kosten, s.decimalSeparator, c);
    *p++ = ';';
    boolean(g.Bezahlt);
    boolean(g.Schluessel);
    p = putText(p, g.Bemerkung, s.table, s.latin1, c);
    *p++ = '\r';
    *p++ = '\n';
    c.endLine(p);
}

} // namespace guestfile
