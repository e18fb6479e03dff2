#pragma once
// Issuing an invoice: its steps in the order that keeps the numbers gapless and honest; and
// printing a copy of an issued one, which takes no number.

#include "billing/Invoice.h"
#include "billing/InvoiceJournal.h"
#include "billing/PriceMatrix.h"
#include "platform/DayNumber.h"
#include "register/GuestList.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class QPrinter;

namespace billing {

// The steps of a numbered page that leave a trace on the disk, in their order.
enum class NumberStep {
    Reserved, // the journal holds the number as reserved; the counter has not moved yet
    Taken,    // the counter holds the number
    Kept,     // the PDF copy is kept
    Printed,  // the page went to the printer
    Journaled // the journal holds the issued page with its copy's hash
};

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
    // Printed without the scanned form: on a plain page with this letterhead; `vorlage` is not read.
    std::optional<Briefkopf> ohneVorlage = {};
    // The highest invoice number the guest records hold: no number at or below it is taken, even
    // when the counter stands lower. RechnungErstellen and cancelInvoice fill it from the list.
    qint32 highestRecordReNr = 0;
    // Told after each step of a numbered page, with its number, as it reaches the disk (for a
    // progress line; the crash tests stop the program there). Nothing when unset.
    std::function<void(NumberStep, qint32)> afterStep = {};
};

// The files with the counter asked for once (later calls give the first answer) and the folder
// for the copies settled: `ablage` as given, or "Rechnungen" beside the counter. Asks for the
// counter now.
RechnungsDateien settledFiles(const RechnungsDateien &dateien);

// Before a number is taken: the folder for the copies is made (and proven writable), the journal
// in it proven writable, and read. Throws EInvoiceError (or platform::EInOutError) ending "Es
// wurde keine Rechnungsnummer vergeben und nichts gedruckt."
JournalContents journalBeforeANumber(const QString &ablage);

struct RechnungsErgebnis
{
    qint32 ReNr = 0;
    QString kopie; // the kept PDF
    // The invoice was printed and kept, but its journal line could not be written (why); the
    // window shows it. Empty when the journal holds the invoice.
    QString journalError;
    // The counter stood below a number issued already and was raised before this number was
    // taken (see TakenNumber::counterNote); the window shows it. Empty otherwise.
    QString counterNote;
};

// A numbered page (an invoice, a cancellation): its eight lines, PDF title, file name and journal
// line for the number it gets; `was` names it in messages ("Rechnung", "Stornorechnung").
struct NummerierteSeite
{
    QString was;
    std::function<QStringList(qint32)> zeilen;
    std::function<QString(qint32)> titel;
    std::function<QString(qint32)> dateiname;
    std::function<JournalLine(qint32)> buchung;
};

struct NumberedResult
{
    qint32 nr = 0;
    QString kopie;
    QString journalError; // see RechnungsErgebnis
    QString counterNote;  // see RechnungsErgebnis
};

// The steps of a numbered page once its content is settled: the folder for the copies and the
// journal are proven writable (and the next number free) before a number is taken. Then, under
// the counter's lock, the number is found above every number issued (counter, journal, kept
// copies, `dateien.highestRecordReNr`; a lower counter is raised and named in counterNote) and
// journaled as reserved before the counter moves on; a reservation that cannot be written takes
// no number. Then the PDF is kept read-only, the page printed, and the journal line written with
// the PDF's SHA-256. When keeping or printing fails, the number is journaled as unused with the
// reason and EInvoiceError names it. A stop at any step leaves every number taken explained in the
// journal. Changes no record.
NumberedResult printNumbered(const RechnungsDateien &dateien, const QImage &form, const Briefkopf *kopf,
                             QPrinter &printer, const NummerierteSeite &seite);

// Prints an invoice for the record at `index` and keeps it as PDF. The form is loaded first (or a
// plain page with the letterhead taken); the
// amount is settled next (a cost of 0 is taken from the price list), and an amount of 0 or less,
// or one that cannot be computed, is refused. The folder for the copies must not hold a copy with
// the next number yet and must take a file the size of the copy (written and synced). Only then
// is the next number taken, and the steps follow in this order: the PDF is drawn, written, synced
// and made read-only; then the invoice is printed; then it reaches the record (through the list,
// which marks the data as changed). Nothing is printed without a kept copy: when keeping or
// printing fails the error names the number, which stays unused (a copy kept for an invoice that
// did not print is removed again). Every number taken gets its line in the journal
// "Rechnungen/Rechnungsbuch.csv" before the record changes; a journal that cannot be written
// stops the invoice before a number is taken. Record 0 is no guest and is refused. So is a stay
// the journal holds an uncancelled invoice for, whatever the record's number (the window asks
// first, with NeueRechnungFrage); cancelling it first frees the stay.
// Throws EInvoiceError, EInOutError or EConvertError.
RechnungsErgebnis RechnungErstellen(guests::GuestList &list, int index, const RechnungsDateien &dateien,
                                    const TPreisMatrix *matrix, QPrinter &printer, platform::TDateTime heute);

struct KopieErgebnis
{
    QString kopie;              // the kept PDF that was printed, or the one kept now
    bool neuGezeichnet = false; // no PDF was kept: the invoice was drawn again from the record
    QString fehler;             // the copy was printed, but could not be kept (why)
};

// Prints the kept PDF of `gast`'s invoice again, marked "Kopie", once it proves to be that
// invoice's copy (PruefeKopie); a file that does not is refused, and nothing is printed. An invoice from before copies
// were kept is drawn again from the record with its number and cost, marked "Kopie", printed,
// and that PDF is kept. Takes no number and changes no record.
// Throws EInvoiceError or EInOutError when nothing was printed.
KopieErgebnis RechnungskopieDrucken(const guests::TGast &gast, const QString &vorlage, const QString &ablage,
                                    QPrinter &printer, platform::TDateTime heute);

// The question before a second invoice for the same stay: a copy, or a cancellation and a new one;
// it names the invoice's date when it is known (issuedInvoiceFor gives it).
QString NeueRechnungFrage(qint32 ReNr, const QDate &datum = {});

// The question before an invoice to a guest without a name, a street or a town; empty when the
// address is whole.
QString OhneAnschriftFrage(const guests::TGast &gast);

} // namespace billing
