#pragma once
// An issued invoice is never changed or deleted: it is cancelled by a cancellation invoice with a
// number of its own that names the invoice it cancels, printed on the same form, kept and
// journaled like an invoice. Then the booking is free to be changed and invoiced again.

#include "billing/CreateBill.h"
#include "platform/DayNumber.h"
#include "register/GuestList.h"
#include "register/TGast.h"

#include <QDate>
#include <QString>
#include <QStringList>

class QPrinter;

namespace billing {

// "Rechnung 1050 (Storno zu 1042).pdf"
QString cancellationFileName(qint32 nr, qint32 refersTo);

// "Stornorechnung Nr. 1050 zu Rechnung Nr. 1042 vom 14.12.2026"; without the date when the
// invoice's date is unknown.
QString cancellationTitle(qint32 nr, qint32 refersTo, const QDate &invoiceDate);

// The eight lines of the cancellation of `g`'s invoice `refersTo` (the stay as `g` holds it)
// over `amount` euros, which it shows with a minus sign.
QStringList cancellationLines(const guests::TGast &g, qint32 nr, qint32 refersTo, const QDate &invoiceDate,
                              double amount, platform::TDateTime today);

// Why a booking cannot be deleted: "Gast 6 (Weiß, 18.12.2026 bis 20.12.2026) hat Rechnung 1042:
// zuerst die Rechnung stornieren"; empty when it has no invoice and may go.
QString deleteRefusal(const guests::TGast &g);

// The question before a cancellation: "Rechnung 1042 von Gast 6 (Weiß, 18.12.2026 bis
// 20.12.2026) stornieren? …", naming what it does.
QString cancellationQuestion(const guests::TGast &g);

struct CancellationResult
{
    qint32 nr = 0;        // the cancellation's own number
    qint32 refersTo = 0;  // the invoice it cancels
    QString kopie;        // its kept PDF
    QString journalError; // printed and kept, but the journal line could not be written (why)
    QString counterNote;  // the counter was raised past a number issued already (why)
    // The journal held a cancellation of this invoice already (the record's change was lost):
    // nothing was printed, the record was only cleared.
    bool alreadyCancelled = false;
};

// Cancels the invoice of the record at `index`: the cancellation gets the next number and is
// printed on the form (or the letterhead page) with the invoice's stay and amount as the journal
// holds them (the record's when the journal does not know the invoice), the amount negative;
// it is kept read-only as "Rechnungen/Rechnung <Nr> (Storno zu <ReNr>).pdf" and journaled as
// "Storno" with the number it refers to. Then the record's invoice number and "Bezahlt" are
// cleared through the list. The same refusals and order as RechnungErstellen: nothing is
// numbered that could not be kept and journaled; a failed print leaves the record as it was.
// Throws EInvoiceError, EInOutError or EConvertError.
CancellationResult cancelInvoice(guests::GuestList &list, int index, const RechnungsDateien &dateien, QPrinter &printer,
                                 platform::TDateTime today);

} // namespace billing
