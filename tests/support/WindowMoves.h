#pragma once
// Guest files and the host's moves on the calendar page, shared by the window tests.

#include "calendar/RoomCalendarModel.h"
#include "support/AppFixture.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace moves {

inline const QByteArray kRecordZero = "0;;0;30.12.1899;00:00:00;30.12.1899;00:00:00;;;0;;;;0; 0,00;False;False;\r\n";

inline QByteArray guestLine(int nr, const char *zimmer, int personen, const char *von, const char *bis,
                            const char *name)
{
    return QByteArray::number(nr) + ';' + zimmer + ';' + QByteArray::number(personen) + ';' + von + ";14:00:00;" + bis +
           ";10:00:00;" + name + ";Weg 1;34519;Diemelsee;;;0; 0,00;False;False;\r\n";
}

// Three guests around 20 February 2025.
inline QByteArray threeGuests()
{
    return kRecordZero + guestLine(1, "1", 2, "19.02.2025", "21.02.2025", "Anna") +
           guestLine(2, "2", 1, "10.02.2025", "12.02.2025", "Bert") +
           guestLine(3, "3", 4, "01.01.2025", "02.01.2025", "Carl");
}

inline QTableView *grid(const AppFixture &app)
{
    return app.w<QTableView>("GridZimmer");
}

inline const calendar::RoomCalendarModel *calendarModel(const AppFixture &app)
{
    return qobject_cast<const calendar::RoomCalendarModel *>(grid(app)->model());
}

inline void clickTab(const AppFixture &app, int index)
{
    QTabBar *bar = app.w<QTabWidget>("Tabcontrol1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCoreApplication::processEvents();
}

inline QPoint cellCentre(QTableView *view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

inline void clickCell(const AppFixture &app, int row, int column)
{
    QTest::mouseClick(grid(app)->viewport(), Qt::LeftButton, {}, cellCentre(grid(app), row, column));
}

inline void doubleClickCell(const AppFixture &app, int row, int column)
{
    const QPoint at = cellCentre(grid(app), row, column);
    QTest::mouseClick(grid(app)->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid(app)->viewport(), Qt::LeftButton, {}, at);
}

} // namespace moves
