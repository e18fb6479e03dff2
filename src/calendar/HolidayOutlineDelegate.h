#pragma once
// Outlines the date cell of Sundays and of the holidays at the guest house's place in red.

#include "calendar/RoomCalendar.h"

#include <QStyledItemDelegate>
#include <functional>

class HolidayOutlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Marks the holidays at kFeiertagPLZ.
    explicit HolidayOutlineDelegate(QObject *parent = nullptr);
    // Asks `postalCode` for the house's postal code whenever it judges a day, so a code the host
    // changes shows at the next paint.
    explicit HolidayOutlineDelegate(std::function<qint32()> postalCode, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Whether a date text names a Sunday or a holiday at postal code `plz`; false for an empty or
    // unreadable text. Saturdays are not marked.
    static bool IsMarkedDay(const QString &dateText, qint32 plz = kFeiertagPLZ);
    // Whether the cell is outlined: a date cell of a marked day at the house's postal code.
    bool marks(const QModelIndex &index) const;

private:
    std::function<qint32()> postalCode_;
};
