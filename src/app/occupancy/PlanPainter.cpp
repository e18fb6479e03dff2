#include "app/occupancy/PlanPainter.h"

#include "app/PrintFrame.h"
#include "calendar/RoomCalendar.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "register/Rooms.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace app {

using calendar::MonatsKurzname;
using calendar::MonatsName;
using calendar::PlanBar;
using calendar::PlanDay;
using calendar::PlanGeometry;
using calendar::PlanMonth;
using calendar::PlanOverlap;
using calendar::PlanZustand;
using calendar::WochentagText;
using calendar::ZeitraumText;
using guests::kRaeume;

namespace {

// Colours: calm fills for the three states, a warning red for double bookings.
const QColor kPaidFill(0xa5, 0xd6, 0xa7), kPaidLine(0x2e, 0x7d, 0x32);
const QColor kBilledFill(0xff, 0xe0, 0x82), kBilledLine(0xc7, 0x7c, 0x00);
const QColor kOpenFill(0x9e, 0xc9, 0xf5), kOpenLine(0x15, 0x65, 0xc0);
const QColor kClashFill(0xff, 0x8a, 0x80), kClashLine(0xc6, 0x28, 0x28), kHatch(0x8e, 0x00, 0x00);
const QColor kBlockFill(0xc8, 0xc8, 0xc8), kBlockLine(0x75, 0x75, 0x75); // taken through a portal
const QColor kSaturday(0xf0, 0xf0, 0xf0), kSunday(0xfb, 0xdf, 0xdf);
const QColor kGrid(0xdd, 0xdd, 0xdd), kMonthLine(0x80, 0x80, 0x80), kText(0x21, 0x21, 0x21);
const QColor kHolidayText(0xb7, 0x1c, 0x1c), kNow(0xe6, 0x51, 0x00), kSelection(0x1e, 0x88, 0xe5);

QFont FontOf(double pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(bold);
    return font;
}

void FillColours(const PlanBar &bar, QColor &fill, QColor &line)
{
    if (bar.doppelt) {
        fill = kClashFill;
        line = kClashLine;
        return;
    }
    if (bar.block >= 0) {
        fill = kBlockFill;
        line = kBlockLine;
        return;
    }
    switch (bar.zustand) {
    case PlanZustand::Bezahlt: fill = kPaidFill, line = kPaidLine; break;
    case PlanZustand::Berechnet: fill = kBilledFill, line = kBilledLine; break;
    case PlanZustand::OhneRechnung: fill = kOpenFill, line = kOpenLine; break;
    }
}

// The first text of `choices` that fits the width, or none.
QString Fitting(const QFontMetricsF &metrics, const QStringList &choices, double width)
{
    for (const QString &text : choices)
        if (metrics.horizontalAdvance(text) <= width)
            return text;
    return {};
}

void PaintDays(QPainter &p, const PlanLayout &l, const PlanGeometry &plan)
{
    const double top = l.dayHeader().top();
    const double bottom = l.rows().bottom();
    const double w = l.dayWidth();
    for (int i = 0; i < plan.days; ++i) {
        const PlanDay &d = plan.dayInfo[static_cast<std::size_t>(i)];
        if (!d.samstag && !d.sonnOderFeiertag)
            continue;
        p.fillRect(QRectF(l.xOf(i), top, w, bottom - top), d.sonnOderFeiertag ? kSunday : kSaturday);
    }
    // Day lines only where they do not turn the plan grey.
    if (w >= 5) {
        p.setPen(QPen(kGrid, 0));
        for (int i = 1; i < plan.days; ++i)
            p.drawLine(QPointF(l.xOf(i), top), QPointF(l.xOf(i), bottom));
    }
    p.setPen(QPen(kMonthLine, 0));
    for (const PlanMonth &m : plan.months)
        if (m.firstIndex > 0)
            p.drawLine(QPointF(l.xOf(m.firstIndex), l.monthHeader().top()), QPointF(l.xOf(m.firstIndex), bottom));
}

void PaintHeader(QPainter &p, const PlanLayout &l, const PlanGeometry &plan)
{
    const double f = l.fontPixels();
    p.setFont(FontOf(f, true));
    QFontMetricsF bold(p.font());
    p.setPen(kText);
    for (const PlanMonth &m : plan.months) {
        const QRectF r(l.xOf(m.firstIndex), l.monthHeader().top(), m.days * l.dayWidth(), l.monthHeader().height());
        const QString year = QString::number(m.year);
        const QString text = Fitting(bold,
                                     {MonatsName(m.month) + u' ' + year, MonatsKurzname(m.month) + u' ' + year,
                                      MonatsKurzname(m.month), MonatsKurzname(m.month).left(1)},
                                     r.width() - 4);
        p.drawText(r, Qt::AlignCenter, text);
    }

    p.setFont(FontOf(f * 0.92));
    QFontMetricsF metrics(p.font());
    const double w = l.dayWidth();
    const QRectF header = l.dayHeader();
    const bool everyDay = w >= metrics.horizontalAdvance(QStringLiteral("30")) + 3;
    const bool mondays = !everyDay && 7 * w >= metrics.horizontalAdvance(QStringLiteral("30")) + 6;
    // A Monday's number that would run over the start of the next month is left out.
    const int labelDays =
        w > 0 ? static_cast<int>(std::ceil((metrics.horizontalAdvance(QStringLiteral("30")) + 4) / w)) : 0;
    std::vector<bool> monthStart(static_cast<std::size_t>(plan.days) + static_cast<std::size_t>(labelDays) + 1, false);
    for (const PlanMonth &m : plan.months)
        monthStart[static_cast<std::size_t>(m.firstIndex)] = true;
    const auto crossesMonth = [&](int i) {
        for (int k = i + 1; k <= i + labelDays && k < plan.days; ++k)
            if (monthStart[static_cast<std::size_t>(k)])
                return true;
        return false;
    };
    for (int i = 0; i < plan.days; ++i) {
        const PlanDay &d = plan.dayInfo[static_cast<std::size_t>(i)];
        p.setPen(d.sonnOderFeiertag ? kHolidayText : kText);
        if (everyDay) {
            const QRectF r(l.xOf(i), header.top(), w, header.height());
            if (l.weekdays()) {
                p.drawText(QRectF(r.left(), r.top(), w, r.height() / 2), Qt::AlignCenter, WochentagText(d.dayOfWeek));
                p.drawText(QRectF(r.left(), r.center().y(), w, r.height() / 2), Qt::AlignCenter,
                           QString::number(d.dayOfMonth));
            } else {
                p.drawText(r, Qt::AlignCenter, QString::number(d.dayOfMonth));
            }
        } else if (mondays && d.dayOfWeek == 2 && !crossesMonth(i)) {
            p.setPen(kText);
            p.drawLine(QPointF(l.xOf(i), header.bottom() - header.height() * 0.3), QPointF(l.xOf(i), header.bottom()));
            p.drawText(QRectF(l.xOf(i) + 2, header.top(), 7 * w, header.height()), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(d.dayOfMonth));
        }
    }
}

void PaintRoomNames(QPainter &p, const PlanLayout &l)
{
    p.setFont(FontOf(l.fontPixels(), true));
    p.setPen(kText);
    for (int room = 1; room <= kRaeume; ++room) {
        const QRectF row = l.roomRect(room);
        p.drawText(QRectF(l.area().left() + 4, row.top(), l.rows().left() - l.area().left() - 8, row.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zimmer %1").arg(room));
    }
    p.setPen(QPen(kMonthLine, 0));
    for (int room = 1; room < kRaeume; ++room)
        p.drawLine(QPointF(l.area().left(), l.roomRect(room).bottom()),
                   QPointF(l.rows().right(), l.roomRect(room).bottom()));
    p.setBrush(Qt::NoBrush);
    p.drawRect(l.rows());
}

void PaintBars(QPainter &p, const PlanLayout &l, const PlanGeometry &plan)
{
    p.save();
    p.setFont(FontOf(l.fontPixels() * 0.92));
    QFontMetricsF metrics(p.font());
    const double radius = std::min(4.0, l.fontPixels() * 0.3);
    const double minLabel = metrics.horizontalAdvance(QStringLiteral("Wg…"));
    // Whole-pixel outlines: a pen of one pixel takes the painter's fast path.
    const double lineWidth = std::max(1.0, std::round(l.fontPixels() / 12));
    // Short bars (a year on screen holds hundreds) are plain rectangles, drawn together per colour:
    // with outline while they are wide enough to show one, without below that, or the plan turns
    // to stripes. Bars wide enough for a label get rounded ends and the label.
    std::array<QVector<QRectF>, 10> plain; // colour (5) × outlined
    std::array<std::pair<QColor, QColor>, 5> colours{};
    const auto colourIndex = [](const PlanBar &bar) {
        return bar.doppelt ? 3 : bar.block >= 0 ? 4 : static_cast<int>(bar.zustand);
    };
    // Labels go on last, above the hatching of double bookings, so they stay readable.
    std::vector<std::pair<QRectF, const QString *>> labels;
    for (const PlanBar &bar : plan.bars) {
        const QRectF r = l.barRect(bar);
        if (r.width() <= 0 || r.height() <= 0)
            continue;
        QColor fill, line;
        FillColours(bar, fill, line);
        const int colour = colourIndex(bar);
        colours[static_cast<std::size_t>(colour)] = {fill, line};
        if (r.width() < minLabel + 6) {
            plain[static_cast<std::size_t>(colour * 2 + (r.width() >= 6 ? 1 : 0))].append(r);
            continue;
        }
        // A bar cut at the span's edge runs on out of sight: no rounded end there.
        QRectF shape = r;
        if (bar.beginsBefore)
            shape.setLeft(shape.left() - 2 * radius);
        if (bar.endsAfter)
            shape.setRight(shape.right() + 2 * radius);
        // The bars lie inside the rows already; only a bar drawn on past the edge needs clipping.
        const bool cut = bar.beginsBefore || bar.endsAfter;
        if (cut) {
            p.save();
            p.setClipRect(l.rows());
        }
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(line, lineWidth));
        p.setBrush(fill);
        p.drawRoundedRect(shape, radius, radius);
        p.setRenderHint(QPainter::Antialiasing, false);
        if (cut)
            p.restore();
        if (r.height() >= metrics.height() * 0.8)
            labels.push_back({QRectF(r.left() + 3, r.top(), r.width() - 6, r.height()), &bar.label});
    }
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i].isEmpty())
            continue;
        const auto &[fill, line] = colours[i / 2];
        p.setPen(i % 2 == 1 ? QPen(line, lineWidth) : QPen(Qt::NoPen));
        p.setBrush(fill);
        p.drawRects(plain[i]);
    }

    // The nights booked twice, hatched over the bars that share them.
    p.setPen(Qt::NoPen);
    for (const PlanOverlap &o : plan.overlaps) {
        const QRectF row = l.roomRect(o.room).adjusted(0, 1, 0, -1);
        const QRectF r(l.xOf(o.start), row.top(), (o.end - o.start) * l.dayWidth(), row.height());
        p.setBrush(QBrush(kHatch, Qt::BDiagPattern));
        p.drawRect(r);
    }
    p.setPen(kText);
    for (const auto &[rect, text] : labels) {
        const int room = std::max(1, static_cast<int>(rect.height() / metrics.lineSpacing()));
        p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
                   barLabelLines(metrics, *text, rect.width(), room).join(u'\n'));
    }
    p.restore();
}

