#include "GuestData.h"

#include "platform/DayNumber.h"

#include <QDir>
#include <QTime>

#include <algorithm>
#include <array>
#include <cstdint>

namespace bench {

using guests::TGast;

namespace {

// A small generator of our own: std's distributions differ between libraries, this does not.
class Random
{
public:
    explicit Random(unsigned seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
    template <typename T, std::size_t N> const T &pick(const std::array<T, N> &items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    std::uint64_t state_;
};

struct Person
{
    const char *name; // as written in the form
    const char *mail; // the same in ASCII for the address
};

constexpr std::array<Person, 16> kFirstNames = {{{"Jürgen", "juergen"},
                                                 {"Günther", "guenther"},
                                                 {"Käthe", "kaethe"},
                                                 {"Björn", "bjoern"},
                                                 {"Jörg", "joerg"},
                                                 {"Sören", "soeren"},
                                                 {"Ursula", "ursula"},
                                                 {"Maria", "maria"},
                                                 {"Hans-Peter", "hans-peter"},
                                                 {"Brigitte", "brigitte"},
                                                 {"Lüder", "lueder"},
                                                 {"Renée", "renee"},
                                                 {"Thomas", "thomas"},
                                                 {"Gisela", "gisela"},
                                                 {"Dörte", "doerte"},
                                                 {"Michael", "michael"}}};

constexpr std::array<Person, 16> kLastNames = {{{"Müller", "mueller"},
                                                {"Schäfer", "schaefer"},
                                                {"Weiß", "weiss"},
                                                {"Böhm", "boehm"},
                                                {"Groß", "gross"},
                                                {"Köhler", "koehler"},
                                                {"Krüger", "krueger"},
                                                {"Schröder", "schroeder"},
                                                {"Hoffmann", "hoffmann"},
                                                {"Fuchs", "fuchs"},
                                                {"Bäcker", "baecker"},
                                                {"Jäger", "jaeger"},
                                                {"Möller", "moeller"},
                                                {"Schneider", "schneider"},
                                                {"Öztürk", "oeztuerk"},
                                                {"Wagner", "wagner"}}};

constexpr std::array<const char *, 10> kStreets = {"Hauptstraße", "Lindenstraße",  "Am Mühlbach",  "Schloßallee",
                                                   "Gärtnerweg",  "Bahnhofstraße", "Über der Aue", "Kirchgasse",
                                                   "Rosenstraße", "Fährweg"};

struct Place
{
    qint32 plz;
    const char *ort;
    const char *vorwahl;
};

constexpr std::array<Place, 12> kPlaces = {{{1067, "Dresden", "0351"},
                                            {34117, "Kassel", "0561"},
                                            {80331, "München", "089"},
                                            {50667, "Köln", "0221"},
                                            {90402, "Nürnberg", "0911"},
                                            {21335, "Lüneburg", "04131"},
                                            {40213, "Düsseldorf", "0211"},
                                            {37073, "Göttingen", "0551"},
                                            {97070, "Würzburg", "0931"},
                                            {66111, "Saarbrücken", "0681"},
                                            {86150, "Augsburg", "0821"},
                                            {44137, "Dortmund", "0231"}}};

constexpr std::array<const char *, 5> kMailHosts = {"web.de", "gmx.de", "t-online.de", "posteo.de", "freenet.de"};

// Most remarks are empty, as in a real list.
constexpr std::array<const char *, 12> kRemarks = {"",
                                                   "",
                                                   "",
                                                   "",
                                                   "",
                                                   "",
                                                   "",
                                                   "Kinderbett in Zimmer 3",
                                                   "Hund (klein)",
                                                   "Frühstück schon um 7 Uhr",
                                                   "Anreise mit dem Fahrrad, Garage",
                                                   "Stammgast – bitte Zimmer mit Blick"};

// One booking in eight takes two or three rooms; the others one, the one free first, as the host
// would give it (an empty entry here).
constexpr std::array<const char *, 24> kRoomFields = {"12", "23", "123", "", "", "", "", "", "", "", "", "",
                                                      "",   "",   "",    "", "", "", "", "", "", "", "", ""};

constexpr std::array<int, 4> kArrivalMinutes = {14 * 60, 15 * 60 + 30, 16 * 60, 17 * 60 + 45};
constexpr std::array<int, 3> kDepartureMinutes = {9 * 60 + 30, 10 * 60, 11 * 60};

platform::TDateTime TimeOfDay(int minutes)
{
    return platform::TimeToFraction(QTime(minutes / 60, minutes % 60));
}

} // namespace

std::vector<TGast> MakeGuests(int guests, unsigned seed)
{
    Random random(seed);
    std::vector<TGast> list(1); // record 0
    list.reserve(static_cast<std::size_t>(guests) + 1);

    // The next day each room is free again: a departure day may be the next guest's arrival day.
    const platform::TDateTime start = platform::DateToDay(QDate(2005, 1, 1));
    std::array<platform::TDateTime, 3> freeFrom = {start, start, start};

    for (int i = 1; i <= guests; ++i) {
        TGast g;
        g.GastNr = i;
        g.Zimmer = QString::fromLatin1(random.pick(kRoomFields));
        if (g.Zimmer.isEmpty()) {
            const auto first = std::min_element(freeFrom.begin(), freeFrom.end());
            g.Zimmer = QString::number(first - freeFrom.begin() + 1);
        }
        platform::TDateTime from = start;
        for (const QChar c : g.Zimmer)
            from = std::max(from, freeFrom[static_cast<std::size_t>(c.unicode() - u'1')]);
        // Now and then a room stays empty for a night.
        from += random.below(8) == 0 ? 1 : 0;
        // One booking in two hundred lands on a room that is still taken.
        if (random.below(200) == 0)
            from -= 2;
        // Short stays mostly, now and then a week.
        const int nights = random.below(20) == 0 ? 7 : 1 + random.below(2);
        g.Von = from;
        g.Bis = from + nights;
        for (const QChar c : g.Zimmer)
            freeFrom[static_cast<std::size_t>(c.unicode() - u'1')] =
                std::max(g.Bis, freeFrom[static_cast<std::size_t>(c.unicode() - u'1')]);
        g.Anreise = TimeOfDay(random.pick(kArrivalMinutes));
        g.Abreise = TimeOfDay(random.pick(kDepartureMinutes));
        g.Personen = 1 + random.below(static_cast<int>(g.Zimmer.size()) * 2);

        const Person &first = random.pick(kFirstNames);
        const Person &last = random.pick(kLastNames);
        const Place &place = random.pick(kPlaces);
        g.Name = random.below(8) == 0
                     ? QStringLiteral("Familie %1").arg(QString::fromUtf8(last.name))
                     : QStringLiteral("%1 %2").arg(QString::fromUtf8(first.name), QString::fromUtf8(last.name));
        g.Strasse = QStringLiteral("%1 %2").arg(QString::fromUtf8(random.pick(kStreets))).arg(1 + random.below(120));
        g.PLZ = place.plz;
        g.Ort = QString::fromUtf8(place.ort);
        g.Telefon =
            QStringLiteral("%1 %2").arg(QString::fromLatin1(place.vorwahl)).arg(1000000 + random.below(8999999));
        g.EMail = QStringLiteral("%1.%2@%3")
                      .arg(QString::fromLatin1(first.mail), QString::fromLatin1(last.mail),
                           QString::fromLatin1(random.pick(kMailHosts)));
        const int rate = 45 + 5 * random.below(16);
        g.Kosten = static_cast<float>(nights * rate * static_cast<int>(g.Zimmer.size())) +
                   static_cast<float>(random.below(4)) * 0.5f;
        g.Bezahlt = random.below(10) != 0;
        g.ReNr = g.Bezahlt ? 1000 + i : 0;
        g.Schluessel = random.below(3) == 0;
        g.Bemerkung = QString::fromUtf8(random.pick(kRemarks));
        list.push_back(std::move(g));
    }
    return list;
}

QString PathIn(const QString &folder, const QString &fileName)
{
    return QDir(folder).filePath(fileName);
}

} // namespace bench
