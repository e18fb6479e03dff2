#pragma once
// The invoice: eight lines of text drawn onto the scanned form "REVORL.JPG", then printed
// as one page.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QImage>
#include <QRgb>
#include <QStringList>
#include <stdexcept>

class QPainter;
class QPrinter;

inline constexpr char kRechnungsvorlageDatei[] = "REVORL.JPG";

class EInvoiceError : public std::runtime_error
{
public:
    explicit EInvoiceError(const QString &message);
    QString message() const;
};

// The most memory the form may take once loaded (a 600-dpi A3 scan takes 278 MB).
inline constexpr int kTemplateMegabytes = 512;

// Loads the invoice form as an image that can be painted on. Throws EInvoiceError, naming the
// reason, when the file is missing or unreadable, no image, damaged or cut short (a decoder that
// reports damage counts), or larger than kTemplateMegabytes allow.
QImage LoadInvoiceTemplate(const QString &path);

// The postal code as printed: five digits ("06108"), nothing for 0 (none entered).
QString PlzText(qint32 plz);

// The eight texts of the invoice, in the order they are drawn: name, street, post code and town,
// today's date, invoice number, period of stay, cost line, closing sentence.
QStringList InvoiceLines(const TGast &g, platform::TDateTime today);

// Draws one line of text at row `zeile` and column `spalte`, measured in line heights and in
// widths of "+" of the given font, whose size is in pixels of the image.
void TextLine(QImage &bm, const QString &Text, const QString &font, QRgb farbe, int size, float zeile, float spalte);

// Draws the eight invoice lines onto the form.
void DrawInvoice(QImage &bm, const TGast &g, platform::TDateTime today);
// Draws the same lines with a painter whose coordinates are the form's pixels (a page that shows
// the form scaled), as text rather than pixels; `form` is only measured.
void DrawInvoiceLines(QPainter &painter, const QImage &form, const TGast &g, platform::TDateTime today);

// Prints the finished invoice stretched over the printable area of one page; throws
// EInvoiceError when printing cannot start or finish.
void PrintInvoice(QPrinter &printer, const QImage &invoice);