void PaintSelection(QPainter &p, const PlanLayout &l, const PlanSelection &s)
{
    if (s.room < 1 || s.room > kRaeume)
        return;
    const int a = std::min(s.firstIndex, s.lastIndex);
    const int b = std::max(s.firstIndex, s.lastIndex);
    const QRectF row = l.roomRect(s.room).adjusted(0, 2, 0, -2);
    // From the middle of the arrival day to the middle of the departure day, as the booking will be.
    const QRectF r(QPointF(l.xOf(a + (a == b ? 0.25 : 0.5)), row.top()),
                   QPointF(l.xOf(b + (a == b ? 0.75 : 0.5)), row.bottom()));
    QColor fill = kSelection;
    fill.setAlpha(60);
    p.setPen(QPen(kSelection, std::max(1.5, l.fontPixels() / 8), Qt::DashLine));
    p.setBrush(fill);
    p.drawRect(r);
}

void PaintNow(QPainter &p, const PlanLayout &l, const PlanGeometry &plan)
{
    if (!plan.now)
        return;
    const double x = l.xOf(*plan.now);
    p.setPen(QPen(kNow, std::max(2.0, l.fontPixels() / 6)));
    p.drawLine(QPointF(x, l.dayHeader().top()), QPointF(x, l.rows().bottom()));
}

