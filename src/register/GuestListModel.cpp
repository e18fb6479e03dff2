#include "register/GuestListModel.h"

#include "platform/Convert.h"
#include "register/GuestSearch.h"

#include <cmath>

namespace guests {

namespace {

QString Datum(platform::TDateTime day)
{
    // Day 0 is what a record holds before it has a date.
    return day == 0 ? QString() : platform::DateToStr(day);
}

QString JaNein(bool value)
{
    return value ? QStringLiteral("ja") : QStringLiteral("nein");
}

} // namespace

GuestListModel::GuestListModel(const GuestList &list, QObject *parent) : QAbstractTableModel(parent), list_(list)
{
    rebuild();
    connect(&list_, &GuestList::recordChanged, this, [this](int index) {
        const int row = rowOf(index);
        if (row < 0 || row >= rowCount())
            return;
        if (suchbereit_)
            suchtexte_[static_cast<std::size_t>(row)] = Suchtext(list_.at(index));
        rowRevisions_[static_cast<std::size_t>(row)] = ++revision_;
        Q_EMIT dataChanged(this->index(row, 0), this->index(row, SpaltenZahl - 1));
    });
    // The rows follow the list's announcements: begin before the list changes, end after.
    connect(&list_, &GuestList::recordAboutToBeInserted, this, [this](int index) {
        const int row = rowOf(index);
        beginInsertRows(QModelIndex(), row, row);
    });
    connect(&list_, &GuestList::recordInserted, this, [this](int index) {
        const int row = rowOf(index);
        if (suchbereit_)
            suchtexte_.insert(suchtexte_.begin() + row, Suchtext(list_.at(index)));
        ++rows_;
        rowRevisions_.insert(rowRevisions_.begin() + row, ++revision_);
        ++structure_;
        endInsertRows();
    });
    connect(&list_, &GuestList::recordAboutToBeRemoved, this, [this](int index) {
        const int row = rowOf(index);
        beginRemoveRows(QModelIndex(), row, row);
    });
    connect(&list_, &GuestList::recordRemoved, this, [this](int index) {
        const int row = rowOf(index);
        if (suchbereit_)
            suchtexte_.erase(suchtexte_.begin() + row);
        --rows_;
        rowRevisions_.erase(rowRevisions_.begin() + row);
        ++revision_;
        ++structure_;
        endRemoveRows();
    });
    connect(&list_, &GuestList::aboutToReset, this, [this] { beginResetModel(); });
    connect(&list_, &GuestList::listReset, this, [this] {
        rebuild();
        endResetModel();
    });
}

void GuestListModel::rebuild()
{
    ++revision_;
    ++structure_;
    rows_ = list_.guestCount();
    rowRevisions_.assign(static_cast<std::size_t>(rows_), revision_);
    // Made again at the first search: opening the window need not wait for it.
    suchtexte_.clear();
    suchtexte_.shrink_to_fit();
    suchbereit_ = false;
}

const std::string &GuestListModel::suchtext(int row) const
{
    if (!suchbereit_) {
        suchtexte_.reserve(static_cast<std::size_t>(rows_));
        for (int r = 0; r < rows_; ++r)
            suchtexte_.push_back(Suchtext(record(r)));
        suchbereit_ = true;
    }
    return suchtexte_[static_cast<std::size_t>(row)];
}

int GuestListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int GuestListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : SpaltenZahl;
}

QString GuestListModel::zellText(const TGast &gast, int spalte)
{
    switch (spalte) {
    case SpalteNr: return QString::number(gast.GastNr);
    case SpalteName: return gast.Name;
    case SpalteOrt: return gast.Ort;
    case SpalteAnreise: return Datum(gast.Von);
    case SpalteAbreise: return Datum(gast.Bis);
    case SpalteNaechte: return gast.Von == 0 && gast.Bis == 0 ? QString() : QString::number(Naechte(gast));
    case SpalteZimmer: return gast.Zimmer;
    case SpaltePersonen: return QString::number(gast.Personen);
    case SpalteKosten:
        return gast.Kosten == 0 ? QString() : platform::FormatFixed(gast.Kosten, 0, 2) + QStringLiteral(" €");
    case SpalteReNr: return gast.ReNr == 0 ? QString() : QString::number(gast.ReNr);
    // "nein" only where it means something: an invoice not yet paid.
    case SpalteBezahlt: return gast.Bezahlt ? JaNein(true) : (gast.ReNr != 0 ? JaNein(false) : QString());
    case SpalteSchluessel: return gast.Schluessel ? JaNein(true) : QString();
    default: return {};
    }
}

QVariant GuestListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= SpaltenZahl)
        return {};
    const int listIndex = recordIndex(index.row());
    if (listIndex > list_.lastIndex())
        return {};
    switch (role) {
    case Qt::DisplayRole: return zellText(list_.at(listIndex), index.column());
    case RecordRole: return listIndex;
    case Qt::TextAlignmentRole:
        switch (index.column()) {
        case SpalteName:
        case SpalteOrt:
        case SpalteZimmer: return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case SpalteBezahlt:
        case SpalteSchluessel: return QVariant(Qt::AlignCenter);
        default: return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
    default: return {};
    }
}

QVariant GuestListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const kTitel[SpaltenZahl] = {"Nr.",     "Name",         "Ort",     "Anreise",
                                                    "Abreise", "Nächte",       "Zimmer",  "Personen",
                                                    "Kosten",  "Rechnung Nr.", "Bezahlt", "Schlüssel"};
    return section >= 0 && section < SpaltenZahl ? QString::fromUtf8(kTitel[section]) : QVariant();
}

} // namespace guests
