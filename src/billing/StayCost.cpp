#include "billing/StayCost.h"

#include "platform/Convert.h"
#include "register/Rooms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

int AnzahlZimmer(const QString &Zimmer)
{
    return std::popcount(RoomMask(Zimmer));
}

double Uebernachtungskosten(const TGast &g, const TPreisMatrix &m)
{
    const qint32 nights = Naechte(g);
    if (nights == 0)
        return 0;
    const std::size_t column = static_cast<std::size_t>(std::min(nights, 3) - 1);
    const std::size_t row = g.Personen > 4 ? 4 : static_cast<std::size_t>(std::max(g.Personen, 1) - 1);
    const qint32 price = m.Preis[row][column];

    // Nights × price fits 63 bits; its magnitude times at most three rooms still fits 64 bits
    // unsigned, so the result is exact until the single rounding to double.
    const qint64 perRoom = qint64(nights) * price;
    const quint64 magnitude = quint64(perRoom < 0 ? -perRoom : perRoom) * quint64(AnzahlZimmer(g.Zimmer));
    const double cost = static_cast<double>(magnitude);
    return perRoom < 0 ? -cost : cost;
}

QString EuroText(double euros)
{
    return platform::FormatFixed(euros, 0, 2);
}

KostenVorschlag KostenBeimEintritt(const TGast &g, const TPreisMatrix *matrix, double maximum)
{
    if (g.ReNr != 0)
        return {std::nullopt, QStringLiteral("Rechnung Nr. %1 ist gestellt: die Kosten bleiben %2 Euro")
                                  .arg(g.ReNr)
                                  .arg(EuroText(g.Kosten))};
    if (matrix == nullptr)
        return {std::nullopt, QStringLiteral("Preismatrix.dat fehlt: die Kosten werden nicht berechnet")};
    const double kosten = Uebernachtungskosten(g, *matrix);
    if (kosten > maximum || kosten < 0)
        return {std::nullopt, QStringLiteral("Die berechneten Kosten von %1 Euro passen nicht in das Feld; "
                                             "die Kosten bleiben %2 Euro")
                                  .arg(EuroText(kosten), EuroText(g.Kosten))};
    if (g.Kosten != 0 && kosten != g.Kosten)
        return {
            kosten,
            QStringLiteral("Kosten neu berechnet: %1 Euro (vorher %2 Euro)").arg(EuroText(kosten), EuroText(g.Kosten))};
    return {kosten, QString()};
}
