#include "calendar/HolidayOutlineDelegate.h"

#include "calendar/RoomCalendar.h"
#include "holidays/De_Feiertage.h"
#include "platform/Convert.h"

#include <QPainter>
#include <QPen>

#include <exception>

HolidayOutlineDelegate::HolidayOutlineDelegate(QObject *parent)
    : HolidayOutlineDelegate([] { return kFeiertagPLZ; }, parent)
{}

HolidayOutlineDelegate::HolidayOutlineDelegate(std::function<qint32()> postalCode, QObject *parent)
    : QStyledItemDelegate(parent), postalCode_(std::move(postalCode))
{}

bool HolidayOutlineDelegate::IsMarkedDay(const QString &dateText, qint32 plz)
{
    if (dateText.trimmed().isEmpty())
        return false;
    platform::TDateTime day = 0;
    if (!platform::TryStrToDate(dateText, day))
        return false;
    if (platform::DayOfWeek(day) == 1)
        return true;
    // Painting must not throw; a day the holiday table cannot place is simply not marked.
    try {
        return De_Feiertage::IstFeiertag(plz, day);
    } catch (const std::exception &) {
        return false;
    }
}

bool HolidayOutlineDelegate::marks(const QModelIndex &index) const
{
    return index.column() == 0 && IsMarkedDay(index.data(Qt::DisplayRole).toString(), postalCode_());
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
