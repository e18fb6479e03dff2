#pragma once
// The window "Rechnungen": the kept invoice copies and the records' invoice numbers side by
// side, with gaps and missing copies marked; opens a copy in the desktop's PDF viewer and exports
// the list as CSV for the tax adviser.

#include "app/ToolWindow.h"
#include "billing/InvoiceArchive.h"

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace app {

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
    // A record changed: its lines are shown afresh, and the folder and counter read again when an
    // invoice number came or went.
    void recordsChanged();
    // The lines of the records against the copies and the counter last read.
    void showRows();
    void updateButtons();

    std::vector<billing::AbgelegteRechnung> kept_; // the copies in the folder, as last read
    std::optional<qint32> lastNumber_;    // the counter, as last read
    std::vector<qint32> numbersRead_;     // the records' invoice numbers when they were read
    std::vector<billing::RechnungsZeile> rows_;
    QLabel *folderLabel_ = nullptr;
    QLabel *summary_ = nullptr;
    QTableView *table_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    QPushButton *openButton_ = nullptr;
};

} // namespace app