void PaintLegend(QPainter &p, const PlanLayout &l)
{
    const QRectF area = l.legend();
    const double f = l.fontPixels();
    p.setFont(FontOf(f * 0.92));
    QFontMetricsF metrics(p.font());
    const double box = f;
    double x = area.left() + 4;
    const double y = area.center().y();
    struct Entry
    {
        QColor fill, line;
        QString text;
        bool hatch = false, nowLine = false;
    };
    const Entry entries[] = {
        {kPaidFill, kPaidLine, QStringLiteral("bezahlt")},
        {kBilledFill, kBilledLine, QStringLiteral("Rechnung offen")},
        {kOpenFill, kOpenLine, QStringLiteral("noch keine Rechnung")},
        {kClashFill, kClashLine, QStringLiteral("Doppelbelegung"), true},
        {kBlockFill, kBlockLine, QStringLiteral("über Portal belegt")},
        {kSaturday, kSaturday, QStringLiteral("Samstag")},
        {kSunday, kSunday, QStringLiteral("Sonn- und Feiertag")},
        {Qt::transparent, Qt::transparent, QStringLiteral("jetzt"), false, true},
    };
    for (const Entry &e : entries) {
        const QRectF swatch(x, y - box / 2, box * 1.6, box);
        if (e.nowLine) {
            p.setPen(QPen(kNow, std::max(2.0, f / 6)));
            p.drawLine(QPointF(swatch.center().x(), swatch.top() - 2),
                       QPointF(swatch.center().x(), swatch.bottom() + 2));
        } else {
            p.setPen(QPen(e.line, 0));
            p.setBrush(e.fill);
            p.drawRect(swatch);
            if (e.hatch) {
                p.setBrush(QBrush(kHatch, Qt::BDiagPattern));
                p.drawRect(swatch);
            }
        }
        x = swatch.right() + f * 0.4;
        p.setPen(kText);
        const double width = metrics.horizontalAdvance(e.text);
        p.drawText(QRectF(x, area.top(), width + 2, area.height()), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += width + f * 1.4;
        if (x > area.right())
            break;
    }
}

} // namespace

