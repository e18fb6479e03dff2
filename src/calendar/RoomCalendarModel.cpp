#include "calendar/RoomCalendarModel.h"

#include "calendar/Occupants.h"

#include <QBrush>
#include <QColor>

namespace calendar {

namespace {

const QColor kClashBackground(0xFF, 0xD6, 0xD6);
// A room taken through a portal: the grey of its bar in the plan, light enough to read the cell.
const QColor kBlockBackground(0xE0, 0xE0, 0xE0);
// Picked days: the blue of a selection, light enough to read the cell.
const QColor kPickBackground(0xBF, 0xDB, 0xFF);

const char *const kHeaders[RoomCalendarModel::kColumnCount] = {"Datum", "WT", "Zi 1", "Zi 2", "Zi 3"};

// A row without a date text shows no day (empty, or a day the calendar cannot name).
bool ShowsDay(const CalendarRow &row)
{
    return !row.datum.isEmpty();
}

} // namespace

RoomCalendarModel::RoomCalendarModel(int rowCount, QObject *parent)
    : QAbstractTableModel(parent), rows_(static_cast<std::size_t>(std::max(rowCount, 0)))
{}

int RoomCalendarModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RoomCalendarModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

const CalendarRow *RoomCalendarModel::rowAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return nullptr;
    return &rows_[static_cast<std::size_t>(row)];
}

QString RoomCalendarModel::cellText(int row, int column) const
{
    const CalendarRow *r = rowAt(row);
    if (r == nullptr)
        return {};
    switch (column) {
    case 0: return r->datum;
    case 1: return r->wochentag;
    case 2:
    case 3:
    case 4: {
        // A room two bookings share shows both guests, not just the later one.
        const CalendarCell &cell = r->rooms[static_cast<std::size_t>(column - 2)];
        return cell.clash && !cell.clashText.isEmpty() ? cell.clashText : cell.text;
    }
    default: return {};
    }
}

QVariant RoomCalendarModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const CalendarRow &row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == DayRole)
        return ShowsDay(row) ? QVariant(row.day) : QVariant();
    if (index.column() < 2)
        return {};
    const CalendarCell &cell = row.rooms[static_cast<std::size_t>(index.column() - 2)];
    if (role == RecordRole)
        return cell.record;
    if (role == BlockRole)
        return cell.block;
    if (role == Qt::BackgroundRole && isPicked(index.row(), index.column()))
        return QBrush(kPickBackground);
    if (!cell.clash) {
        // A blocked room that no guest shares: grey, and the tooltip says which portal and when.
        if (cell.block >= 0 && role == Qt::BackgroundRole)
            return QBrush(kBlockBackground);
        if (cell.block >= 0 && role == Qt::ToolTipRole)
            return calendar::blockTooltip(blocks_, cell.block);
        return {};
    }
    if (role == Qt::BackgroundRole)
        return QBrush(kClashBackground);
    if (role == Qt::ToolTipRole)
        return cell.clashHint;
    return {};
}

QVariant RoomCalendarModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return QString::fromLatin1(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RoomCalendarModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void RoomCalendarModel::setRows(std::vector<CalendarRow> rows, std::vector<guests::PortalBlock> blocks)
{
    blocks_ = std::move(blocks);
    setRows(std::move(rows));
}

const guests::PortalBlock *RoomCalendarModel::blockAt(int row, int column) const
{
    const CalendarRow *r = rowAt(row);
    if (r == nullptr || column < 2 || column >= kColumnCount)
        return nullptr;
    const int block = r->rooms[static_cast<std::size_t>(column - 2)].block;
    return block >= 0 && block < static_cast<int>(blocks_.size()) ? &blocks_[static_cast<std::size_t>(block)] : nullptr;
}

void RoomCalendarModel::setRows(std::vector<CalendarRow> rows)
{
    // The row count is fixed, so the view keeps its scroll position and selection: only the
    // contents change.
    rows.resize(rows_.size());
    rows_ = std::move(rows);
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, kColumnCount - 1));
}

void RoomCalendarModel::clear()
{
    setRows({});
}

bool RoomCalendarModel::pickCell(PickState &picks, int column, int row) const
{
    const auto day = dayOfRow(row);
    if (column < 2 || column >= kColumnCount || !day)
        return false;
    picks.pick(column - 1, *day);
    return true;
}

void RoomCalendarModel::setPicks(const PickState &picks)
{
    picks_ = picks;
    if (!rows_.empty())
        Q_EMIT dataChanged(index(0, 2), index(static_cast<int>(rows_.size()) - 1, kColumnCount - 1),
                           {Qt::BackgroundRole});
}

bool RoomCalendarModel::isPicked(int row, int column) const
{
    const CalendarRow *r = rowAt(row);
    if (picks_.empty() || r == nullptr || !ShowsDay(*r) || column != picks_.room() + 1)
        return false;
    const platform::TDateTime from = std::min(picks_.first(), picks_.last());
    const platform::TDateTime to = std::max(picks_.first(), picks_.last());
    return platform::DateOf(r->day) >= platform::DateOf(from) && platform::DateOf(r->day) <= platform::DateOf(to);
}

std::optional<platform::TDateTime> RoomCalendarModel::dayOfRow(int row) const
{
    const CalendarRow *r = rowAt(row);
    if (r == nullptr || !ShowsDay(*r))
        return std::nullopt;
    return r->day;
}

int RoomCalendarModel::rowOfDay(platform::TDateTime day) const
{
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (ShowsDay(rows_[r]) && platform::IsSameDay(rows_[r].day, day))
            return static_cast<int>(r);
    }
    return -1;
}

} // namespace calendar
