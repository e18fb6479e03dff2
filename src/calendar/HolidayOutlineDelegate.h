#pragma once
// Outlines the date cell of Sundays and of the holidays at the guest house's place in red.

#include <QStyledItemDelegate>

class HolidayOutlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Whether a date text names a Sunday or a holiday at kFeiertagPLZ; false for an empty or
    // unreadable text. Saturdays are not marked.
    static bool IsMarkedDay(const QString &dateText);
};
