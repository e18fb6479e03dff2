#pragma once
// Issuing an invoice: its steps in the order that keeps the numbers gapless and honest.

#include "billing/PriceMatrix.h"
#include "platform/DayNumber.h"
#include "register/GuestList.h"

#include <QString>
#include <functional>

class QPrinter;

struct RechnungsDateien
{
    QString vorlage; // the invoice form "REVORL.JPG"
    // The counter "ReNummer.DAT"; asked for only once the form is loaded, since finding it may
    // mean asking the host for the data folder.
    std::function<QString()> nummer;
};

// Prints an invoice for the record at `index` and returns its number. The form is loaded first
// and a zero cost without a price list is refused, so neither takes a number; then the next
// number is taken, the cost computed if it is still 0, the invoice drawn and printed. Only a
// printed invoice reaches the record (through the list, which marks the data as changed); when
// printing fails the error names the number, which stays unused. Record 0 is no guest and is
// refused. Throws EInvoiceError, EInOutError or EConvertError.
qint32 RechnungErstellen(GuestList &list, int index, const RechnungsDateien &dateien, const TPreisMatrix *matrix,
                         QPrinter &printer, platform::TDateTime heute);
