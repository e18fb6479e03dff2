#pragma once
// The window "Gästeliste": every booking in a table that the host searches, filters and sorts;
// a booking opens on the main window's page "Gast". From here the host also prints the day list,
// books a returning guest again and exports the list and the rooms' calendars.

#include "app/ToolWindow.h"
#include "register/GuestFilterModel.h"
#include "register/GuestListModel.h"

#include <memory>

namespace Ui {
class GuestListWindow;
}

class QCheckBox;
class QTableWidget;

namespace app {

class GuestListWindow : public ToolWindow
{
    Q_OBJECT

public:
    // A window of its own over `parent`, which owns it.
    GuestListWindow(AppContext &context, QWidget *parent);
    ~GuestListWindow() override;

private Q_SLOTS:
    void EditSucheChange(const QString &text);
    void FilterZeitraumChange();
    void TableGaesteDblClick(const QModelIndex &index);
    void ButtonNeuerAufenthaltClick();
    void ButtonExportClick();
    void ButtonKalenderExportClick();
    void ButtonTageslisteClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpTable();
    void connectControls();
    // The list index of the selected row, or -1.
    int selectedRecord() const;
    void openRow(int row);
    void followCurrent();
    void showSumme();
    void updateButtons();
    void say(const QString &text);
    // The portal blocks that pass the search and the filter, in a table of their own under the
    // guests while "Portal-Blockierungen" is ticked.
    void showBlocks();

    std::unique_ptr<Ui::GuestListWindow> ui_;
    guests::GuestListModel model_;
    guests::GuestFilterModel proxy_;
    QCheckBox *withBlocks_ = nullptr;
    QTableWidget *blocks_ = nullptr;
    int defaultWidth_ = 0;   // the width the window opens with the first time
    bool narrowing_ = false; // while the search or the filter changes the rows shown
    int newStaySaid_ = -1;   // the stay "Neuer Aufenthalt" names; the message goes with it
};

} // namespace app
