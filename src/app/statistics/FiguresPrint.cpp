#include "app/statistics/FiguresPrint.h"

#include "app/PrintFrame.h"
#include "app/statistics/FiguresChart.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace app {

using calendar::AuswertungKopf;
using calendar::AuswertungZeilen;
using calendar::figuresExplanation;
using calendar::JahresZahlen;
using calendar::openInvoiceRow;
using calendar::openInvoicesText;
using calendar::yearSummaryText;

namespace {

// A table drawn with the painter for the printout: header on top, right-aligned numbers.
double PaintTable(QPainter &p, const QRectF &area, const QStringList &head, const std::vector<QStringList> &rows,
                  const std::vector<double> &weights, double font)
{
    double total = 0;
    for (double w : weights)
        total += w;
    std::vector<double> x{area.left()};
    for (double w : weights)
        x.push_back(x.back() + area.width() * w / total);

    QFont headFont(QStringLiteral("Liberation Sans"));
    headFont.setPixelSize(static_cast<int>(std::lround(font * 0.9)));
    headFont.setBold(true);
    QFont bodyFont = headFont;
    bodyFont.setBold(false);
    QFont sumFont = bodyFont;
    sumFont.setBold(true);

    const double headHeight = font * 3.4;
    const double rowHeight = font * 1.5;
    double y = area.top();
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    p.fillRect(QRectF(area.left(), y, area.width(), headHeight), QColor(0xee, 0xee, 0xee));
    p.setFont(headFont);
    p.setPen(Qt::black);
    for (int c = 0; c < head.size(); ++c) {
        const QRectF cell(x[std::size_t(c)] + 2, y, x[std::size_t(c) + 1] - x[std::size_t(c)] - 4, headHeight);
        p.drawText(cell, Qt::AlignCenter | Qt::TextWordWrap, head[c]);
    }
    y += headHeight;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool last = r + 1 == rows.size() && rows[r].value(0) == QStringLiteral("Summe");
        if (r % 2 == 1)
            p.fillRect(QRectF(area.left(), y, area.width(), rowHeight), QColor(0xf7, 0xf7, 0xf7));
        p.setFont(last ? sumFont : bodyFont);
        for (int c = 0; c < rows[r].size() && c < head.size(); ++c) {
            const QRectF cell(x[std::size_t(c)] + 3, y, x[std::size_t(c) + 1] - x[std::size_t(c)] - 6, rowHeight);
            p.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, rows[r][c]);
        }
        if (last) {
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
        y += rowHeight;
    }
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(area.left(), area.top(), area.width(), y - area.top()));
    return y;
}

} // namespace

void printYearFigures(QPrinter &printer, const JahresZahlen &z)
{
    // Drawn in units of a 96 dpi screen, like the window.
    PrintFrame frame(printer);
    QPainter &p = frame.painter();
    const QRectF area = frame.area();
    const double f = 11;

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(static_cast<int>(f * 1.8));
    font.setBold(true);
    QFont dateFont = font;
    dateFont.setPixelSize(static_cast<int>(f * 0.9));
    dateFont.setBold(false);
    const QRectF title = frame.drawTitle(QStringLiteral("Auswertung %1").arg(z.jahr), font, dateFont, f * 2.6);

    // The chart, laid out afresh at the size it takes on paper.
    const QRectF chartArea(area.left(), title.bottom() + f * 0.5, area.width(), area.height() * 0.36);
    {
        QGraphicsScene scene;
        QChart *chart = MakeFiguresChart(z);
        scene.addItem(chart); // the scene owns it
        chart->resize(chartArea.size());
        if (chart->layout())
            chart->layout()->activate();
        scene.render(&p, chartArea, QRectF(QPointF(0, 0), chartArea.size()));
    }

    std::vector<double> weights{1.0};
    for (int c = 1; c < static_cast<int>(AuswertungKopf().size()); ++c)
        weights.push_back(c >= 11 ? 1.35 : 1.0);
    double y = PaintTable(p, QRectF(area.left(), chartArea.bottom() + f, area.width(), 0), AuswertungKopf(),
                          AuswertungZeilen(z), weights, f);

    font.setPixelSize(static_cast<int>(f));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    QRectF text(area.left(), y + f, area.width(), area.bottom() - y - f);
    QRectF used;
    p.drawText(text, Qt::TextWordWrap, yearSummaryText(z), &used);
    text.setTop(used.bottom() + f * 0.6);
    p.drawText(text, Qt::TextWordWrap, openInvoicesText(z), &used);
    text.setTop(used.bottom() + f * 0.3);
    font.setBold(false);
    p.setFont(font);

    // As many unpaid invoices as the page holds, then how many more there are.
    const double line = f * 1.45;
    const double noteHeight = f * 6;
    const auto fits = static_cast<std::size_t>(std::max(0.0, (area.bottom() - noteHeight - text.top()) / line - 1));
    for (std::size_t i = 0; i < z.offen.size(); ++i) {
        if (i >= fits) {
            p.drawText(text, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("… und %1 weitere").arg(z.offen.size() - i));
            text.setTop(text.top() + line);
            break;
        }
        const QStringList cells = openInvoiceRow(z.offen[i]);
        p.drawText(QRectF(text.left(), text.top(), area.width() * 0.1, line), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Nr. ") + cells[0]);
        p.drawText(QRectF(text.left() + area.width() * 0.12, text.top(), area.width() * 0.46, line),
                   Qt::AlignLeft | Qt::AlignTop, cells[1]);
        p.drawText(QRectF(text.left() + area.width() * 0.58, text.top(), area.width() * 0.28, line),
                   Qt::AlignLeft | Qt::AlignTop, cells[2]);
        p.drawText(QRectF(text.left() + area.width() * 0.86, text.top(), area.width() * 0.14, line),
                   Qt::AlignRight | Qt::AlignTop, cells[3]);
        text.setTop(text.top() + line);
    }

    font.setPixelSize(static_cast<int>(f * 0.85));
    p.setFont(font);
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(QRectF(area.left(), area.bottom() - noteHeight, area.width(), noteHeight),
               Qt::TextWordWrap | Qt::AlignBottom, figuresExplanation());
    frame.finish();
}

} // namespace app
