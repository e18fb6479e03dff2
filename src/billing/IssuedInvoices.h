#pragma once
// What has been issued, as the journal tells it: the journal outlives a lost record change, a
// second copy's save and an older backup, so it decides which invoice a stay has and which
// numbers are taken.

#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "register/TGast.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace guests {
class GuestList;
}

namespace billing {

// An invoice the journal holds as issued (printed and kept) and not cancelled.
struct IssuedInvoice
{
    qint32 nr = 0;
    QDateTime issued;
    qint32 gastNr = 0;
    platform::TDateTime von = 0;
    platform::TDateTime bis = 0;
    double amount = 0;

    bool operator==(const IssuedInvoice &) const = default;
};

// Every issued invoice that no later cancellation refers to, in the order written. A reserved
// number, a number that stayed unused and a cancellation itself are no invoices; a reservation
// whose copy was kept before the program stopped (JournalLine::keptUnfinished) is one, and such a
// cancellation cancels.
std::vector<IssuedInvoice> uncancelledInvoices(const JournalContents &journal);

// The uncancelled invoice for `gast`'s stay: the same guest number, arrival and departure. The
// last one when the journal (against all rules) holds more. Nothing when there is none.
std::optional<IssuedInvoice> issuedInvoiceFor(const JournalContents &journal, const guests::TGast &gast);
// The same, reading the journal in the folder of the kept copies. Throws platform::EInOutError
// when the journal cannot be read.
std::optional<IssuedInvoice> issuedInvoiceFor(const QString &invoiceFolder, const guests::TGast &gast);

// The highest invoice number that has been given: of any journal line (a reservation, a number
// that stayed unused and a cancellation included), of a kept copy, and of a record (record 0
// aside). 0 when there is none.
qint32 HighestIssuedNumber(const std::vector<guests::TGast> &records, const std::vector<AbgelegteRechnung> &kopien,
                           const JournalContents &journal);
// The same, reading the folder of the kept copies and its journal. Throws platform::EInOutError
// when the journal cannot be read.
qint32 HighestIssuedNumber(const std::vector<guests::TGast> &records, const QString &invoiceFolder);

// The lowest number a new counter may start with, the journal included: one above
// HighestIssuedNumber (1 when nothing was issued).
qint32 ErsteFreieReNr(const std::vector<guests::TGast> &records, const std::vector<AbgelegteRechnung> &kopien,
                      const JournalContents &journal);

struct ReattachResult
{
    std::vector<int> reattached; // the indexes of the records that got their invoice back
    // "Rechnung 1042 wieder bei Gast 7 eingetragen", and for a record left alone why.
    QStringList messages;
};

// After the guest file is read: a record whose stay has an uncancelled invoice in the journal
// but no invoice number (lost by a kill, by a second copy's save or with an older backup) gets
// that number back through the list, which marks the data as changed. A record that holds
// another number is left alone and named; so is one whose invoice another record holds already.
ReattachResult reattachInvoices(guests::GuestList &list, const JournalContents &journal);

// The numbers of issued, uncancelled invoices that no record holds (record 0 aside), ascending.
std::vector<qint32> unheldInvoices(const std::vector<guests::TGast> &records, const JournalContents &journal);

// "Rechnung 1042 vom 03.12.2026": an issued invoice in the host's words; without the date when
// it is unknown.
QString issuedInvoiceText(qint32 nr, const QDate &issued);

} // namespace billing
