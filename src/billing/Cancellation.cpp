#include "billing/Cancellation.h"

#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceJournal.h"
#include "billing/IssuedInvoices.h"
#include "billing/StayCost.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "register/StayText.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace billing {

using guests::GuestAndStay;
using guests::GuestList;
using guests::GuestName;
using guests::Naechte;
using guests::TGast;

namespace {

QString plural(qint32 n, const QString &one, const QString &many)
{
    return n == 1 ? one : many;
}

} // namespace

QString cancellationFileName(qint32 nr, qint32 refersTo)
{
    return QStringLiteral("Rechnung %1 (Storno zu %2).pdf").arg(nr).arg(refersTo);
}

QString cancellationTitle(qint32 nr, qint32 refersTo, const QDate &invoiceDate)
{
    QString title = QStringLiteral("Stornorechnung Nr. %1 zu Rechnung Nr. %2").arg(nr).arg(refersTo);
    if (invoiceDate.isValid())
        title += QStringLiteral(" vom ") + invoiceDate.toString(QStringLiteral("dd.MM.yyyy"));
    return title;
}

QStringList cancellationLines(const TGast &g, qint32 nr, qint32 refersTo, const QDate &invoiceDate, double amount,
                              platform::TDateTime today)
{
    // The invoice's own lines, with the title, the credited amount and the closing in their places.
    TGast shown = g;
    shown.ReNr = refersTo;
    QStringList lines = InvoiceLines(shown, today);
    const qint32 nights = Naechte(g);
    lines[4] = cancellationTitle(nr, refersTo, invoiceDate);
    lines[6] = QStringLiteral("%1 %2 mit %3 %4 schreiben wir Ihnen gut")
                   .arg(nights)
                   .arg(plural(nights, QStringLiteral("Übernachtung"), QStringLiteral("Übernachtungen")))
                   .arg(g.Personen)
                   .arg(plural(g.Personen, QStringLiteral("Person"), QStringLiteral("Personen"))) +
               QString(36, u' ') + platform::FormatFixed(-amount, 7, 2) + QStringLiteral(" Euro");
    lines[7] = QStringLiteral("Die Rechnung Nr. %1 ist damit storniert.").arg(refersTo);
    return lines;
}

QString deleteRefusal(const TGast &g)
{
    if (g.ReNr == 0)
        return {};
    return QStringLiteral("%1 hat Rechnung %2: zuerst die Rechnung stornieren").arg(GuestAndStay(g)).arg(g.ReNr);
}

QString cancellationQuestion(const TGast &g)
{
    return QStringLiteral("Rechnung %1 von %2 stornieren?\n\nEs wird eine Stornorechnung mit einer neuen Nummer "
                          "gedruckt und abgelegt; die Rechnung selbst bleibt erhalten. Danach kann die Buchung "
                          "geändert und neu berechnet werden.")
        .arg(g.ReNr)
        .arg(GuestAndStay(g));
}

CancellationResult cancelInvoice(GuestList &list, int index, const RechnungsDateien &dateien, QPrinter &printer,
                                 platform::TDateTime today)
{
    if (index <= 0 || index > list.lastIndex())
        throw EInvoiceError(QStringLiteral("Kein Gast gewählt"));
    const TGast gast = list.at(index);
    if (gast.ReNr <= 0)
        throw EInvoiceError(
            QStringLiteral("%1 hat keine Rechnung; es gibt nichts zu stornieren.").arg(GuestName(gast)));
    const QImage form = dateien.ohneVorlage ? LeeresRechnungsblatt() : LoadInvoiceTemplate(dateien.vorlage);
    const Briefkopf *kopf = dateien.ohneVorlage ? &*dateien.ohneVorlage : nullptr;

    // Where the journal lies is known only once the counter is found; asked once, handed on.
    RechnungsDateien files = settledFiles(dateien);
    const QString ablage = files.ablage();
    files.highestRecordReNr = std::max(files.highestRecordReNr, HighestIssuedNumber(list.records(), {}, {}));

    // The journal knows what the invoice said; the record may have changed since.
    const JournalContents journal = journalBeforeANumber(ablage);
    const JournalLine *invoice = nullptr;
    for (const JournalLine &line : journal.lines) {
        if (line.used() && line.isCancellation() && line.refersTo == gast.ReNr) {
            CancellationResult done;
            done.nr = line.nr;
            done.refersTo = gast.ReNr;
            done.alreadyCancelled = true;
            list.modify(index, [](TGast &g) {
                g.ReNr = 0;
                g.Bezahlt = false;
            });
            return done;
        }
        if (line.used() && !line.isCancellation() && line.nr == gast.ReNr)
            invoice = &line;
    }
    TGast shown = gast;
    double amount = gast.Kosten;
    QDate invoiceDate;
    if (invoice) {
        shown.Von = invoice->von;
        shown.Bis = invoice->bis;
        shown.Personen = invoice->persons;
        shown.Zimmer = invoice->rooms;
        amount = invoice->amount;
        invoiceDate = invoice->issued.date();
    } else if (const QFileInfo copy(QDir(ablage).filePath(RechnungsDateiname(gast.ReNr))); copy.exists()) {
        invoiceDate = copy.lastModified().date();
    }
    if (!(amount > 0))
        throw EInvoiceError(QStringLiteral("Der Betrag der Rechnung Nr. %1 ist %2 Euro; eine Stornorechnung darüber "
                                           "wird nicht gedruckt. Es wurde keine Rechnungsnummer vergeben.")
                                .arg(gast.ReNr)
                                .arg(EuroText(amount)));

    const QTime now = platform::Clock::now().time();
    const QDateTime issued(platform::DayToDate(today), QTime(now.hour(), now.minute(), now.second()));
    NummerierteSeite seite;
    seite.was = QStringLiteral("Stornorechnung");
    seite.zeilen = [&](qint32 nr) { return cancellationLines(shown, nr, gast.ReNr, invoiceDate, amount, today); };
    seite.titel = [](qint32 nr) { return QStringLiteral("Stornorechnung %1").arg(nr); };
    seite.dateiname = [&gast](qint32 nr) { return cancellationFileName(nr, gast.ReNr); };
    seite.buchung = [&](qint32 nr) {
        JournalLine line = journalLineFor(shown, nr, issued);
        line.kind = QString::fromUtf8(kKindCancellation);
        line.refersTo = gast.ReNr;
        line.amount = -amount;
        return line;
    };
    const NumberedResult numbered = printNumbered(files, form, kopf, printer, seite);

    CancellationResult result;
    result.nr = numbered.nr;
    result.refersTo = gast.ReNr;
    result.kopie = numbered.kopie;
    result.journalError = numbered.journalError;
    result.counterNote = numbered.counterNote;
    list.modify(index, [](TGast &g) {
        g.ReNr = 0;
        g.Bezahlt = false;
    });
    return result;
}

} // namespace billing
