#pragma once
// The invoice: eight lines of text drawn onto the scanned form "REVORL.JPG", then printed
// as one page.

#include "platform/DataFolderLayout.h"
#include "platform/DayNumber.h"
#include "register/TGast.h"

#include "platform/Error.h"
#include <QImage>
#include <QRgb>
#include <QStringList>

class QPainter;
class QPrinter;

namespace billing {

inline constexpr const auto &kRechnungsvorlageDatei = platform::layout::kInvoiceForm;

class EInvoiceError : public platform::Error
{
public:
    using Error::Error;
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
QStringList InvoiceLines(const guests::TGast &g, platform::TDateTime today);

// Draws one line of text at row `zeile` and column `spalte`, measured in line heights and in
// widths of "+" of the given font, whose size is in pixels of the image.
void TextLine(QImage &bm, const QString &Text, const QString &font, QRgb farbe, int size, float zeile, float spalte);

// Draws the eight invoice lines onto the form.
void DrawInvoice(QImage &bm, const guests::TGast &g, platform::TDateTime today);
// The same for any eight texts in the places of InvoiceLines (a cancellation's lines); and with a
// painter whose coordinates are the form's pixels (a page that shows the form scaled), as text
// rather than pixels, where `form` is only measured.
void DrawInvoiceTexts(QImage &bm, const QStringList &lines);
void DrawInvoiceTexts(QPainter &painter, const QImage &form, const QStringList &lines);

// What an invoice printed without a scanned form carries at its top: the house's own details.
struct Briefkopf
{
    QString name;
    QString anschrift; // may hold several lines
    QString telefon;
    QString email;
    QString freieZeile; // e.g. the tax note
};

// A plain white page in place of the scanned form: A4 at 300 dpi, the size a form is scanned at,
// so the invoice lines stand where they stand on a form.
QImage LeeresRechnungsblatt();

// The letterhead's lines from top to bottom: the name, each line of the address, telephone and
// e-mail ("Telefon 05632 1234 · E-Mail info@haus.de"), the free line; empty ones are left out.
QStringList BriefkopfZeilen(const Briefkopf &kopf);

// Draws the letterhead above the invoice lines, with a painter whose coordinates are the form's
// pixels (the page itself, or a page that shows it scaled); `form` is only measured. The name is
// set larger and bold; a letterhead too long for the room above the address is set smaller.
void DrawBriefkopf(QPainter &painter, const QImage &form, const Briefkopf &kopf);
// The same drawn into the page's pixels, for printing.
void DrawBriefkopf(QImage &bm, const Briefkopf &kopf);

// Prints the finished invoice stretched over the printable area of one page; throws
// EInvoiceError when printing cannot start or finish.
void PrintInvoice(QPrinter &printer, const QImage &invoice);

} // namespace billing
