#pragma once
// What a stay costs: nights, booked rooms and the price from the matrix.

#include "billing/PriceMatrix.h"
#include "register/TGast.h"

// Whole nights between arrival and departure; a departure before the arrival counts the same
// number of nights.
qint32 Naechte(const TGast &g);

// Number of different rooms 1..3 named in the room text ("12" is two rooms, "22" one).
int AnzahlZimmer(const QString &Zimmer);

// Nights × price per night and room × rooms. The price column is 1, 2 or 3+ nights; the row is
// the number of persons (fewer than one priced as one), more than four use the group row.
float Uebernachtungskosten(const TGast &g, const TPreisMatrix &m);
