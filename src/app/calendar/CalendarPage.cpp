#include "app/calendar/CalendarPage.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/ErrorSink.h"
#include "app/HolidayOutlineDelegate.h"
#include "app/StatusLine.h"
#include "calendar/RoomCalendarModel.h"
#include "holidays/De_Feiertage.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "register/StayFromBlock.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace app {

using calendar::AuswahlErsetzenFrage;
using calendar::AuswahlNutzung;
using calendar::AuswahlText;
using calendar::KalenderStarttag;
using calendar::kTageVorStarttag;
using calendar::PeekPicks;
using calendar::PickState;
using calendar::RoomCalendarModel;
using guests::HoldsBooking;
using guests::TGast;

namespace {
constexpr int kGridRows = 1000;
constexpr int kGridRowHeight = 20;
} // namespace

CalendarPage::CalendarPage(AppContext &context, BookingEditor &editor, StatusLine &status, QTableView *grid,
                           QWidget *window)
    : context_(context), list_(context.guestList()), editor_(editor), status_(status), grid_(grid), window_(window)
{
    setUpGrid();
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            guarded([&] { GridZimmerSelectCell(current.column(), current.row()); });
    });
    connect(grid_, &QTableView::clicked, this,
            [this](const QModelIndex &index) { guarded([&] { GridZimmerCellClick(index.column(), index.row()); }); });
    connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        guarded([&] { GridZimmerCellDblClick(index.column(), index.row()); });
    });

    connect(&context_, &AppContext::picksOffered, &context_, &AppContext::setPicks);
    connect(&context_, &AppContext::picksChanged, this, &CalendarPage::showPicks);
    // A portal block chosen in another window (the plan) is offered as a new guest here too.
    connect(&context_, &AppContext::newGuestFromBlockRequested, this,
            [this](const guests::PortalBlock &block) { guarded([&] { newGuestFromBlock(block); }); });
    // New blocks from a fetch or an edit: the calendar shows them at once, from the same day.
    connect(&context_, &AppContext::portalBlocksChanged, this, [this] {
        if (const auto start = calendar_->dayOfRow(kTageVorStarttag))
            ZeigGrid(*start);
    });
}

void CalendarPage::setUpGrid()
{
    calendar_ = new RoomCalendarModel(kGridRows, grid_);
    grid_->setModel(calendar_);
    auto *outline = new HolidayOutlineDelegate(context_.postalCode(), grid_);
    grid_->setItemDelegateForColumn(0, outline);
    connect(&context_, &AppContext::postalCodeChanged, outline, [grid = grid_, outline](qint32 code) {
        outline->setPostalCode(code);
        grid->viewport()->update();
    });
    grid_->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setSectionsMovable(false);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < RoomCalendarModel::kColumnCount; ++c)
        grid_->setColumnWidth(c, RoomCalendarModel::kColumnWidths[c]);
    // The room columns share the width the window gives, so a double booking's names fit.
    for (int c = 2; c < RoomCalendarModel::kColumnCount; ++c)
        grid_->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
    // The date must be readable whole in the desktop's font.
    const int dateWidth = grid_->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 8;
    grid_->setColumnWidth(0, std::max(RoomCalendarModel::kColumnWidths[0], dateWidth));
    // A grid that takes the focus by the Tab key would make its first cell current, and every
    // new current cell is a pick for a booking; so only a click focuses it.
    grid_->setFocusPolicy(Qt::ClickFocus);
}

void CalendarPage::guarded(const std::function<void()> &handler)
{
    app::guarded(context_.dialogs(), window_, handler);
}

void CalendarPage::ZeigGrid(platform::TDateTime Starttag)
{
    const std::vector<guests::PortalBlock> &blocks = context_.portalBlocks();
    calendar_->setRows(calendar::ZeigGridRows({list_.records(), blocks}, Starttag, calendar_->rowCount()), blocks);
}

void CalendarPage::ZimmerClick()
{
    // The field being edited belongs in the calendar that is about to be filled.
    editor_.takeOver();
    ZeigGrid(KalenderStarttag(platform::Today()));
    // Scroll today into view (making it current would count as a pick). The tab click comes
    // before the page is shown, so wait until the grid has its size.
    const int row = calendar_->rowOfDay(platform::Today());
    if (row >= 0)
        QMetaObject::invokeMethod(
            this, [this, row] { grid_->scrollTo(calendar_->index(row, 0), QAbstractItemView::PositionAtCenter); },
            Qt::QueuedConnection);
}

void CalendarPage::GridZimmerSelectCell(int ACol, int ARow)
{
    // Only a room cell is a pick; the date and weekday columns are for looking up holidays.
    PickState picks = context_.picks();
    if (calendar_->pickCell(picks, ACol, ARow))
        context_.setPicks(picks);
}

