#include "register/GuestFilterModel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace guests {

namespace {

// A number that is none (from a damaged file) sorts first instead of upsetting the sort.
double Zahl(double value)
{
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

struct ZahlSchluessel
{
    double erst;
    double dann; // the time of day on a date, 0 elsewhere
    int row;
    bool operator<(const ZahlSchluessel &o) const
    {
        return erst != o.erst ? erst < o.erst : (dann != o.dann ? dann < o.dann : row < o.row);
    }
};

struct TextSchluessel
{
    std::uint64_t anfang; // the first eight bytes, the first in the highest place: most texts differ there
    std::string_view text;
    int row;
    bool operator<(const TextSchluessel &o) const
    {
        if (anfang != o.anfang)
            return anfang < o.anfang;
        const int order = text.compare(o.text);
        return order != 0 ? order < 0 : row < o.row;
    }
};

std::uint64_t Anfang(std::string_view text)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i)
        key = (key << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return key;
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
    renewRanks();
    invalidate();
}

void GuestFilterModel::setFilter(const GastFilter &filter)
{
    filter_ = filter;
    renewRanks();
    invalidate();
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

namespace {

bool IsText(int column)
{
    return column == GuestListModel::SpalteName || column == GuestListModel::SpalteOrt ||
           column == GuestListModel::SpalteZimmer;
}

// Names and places as the search sees them: "Ärzte" beside "Anna", not after "Z".
void AppendText(std::string &out, const TGast &g, int column)
{
    AppendSuchForm(out, column == GuestListModel::SpalteName  ? g.Name
                        : column == GuestListModel::SpalteOrt ? g.Ort
                                                              : g.Zimmer);
}

ZahlSchluessel ZahlKey(const TGast &g, int column, int row)
{
    switch (column) {
    case GuestListModel::SpalteNr: return {double(g.GastNr), 0, row};
    case GuestListModel::SpalteAnreise: return {Zahl(g.Von), Zahl(g.Anreise), row};
    case GuestListModel::SpalteAbreise: return {Zahl(g.Bis), Zahl(g.Abreise), row};
    case GuestListModel::SpalteNaechte: return {double(Naechte(g)), 0, row};
    case GuestListModel::SpaltePersonen: return {double(g.Personen), 0, row};
    case GuestListModel::SpalteKosten: return {Zahl(g.Kosten), 0, row};
    case GuestListModel::SpalteReNr: return {double(g.ReNr), 0, row};
    case GuestListModel::SpalteBezahlt: return {double(g.Bezahlt), 0, row};
    case GuestListModel::SpalteSchluessel: return {double(g.Schluessel), 0, row};
    default: return {0, 0, row};
    }
}

} // namespace

void GuestFilterModel::rankRows(int column) const
{
    const int rows = source_.rowCount();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(rows));
    if (IsText(column)) {
        // The texts side by side in one buffer, so the comparisons stay in the cache.
        std::string buffer;
        std::vector<std::pair<std::size_t, std::size_t>> spans;
        spans.reserve(static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            const std::size_t from = buffer.size();
            AppendText(buffer, source_.record(row), column);
            spans.emplace_back(from, buffer.size() - from);
        }
        std::vector<TextSchluessel> keys;
        keys.reserve(spans.size());
        for (int row = 0; row < rows; ++row) {
            const auto &[from, size] = spans[static_cast<std::size_t>(row)];
            const std::string_view text = std::string_view(buffer).substr(from, size);
            keys.push_back({Anfang(text), text, row});
        }
        std::sort(keys.begin(), keys.end());
        for (const TextSchluessel &key : keys)
            order.push_back(key.row);
    } else {
        std::vector<ZahlSchluessel> keys;
        keys.reserve(static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row)
            keys.push_back(ZahlKey(source_.record(row), column, row));
        std::sort(keys.begin(), keys.end());
        for (const ZahlSchluessel &key : keys)
            order.push_back(key.row);
    }
    rank_.assign(static_cast<std::size_t>(rows), 0);
    for (int position = 0; position < rows; ++position)
        rank_[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])] = position;
    rankColumn_ = column;
    rankRevision_ = source_.revision();
    rankStructure_ = source_.structureRevision();
}

void GuestFilterModel::renewRanks() const
{
    // Before every row is sorted again: ranks for all, not the slow way for each changed one.
    const int column = sortColumn();
    if (column >= 0 && (rankColumn_ != column || rankRevision_ != source_.revision()))
        rankRows(column);
}

void GuestFilterModel::sort(int column, Qt::SortOrder order)
{
    if (column >= 0 && (rankColumn_ != column || rankRevision_ != source_.revision()))
        rankRows(column);
    QSortFilterProxyModel::sort(column, order);
}

bool GuestFilterModel::directLess(int column, int left, int right) const
{
    const TGast &a = source_.record(left);
    const TGast &b = source_.record(right);
    if (!IsText(column))
        return ZahlKey(a, column, left) < ZahlKey(b, column, right);
    std::string textA, textB;
    AppendText(textA, a, column);
    AppendText(textB, b, column);
    return textA != textB ? textA < textB : left < right;
}

bool GuestFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // Comparing two records field by field for each of the million and more comparisons of a
    // large list is slow; each row's place is worked out once per column instead. A row changed
    // since then (a name mended) is compared the slow way, which takes only the few comparisons
    // that find its new place. Equal values keep the list's order.
    const int column = left.column();
    if (rankColumn_ != column || rankStructure_ != source_.structureRevision())
        rankRows(column);
    const int l = left.row();
    const int r = right.row();
    if (source_.rowRevision(l) > rankRevision_ || source_.rowRevision(r) > rankRevision_)
        return directLess(column, l, r);
    return rank_[static_cast<std::size_t>(l)] < rank_[static_cast<std::size_t>(r)];
}

} // namespace guests
