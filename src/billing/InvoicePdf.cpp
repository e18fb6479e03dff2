#include "billing/InvoicePdf.h"

#include "billing/InvoiceFiles.h"

#include "billing/BillingFiles.h"
#include "billing/Invoice.h"
#include "platform/FileIo.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <poppler-qt6.h>
#include <vector>

namespace billing {

using guests::TGast;

namespace {

// The kept file is read by people and by the tax office's programs; 300 dpi keeps a scanned
// form sharp enough and the file small.
constexpr int kPdfDpi = 300;
// Where the mark stands: centred in a band this far below the top edge and this high, above
// where a letterhead begins.
constexpr qreal kMarkTopMm = 2.5;
constexpr qreal kMarkHeightMm = 8;
constexpr qreal kMarkPoints = 14;
// A page that shows "Kopie" this close to its top is marked already.
constexpr qreal kMarginMm = kMarkTopMm + kMarkHeightMm + 4;

qreal mmToPoints(qreal mm)
{
    return mm * 72.0 / 25.4;
}

// Where a copy's page goes: shrunk, keeping its proportions, to the room below the band of the
// mark, so that the mark never stands on the letterhead or the form, whatever they hold.
QRectF belowTheMark(const QRectF &page, qreal dotsPerMm)
{
    const qreal band = (kMarkTopMm + kMarkHeightMm) * dotsPerMm;
    const qreal height = page.height() - band;
    const qreal width = page.width() * height / page.height();
    return {page.left() + (page.width() - width) / 2, page.top() + band, width, height};
}

} // namespace

QByteArray RechnungsPdf(const QImage &form, const TGast &g, platform::TDateTime today, const QPageSize &pageSize,
                        bool kopie, const Briefkopf *kopf)
{
    return linesPdf(form, InvoiceLines(g, today), QStringLiteral("Rechnung %1").arg(g.ReNr),
                    QStringLiteral("Rechnung Nr. %1").arg(g.ReNr), pageSize, kopie, kopf);
}

QByteArray linesPdf(const QImage &form, const QStringList &lines, const QString &title, const QString &what,
                    const QPageSize &pageSize, bool kopie, const Briefkopf *kopf)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Zimbrana"));
        writer.setResolution(kPdfDpi);
        writer.setPageLayout(QPageLayout(pageSize.isValid() ? pageSize : QPageSize(QPageSize::A4),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (form.isNull() || !painter.begin(&writer))
            throw EInvoiceError(QStringLiteral("Die %1 konnte nicht als PDF erstellt werden.").arg(what));
        const QRectF page(0, 0, writer.width(), writer.height());
        const QRectF area = kopie ? belowTheMark(page, kPdfDpi / 25.4) : page;
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(area, form);
        // The lines in the form's own pixels, stretched with the form: where they stand on paper.
        painter.save();
        painter.translate(area.topLeft());
        painter.scale(area.width() / form.width(), area.height() / form.height());
        if (kopf)
            DrawBriefkopf(painter, form, *kopf);
        DrawInvoiceTexts(painter, form, lines);
        painter.restore();
        if (kopie)
            KopieVermerken(painter, page);
        if (!painter.end())
            throw EInvoiceError(QStringLiteral("Die %1 konnte nicht als PDF erstellt werden.").arg(what));
    }
    return bytes;
}

void KopieVermerken(QPainter &painter, const QRectF &page)
{
    const qreal dpi = painter.device()->logicalDpiY();
    const qreal mm = dpi / 25.4;
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qRound(kMarkPoints * dpi / 72.0));
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF box(page.left(), page.top() + kMarkTopMm * mm, page.width(), kMarkHeightMm * mm);
    painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, QString::fromUtf8(kKopieVermerk));
    painter.restore();
}

