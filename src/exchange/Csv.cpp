#include "exchange/Csv.h"

#include "platform/AnsiText.h"

#include <QRegularExpression>

namespace exchange {

QString CsvFeld(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9][0-9.,]*$"));
    QString field = text;
    if (!field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field.front()) && !number.match(field).hasMatch())
        field.prepend(u'\'');
    if (field.contains(u';') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r'))
        field = u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return field;
}

QByteArray CsvDatei(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString &field : row)
            fields << CsvFeld(field);
        text += fields.join(u';');
        text += QStringLiteral("\r\n");
    }
    if (!platform::CharactersAnsiLacks(text).isEmpty())
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return platform::ToAnsi(text);
}

} // namespace exchange
