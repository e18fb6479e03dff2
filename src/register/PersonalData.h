#pragma once
// The guest's data rights: which stays belong to one person (for the information a guest may ask
// for), which are old enough to be erased, and erasing their personal fields. The journal and the
// kept invoices are not touched here: tax law keeps them.

#include "platform/DayNumber.h"
#include "register/TGast.h"

#include <QString>
#include <vector>

namespace guests {

class GuestList;

inline constexpr char kAnonymisiert[] = "anonymisiert";

// The same person: the same name, street, postal code and town, compared as the guest list
// search compares texts (case, accents and umlauts, spelled-out umlauts and extra blanks do not
// count). A record without a name is nobody's.
bool samePerson(const TGast &a, const TGast &b);

// Every stay of the person of record `index` (that one included), by index; record 0 never.
std::vector<int> staysOfPerson(const std::vector<TGast> &records, int index);

// Whether a stay's personal fields have been erased already.
bool isAnonymized(const TGast &g);

// The stays whose departure lies more than `years` years before `today` (departure earlier than
// the same date `years` years back), not yet anonymised, by index; a stay without a departure
// date is left out.
std::vector<int> staysToAnonymize(const std::vector<TGast> &records, int years, platform::TDateTime today);

// Replaces name, street, town, telephone, e-mail and remarks of the stays at `indexes` by
// "anonymisiert" and the postal code by 0, through the list (which marks the data as changed);
// the stay, rooms, cost and invoice number stay. Record 0 and indexes outside the list are
// skipped. Returns how many records changed.
int anonymizeStays(GuestList &list, const std::vector<int> &indexes);

} // namespace guests
