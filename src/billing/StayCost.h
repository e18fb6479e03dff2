#pragma once
// What a stay costs: nights, booked rooms and the price from the matrix.

#include "billing/PriceMatrix.h"
#include "register/TGast.h"

#include <QObject>
#include <QString>
#include <optional>
#include <vector>

namespace guests {
class GuestList;
}

namespace billing {

// Number of different rooms 1..3 named in the room text ("12" is two rooms, "22" one).
int AnzahlZimmer(const QString &Zimmer);

// Nights × price per night and room × rooms. The price column is 1, 2 or 3+ nights; the row is
// the number of persons (fewer than one priced as one), more than four use the group row.
double Uebernachtungskosten(const guests::TGast &g, const TPreisMatrix &m);

// What the price list gives for a stay, or why it gives nothing: a departure before the arrival,
// or a price the file does not hold (missing, no number, negative).
struct Listenpreis
{
    std::optional<double> kosten;
    qint32 naechte = 0;
    QString warumNicht; // the status line's words when there is no amount
};
Listenpreis PreisNachListe(const guests::TGast &g, const TPreisMatrix &m);

// What the price of a stay depends on; an amount stands for the stay it was typed or computed for.
struct Kostenbasis
{
    QString Zimmer;
    qint32 Personen = 0;
    platform::TDateTime Von = 0;
    platform::TDateTime Bis = 0;

    bool operator==(const Kostenbasis &) const = default;
};
Kostenbasis KostenbasisVon(const guests::TGast &g);

// What the cost field's rules look at beside the record.
struct KostenLage
{
    const TPreisMatrix *matrix = nullptr; // null: there is no price list
    QString ohneListe;                    // why there is none, for the status line
    double maximum = 0;                   // the largest amount the field can show
    // The stay the record's amount was typed or computed for; none: the stay it has now.
    std::optional<Kostenbasis> basis;
};

// What entering the cost field (or "Kosten berechnen") does with a record's cost.
struct KostenVorschlag
{
    std::optional<double> kosten; // the cost to store; nothing when the stored one stays
    QString status;               // what the status line says; empty when there is nothing to say
};

// Entering the cost field. An amount that is there stays, unless rooms, persons, arrival or
// departure changed since it was typed or computed; only a 0 or such a change computes. An invoiced
// record keeps the cost it was billed with; a stay that ends before it begins, a missing price
// list or an unknown price computes nothing and says why; an amount beyond what the field can show
// is refused rather than cut; a different earlier amount is named, so a typed price can be typed
// again.
KostenVorschlag KostenBeimEintritt(const guests::TGast &g, const KostenLage &lage);

// "Kosten berechnen": the price list's amount on demand, whatever the field holds, naming the
// amount it replaces; the same refusals as above.
KostenVorschlag KostenBerechnen(const guests::TGast &g, const KostenLage &lage);

// Before an invoice is printed: the question when the amount entered differs from the price
// list's for the stay ("Kosten 84,00 € – nach Preisliste 395,00 € für 5 Nächte"). Nothing when the
// two agree, when there is no amount yet (the list's is taken), or when the list gives none.
struct Preisvergleich
{
    double eingetragen = 0;
    double liste = 0;
    qint32 naechte = 0;
    QString frage;
};
std::optional<Preisvergleich> VergleichMitPreisliste(const guests::TGast &g, const TPreisMatrix *matrix);

// What is unusual for a guest house of three rooms, and asked about before an invoice.
inline constexpr qint32 kUngewoehnlicherPreis = 1000;  // euros per room and night, above it
inline constexpr double kUngewoehnlicheKosten = 10000; // euros for a stay, above it
// The highest amount an invoice may carry: the cost field's largest value.
inline constexpr double kHoechsterRechnungsbetrag = 99999999.99;

// Before an invoice is printed (after VergleichMitPreisliste): the question when its amount is
// above kUngewoehnlicheKosten ("Die Kosten von 12.500,00 € für 3 Nächte sind ungewöhnlich hoch.
// Trotzdem eine Rechnung darüber drucken?"), or when it is the price list's and the list's price
// for the stay is above kUngewoehnlicherPreis (naming the place in Preismatrix.dat). The amount is
// the record's, or the list's while the record has none. Empty when nothing is unusual.
QString UngewoehnlicherBetragFrage(const guests::TGast &g, const TPreisMatrix *matrix);

// Remembers, for the session and per record of a guest list, the stay each record's amount stands
// for: the stay as read, or the one shown when its amount was last typed or computed. Follows the
// list's changes, insertions and removals by itself; nothing of it is saved.
class KostenBezuege : public QObject
{
    Q_OBJECT

public:
    explicit KostenBezuege(const guests::GuestList &list, QObject *parent = nullptr);

    Kostenbasis basis(int index) const;
    // The record's amount now stands for its present stay (it was just computed, perhaps unchanged).
    void festhalten(int index);

private:
    struct Eintrag
    {
        Kostenbasis basis;
        double kosten = 0;
    };
    Eintrag eintragVon(int index) const;
    void geaendert(int index);

    const guests::GuestList &list_;
    std::vector<Eintrag> eintraege_;
};

// Euros with two decimals in the regional format: "1234,50".
QString EuroText(double euros);

} // namespace billing
