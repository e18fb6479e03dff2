#include "billing/StayCost.h"

#include "register/Rooms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

qint32 Naechte(const TGast &g)
{
    const double nights = std::trunc(std::fabs(g.Bis - g.Von));
    // Day numbers come from the guest file; absurd ones must not overflow the conversion.
    if (!(nights >= 0))
        return 0;
    if (nights >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(nights);
}

int AnzahlZimmer(const QString &Zimmer)
{
    return std::popcount(RoomMask(Zimmer));
}

float Uebernachtungskosten(const TGast &g, const TPreisMatrix &m)
{
    const qint32 nights = Naechte(g);
    if (nights == 0)
        return 0;
    const std::size_t column = static_cast<std::size_t>(std::min(nights, 3) - 1);
    const std::size_t row = g.Personen > 4 ? 4 : static_cast<std::size_t>(std::max(g.Personen, 1) - 1);
    const qint32 price = m.Preis[row][column];

    // Nights × price fits 63 bits; its magnitude times at most three rooms still fits 64 bits
    // unsigned, so the result is exact until the single rounding to float.
    const qint64 perRoom = qint64(nights) * price;
    const quint64 magnitude = quint64(perRoom < 0 ? -perRoom : perRoom) * quint64(AnzahlZimmer(g.Zimmer));
    const float cost = static_cast<float>(magnitude);
    return perRoom < 0 ? -cost : cost;
}
