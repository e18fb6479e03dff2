#include "guestfile/Fields.h"

#include "platform/Convert.h"

#include <QLocale>
#include <cmath>

namespace {

void trimControls(QString &line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && line.at(end - 1).unicode() <= 32)
        --end;
    if (begin > 0 || end < line.size())
        line = line.sliced(begin, end - begin);
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
    if (i < s.size() && (s.at(i) == u'e' || s.at(i) == u'E')) {
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
    bool ok = false;
    const double v = QLocale::c().toDouble(s, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
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
    QString field = NextField(line, separator);
    // The file may come from a system with a decimal comma or a decimal point.
    const qsizetype comma = field.indexOf(u',');
    if (comma >= 0)
        field[comma] = u'.';
    double value = 0;
    return parseDotNumber(field, value) ? value : 0;
}
