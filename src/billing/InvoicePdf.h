#pragma once
// The invoice as a PDF file, and printing such a file again as a copy.

#include "billing/Invoice.h"
#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QRectF>
#include <QString>

class QPainter;
class QPrinter;

namespace billing {

// The word that marks every copy, in the top margin of its page.
inline constexpr char kKopieVermerk[] = "Kopie";

// The invoice of `g` as a one-page PDF: the form as an image over the whole page (as it is
// printed), the eight lines as text on it, so the file can be searched and read by programs.
// Title "Rechnung <ReNr>", creator "Zimbrana"; the creation date is the moment it is made.
// With `kopie` the page is marked "Kopie". A page without a scanned form (LeeresRechnungsblatt)
// carries the house's letterhead `kopf`, as text too. Throws EInvoiceError when the PDF cannot be
// made.
QByteArray RechnungsPdf(const QImage &form, const guests::TGast &g, platform::TDateTime today,
                        const QPageSize &pageSize, bool kopie, const Briefkopf *kopf = nullptr);

// The same for any eight texts in the invoice's places (a cancellation's lines), titled `title`;
// `what` names the paper in the error ("Stornorechnung Nr. 1050").
QByteArray linesPdf(const QImage &form, const QStringList &lines, const QString &title, const QString &what,
                    const QPageSize &pageSize, bool kopie, const Briefkopf *kopf = nullptr);

// Writes "Kopie" into the top margin of `page` (device units of the painter's device).
void KopieVermerken(QPainter &painter, const QRectF &page);

// Prints every page of a PDF stretched over the printable page, as the invoice was printed, and
// marks each page "Kopie" unless it carries the mark already. `name` names the file in messages.
// Throws EInvoiceError when the PDF cannot be read or the printer fails; then nothing is printed.
void DruckeKopie(QPrinter &printer, const QByteArray &pdf, const QString &name);

// The largest kept copy that is printed: a form scanned at 600 dpi makes a few megabytes.
inline constexpr qint64 kKopieHoechstBytes = 64LL * 1024 * 1024;

// Reads the kept copy of invoice `nr` at `path` and proves it is one before it is printed: an
// ordinary file of a sane size, a PDF whose title names that number ("Rechnung 1042"), of one or
// two pages no larger than A3. Throws EInvoiceError naming the file and what is wrong; EInOutError
// when it cannot be read.
QByteArray LiesGepruefteKopie(const QString &path, qint32 nr);

// The page size to keep an invoice in: the printer's, else A4.
QPageSize AblageSeitengroesse(const QPrinter &printer);

} // namespace billing
