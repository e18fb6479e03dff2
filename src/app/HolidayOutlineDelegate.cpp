#include "app/HolidayOutlineDelegate.h"

#include "calendar/RoomCalendarModel.h"

#include <QPainter>
#include <QPen>

namespace app {

using calendar::IsMarkedDay;

HolidayOutlineDelegate::HolidayOutlineDelegate(qint32 postalCode, QObject *parent)
    : QStyledItemDelegate(parent), postalCode_(postalCode)
{}

bool HolidayOutlineDelegate::marks(const QModelIndex &index) const
{
    // The day from the model, not read back from the text it shows.
    const QVariant day = index.data(calendar::RoomCalendarModel::DayRole);
    return index.column() == 0 && day.isValid() && IsMarkedDay(day.toDouble(), postalCode_);
}

void HolidayOutlineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!marks(index))
        return;

    painter->save();
    QPen pen(QColor(0xFF, 0, 0));
    pen.setWidth(1);
    pen.setStyle(Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->setRenderHint(QPainter::Antialiasing, false);
    // The line's centre runs half a pixel inside the cell's edge, so the one-pixel outline
    // covers the cell's outermost pixels and leaves the text inside untouched.
    painter->drawRect(QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

} // namespace app
