#include "calendar/DayList.h"

#include "calendar/RoomCalendar.h"
#include "platform/Convert.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace calendar {

using guests::kRaeume;
using guests::RoomMask;
using guests::TGast;
using platform::TDateTime;

namespace {

TDateTime Tag(TDateTime day)
{
    return std::trunc(day);
}

int ErstesZimmer(const TGast &gast)
{
    const std::vector<int> rooms = RoomsOf(gast.Zimmer);
    return rooms.empty() ? kRaeume + 1 : rooms.front();
}

// The rooms ("1, 2", "–" for none), each that another booking also holds that night marked.
QString ZimmerAmTag(const std::vector<TGast> &list, int index, TDateTime tag)
{
    const TGast &gast = list[static_cast<std::size_t>(index)];
    const std::vector<int> doppelt = DoppeltBelegteZimmer(list, index, tag);
    QStringList rooms;
    for (const int room : RoomsOf(gast.Zimmer)) {
        rooms << (std::find(doppelt.begin(), doppelt.end(), room) != doppelt.end()
                      ? QStringLiteral("%1 (Doppelbelegung)").arg(room)
                      : QString::number(room));
    }
    return rooms.isEmpty() ? QStringLiteral("–") : rooms.join(QStringLiteral(", "));
}

QString Uhrzeit(TDateTime time)
{
    return platform::FractionToTime(time).toString(QStringLiteral("HH:mm"));
}

QString Name(const TGast &gast)
{
    return gast.Name.isEmpty() ? QStringLiteral("Gast %1").arg(gast.GastNr) : gast.Name;
}

QString Bezahlt(const TGast &gast)
{
    if (gast.ReNr == 0)
        return QStringLiteral("keine Rechnung");
    return gast.Bezahlt ? QStringLiteral("bezahlt") : QStringLiteral("offen (Rechnung %1)").arg(gast.ReNr);
}

} // namespace

Tagesliste TageslisteFuer(const std::vector<TGast> &list, TDateTime tag)
{
    Tagesliste result;
    result.tag = Tag(tag);
    for (std::size_t i = 1; i < list.size(); ++i) {
        const TGast &g = list[i];
        if (g.Name.isEmpty() && RoomMask(g.Zimmer) == 0)
            continue;
        const int index = static_cast<int>(i);
        const TDateTime von = Tag(g.Von);
        const TDateTime bis = Tag(g.Bis);
        if (von == result.tag)
            result.anreisen.push_back(index);
        if (bis == result.tag)
            result.abreisen.push_back(index);
        if (von < result.tag && result.tag < bis)
            result.bleiben.push_back(index);
    }
    const auto by = [&list](auto key) {
        return [&list, key](int a, int b) {
            return key(list[static_cast<std::size_t>(a)]) < key(list[static_cast<std::size_t>(b)]);
        };
    };
    std::stable_sort(result.anreisen.begin(), result.anreisen.end(),
                     by([](const TGast &g) { return std::pair(g.Anreise, ErstesZimmer(g)); }));
    std::stable_sort(result.abreisen.begin(), result.abreisen.end(),
                     by([](const TGast &g) { return std::pair(g.Abreise, ErstesZimmer(g)); }));
    std::stable_sort(result.bleiben.begin(), result.bleiben.end(), by([](const TGast &g) { return ErstesZimmer(g); }));
    return result;
}

QString TageslistenTitel(TDateTime tag)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral("Tagesliste für ") +
           german.toString(platform::DayToDate(tag), QStringLiteral("dddd, d. MMMM yyyy"));
}

std::vector<TageslistenTeil> TageslistenTeile(const std::vector<TGast> &list, const Tagesliste &tagesliste)
{
    const auto at = [&list](int index) -> const TGast & { return list[static_cast<std::size_t>(index)]; };
    std::vector<TageslistenTeil> teile(3);

    teile[0].titel = QStringLiteral("Anreisen");
    teile[0].spalten = {QStringLiteral("Zeit"), QStringLiteral("Zimmer"), QStringLiteral("Personen"),
                        QStringLiteral("Name"), QStringLiteral("Bemerkung")};
    for (const int i : tagesliste.anreisen) {
        const TGast &g = at(i);
        teile[0].zeilen.push_back({Uhrzeit(g.Anreise), ZimmerAmTag(list, i, tagesliste.tag), QString::number(g.Personen), Name(g), g.Bemerkung});
    }

    teile[1].titel = QStringLiteral("Abreisen");
    teile[1].spalten = {QStringLiteral("Zeit"), QStringLiteral("Zimmer"), QStringLiteral("Name"),
                        QStringLiteral("Schlüssel"), QStringLiteral("Bezahlt")};
    for (const int i : tagesliste.abreisen) {
        const TGast &g = at(i);
        teile[1].zeilen.push_back({Uhrzeit(g.Abreise), ZimmerAmTag(list, i, tagesliste.tag), Name(g),
                                   g.Schluessel ? QStringLiteral("ausgegeben") : QStringLiteral("nicht ausgegeben"),
                                   Bezahlt(g)});
    }

    teile[2].titel = QStringLiteral("Bleibende Gäste");
    teile[2].spalten = {QStringLiteral("Zimmer"), QStringLiteral("Personen"), QStringLiteral("Name"),
                        QStringLiteral("Abreise")};
    for (const int i : tagesliste.bleiben) {
        const TGast &g = at(i);
        teile[2].zeilen.push_back({ZimmerAmTag(list, i, tagesliste.tag), QString::number(g.Personen), Name(g), platform::DateToStr(g.Bis)});
    }
    return teile;
}

} // namespace calendar