void DruckeKopie(QPrinter &printer, const QByteArray &pdf, const QString &name)
{
    const auto damaged = [&name] {
        return EInvoiceError(QStringLiteral("Die Rechnungskopie %1 ist beschädigt und kann nicht gedruckt werden.\n%2")
                                 .arg(QFileInfo(name).fileName(), QDir::toNativeSeparators(name)));
    };
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document || document->isLocked() || document->numPages() < 1)
        throw damaged();
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);

    // Every page is read before the printer starts, so a damaged file prints nothing at all.
    struct Page
    {
        QImage image;
        bool marked;
    };
    std::vector<Page> pages;
    for (int i = 0; i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page)
            throw damaged();
        QImage image = page->renderToImage(kPdfDpi, kPdfDpi);
        if (image.isNull())
            throw damaged();
        const QRectF top(0, 0, page->pageSizeF().width(), mmToPoints(kMarginMm));
        pages.push_back({std::move(image), page->text(top).contains(QString::fromUtf8(kKopieVermerk))});
    }

    const auto file = PrivatePrintout(printer); // names the guest, as the invoice does
    printer.setResolution(600);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EInvoiceError(platform::printerNotStartedText());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            throw EInvoiceError(platform::printNotFinishedText());
        const QRectF page(0, 0, printer.width(), printer.height());
        if (pages[i].marked) {
            painter.drawImage(page, pages[i].image);
        } else {
            painter.drawImage(belowTheMark(page, printer.logicalDpiY() / 25.4), pages[i].image);
            KopieVermerken(painter, page);
        }
    }
    if (!painter.end())
        throw EInvoiceError(platform::printNotFinishedText());
    if (file)
        file->keep();
}

QByteArray LiesGepruefteKopie(const QString &path, qint32 nr)
{
    const auto refuse = [&path, nr](const QString &why) {
        return EInvoiceError(QStringLiteral("Die Datei „%1“ wird nicht als Kopie der Rechnung Nr. %2 gedruckt: %3.\n%4\n"
                                            "Bitte prüfen, was im Ordner „Rechnungen“ liegt.")
                                 .arg(QFileInfo(path).fileName())
                                 .arg(nr)
                                 .arg(why, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    };
    if (const QString what = KeineDateiSondern(path); !what.isEmpty())
        throw refuse(QStringLiteral("sie ist keine Datei, sondern ") + what);
    const qint64 size = QFileInfo(path).size();
    if (size > kKopieHoechstBytes)
        throw refuse(QStringLiteral("sie ist mit %1 MB viel zu groß für eine Rechnung").arg(size / (1024 * 1024)));
    const QByteArray bytes = platform::ReadFileBytes(path);
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document || document->isLocked())
        throw EInvoiceError(QStringLiteral("Die Rechnungskopie %1 ist beschädigt und kann nicht gedruckt werden.\n%2")
                                .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(path)));
    const QString title = document->info(QStringLiteral("Title"));
    if (title != QStringLiteral("Rechnung %1").arg(nr))
        throw refuse(title.isEmpty() ? QStringLiteral("sie trägt keinen Titel „Rechnung %1“").arg(nr)
                                     : QStringLiteral("ihr Titel ist „%1“").arg(title));
    const int pages = document->numPages();
    if (pages < 1 || pages > 2)
        throw refuse(QStringLiteral("sie hat %1 Seiten, eine Rechnung hat eine oder zwei").arg(pages));
    // A3 is the largest form a host prints on.
    const QSizeF a3 = QPageSize(QPageSize::A3).size(QPageSize::Point);
    for (int i = 0; i < pages; ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        const QSizeF points = page ? page->pageSizeF() : QSizeF();
        if (points.isEmpty() || std::max(points.width(), points.height()) > a3.height() + 1 ||
            std::min(points.width(), points.height()) > a3.width() + 1)
            throw refuse(QStringLiteral("ihre Seite %1 ist keine Seite einer Rechnung").arg(i + 1));
    }
    return bytes;
}

QPageSize AblageSeitengroesse(const QPrinter &printer)
{
    const QPageSize size = printer.pageLayout().pageSize();
    return size.isValid() ? size : QPageSize(QPageSize::A4);
}

} // namespace billing
