#pragma once
// The one CSV writer: every table that leaves the program for a spreadsheet or the tax adviser's
// programs is handed over here as rows of texts and written by the same rules.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace exchange {

// The bytes a file is written in.
enum class CsvCodePage {
    // UTF-8 with a byte-order mark, so spreadsheet programs read the umlauts and every other
    // character right.
    Utf8WithBom,
    // The ANSI code page (Windows-1252); when a character does not fit it ("Ğ"), the whole file is
    // UTF-8 with a byte-order mark instead, which those programs read as well, so nothing becomes "?".
    AnsiUnlessLacking,
};

// Each export's code page. The guest list and the figures go to a spreadsheet, which reads UTF-8
// with its mark. The invoice list goes to the tax adviser, whose accounting programs import
// Windows-1252 and may not know the mark; only a name that code page cannot hold makes it UTF-8.
inline constexpr CsvCodePage kGuestListCodePage = CsvCodePage::Utf8WithBom;
inline constexpr CsvCodePage kFiguresCodePage = CsvCodePage::Utf8WithBom;
inline constexpr CsvCodePage kInvoiceListCodePage = CsvCodePage::AnsiUnlessLacking;

// One field as it is written: platform::csvField, the rule the invoice journal follows too.
QString csvField(const QString &text);

// The rows as a file the way German spreadsheets open it: ";" between fields, CR LF after every
// row, in the code page given. No rows make an empty file.
QByteArray csvFile(const QList<QStringList> &rows, CsvCodePage codePage);

// Writes the file whole or not at all; throws platform::EInOutError.
void saveCsvFile(const QString &path, const QList<QStringList> &rows, CsvCodePage codePage);

} // namespace exchange
