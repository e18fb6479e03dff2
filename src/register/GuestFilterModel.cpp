#include "register/GuestFilterModel.h"

#include <cmath>

namespace {

// Three-way comparisons: below 0, 0 or above 0.
template <typename T> int Compare(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A number that is none (from a damaged file) sorts first instead of upsetting the sort.
int Compare(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return Compare(!std::isnan(a), !std::isnan(b));
    return Compare<double>(a, b);
}

int Compare(std::string_view a, std::string_view b)
{
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

// A day first, then the time of day on it.
int Compare(double dayA, double timeA, double dayB, double timeB)
{
    const int day = Compare(dayA, dayB);
    return day != 0 ? day : Compare(timeA, timeB);
}

} // namespace

GuestFilterModel::GuestFilterModel(GuestListModel &source, QObject *parent)
    : QSortFilterProxyModel(parent), source_(source)
{
    setSourceModel(&source_);
    setDynamicSortFilter(true);
}

void GuestFilterModel::setSuche(const QString &text)
{
    suche_ = Suche(text);
    invalidateRowsFilter();
}

void GuestFilterModel::setFilter(const GastFilter &filter)
{
    filter_ = filter;
    invalidateRowsFilter();
}

int GuestFilterModel::recordIndex(int row) const
{
    const QModelIndex source = mapToSource(index(row, 0));
    return source.isValid() ? GuestListModel::recordIndex(source.row()) : -1;
}

int GuestFilterModel::rowOfRecord(int recordIndex) const
{
    const int sourceRow = GuestListModel::rowOf(recordIndex);
    if (sourceRow < 0 || sourceRow >= source_.rowCount())
        return -1;
    const QModelIndex shown = mapFromSource(source_.index(sourceRow, 0));
    return shown.isValid() ? shown.row() : -1;
}

std::vector<int> GuestFilterModel::shownRecords() const
{
    std::vector<int> records;
    const int rows = rowCount();
    records.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        records.push_back(recordIndex(row));
    return records;
}

double GuestFilterModel::kostenSumme() const
{
    double sum = 0;
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row)
        sum += source_.record(mapToSource(index(row, 0)).row()).Kosten;
    return sum;
}

bool GuestFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid())
        return false;
    const TGast &gast = source_.record(sourceRow);
    return PasstFilter(gast, filter_) && (suche_.leer() || suche_.passt(gast, source_.suchtext(sourceRow)));
}

bool GuestFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int l = left.row();
    const int r = right.row();
    const TGast &a = source_.record(l);
    const TGast &b = source_.record(r);
    int order = 0;
    switch (left.column()) {
    case GuestListModel::SpalteNr: order = Compare(a.GastNr, b.GastNr); break;
    case GuestListModel::SpalteName:
        order = Compare(NameAusSuchtext(source_.suchtext(l)), NameAusSuchtext(source_.suchtext(r)));
        break;
    case GuestListModel::SpalteOrt:
        order = Compare(OrtAusSuchtext(source_.suchtext(l)), OrtAusSuchtext(source_.suchtext(r)));
        break;
    case GuestListModel::SpalteAnreise: order = Compare(a.Von, a.Anreise, b.Von, b.Anreise); break;
    case GuestListModel::SpalteAbreise: order = Compare(a.Bis, a.Abreise, b.Bis, b.Abreise); break;
    case GuestListModel::SpalteNaechte: order = Compare(Naechte(a), Naechte(b)); break;
    case GuestListModel::SpalteZimmer: order = Compare(a.Zimmer, b.Zimmer); break;
    case GuestListModel::SpaltePersonen: order = Compare(a.Personen, b.Personen); break;
    case GuestListModel::SpalteKosten: order = Compare(double(a.Kosten), double(b.Kosten)); break;
    case GuestListModel::SpalteReNr: order = Compare(a.ReNr, b.ReNr); break;
    case GuestListModel::SpalteBezahlt: order = Compare(a.Bezahlt, b.Bezahlt); break;
    case GuestListModel::SpalteSchluessel: order = Compare(a.Schluessel, b.Schluessel); break;
    default: break;
    }
    // Equal ones in the list's order, whatever order the rows were shown in before.
    return order != 0 ? order < 0 : l < r;
}
