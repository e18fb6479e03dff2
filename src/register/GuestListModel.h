#pragma once
// The bookings as a table for views: one row per record from record 1 on (record 0 is no guest).
// It follows the guest list's announcements, so every view shows each change at once, and keeps
// each record's search text once searched, so that searching 100,000 bookings stays quick.

#include "register/GuestList.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace guests {

class GuestListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Spalte {
        SpalteNr,
        SpalteName,
        SpalteOrt,
        SpalteAnreise,
        SpalteAbreise,
        SpalteNaechte,
        SpalteZimmer,
        SpaltePersonen,
        SpalteKosten,
        SpalteReNr,
        SpalteBezahlt,
        SpalteSchluessel,
        SpaltenZahl
    };
    // The list index of a row's record.
    static constexpr int RecordRole = Qt::UserRole + 1;

    explicit GuestListModel(const GuestList &list, QObject *parent = nullptr);

    // Without the general checks of the base class: sorting a large list asks for millions of indexes.
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override
    {
        return !parent.isValid() && row >= 0 && column >= 0 && row < rows_ && column < SpaltenZahl
                   ? createIndex(row, column)
                   : QModelIndex();
    }
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Row r shows the record at list index r + 1.
    static int recordIndex(int row) { return row + 1; }
    // The row of a list index, -1 for record 0.
    static int rowOf(int recordIndex) { return recordIndex - 1; }
    const TGast &record(int row) const { return list_.at(recordIndex(row)); }
    // What the search looks through in a row (see Suchtext); made for every row at the first call.
    const std::string &suchtext(int row) const;
    const GuestList &list() const { return list_; }
    // Counts every change of the rows, so that what is worked out from them knows when to renew it:
    // the last change of any row, of one row, and of the rows' number and order.
    quint64 revision() const { return revision_; }
    quint64 rowRevision(int row) const { return rowRevisions_[static_cast<std::size_t>(row)]; }
    quint64 structureRevision() const { return structure_; }

    // The text a cell shows.
    static QString zellText(const TGast &gast, int spalte);

private:
    void rebuild();

    const GuestList &list_;
    // The row count the views know: it changes between the begin and the end of an insert or removal.
    int rows_ = 0;
    mutable std::vector<std::string> suchtexte_; // one per row once suchbereit_
    mutable bool suchbereit_ = false;
    quint64 revision_ = 1;
    quint64 structure_ = 1;
    std::vector<quint64> rowRevisions_; // one per row
};

} // namespace guests
