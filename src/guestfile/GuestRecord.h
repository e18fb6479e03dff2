#pragma once
// One guest record as one line of the guest file: 18 fields separated by ';', no quoting.
// Dates, times and the cost follow the regional settings, Booleans are "True"/"False".

#include "register/TGast.h"

#include <QString>

// Reads a line into AktGast. A missing or bad date, time or Boolean throws EConvertError and
// leaves AktGast as it was; missing or bad numbers read as 0, missing texts as empty. A ';'
// inside the last field ends it.
void DecodeSatz(TGast &AktGast, QString line);

// The line for one record. Because the file cannot quote, a ';' inside a text becomes ',' and
// a line break a blank, so the record stays one line with its fields in place.
QString EncodeSatz(const TGast &gast);
