#include "register/TGast.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace guests {

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

} // namespace guests
