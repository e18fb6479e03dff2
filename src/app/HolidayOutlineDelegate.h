#pragma once
// Outlines the date cell of Sundays and of the holidays at the guest house's place in red. Which
// days those are is the calendar's rule (IsMarkedDay); painting them is the window's.

#include "calendar/RoomCalendar.h"

#include <QStyledItemDelegate>

namespace app {

class HolidayOutlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Marks the holidays at `postalCode`.
    explicit HolidayOutlineDelegate(qint32 postalCode, QObject *parent = nullptr);

    // The house's place changed: its holidays are marked from the next paint on.
    void setPostalCode(qint32 postalCode) { postalCode_ = postalCode; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Whether the cell is outlined: a date cell of a marked day at the house's postal code.
    bool marks(const QModelIndex &index) const;

private:
    qint32 postalCode_;
};

} // namespace app
