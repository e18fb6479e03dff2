#include "exchange/Csv.h"

#include "platform/AnsiText.h"
#include "platform/CsvField.h"
#include "platform/FileIo.h"

namespace exchange {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

} // namespace

QString csvField(const QString &text)
{
    return platform::csvField(text);
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
