#pragma once
// A guest who comes again: a new booking with the address of an earlier one, so it is never typed twice.

#include "register/GuestList.h"

namespace guests {

// Appends a new booking (next guest number, the defaults of a new booking) with the name, address,
// telephone and e-mail of the record at `fromIndex`, makes it current and returns its index.
// Nothing of the earlier stay itself (rooms, persons, cost, invoice, remarks) is taken over.
int NeuerAufenthalt(GuestList &list, int fromIndex);

} // namespace guests