QStringList barLabelLines(const QFontMetricsF &metrics, const QString &text, qreal width, int maxLines)
{
    if (metrics.horizontalAdvance(text) <= width || maxLines <= 1)
        return {metrics.elidedText(text, Qt::ElideRight, width)};
    QStringList lines;
    QString line;
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString longer = line.isEmpty() ? words[i] : line + u' ' + words[i];
        if (line.isEmpty() || metrics.horizontalAdvance(longer) <= width) {
            line = longer;
            continue;
        }
        if (lines.size() + 1 == maxLines) {
            // The last line takes the rest, elided.
            line += u' ' + words.mid(i).join(u' ');
            break;
        }
        lines << metrics.elidedText(line, Qt::ElideRight, width);
        line = words[i];
    }
    lines << metrics.elidedText(line, Qt::ElideRight, width);
    return lines;
}

std::pair<QColor, QColor> planBarColours(const PlanBar &bar)
{
    QColor fill, line;
    FillColours(bar, fill, line);
    return {fill, line};
}

PlanLayout::PlanLayout(const QRectF &area, int days, double fontPixels)
    : area_(area), font_(fontPixels), days_(std::max(0, days))
{
    const double labelWidth = fontPixels * 6.2;
    const double monthHeight = fontPixels * 1.8;
    const double legendHeight = fontPixels * 2.2;
    const double rowsLeft = area.left() + labelWidth;
    const double rowsWidth = std::max(1.0, area.right() - rowsLeft - 1);
    const bool twoLines = days_ > 0 && rowsWidth / days_ >= 2.2 * fontPixels;
    const double dayHeight = fontPixels * (twoLines ? 2.7 : 1.6);
    months_ = QRectF(rowsLeft, area.top(), rowsWidth, monthHeight);
    dayHeader_ = QRectF(rowsLeft, months_.bottom(), rowsWidth, dayHeight);
    legend_ = QRectF(area.left(), area.bottom() - legendHeight, area.width(), legendHeight);
    rows_ = QRectF(rowsLeft, dayHeader_.bottom(), rowsWidth, std::max(3.0, legend_.top() - dayHeader_.bottom() - 2));
}

