#include "register/NewStay.h"

namespace guests {

int NeuerAufenthalt(GuestList &list, int fromIndex)
{
    const TGast frueher = list.at(fromIndex); // a copy: appending may move the records
    const int index = list.appendNew();
    list.modify(index, [&frueher](TGast &g) {
        g.Name = frueher.Name;
        g.Strasse = frueher.Strasse;
        g.PLZ = frueher.PLZ;
        g.Ort = frueher.Ort;
        g.Telefon = frueher.Telefon;
        g.EMail = frueher.EMail;
    });
    return index;
}

} // namespace guests
