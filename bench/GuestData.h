#pragma once
// Made-up but realistic guest lists for the benchmarks: the same seed always gives the same list,
// so figures of two runs compare, and nothing large has to be kept in the repository.

#include "register/TGast.h"

#include <QString>
#include <vector>

namespace bench {

// Record 0 (the empty placeholder) followed by `guests` bookings. The stays follow one another
// from 1 Jan 2005 on, about 450 a year in rooms 1 to 3 (so 10,000 bookings fill some twenty years),
// mostly short, some of two or three rooms, now and then a double booking; names and places are
// German with umlauts.
std::vector<guests::TGast> MakeGuests(int guests, unsigned seed = 1);

// A file name inside a folder, with exactly one separator between them.
QString PathIn(const QString &folder, const QString &fileName);

} // namespace bench