void CalendarPage::showPicks(const PickState &picks)
{
    calendar_->setPicks(picks);
    status_.say(AuswahlText(picks));
}

void CalendarPage::dropPicks()
{
    context_.setPicks(PickState());
}

void CalendarPage::GridZimmerCellClick(int Column, int Row)
{
    if (Column != 0)
        return;
    // The day from the model, not read back from the text the cell shows.
    const QVariant day = calendar_->data(calendar_->index(Row, 0), RoomCalendarModel::DayRole);
    if (!day.isValid())
        return;
    const QString name = De_Feiertage::GetFeiertagName(context_.postalCode(), day.toDouble());
    if (!name.isEmpty())
        context_.dialogs().inform(window_, name);
}

void CalendarPage::GridZimmerCellDblClick(int Column, int Row)
{
    const int index = calendar_->data(calendar_->index(Row, Column), RoomCalendarModel::RecordRole).toInt();
    if (index <= 0 || index > list_.lastIndex()) {
        if (const guests::PortalBlock *block = calendar_->blockAt(Row, Column))
            newGuestFromBlock(*block);
        return;
    }
    // Opening a guest is no pick for a booking.
    dropPicks();
    Q_EMIT openRecordWanted(index);
}

void CalendarPage::newGuestFromBlock(const guests::PortalBlock &block)
{
    // A portal's booking is no guest of the list: the host may enter its guest, with the days and
    // the room already right.
    const guests::PortalBlock taken = block; // the calendar is filled anew below
    const QString question =
        QStringLiteral("Zimmer %1 ist vom %2 bis %3 über %4 belegt.\n\nEinen neuen Gast mit "
                       "diesen Tagen und diesem Zimmer anlegen?")
            .arg(taken.room)
            .arg(platform::DateToStr(taken.from), platform::DateToStr(taken.to), taken.subscription);
    enum class Answer { NeuerGast, Abbrechen };
    if (context_.dialogs().choose(
            window_, question,
            {{Answer::NeuerGast, QStringLiteral("Neuer Gast")}, {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
            Answer::NeuerGast, Answer::Abbrechen) != Answer::NeuerGast)
        return;
    editor_.takeOver();
    dropPicks();
    // The new guest stands for the portal's booking: noted first, under the number the guest is
    // about to get, so that the block is no second booking of the room even in the first message
    // about the new stay. Not noting it costs nothing but the double booking shown, so the guest
    // is made all the same.
    try {
        context_.portals().saveTakeover(taken, list_.nextGastNr(), window_);
    } catch (const std::exception &error) {
        context_.dialogs().showError(
            window_, QStringLiteral("Dass der neue Gast die Buchung über %1 ist, konnte nicht vermerkt werden; der "
                                    "Kalender zeigt Zimmer %2 daher doppelt belegt.\n\n%3")
                         .arg(taken.subscription)
                         .arg(taken.room)
                         .arg(platform::ErrorText(error)));
    }
    const int index = guests::newStayFromBlock(list_, taken);
    Q_EMIT openRecordWanted(index);
}

void CalendarPage::DateEditVonEnter()
{
    const PickState picks = context_.picks(); // a copy: it is dropped below
    if (picks.empty())
        return;
    if (list_.currentIndex() == 0) {
        status_.say(QStringLiteral("Kein Gast gewählt: die Auswahl bleibt für einen neuen Gast"));
        return;
    }
    editor_.takeOver();
    const TGast &gast = list_.current();
    auto taken = PeekPicks(picks, gast.Zimmer);
    if (HoldsBooking(gast)) {
        // A booking is moved or gets another room only as the host chooses; "Abbrechen" keeps both
        // the booking and the picks.
        const auto ersetzen = PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Ersetzen);
        const auto hinzufuegen = PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Hinzufuegen);
        enum class Answer { Ersetzen, Hinzufuegen, Abbrechen };
        const Answer chosen = context_.dialogs().choose(window_, AuswahlErsetzenFrage(gast, *ersetzen, *hinzufuegen),
                                                        {{Answer::Ersetzen, QStringLiteral("Ersetzen")},
                                                         {Answer::Hinzufuegen, QStringLiteral("Hinzufügen")},
                                                         {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
                                                        Answer::Abbrechen, Answer::Abbrechen);
        if (chosen == Answer::Abbrechen)
            return;
        taken = chosen == Answer::Ersetzen ? ersetzen : hinzufuegen;
    }
    dropPicks();
    list_.modifyCurrent([&taken](TGast &g) {
        g.Von = taken->Von;
        g.Bis = taken->Bis;
        g.Zimmer = taken->Zimmer;
    });
}

} // namespace app
