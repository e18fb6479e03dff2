#pragma once
// The window "Rechnungen": the kept invoice copies and the records' invoice numbers side by
// side, with gaps and missing copies marked; opens a copy in the desktop's PDF viewer and exports
// the list as CSV for the tax adviser.

#include "billing/InvoiceArchive.h"

#include <QUrl>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class TMainForm;

class InvoiceListWindow : public QWidget
{
    Q_OBJECT

public:
    explicit InvoiceListWindow(TMainForm &main);

    // How a copy is opened; the desktop's viewer unless a test puts something else here.
    using Opener = std::function<bool(const QUrl &)>;
    void setOpener(Opener opener) { opener_ = std::move(opener); }

    // Reads the folder and the records again.
    void refresh();
    const std::vector<RechnungsZeile> &rows() const { return rows_; }

    // Opens the kept copy of the selected line; exports the list.
    void openSelected();
    void exportCsv();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QString folder() const;
    void updateButtons();

    TMainForm &main_;
    Opener opener_;
    std::vector<RechnungsZeile> rows_;
    QLabel *folderLabel_ = nullptr;
    QLabel *summary_ = nullptr;
    QTableView *table_ = nullptr;
    QStandardItemModel *model_ = nullptr;
    QPushButton *openButton_ = nullptr;
};
