#pragma once
// Drawing the occupancy plan: one function paints it into any area of any device, so the window
// and the printout show the same picture. The positions come from the widget-free plan geometry.

#include "calendar/OccupancyPlan.h"

#include <QColor>
#include <QRectF>

#include <utility>

class QPainter;
class QPrinter;

class QFontMetricsF;

namespace app {

// Where the parts of the plan lie in an area: the room names on the left, the month and day
// header on top, the legend at the foot and the three room rows between.
class PlanLayout
{
public:
    PlanLayout() = default;
    // `fontPixels` is the text height in the area's units; everything else follows from it.
    PlanLayout(const QRectF &area, int days, double fontPixels);

    QRectF area() const { return area_; }
    QRectF rows() const { return rows_; }
    QRectF monthHeader() const { return months_; }
    QRectF dayHeader() const { return dayHeader_; }
    QRectF legend() const { return legend_; }
    double fontPixels() const { return font_; }
    int days() const { return days_; }
    double dayWidth() const { return days_ > 0 ? rows_.width() / days_ : 0; }
    // Weekday names above the day numbers, when the days are wide enough.
    bool weekdays() const { return dayWidth() >= 2.2 * font_; }

    // A position in days from the span's first day, and back.
    double xOf(double position) const { return rows_.left() + position * dayWidth(); }
    double positionAt(double x) const;
    // The day index under x, or -1 outside the rows.
    int dayIndexAt(double x) const;
    // The room row under y (1..3), or 0.
    int roomAt(double y) const;
    QRectF roomRect(int room) const;
    QRectF barRect(const calendar::PlanBar &bar) const;

private:
    QRectF area_, rows_, months_, dayHeader_, legend_;
    double font_ = 12;
    int days_ = 0;
};

// A stay being picked by dragging: the room and the first and last day's indexes in the span.
struct PlanSelection
{
    int room = 0; // 0: none
    int firstIndex = 0;
    int lastIndex = 0;
};

// The fill and outline of a bar: by its bill's state, red for a double booking, grey for a room
// taken through a portal.
std::pair<QColor, QColor> planBarColours(const calendar::PlanBar &bar);

// A bar's name in the lines its bar has room for (`maxLines` of `width`): broken between words, so
// "Jürgen Weiß" reads whole in a short, tall bar; only what still does not fit is elided.
QStringList barLabelLines(const QFontMetricsF &metrics, const QString &text, qreal width, int maxLines);

void PaintPlan(QPainter &painter, const PlanLayout &layout, const calendar::PlanGeometry &plan,
               const PlanSelection &selection = {});

// Prints the plan on one page with its span as the title; throws with a German text when the
// printer cannot start or finish.
void PrintPlan(QPrinter &printer, const calendar::PlanGeometry &plan);

} // namespace app
