#include "platform/Fields.h"

#include "platform/Convert.h"

#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>

namespace {

// The part of a line left after stripping characters up to code 32 from both ends.
void untrimmedRange(QStringView line, qsizetype &begin, qsizetype &end)
{
    begin = 0;
    end = line.size();
    while (begin < end && line.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && line.at(end - 1).unicode() <= 32)
        --end;
}

void trimControls(QString &line)
{
    qsizetype begin = 0;
    qsizetype end = 0;
    untrimmedRange(line, begin, end);
    // Cut in place: dropping the front of an unshared QString moves no characters, whereas a
    // sliced copy for every padded field would make long lines quadratic.
    if (end < line.size())
        line.truncate(end);
    if (begin > 0)
        line.remove(0, begin);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipDigits(QStringView s, qsizetype i)
{
    while (i < s.size() && isDigit(s.at(i)))
        ++i;
    return i;
}

// Sign, digits, optional fraction after '.', optional exponent; blanks around it. Checked by
// hand because the C locale reader would also take "inf", "nan" and the like.
bool parseDotNumber(QStringView s, double &value)
{
    while (!s.isEmpty() && s.front() == u' ')
        s = s.sliced(1);
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    qsizetype i = 0;
    const bool negative = i < s.size() && s.at(i) == u'-';
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        ++i;
    const qsizetype intStart = i;
    i = skipDigits(s, i);
    qsizetype mantissaDigits = i - intStart;
    if (i < s.size() && s.at(i) == u'.') {
        const qsizetype fracStart = ++i;
        i = skipDigits(s, i);
        mantissaDigits += i - fracStart;
    }
    if (mantissaDigits == 0)
        return false;
    const bool exponent = i < s.size() && (s.at(i) == u'e' || s.at(i) == u'E');
    if (exponent) {
        ++i;
        if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
            ++i;
        const qsizetype expStart = i;
        i = skipDigits(s, i);
        if (i == expStart)
            return false;
    }
    if (i != s.size())
        return false;
    // A cost has a few digits and no exponent. Up to 15 digits make an exact whole number, and one
    // division by an exact power of ten rounds just as the full conversion does, at a fraction of
    // its cost. A negative zero is left to the full conversion.
    if (!exponent && mantissaDigits <= 15) {
        static constexpr double kPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        qint64 digits = 0;
        int decimals = 0;
        bool afterPoint = false;
        for (const QChar c : s) {
            if (isDigit(c)) {
                digits = digits * 10 + (c.unicode() - u'0');
                decimals += afterPoint ? 1 : 0;
            } else if (c == u'.') {
                afterPoint = true;
            }
        }
        if (digits != 0 || !negative) {
            const double magnitude = static_cast<double>(digits) / kPowersOfTen[decimals];
            value = negative ? -magnitude : magnitude;
            return true;
        }
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

// A field as NextFieldFloat reads it.
double floatOf(QStringView field)
{
    // The file may come from a system with a decimal comma or a decimal point. A cost field is
    // short, so its copy with the comma replaced stays on the stack.
    QVarLengthArray<QChar, 32> copy(field.begin(), field.end());
    const qsizetype comma = field.indexOf(u',');
    if (comma >= 0)
        copy[comma] = u'.';
    double value = 0;
    return parseDotNumber(QStringView(copy.constData(), copy.size()), value) ? value : 0;
}

} // namespace

namespace platform {

QString NextField(QString &line, const QString &separator)
{
    trimControls(line);
    // An empty separator would match at the start forever; treat it as absent.
    const qsizetype at = separator.isEmpty() ? -1 : line.indexOf(separator);
    QString field;
    if (at < 0) {
        field = line;
        line.clear();
    } else {
        field = line.first(at);
        line.remove(0, at + separator.size());
    }
    return field;
}

qint32 NextFieldInt(QString &line, const QString &separator)
{
    qint32 value = 0;
    return platform::TryStrToInt(NextField(line, separator), value) ? value : 0;
}

double NextFieldFloat(QString &line, const QString &separator)
{
    return floatOf(NextField(line, separator));
}

QStringView NextField(QStringView &line, QStringView separator)
{
    qsizetype begin = 0;
    qsizetype end = 0;
    untrimmedRange(line, begin, end);
    line = line.sliced(begin, end - begin);
    // A one-character separator (the file's ';') is looked for by a plain loop: fields are
    // short, and Qt's general search costs more to set up than to run over a few characters.
    qsizetype at = -1;
    if (separator.size() == 1) {
        const QChar *const first = line.data();
        const QChar *const last = first + line.size();
        const QChar *const found = std::find(first, last, separator.front());
        at = found == last ? -1 : found - first;
    } else if (!separator.isEmpty()) {
        at = line.indexOf(separator);
    }
    if (at < 0) {
        const QStringView field = line;
        line = line.sliced(line.size());
        return field;
    }
    const QStringView field = line.first(at);
    line = line.sliced(at + separator.size());
    return field;
}

qint32 NextFieldInt(QStringView &line, QStringView separator)
{
    qint32 value = 0;
    return platform::TryStrToInt(NextField(line, separator), value) ? value : 0;
}

double NextFieldFloat(QStringView &line, QStringView separator)
{
    return floatOf(NextField(line, separator));
}

namespace {

// The blanks a person or a spreadsheet puts around or inside a number.
bool isSpace(QChar c)
{
    return c.unicode() <= 32 || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

QStringView trimmedSpaces(QStringView s)
{
    while (!s.isEmpty() && isSpace(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && isSpace(s.back()))
        s.chop(1);
    return s;
}

bool isGroupSeparator(QChar c)
{
    return c == u'.' || c == u',' || c == u'\'' || c == QChar(0x2019) || isSpace(c);
}

// Digits grouped by thousands with one separator throughout ("1.280.000", "1 040"); the digits
// alone are appended to `digits`. Plain digits without a separator count as well.
bool groupedDigits(QStringView s, QString &digits)
{
    if (s.isEmpty())
        return false;
    QChar separator;
    qsizetype group = 0;
    bool first = true;
    for (const QChar c : s) {
        if (isDigit(c)) {
            digits += c;
            ++group;
            continue;
        }
        if (!isGroupSeparator(c) || (!separator.isNull() && c != separator))
            return false;
        if (first ? group < 1 || group > 3 : group != 3)
            return false;
        separator = c;
        first = false;
        group = 0;
    }
    return first ? group > 0 : group == 3;
}

} // namespace

bool ReadWrittenInt(QStringView field, qint32 &value)
{
    const QStringView s = trimmedSpaces(field);
    if (platform::TryStrToInt(s, value))
        return true;
    QStringView body = s;
    const bool negative = !body.isEmpty() && body.front() == u'-';
    if (!body.isEmpty() && (body.front() == u'-' || body.front() == u'+'))
        body = body.sliced(1);
    QString digits;
    if (!groupedDigits(body, digits))
        return false;
    qint32 v = 0;
    if (!platform::TryStrToInt(negative ? u'-' + digits : digits, v))
        return false;
    value = v;
    return true;
}

bool ReadWrittenAmount(QStringView field, double &value)
{
    QStringView s = trimmedSpaces(field);
    // A currency after (or before) the amount.
    for (const QStringView currency : {QStringView(u"€"), QStringView(u"EUR")}) {
        if (s.endsWith(currency, Qt::CaseInsensitive))
            s = trimmedSpaces(s.chopped(currency.size()));
        else if (s.startsWith(currency, Qt::CaseInsensitive))
            s = trimmedSpaces(s.sliced(currency.size()));
    }
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = trimmedSpaces(s.sliced(1));
    }
    // The decimal separator: of a comma and a point the later one; a single one of them, unless it
    // is a point before exactly three digits (a German thousands point); none when one of them
    // comes more than once.
    const qsizetype comma = s.lastIndexOf(u',');
    const qsizetype point = s.lastIndexOf(u'.');
    qsizetype decimal = -1;
    if (comma >= 0 && point >= 0)
        decimal = std::max(comma, point);
    else if (comma >= 0 && s.count(u',') == 1)
        decimal = comma;
    else if (point >= 0 && s.count(u'.') == 1) {
        const QStringView before = s.first(point);
        const QStringView after = s.sliced(point + 1);
        const auto digitsOnly = [](QStringView part) { return std::all_of(part.begin(), part.end(), isDigit); };
        const bool thousands = after.size() == 3 && digitsOnly(after) && !before.isEmpty() && before.size() <= 3 &&
                               digitsOnly(before) && before.front() != u'0';
        decimal = thousands ? -1 : point;
    }
    const QStringView whole = decimal < 0 ? s : s.first(decimal);
    const QStringView fraction = decimal < 0 ? QStringView() : s.sliced(decimal + 1);
    QString digits;
    if (!whole.isEmpty() && !groupedDigits(whole, digits))
        return false;
    for (const QChar c : fraction) {
        if (!isDigit(c))
            return false;
        digits += c;
    }
    if (digits.isEmpty())
        return false;
    // Beyond 15 digits a double no longer holds every cent.
    qsizetype significant = 0;
    for (const QChar c : digits)
        if (significant > 0 || c != u'0')
            ++significant;
    if (significant > 15)
        return false;
    const QString number = (negative ? QStringLiteral("-0") : QStringLiteral("0")) +
                           digits.first(digits.size() - fraction.size()) + u'.' + fraction.toString() + u'0';
    bool ok = false;
    const double v = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

} // namespace platform
