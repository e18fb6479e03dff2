#pragma once
// The page "Zimmerkalender": the rooms day by day from a few days before today, the picks made
// in it for a booking, the holiday of a date cell, a booking opened by a double click, and a new
// guest from a room taken through a portal. Entering the arrival field on the page "Gast" takes
// the picks into the shown booking (DateEditVonEnter).

#include "calendar/RoomCalendar.h"
#include "platform/DayNumber.h"

#include <QObject>
#include <functional>

class QTableView;
class QWidget;

namespace calendar {
class RoomCalendarModel;
}
namespace guests {
class GuestList;
struct PortalBlock;
}

namespace app {

class AppContext;
class BookingEditor;
class StatusLine;

class CalendarPage : public QObject
{
    Q_OBJECT

public:
    // `grid` is the page's table; `window` asks the questions.
    CalendarPage(AppContext &context, BookingEditor &editor, StatusLine &status, QTableView *grid, QWidget *window);

    // Fills the room calendar; row 11 shows Starttag.
    void ZeigGrid(platform::TDateTime Starttag);
    // The page comes to the front (or is clicked while in front): filled as of now.
    void ZimmerClick();
    void DateEditVonEnter();

Q_SIGNALS:
    // A double click on a booking: it is to be shown on the page "Gast".
    void openRecordWanted(int index);

private:
    void GridZimmerSelectCell(int ACol, int ARow);
    void GridZimmerCellClick(int Column, int Row);
    void GridZimmerCellDblClick(int Column, int Row);
    // The calendar and the status line show the picks as they are now.
    void showPicks(const calendar::PickState &picks);
    // No picks any more (they were used, or opening a guest is no pick).
    void dropPicks();
    // "Neuer Gast" from a room taken through a portal, when the host agrees.
    void newGuestFromBlock(const guests::PortalBlock &block);
    void setUpGrid();
    void guarded(const std::function<void()> &handler);

    AppContext &context_;
    guests::GuestList &list_; // the context's
    BookingEditor &editor_;
    StatusLine &status_;
    QTableView *grid_;
    QWidget *window_;
    calendar::RoomCalendarModel *calendar_ = nullptr; // owned by the grid
};

} // namespace app
