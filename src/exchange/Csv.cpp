#include "exchange/Csv.h"

#include "platform/AnsiText.h"
#include "platform/FileIo.h"

#include <QRegularExpression>

namespace exchange {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

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
    if (!field.isEmpty() && QStringView(u"=+-@\t\r").contains(field.front()) && !isPlainNumber(field))
        field.prepend(u'\'');
    const bool quote = field.contains(u';') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r') ||
                       field != field.trimmed();
    if (!quote)
        return field;
    field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QByteArray csvFile(const QList<QStringList> &rows, CsvCodePage codePage)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString &field : row)
            fields << csvField(field);
        text += fields.join(u';');
        text += QStringLiteral("\r\n");
    }
    if (text.isEmpty())
        return {};
    if (codePage == CsvCodePage::AnsiUnlessLacking && platform::CharactersAnsiLacks(text).isEmpty())
        return platform::ToAnsi(text);
    return kByteOrderMark + text.toUtf8();
}

void saveCsvFile(const QString &path, const QList<QStringList> &rows, CsvCodePage codePage)
{
    platform::SaveFileAtomic(path, csvFile(rows, codePage));
}

} // namespace exchange
