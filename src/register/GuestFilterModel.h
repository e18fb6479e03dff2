#pragma once
// The guest table as the host narrows and orders it: a search text and one filter choose the rows,
// a column orders them (dates as dates, numbers as numbers, names as a German reader expects).

#include "register/GuestFilter.h"
#include "register/GuestListModel.h"
#include "register/GuestSearch.h"

#include <QSortFilterProxyModel>

#include <vector>

namespace guests {

class GuestFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit GuestFilterModel(GuestListModel &source, QObject *parent = nullptr);

    void setSuche(const QString &text);
    void setFilter(const GastFilter &filter);
    const GastFilter &filter() const { return filter_; }

    // The list index of a shown row, and the shown row of a list index (-1 when not shown).
    int recordIndex(int row) const;
    int rowOfRecord(int recordIndex) const;
    // The list indexes of the shown rows, in the order shown.
    std::vector<int> shownRecords() const;
    // The costs of the shown rows added up.
    double kostenSumme() const;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    // Each row's place when sorted by `column`, for lessThan.
    void rankRows(int column) const;
    void renewRanks() const;
    bool directLess(int column, int left, int right) const;

    GuestListModel &source_;
    Suche suche_;
    GastFilter filter_;
    mutable std::vector<int> rank_;
    mutable int rankColumn_ = -1;
    mutable quint64 rankRevision_ = 0;
    mutable quint64 rankStructure_ = 0;
};

} // namespace guests
