#pragma once
// What a stay costs: nights, booked rooms and the price from the matrix.

#include "billing/PriceMatrix.h"
#include "register/TGast.h"

// Number of different rooms 1..3 named in the room text ("12" is two rooms, "22" one).
int AnzahlZimmer(const QString &Zimmer);

// Nights × price per night and room × rooms. The price column is 1, 2 or 3+ nights; the row is
// the number of persons (fewer than one priced as one), more than four use the group row.
double Uebernachtungskosten(const TGast &g, const TPreisMatrix &m);

#include <QString>
#include <optional>

// What entering the cost field does with a record's cost.
struct KostenVorschlag
{
    std::optional<double> kosten; // the cost to store; nothing when the stored one stays
    QString status;              // what the status line says; empty when there is nothing to say
};

// The cost field's rules: an invoiced record keeps the cost it was billed with; without a price
// list (`matrix` null) nothing is computed; an amount beyond `maximum` (what the field can show)
// is refused rather than cut; a different earlier amount is named, so a typed price can be typed
// again.
KostenVorschlag KostenBeimEintritt(const TGast &g, const TPreisMatrix *matrix, double maximum);

// Euros with two decimals in the regional format: "1234,50".
QString EuroText(double euros);
