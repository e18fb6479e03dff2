#include "app/guestlist/DayListPrint.h"

#include "app/PrintFrame.h"

#include "platform/Clock.h"
#include "platform/Error.h"

#include <QPainter>
#include <QPrinter>

#include <numeric>

namespace app {

using calendar::TageslistenTeil;

namespace {

constexpr double kRandMm = 15;
// From this size down the type gets smaller until the list fits the page.
constexpr int kSchriftGroesse = 11;
constexpr int kKleinsteSchrift = 7;

QFont Schrift(int points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Lays the page out at one type size; draws it only when `draw` is set. Returns the height used.
class Seite
{
public:
    Seite(QPainter &painter, const QRectF &area, int points) : p_(painter), area_(area), points_(points) {}

    double render(const QString &titel, const std::vector<TageslistenTeil> &teile, const QStringList &aufgaben,
                  bool draw)
    {
        draw_ = draw;
        y_ = area_.top();
        text(titel, Schrift(points_ + 6, true), 1.2);
        const QDateTime now = platform::Clock::now();
        text(QStringLiteral("Gedruckt am %1 um %2 Uhr")
                 .arg(now.date().toString(QStringLiteral("dd.MM.yyyy")), now.time().toString(QStringLiteral("HH:mm"))),
             Schrift(points_ - 2), 1.0);
        for (const TageslistenTeil &teil : teile) {
            y_ += lineHeight(Schrift(points_)) * 0.9;
            text(QStringLiteral("%1 (%2)").arg(teil.titel).arg(teil.zeilen.size()), Schrift(points_ + 2, true), 1.15);
            if (teil.zeilen.empty()) {
                text(QStringLiteral("keine"), Schrift(points_, false, true), 1.2);
                continue;
            }
            table(teil);
        }
        y_ += lineHeight(Schrift(points_)) * 0.9;
        text(QStringLiteral("Aufgaben des Tages"), Schrift(points_ + 2, true), 1.15);
        if (aufgaben.isEmpty())
            text(QStringLiteral("keine"), Schrift(points_, false, true), 1.2);
        for (const QString &aufgabe : aufgaben)
            wrapped(aufgabe, Schrift(points_));
        return y_ - area_.top();
    }

private:
    double lineHeight(const QFont &font) const { return QFontMetricsF(font, p_.device()).height(); }

    void text(const QString &line, const QFont &font, double spacing)
    {
        const double h = lineHeight(font);
        if (draw_) {
            p_.setFont(font);
            const QFontMetricsF metrics(font, p_.device());
            p_.drawText(QPointF(area_.left(), y_ + metrics.ascent()),
                        metrics.elidedText(line, Qt::ElideRight, area_.width()));
        }
        y_ += h * spacing;
    }

    // A line that may be longer than the page is wide: continued on the next lines, indented.
    void wrapped(const QString &line, const QFont &font)
    {
        const QFontMetricsF metrics(font, p_.device());
        const double indent = metrics.horizontalAdvance(QStringLiteral("MM"));
        // Measured as the painter draws it: a first line full width, the rest indented.
        QStringList rows;
        QString rest = line;
        double width = area_.width();
        while (!rest.isEmpty()) {
            qsizetype cut = rest.size();
            while (cut > 0 && metrics.horizontalAdvance(rest.left(cut)) > width) {
                const qsizetype blank = rest.lastIndexOf(u' ', cut - 1);
                cut = blank > 0 ? blank : cut - 1;
            }
            if (cut <= 0)
                cut = 1;
            rows << rest.left(cut);
            rest = rest.mid(cut).trimmed();
            width = area_.width() - indent;
        }
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (draw_) {
                p_.setFont(font);
                p_.drawText(QPointF(area_.left() + (i == 0 ? 0 : indent), y_ + metrics.ascent()), rows[i]);
            }
            y_ += metrics.height() * 1.2;
        }
    }

    void table(const TageslistenTeil &teil)
    {
        const QFont body = Schrift(points_);
        const QFont head = Schrift(points_, true);
        const QFontMetricsF bodyMetrics(body, p_.device());
        const QFontMetricsF headMetrics(head, p_.device());
        const double gap = bodyMetrics.horizontalAdvance(QStringLiteral("MM"));
        std::vector<double> widths(static_cast<std::size_t>(teil.spalten.size()));
        for (qsizetype c = 0; c < teil.spalten.size(); ++c) {
            double w = headMetrics.horizontalAdvance(teil.spalten[c]);
            for (const QStringList &zeile : teil.zeilen)
                if (c < zeile.size())
                    w = std::max(w, bodyMetrics.horizontalAdvance(zeile[c]));
            widths[static_cast<std::size_t>(c)] = w + gap;
        }
        // Too wide for the page: every column gives up the same share, long texts are cut short.
        const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
        if (total > area_.width())
            for (double &w : widths)
                w *= area_.width() / total;
        else
            widths.back() += area_.width() - total;

        const double rowHeight = lineHeight(body) * 1.3;
        row(teil.spalten, widths, head, rowHeight);
        if (draw_) {
            p_.setPen(QPen(Qt::black, 0));
            p_.drawLine(QPointF(area_.left(), y_ - rowHeight * 0.12), QPointF(area_.right(), y_ - rowHeight * 0.12));
        }
        for (const QStringList &zeile : teil.zeilen)
            row(zeile, widths, body, rowHeight);
    }

    void row(const QStringList &cells, const std::vector<double> &widths, const QFont &font, double height)
    {
        if (draw_) {
            p_.setFont(font);
            const QFontMetricsF metrics(font, p_.device());
            double x = area_.left();
            for (qsizetype c = 0; c < cells.size() && c < static_cast<qsizetype>(widths.size()); ++c) {
                const double w = widths[static_cast<std::size_t>(c)];
                const double room = w - metrics.horizontalAdvance(QStringLiteral("M"));
                p_.drawText(QPointF(x, y_ + metrics.ascent()), metrics.elidedText(cells[c], Qt::ElideRight, room));
                x += w;
            }
        }
        y_ += height;
    }

    QPainter &p_;
    QRectF area_;
    int points_;
    bool draw_ = false;
    double y_ = 0;
};

} // namespace

void DruckeTagesliste(QPrinter &printer, const QString &titel, const std::vector<TageslistenTeil> &teile,
                      const QStringList &aufgaben)
{
    printer.setPageMargins(QMarginsF(kRandMm, kRandMm, kRandMm, kRandMm), QPageLayout::Millimeter);
    // Drawn in the printer's pixels.
    PrintFrame frame(printer, 0,
                     QStringLiteral("Die Tagesliste konnte nicht gedruckt werden: Der Drucker ist nicht bereit oder "
                                    "die Datei lässt sich nicht schreiben."));
    QPainter &painter = frame.painter();
    const QRectF area = frame.area();
    int points = kSchriftGroesse;
    while (points > kKleinsteSchrift &&
           Seite(painter, area, points).render(titel, teile, aufgaben, false) > area.height())
        --points;
    // Whatever still does not fit is cut off at the page's foot rather than spilling onto a second page.
    painter.setClipRect(area);
    Seite(painter, area, points).render(titel, teile, aufgaben, true);
    frame.finish();
}

} // namespace app
