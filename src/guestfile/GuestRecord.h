#pragma once
// One guest record as one line of the guest file: 18 fields separated by ';', no quoting.
// Dates, times and the cost follow the regional settings, Booleans are "True"/"False".

#include "register/TGast.h"

#include <QString>
#include <vector>

namespace guestfile {

// A field of a line that holds something that cannot be read: a number taken as 0, or text after
// the 18th field, which the record has no place for.
struct UnreadableField
{
    int field = 0; // 1 to 18 as in the line; kTextAfterLastField for what follows the 18th
    QString text;  // as it stands in the line

    bool operator==(const UnreadableField &) const = default;
};
inline constexpr int kTextAfterLastField = 19;

// The name of a field as the form shows it ("Rechnung Nr."), for messages.
QString FieldName(int field);

// Reads a line into AktGast. A missing or bad date, time or Boolean throws EConvertError and
// leaves AktGast as it was; missing numbers read as 0, missing texts as empty. Numbers are read
// as a person writes them (ReadWrittenInt, ReadWrittenAmount); dates and times in the regional or
// the German format. A number that still cannot be read is 0, and text after the 18th field (a
// ';' inside the last field ends it) is left out: both are added to `unreadable` when given.
void DecodeSatz(guests::TGast &AktGast, QString line, std::vector<UnreadableField> *unreadable);
void DecodeSatz(guests::TGast &AktGast, QString line);

// The line for one record. Because the file cannot quote, a ';' inside a text becomes ',' and
// a line break a blank, so the record stays one line with its fields in place.
QString EncodeSatz(const guests::TGast &gast);

} // namespace guestfile
