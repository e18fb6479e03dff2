#include "platform/CsvField.h"

#include <QRegularExpression>

namespace platform {

namespace {

bool startsFormula(QStringView text)
{
    return !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front());
}

// "'=1", "''=1": a text that reads like one guarded (apostrophes, then a formula sign).
bool looksGuarded(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    return i > 0 && startsFormula(text.mid(i));
}

// Digits with an optional sign and the separators of a number: what a spreadsheet reads as a
// number, never as a formula.
bool isPlainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9][0-9.,]*$"));
    return number.match(text).hasMatch();
}

} // namespace

QString csvField(const QString &text)
{
    QString field = text;
    // A spreadsheet also runs a formula behind a leading TAB or CR.
    if ((startsFormula(field) && !isPlainNumber(field)) || looksGuarded(field))
        field.prepend(u'\'');
    const bool quote = field.contains(u';') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r') ||
                       field != field.trimmed();
    if (!quote)
        return field;
    field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString csvUnguarded(const QString &field)
{
    if (looksGuarded(field))
        return field.mid(1);
    return field;
}

} // namespace platform
