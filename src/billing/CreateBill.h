#pragma once
// Issuing an invoice: its steps in the order that keeps the numbers gapless and honest; and
// printing a copy of an issued one, which takes no number.

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
    // The folder "Rechnungen" that keeps a PDF of every invoice; asked for after the counter.
    // Without it, "Rechnungen" beside the counter.
    std::function<QString()> ablage = {};
    // The file name the print dialog offered for printing to a file ("Rechnung 1042.pdf", from a
    // look at the counter). Should another number be taken after all, the file takes its name.
    QString druckdateiVorschlag = {};
};

struct RechnungsErgebnis
{
    qint32 ReNr = 0;
    QString kopie;      // the kept PDF; empty when it could not be written
    QString kopieFehlt; // then: the message that names the number whose copy is missing
};

// Prints an invoice for the record at `index` and keeps it as PDF. The form is loaded first and a
// zero cost without a price list is refused; the folder for the copies must be writable and must
// not hold a copy with the next number yet. Only then is the next number taken, the cost
// computed if it is still 0, the invoice drawn and printed. Only a printed invoice reaches the
// record (through the list, which marks the data as changed); when printing fails the error
// names the number, which stays unused. A printed invoice counts even when its PDF cannot be
// written afterwards: the result says so. Record 0 is no guest and is refused.
// Throws EInvoiceError, EInOutError or EConvertError.
RechnungsErgebnis RechnungErstellen(GuestList &list, int index, const RechnungsDateien &dateien,
                                    const TPreisMatrix *matrix, QPrinter &printer, platform::TDateTime heute);

struct KopieErgebnis
{
    QString kopie;              // the kept PDF that was printed, or the one kept now
    bool neuGezeichnet = false; // no PDF was kept: the invoice was drawn again from the record
    QString fehler;             // the copy was printed, but could not be kept (why)
};

// Prints the kept PDF of `gast`'s invoice again, marked "Kopie". An invoice from before copies
// were kept is drawn again from the record with its number and cost, marked "Kopie", printed,
// and that PDF is kept. Takes no number and changes no record.
// Throws EInvoiceError or EInOutError when nothing was printed.
KopieErgebnis RechnungskopieDrucken(const TGast &gast, const QString &vorlage, const QString &ablage, QPrinter &printer,
                                    platform::TDateTime heute);

// The question before a second invoice for the same stay.
QString NeueRechnungFrage(qint32 ReNr);
