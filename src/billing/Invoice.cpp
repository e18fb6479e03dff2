#include "billing/Invoice.h"

#include "billing/StayCost.h"
#include "platform/Convert.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QPrinter>
#include <array>

EInvoiceError::EInvoiceError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EInvoiceError::message() const
{
    return QString::fromUtf8(what());
}

QImage LoadInvoiceTemplate(const QString &path)
{
    QImageReader reader(path);
    const QImage loaded = reader.read();
    if (loaded.isNull())
        throw EInvoiceError(QStringLiteral("Die Rechnungsvorlage %1 fehlt oder ist kein lesbares Bild.\n%2")
                                .arg(QFileInfo(path).fileName(), QDir::toNativeSeparators(path)));
    if (!loaded.hasAlphaChannel())
        return loaded.convertToFormat(QImage::Format_RGB32);
    // A form with transparent parts is put on white paper, as it would print.
    QImage paper(loaded.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, loaded);
    return paper;
}

QStringList InvoiceLines(const TGast &g, platform::TDateTime today)
{
    using platform::DateToStr;
    return {
        g.Name,
        g.Strasse,
        QString::asprintf("%5d ", g.PLZ) + g.Ort,
        DateToStr(today),
        QStringLiteral("Rechnung Nr. %1").arg(g.ReNr),
        QStringLiteral("Für die Nutzung unserer Klosterherberge vom %1 bis %2").arg(DateToStr(g.Von), DateToStr(g.Bis)),
        QStringLiteral("%1 Übernachtungen mit %2 Personen berechnen wir Ihnen").arg(Naechte(g)).arg(g.Personen) +
            QString(36, u' ') + platform::FormatFixed(g.Kosten, 7, 2) + QStringLiteral(" Euro"),
        QStringLiteral("Wir hoffen, sie hatten einen angenehmen Aufenthalt."),
    };
}

void TextLine(QImage &bm, const QString &Text, const QString &font, QRgb farbe, int size, float zeile, float spalte)
{
    if (Text.isEmpty() || bm.isNull())
        return;
    QFont f(font);
    f.setPixelSize(size);
    const QFontMetricsF metrics(f, &bm);
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    const qreal h = metrics.boundingRect(QRectF(), flags, Text).height();
    const qreal w = metrics.horizontalAdvance(QStringLiteral("+"));

    QPainter painter(&bm);
    if (!painter.isActive())
        return;
    painter.setFont(f);
    painter.setPen(QColor::fromRgba(farbe));
    painter.drawText(QRectF(spalte * w, zeile * h, 0, 0), flags, Text);
}

void DrawInvoice(QImage &bm, const TGast &g, platform::TDateTime today)
{
    struct Place
    {
        float zeile;
        float spalte;
    };
    static constexpr std::array<Place, 8> kPlaces = {
        {{13, 10}, {15, 10}, {16, 10}, {20, 70}, {24, 10}, {26, 10}, {27, 10}, {30, 10}}};
    const QStringList lines = InvoiceLines(g, today);
    for (std::size_t i = 0; i < kPlaces.size(); ++i)
        TextLine(bm, lines.at(static_cast<qsizetype>(i)), QStringLiteral("Arial"), 0xFF000000, 50, kPlaces[i].zeile,
                 kPlaces[i].spalte);
}

void PrintInvoice(QPrinter &printer, const QImage &invoice)
{
    printer.setResolution(600);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EInvoiceError(QStringLiteral("Der Drucker konnte nicht gestartet werden."));
    // The painter's origin is the top left of the printable area, so the target starts at 0,0.
    const QRect page(0, 0, printer.width(), printer.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(page, invoice);
    if (!painter.end())
        throw EInvoiceError(QStringLiteral("Der Druck konnte nicht abgeschlossen werden."));
}