double PlanLayout::positionAt(double x) const
{
    const double w = dayWidth();
    return w > 0 ? (x - rows_.left()) / w : 0;
}

int PlanLayout::dayIndexAt(double x) const
{
    if (x < rows_.left() || x >= rows_.right() || days_ <= 0)
        return -1;
    return std::clamp(static_cast<int>(std::floor(positionAt(x))), 0, days_ - 1);
}

int PlanLayout::roomAt(double y) const
{
    if (y < rows_.top() || y >= rows_.bottom())
        return 0;
    return std::clamp(static_cast<int>((y - rows_.top()) / (rows_.height() / kRaeume)) + 1, 1, kRaeume);
}

QRectF PlanLayout::roomRect(int room) const
{
    const double h = rows_.height() / kRaeume;
    return QRectF(rows_.left(), rows_.top() + (room - 1) * h, rows_.width(), h);
}

QRectF PlanLayout::barRect(const PlanBar &bar) const
{
    const QRectF row = roomRect(bar.room);
    const double margin = std::min(4.0, row.height() * 0.08);
    const double laneHeight = (row.height() - 2 * margin) / std::max(1, bar.lanes);
    const double top = row.top() + margin + bar.lane * laneHeight;
    return QRectF(QPointF(xOf(bar.start), top + (bar.lanes > 1 ? 1 : 0)),
                  QPointF(xOf(bar.end), top + laneHeight - (bar.lanes > 1 ? 1 : 0)));
}

void PaintPlan(QPainter &p, const PlanLayout &l, const PlanGeometry &plan, const PlanSelection &selection)
{
    p.save();
    p.fillRect(l.area(), Qt::white);
    if (plan.days == l.days() && plan.days > 0) {
        PaintDays(p, l, plan);
        PaintHeader(p, l, plan);
        PaintBars(p, l, plan);
        PaintSelection(p, l, selection);
        PaintNow(p, l, plan);
    }
    PaintRoomNames(p, l);
    PaintLegend(p, l);
    p.restore();
}

void PrintPlan(QPrinter &printer, const PlanGeometry &plan)
{
    // Drawn in units of a 96 dpi screen, so lines and text keep the window's proportions.
    PrintFrame frame(printer);
    QPainter &p = frame.painter();
    const QRectF area = frame.area();
    const double f = 12;

    p.setPen(kText);
    const QRectF title = frame.drawTitle(QStringLiteral("Belegungsplan ") + ZeitraumText(plan.first, plan.days),
                                         FontOf(f * 1.6, true), FontOf(f * 0.9), f * 2.4);

    const QRectF body(area.left(), title.bottom() + f, area.width(), area.height() - title.height() - f);
    PaintPlan(p, PlanLayout(body, plan.days, f), plan);
    frame.finish();
}

} // namespace app
