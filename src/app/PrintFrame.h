#pragma once
// The frame every printout of the windows shares: the painter started on the printer, the page's
// printable area in the units the printout draws in, the title with "Stand: <today>" beside it,
// and the errors when the printer does not start or cannot finish.

#include <QPainter>
#include <QRectF>
#include <QString>

class QFont;
class QPrinter;

namespace app {

class PrintFrame
{
public:
    // Starts printing. `unitsPerInch`: 96 draws in the units of a screen, so lines and text keep a
    // window's proportions; 0 draws in the printer's own pixels. Throws a platform::Error with
    // `notStarted` (platform::printerNotStartedText() when empty) when the printer does not start.
    // An error on the way leaves the page to the painter, which ends it when it goes.
    explicit PrintFrame(QPrinter &printer, double unitsPerInch = 96, const QString &notStarted = QString());

    QPainter &painter() { return painter_; }
    // The printable part of the page, from (0, 0), in the frame's units.
    QRectF area() const { return area_; }

    // The title at the top left and "Stand: <today>" at the right, on a line `height` high, each
    // in its font; returns that line.
    QRectF drawTitle(const QString &title, const QFont &titleFont, const QFont &dateFont, double height);

    // Ends the printout; throws when the printer could not finish it.
    void finish();

private:
    QPainter painter_;
    QRectF area_;
};

} // namespace app
