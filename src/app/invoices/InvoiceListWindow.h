#pragma once
// The window "Rechnungen": the kept invoice copies and the records' invoice numbers side by
// side, with gaps and missing copies marked; opens a copy in the desktop's PDF viewer and exports
// the list as CSV for the tax adviser.

#include "app/ToolWindow.h"
#include "billing/InvoiceArchive.h"

#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

class InvoiceListWindow : public ToolWindow
{
    Q_OBJECT

public:
    // A window of its own over `parent`, gone when closed.
    InvoiceListWindow(AppContext &context, QWidget *parent);

private Q_SLOTS:
    // Reads the folder and the records again.
    void refresh();
    // Opens the kept copy of the selected line; exports the list.
    void openSelected();
    void exportCsv();

protected:
    void showAgain() override { refresh(); }

private:
    void updateButtons();

    std::vector<RechnungsZeile> rows_;
    QLabel *folderLabel_ = nullptr;
    QLabel *summary_ = nullptr;
    QTableView *table_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    QPushButton *openButton_ = nullptr;
};
