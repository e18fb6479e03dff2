#include "register/GuestListModel.h"

#include "platform/Convert.h"
#include "register/GuestSearch.h"

#include <cmath>

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
        suchtexte_[static_cast<std::size_t>(row)] = Suchtext(list_.at(index));
        Q_EMIT dataChanged(this->index(row, 0), this->index(row, SpaltenZahl - 1));
    });
    connect(&list_, &GuestList::recordInserted, this, [this](int index) {
        const int row = rowOf(index);
        if (row < 0 || row > rowCount()) {
            reset();
            return;
        }
        beginInsertRows(QModelIndex(), row, row);
        suchtexte_.insert(suchtexte_.begin() + row, Suchtext(list_.at(index)));
        endInsertRows();
    });
    connect(&list_, &GuestList::recordRemoved, this, [this](int index) {
        const int row = rowOf(index);
        if (row < 0 || row >= rowCount()) {
            reset();
            return;
        }
        beginRemoveRows(QModelIndex(), row, row);
        suchtexte_.erase(suchtexte_.begin() + row);
        endRemoveRows();
    });
    connect(&list_, &GuestList::listReset, this, [this] { reset(); });
}

void GuestListModel::rebuild()
{
    suchtexte_.clear();
    suchtexte_.reserve(static_cast<std::size_t>(list_.guestCount()));
    for (int i = 1; i < list_.size(); ++i)
        suchtexte_.push_back(Suchtext(list_.at(i)));
}

void GuestListModel::reset()
{
    beginResetModel();
    rebuild();
    endResetModel();
}

int GuestListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(suchtexte_.size());
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
