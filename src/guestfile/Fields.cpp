#include "guestfile/Fields.h"

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
