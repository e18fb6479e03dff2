#include "billing/IssuedInvoices.h"

#include "register/GuestList.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace billing {

using guests::GuestList;
using guests::TGast;

namespace {

// The journal writes whole days; a record may carry a fraction from an old file.
bool sameDay(platform::TDateTime a, platform::TDateTime b)
{
    return std::floor(a) == std::floor(b);
}

bool isStayOf(const IssuedInvoice &invoice, const TGast &gast)
{
    return invoice.gastNr == gast.GastNr && sameDay(invoice.von, gast.Von) && sameDay(invoice.bis, gast.Bis);
}

} // namespace

std::vector<IssuedInvoice> uncancelledInvoices(const JournalContents &journal)
{
    std::vector<IssuedInvoice> invoices;
    for (const JournalLine &line : journal.lines) {
        if (!line.countsAsIssued())
            continue;
        if (line.isCancellation()) {
            // Cancels what was issued before it; an invoice written after it is a new one.
            std::erase_if(invoices, [&line](const IssuedInvoice &invoice) { return invoice.nr == line.refersTo; });
            continue;
        }
        invoices.push_back({line.nr, line.issued, line.gastNr, line.von, line.bis, line.amount});
    }
    return invoices;
}

std::optional<IssuedInvoice> issuedInvoiceFor(const JournalContents &journal, const TGast &gast)
{
    const std::vector<IssuedInvoice> invoices = uncancelledInvoices(journal);
    const auto found = std::find_if(invoices.rbegin(), invoices.rend(),
                                    [&gast](const IssuedInvoice &invoice) { return isStayOf(invoice, gast); });
    if (found == invoices.rend())
        return std::nullopt;
    return *found;
}

std::optional<IssuedInvoice> issuedInvoiceFor(const QString &invoiceFolder, const TGast &gast)
{
    // Only the guest's lines and the cancellations can tell: the others are not made into lines.
    JournalContents journal;
    forEachJournalLineView(journalPath(invoiceFolder), [&journal, &gast](const JournalLineView &line) {
        if (line.gastNr == gast.GastNr || line.cancellation)
            journal.lines.push_back(line.line());
    });
    markKeptUnfinished(journal, invoiceFolder);
    return issuedInvoiceFor(journal, gast);
}

qint32 HighestIssuedNumber(const std::vector<TGast> &records, const std::vector<AbgelegteRechnung> &kopien,
                           const JournalContents &journal)
{
    qint32 highest = 0;
    // Record 0 is the list's placeholder, no invoice.
    for (std::size_t i = 1; i < records.size(); ++i)
        highest = std::max(highest, records[i].ReNr);
    for (const AbgelegteRechnung &kopie : kopien)
        highest = std::max(highest, kopie.nr);
    for (const JournalLine &line : journal.lines)
        highest = std::max({highest, line.nr, line.refersTo});
    return highest;
}

qint32 HighestIssuedNumber(const std::vector<TGast> &records, const QString &invoiceFolder)
{
    qint32 highest = HighestIssuedNumber(records, AbgelegteRechnungen(invoiceFolder), JournalContents{});
    forEachJournalLineView(journalPath(invoiceFolder), [&highest](const JournalLineView &line) {
        highest = std::max({highest, line.nr, line.refersTo});
    });
    return highest;
}

qint32 ErsteFreieReNr(const std::vector<TGast> &records, const std::vector<AbgelegteRechnung> &kopien,
                      const JournalContents &journal)
{
    const qint32 highest = HighestIssuedNumber(records, kopien, journal);
    return highest == std::numeric_limits<qint32>::max() ? highest : highest + 1;
}

ReattachResult reattachInvoices(GuestList &list, const JournalContents &journal)
{
    ReattachResult result;
    std::set<qint32> held;
    for (int i = 1; i <= list.lastIndex(); ++i)
        if (list.at(i).ReNr > 0)
            held.insert(list.at(i).ReNr);

    for (int i = 1; i <= list.lastIndex(); ++i) {
        const TGast gast = list.at(i);
        const std::optional<IssuedInvoice> invoice = issuedInvoiceFor(journal, gast);
        if (!invoice || gast.ReNr == invoice->nr)
            continue;
        const QString which = issuedInvoiceText(invoice->nr, invoice->issued.date());
        if (gast.ReNr != 0) {
            result.messages << QStringLiteral("Gast %1 trägt Rechnung %2, das Rechnungsbuch nennt für diesen "
                                              "Aufenthalt %3; nichts geändert")
                                   .arg(gast.GastNr)
                                   .arg(gast.ReNr)
                                   .arg(which);
            continue;
        }
        if (held.contains(invoice->nr)) {
            // The same number on two records would be worse than a record without it.
            result.messages << QStringLiteral("%1 gehört laut Rechnungsbuch zu Gast %2, steht aber schon bei einem "
                                              "anderen Gast; nichts geändert")
                                   .arg(which)
                                   .arg(gast.GastNr);
            continue;
        }
        list.modify(i, [nr = invoice->nr](TGast &g) { g.ReNr = nr; });
        held.insert(invoice->nr);
        result.reattached.push_back(i);
        result.messages
            << QStringLiteral("Rechnung %1 wieder bei Gast %2 eingetragen").arg(invoice->nr).arg(gast.GastNr);
    }
    return result;
}

std::vector<qint32> unheldInvoices(const std::vector<TGast> &records, const JournalContents &journal)
{
    std::set<qint32> held;
    for (std::size_t i = 1; i < records.size(); ++i)
        held.insert(records[i].ReNr);
    std::set<qint32> unheld;
    for (const IssuedInvoice &invoice : uncancelledInvoices(journal))
        if (!held.contains(invoice.nr))
            unheld.insert(invoice.nr);
    return {unheld.begin(), unheld.end()};
}

QString issuedInvoiceText(qint32 nr, const QDate &issued)
{
    if (!issued.isValid())
        return QStringLiteral("Rechnung %1").arg(nr);
    return QStringLiteral("Rechnung %1 vom %2").arg(nr).arg(issued.toString(QStringLiteral("dd.MM.yyyy")));
}

} // namespace billing
