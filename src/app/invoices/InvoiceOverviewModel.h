#pragma once
// The rows of the window "Rechnungen" as a table: each cell's text is made when the view asks for
// it, so a journal of many thousand numbers costs one compact row each and nothing more.

#include "billing/JournalOverview.h"

#include <QAbstractTableModel>
#include <vector>

namespace app {

class InvoiceOverviewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit InvoiceOverviewModel(QObject *parent = nullptr);

    // Shows `rows` in place of the rows before.
    void setRows(std::vector<billing::OverviewRow> rows);
    const std::vector<billing::OverviewRow> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<billing::OverviewRow> rows_;
    QStringList header_;
};

} // namespace app
