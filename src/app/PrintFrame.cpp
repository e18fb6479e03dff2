#include "app/PrintFrame.h"

#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"

#include <QPrinter>

namespace app {

PrintFrame::PrintFrame(QPrinter &printer, double unitsPerInch, const QString &notStarted)
{
    if (!painter_.begin(&printer))
        throw platform::Error(notStarted.isEmpty() ? platform::printerNotStartedText() : notStarted);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double scale = unitsPerInch > 0 ? printer.resolution() / unitsPerInch : 1.0;
    painter_.scale(scale, scale);
    area_ = QRectF(0, 0, page.width() / scale, page.height() / scale);
}

QRectF PrintFrame::drawTitle(const QString &title, const QFont &titleFont, const QFont &dateFont, double height)
{
    const QRectF line(area_.left(), area_.top(), area_.width(), height);
    painter_.setFont(titleFont);
    painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, title);
    painter_.setFont(dateFont);
    painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("Stand: ") + platform::DateToStr(platform::Today()));
    return line;
}

void PrintFrame::finish()
{
    if (!painter_.end())
        throw platform::Error(platform::printNotFinishedText());
}

} // namespace app
