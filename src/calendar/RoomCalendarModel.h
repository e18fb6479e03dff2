#pragma once
// The room calendar as a read-only table: date, weekday and the three rooms, one row per day.

#include "calendar/RoomCalendar.h"
#include "register/PortalBlock.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace calendar {

class RoomCalendarModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumnCount = 5;
    static constexpr int kColumnWidths[kColumnCount] = {65, 30, 40, 40, 40};
    // The day number of a row (double), on any of its cells; nothing for a row without a day.
    static constexpr int DayRole = Qt::UserRole + 1;
    // The index of the record a room cell shows (int), 0 when the room is free.
    static constexpr int RecordRole = Qt::UserRole + 2;
    // The index of the portal block a room cell shows or shares its night with (int), -1 for none.
    static constexpr int BlockRole = Qt::UserRole + 3;

    explicit RoomCalendarModel(int rowCount, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Shows new rows; the row count stays as it is: missing rows are empty, surplus ones dropped.
    void setRows(std::vector<CalendarRow> rows);
    // The same, with the portal blocks the rows' cells refer to (for their tooltips).
    void setRows(std::vector<CalendarRow> rows, std::vector<guests::PortalBlock> blocks);
    // The block a cell refers to, if any.
    const guests::PortalBlock *blockAt(int row, int column) const;
    // Empties every row.
    void clear();
    // A click or a keyboard move onto a cell as a pick: a room cell of a row that shows a day
    // picks that room and day; the date and weekday columns and empty rows pick nothing.
    // Returns whether it was a pick.
    bool pickCell(PickState &picks, int column, int row) const;
    // Marks the picked days in the picked room's column, so the host sees what would be booked.
    void setPicks(const PickState &picks);
    // Whether a cell is marked as picked.
    bool isPicked(int row, int column) const;

    // The text of a cell, an empty text outside the grid.
    QString cellText(int row, int column) const;
    // The day a row shows, if it shows one.
    std::optional<platform::TDateTime> dayOfRow(int row) const;
    // The row that shows a calendar day (time of day ignored), or -1.
    int rowOfDay(platform::TDateTime day) const;

private:
    const CalendarRow *rowAt(int row) const;

    std::vector<CalendarRow> rows_;
    std::vector<guests::PortalBlock> blocks_;
    PickState picks_;
};

} // namespace calendar
