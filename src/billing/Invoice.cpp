#include "billing/Invoice.h"

#include "billing/InvoiceFiles.h"

#include "billing/StayCost.h"
#include "platform/Convert.h"

#include "platform/FileIo.h"
#include "platform/IoError.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <algorithm>
#include <array>
#include <cstdio>

namespace billing {

using guests::Naechte;
using guests::TGast;

namespace {

// While it lives, the warnings of Qt's image decoders are caught and counted instead of printed;
// every other message goes on as before. The decoders' warnings are switched on for the time,
// so that a logging rule that silences them cannot hide a damaged image.
class DecoderWarnings
{
public:
    DecoderWarnings()
    {
        count() = 0;
        previousHandler() = qInstallMessageHandler(&DecoderWarnings::handle);
        previousFilter() = QLoggingCategory::installFilter(&DecoderWarnings::filter);
    }
    ~DecoderWarnings()
    {
        QLoggingCategory::installFilter(previousFilter());
        qInstallMessageHandler(previousHandler());
    }
    DecoderWarnings(const DecoderWarnings &) = delete;
    DecoderWarnings &operator=(const DecoderWarnings &) = delete;

    bool seen() const { return count() > 0; }

private:
    static bool isDecoder(const char *category) { return category && qstrncmp(category, "qt.gui.imageio", 14) == 0; }
    static void filter(QLoggingCategory *category)
    {
        if (previousFilter())
            previousFilter()(category);
        if (isDecoder(category->categoryName()))
            category->setEnabled(QtWarningMsg, true);
    }
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && isDecoder(context.category)) {
            ++count();
            return;
        }
        if (previousHandler())
            previousHandler()(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
    static int &count()
    {
        static int n = 0;
        return n;
    }
    static QtMessageHandler &previousHandler()
    {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static QLoggingCategory::CategoryFilter &previousFilter()
    {
        static QLoggingCategory::CategoryFilter filter = nullptr;
        return filter;
    }
};

} // namespace

QImage LoadInvoiceTemplate(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const auto refuse = [&](const QString &why) {
        return EInvoiceError(
            QStringLiteral("Die Rechnungsvorlage %1 %2.\n%3").arg(name, why, QDir::toNativeSeparators(path)));
    };

    QByteArray bytes;
    try {
        bytes = platform::ReadFileBytes(path);
    } catch (const platform::EInOutError &error) {
        if (error.code() == platform::kFileNotFound || error.code() == platform::kPathNotFound)
            throw refuse(QStringLiteral("fehlt"));
        throw refuse(QStringLiteral("kann nicht gelesen werden: ") + platform::IoErrorText(error.code()));
    }

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // JPEG reports a file cut short or damaged only as a warning and fills the rest grey: an
    // invoice printed from it would be half empty, so a warning counts as a failure.
    const DecoderWarnings warnings;
    const QSize size = reader.canRead() ? reader.size() : QSize();
    // A form scanned at 600 dpi is larger than Qt's default guard against absurd images allows;
    // the form is the host's own file, so it may use more, within reason.
    const qint64 megabytes = (qint64(size.width()) * size.height() * 4 + (1 << 20) - 1) >> 20;
    if (size.isValid() && megabytes > kTemplateMegabytes)
        throw refuse(QStringLiteral("ist mit %1 × %2 Bildpunkten zu groß: sie bräuchte %3 MB Speicher, höchstens %4 MB "
                                    "sind vorgesehen. Bitte scannen Sie das Formular mit höchstens 600 dpi")
                         .arg(size.width())
                         .arg(size.height())
                         .arg(megabytes)
                         .arg(kTemplateMegabytes));
    QImage loaded;
    if (reader.canRead()) {
        // The limit is the whole program's; it is raised for this one image only.
        const int usualLimit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(kTemplateMegabytes + 1);
        const auto restore = qScopeGuard([usualLimit] { QImageReader::setAllocationLimit(usualLimit); });
        loaded = reader.read();
    }
    if (warnings.seen() || (loaded.isNull() && reader.error() == QImageReader::InvalidDataError))
        throw refuse(QStringLiteral("ist beschädigt oder unvollständig"));
    if (loaded.isNull())
        throw refuse(QStringLiteral("ist kein lesbares Bild"));
    if (!loaded.hasAlphaChannel())
        return loaded.convertToFormat(QImage::Format_RGB32);
    // A form with transparent parts is put on white paper, as it would print.
    QImage paper(loaded.size(), QImage::Format_RGB32);
    paper.fill(Qt::white);
    QPainter painter(&paper);
    painter.drawImage(0, 0, loaded);
    return paper;
}

QString PlzText(qint32 plz)
{
    if (plz == 0)
        return QString();
    // German postal codes have five digits; "6108" is "06108". Anything else is shown as stored.
    if (plz > 0 && plz <= 99999)
        return QStringLiteral("%1").arg(plz, 5, 10, QLatin1Char('0'));
    return QString::number(plz);
}

QStringList InvoiceLines(const TGast &g, platform::TDateTime today)
{
    using platform::DateToStr;
    const QString plz = PlzText(g.PLZ);
    const qint32 nights = Naechte(g);
    const QString stay = QStringLiteral("%1 %2 mit %3 %4 berechnen wir Ihnen")
                             .arg(nights)
                             .arg(nights == 1 ? QStringLiteral("Übernachtung") : QStringLiteral("Übernachtungen"))
                             .arg(g.Personen)
                             .arg(g.Personen == 1 ? QStringLiteral("Person") : QStringLiteral("Personen"));
    return {
        g.Name,
        g.Strasse,
        plz.isEmpty() ? g.Ort : plz + u' ' + g.Ort,
        DateToStr(today),
        QStringLiteral("Rechnung Nr. %1").arg(g.ReNr),
        QStringLiteral("Für die Nutzung unserer Klosterherberge vom %1 bis %2").arg(DateToStr(g.Von), DateToStr(g.Bis)),
        stay + QString(36, u' ') + platform::FormatFixed(g.Kosten, 7, 2) + QStringLiteral(" Euro"),
        QStringLiteral("Wir hoffen, Sie hatten einen angenehmen Aufenthalt."),
    };
}

namespace {

// Draws one line with `painter`, measured in the font as it falls on `measure` (the form), so the
// line stands in the same place on the form itself and on a page that shows the form scaled.
void placeLine(QPainter &painter, const QPaintDevice &measure, const QString &Text, const QString &font, QRgb farbe,
               int size, float zeile, float spalte)
{
    QFont f(font);
    f.setPixelSize(size);
    const QFontMetricsF metrics(f, &measure);
    constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    const qreal h = metrics.boundingRect(QRectF(), flags, Text).height();
    const qreal w = metrics.horizontalAdvance(QStringLiteral("+"));
    painter.setFont(f);
    painter.setPen(QColor::fromRgba(farbe));
    painter.drawText(QRectF(spalte * w, zeile * h, 0, 0), flags, Text);
}

struct Place
{
    float zeile;
    float spalte;
};
constexpr std::array<Place, 8> kPlaces = {
    {{13, 10}, {15, 10}, {16, 10}, {20, 70}, {24, 10}, {26, 10}, {27, 10}, {30, 10}}};
const QString kFont = QStringLiteral("Arial");
constexpr QRgb kInk = 0xFF000000;
constexpr int kSize = 50;

} // namespace

void TextLine(QImage &bm, const QString &Text, const QString &font, QRgb farbe, int size, float zeile, float spalte)
{
    if (Text.isEmpty() || bm.isNull())
        return;
    QPainter painter(&bm);
    if (!painter.isActive())
        return;
    placeLine(painter, bm, Text, font, farbe, size, zeile, spalte);
}

void DrawInvoice(QImage &bm, const TGast &g, platform::TDateTime today)
{
    DrawInvoiceTexts(bm, InvoiceLines(g, today));
}

void DrawInvoiceTexts(QImage &bm, const QStringList &lines)
{
    for (std::size_t i = 0; i < kPlaces.size() && i < static_cast<std::size_t>(lines.size()); ++i)
        TextLine(bm, lines.at(static_cast<qsizetype>(i)), kFont, kInk, kSize, kPlaces[i].zeile, kPlaces[i].spalte);
}

void DrawInvoiceTexts(QPainter &painter, const QImage &form, const QStringList &lines)
{
    for (std::size_t i = 0; i < kPlaces.size() && i < static_cast<std::size_t>(lines.size()); ++i) {
        const QString &text = lines.at(static_cast<qsizetype>(i));
        if (!text.isEmpty())
            placeLine(painter, form, text, kFont, kInk, kSize, kPlaces[i].zeile, kPlaces[i].spalte);
    }
}

QImage LeeresRechnungsblatt()
{
    // A4 at 300 dpi.
    QImage page(2480, 3508, QImage::Format_RGB32);
    page.fill(Qt::white);
    return page;
}

QStringList BriefkopfZeilen(const Briefkopf &kopf)
{
    QStringList lines;
    const auto add = [&lines](const QString &line) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    };
    add(kopf.name);
    for (const QString &line : QString(kopf.anschrift).replace(u'\r', u'\n').split(u'\n'))
        add(line);
    QStringList contact;
    if (!kopf.telefon.trimmed().isEmpty())
        contact << QStringLiteral("Telefon ") + kopf.telefon.trimmed();
    if (!kopf.email.trimmed().isEmpty())
        contact << QStringLiteral("E-Mail ") + kopf.email.trimmed();
    add(contact.join(QStringLiteral(" · ")));
    add(kopf.freieZeile);
    return lines;
}

void DrawBriefkopf(QPainter &painter, const QImage &form, const Briefkopf &kopf)
{
    const QStringList lines = BriefkopfZeilen(kopf);
    if (lines.isEmpty() || form.isNull())
        return;
    const bool named = !kopf.name.trimmed().isEmpty();
    // The room from the top margin down to a little above the guest's name (row kPlaces[0]).
    QFont measureFont(kFont);
    measureFont.setPixelSize(kSize);
    const QFontMetricsF body(measureFont, &form);
    const qreal top = body.height() * 2;
    const qreal room = body.height() * (kPlaces[0].zeile - 1) - top;
    const qreal left = kPlaces[0].spalte * body.horizontalAdvance(QStringLiteral("+"));
    // Sizes in pixels of the form: the name larger, the rest a little smaller than the invoice lines.
    qreal nameSize = kSize * 1.4;
    qreal lineSize = kSize * 0.8;
    const auto height = [&](qreal n, qreal l) {
        return (named ? n * 1.3 + n * 0.4 : 0) + (lines.size() - (named ? 1 : 0)) * l * 1.3;
    };
    if (const qreal needed = height(nameSize, lineSize); needed > room) {
        nameSize *= room / needed;
        lineSize *= room / needed;
    }
    painter.save();
    painter.setPen(QColor::fromRgba(kInk));
    qreal y = top;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool isName = named && i == 0;
        QFont f(kFont);
        f.setPixelSize(std::max(1, qRound(isName ? nameSize : lineSize)));
        f.setBold(isName);
        painter.setFont(f);
        painter.drawText(QRectF(left, y, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                         lines.at(i));
        y += (isName ? nameSize * 1.3 + nameSize * 0.4 : lineSize * 1.3);
    }
    painter.restore();
}

void DrawBriefkopf(QImage &bm, const Briefkopf &kopf)
{
    if (bm.isNull())
        return;
    QPainter painter(&bm);
    if (painter.isActive())
        DrawBriefkopf(painter, bm, kopf);
}

void PrintInvoice(QPrinter &printer, const QImage &invoice)
{
    // Printed to a file, the invoice names the guest: that file is the host's only from its first byte.
    const auto file = PrivatePrintout(printer);
    printer.setResolution(600);
    QPainter painter;
    if (!painter.begin(&printer))
        throw EInvoiceError(platform::printerNotStartedText());
    // The painter's origin is the top left of the printable area, so the target starts at 0,0.
    const QRect page(0, 0, printer.width(), printer.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(page, invoice);
    if (!painter.end())
        throw EInvoiceError(platform::printNotFinishedText());
    if (file)
        file->keep();
}

} // namespace billing
