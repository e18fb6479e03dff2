#pragma once
// The window "Rechnungen": every invoice number as the invoice journal tells it (date of issue,
// guest and amount stay with the number), with the kept copies and the records beside it; marks
// changed copies, numbers without a journal line and gaps with their reason; says above the table
// where the journal was changed by hand and which invoices no guest holds; shows until when each
// must be kept and the totals per year; opens a copy in the desktop's PDF viewer and exports the
// list as CSV for the tax adviser.

#include "app/ToolWindow.h"
#include "billing/InvoiceArchive.h"
#include "billing/JournalOverview.h"

#include <QDateTime>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace app {

class InvoiceOverviewModel;

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
    // The lines of the journal, the copies and the counter last read, with the records as they are.
    void showRows();
    void updateButtons();
    // What the journal check found, above the table; hidden when all is well.
    void showFindings();

    billing::JournalSummary journal_;              // the journal, one entry per number, as last read
    QString journalProblem_;                       // why the journal could not be read, empty when it could
    QDateTime journalMade_;                        // when the journal file was made, as last read
    std::vector<billing::AbgelegteRechnung> kept_; // the copies in the folder, as last read
    std::optional<qint32> lastNumber_;             // the counter, as last read
    std::vector<qint32> numbersRead_;              // the records' invoice numbers when they were read
    QLabel *folderLabel_ = nullptr;
    QLabel *findingsLabel_ = nullptr;
    QLabel *unheldLabel_ = nullptr;
    QLabel *summary_ = nullptr;
    QTableView *table_ = nullptr;
    InvoiceOverviewModel *model_ = nullptr;
    QPushButton *openButton_ = nullptr;
};

} // namespace app
