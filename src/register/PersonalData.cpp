#include "register/PersonalData.h"

#include "register/GuestList.h"
#include "register/GuestSearch.h"

#include <QDate>

namespace guests {

namespace {

std::string key(const QString &field)
{
    return OhneUmlautSchreibung(SuchForm(field.simplified()));
}

} // namespace

bool samePerson(const TGast &a, const TGast &b)
{
    if (a.Name.trimmed().isEmpty() || b.Name.trimmed().isEmpty())
        return false;
    return a.PLZ == b.PLZ && key(a.Name) == key(b.Name) && key(a.Strasse) == key(b.Strasse) && key(a.Ort) == key(b.Ort);
}

std::vector<int> staysOfPerson(const std::vector<TGast> &records, int index)
{
    std::vector<int> stays;
    if (index <= 0 || index >= static_cast<int>(records.size()))
        return stays;
    const TGast &person = records[static_cast<std::size_t>(index)];
    for (std::size_t i = 1; i < records.size(); ++i)
        if (static_cast<int>(i) == index || samePerson(person, records[i]))
            stays.push_back(static_cast<int>(i));
    return stays;
}

bool isAnonymized(const TGast &g)
{
    const QString mark = QString::fromUtf8(kAnonymisiert);
    return g.Name == mark && g.Strasse == mark && g.Ort == mark && g.Telefon == mark && g.EMail == mark &&
           g.Bemerkung == mark && g.PLZ == 0;
}

std::vector<int> staysToAnonymize(const std::vector<TGast> &records, int years, platform::TDateTime today)
{
    std::vector<int> stays;
    const QDate cutoff = platform::DayToDate(today).addYears(-years);
    for (std::size_t i = 1; i < records.size(); ++i) {
        const TGast &g = records[i];
        if (g.Bis == 0 || !platform::IsCalendarDay(g.Bis) || isAnonymized(g))
            continue;
        if (platform::DayToDate(g.Bis) < cutoff)
            stays.push_back(static_cast<int>(i));
    }
    return stays;
}

int anonymizeStays(GuestList &list, const std::vector<int> &indexes)
{
    const QString mark = QString::fromUtf8(kAnonymisiert);
    int changed = 0;
    for (const int index : indexes) {
        if (index <= 0 || index > list.lastIndex())
            continue;
        const bool did = list.modify(index, [&mark](TGast &g) {
            g.Name = g.Strasse = g.Ort = g.Telefon = g.EMail = g.Bemerkung = mark;
            g.PLZ = 0;
        });
        if (did)
            ++changed;
    }
    return changed;
}

} // namespace guests
