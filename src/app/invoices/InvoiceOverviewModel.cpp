#include "app/invoices/InvoiceOverviewModel.h"

#include <QColor>

namespace app {

namespace {
const QColor kNeedsLook(255, 225, 225);
// The columns of billing::invoiceOverviewHeader() that hold numbers.
constexpr int kNumberColumn = 0, kRefersToColumn = 3, kAmountColumn = 5;
} // namespace

InvoiceOverviewModel::InvoiceOverviewModel(QObject *parent)
    : QAbstractTableModel(parent), header_(billing::invoiceOverviewHeader())
{}

void InvoiceOverviewModel::setRows(std::vector<billing::OverviewRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int InvoiceOverviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int InvoiceOverviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(header_.size());
}

QVariant InvoiceOverviewModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const billing::OverviewRow &row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: return billing::invoiceOverviewTexts(row).value(index.column());
    // A long note or name is cut off on a small screen; the whole text is a hover away.
    case Qt::ToolTipRole: {
        const QString text = billing::invoiceOverviewTexts(row).value(index.column());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case Qt::TextAlignmentRole:
        if (index.column() == kNumberColumn || index.column() == kRefersToColumn || index.column() == kAmountColumn)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::BackgroundRole: return row.needsLook() ? QVariant(kNeedsLook) : QVariant();
    default: return {};
    }
}

QVariant InvoiceOverviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < header_.size())
        return header_.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace app
