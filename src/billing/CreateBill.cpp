#include "billing/CreateBill.h"

#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceNumber.h"
#include "billing/InvoicePdf.h"
#include "billing/StayCost.h"
#include "platform/AnsiText.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

namespace {

// A print to the file the dialog offered gets the name of the number really taken.
void druckdateiFolgtNummer(QPrinter &printer, const RechnungsDateien &dateien, const QString &counter, qint32 nr)
{
    if (dateien.druckdateiVorschlag.isEmpty() || printer.outputFormat() != QPrinter::PdfFormat ||
        printer.outputFileName() != dateien.druckdateiVorschlag)
        return;
    printer.setOutputFileName(QFileInfo(counter).absoluteDir().filePath(RechnungsDateiname(nr)));
}

} // namespace

RechnungsErgebnis RechnungErstellen(GuestList &list, int index, const RechnungsDateien &dateien,
                                    const TPreisMatrix *matrix, QPrinter &printer, platform::TDateTime heute)
{
    if (index <= 0 || index > list.lastIndex())
        throw EInvoiceError(QStringLiteral("Kein Gast gewählt"));
    TGast gast = list.at(index);
    const QImage form = LoadInvoiceTemplate(dateien.vorlage);
    if (gast.Kosten == 0 && matrix == nullptr)
        throw EInvoiceError(QStringLiteral("Die Kosten sind 0,00 Euro und Preismatrix.dat fehlt, sie können nicht "
                                           "berechnet werden. Bitte die Kosten eintragen."));

    const QString counter = dateien.nummer();
    const QString ablage =
        dateien.ablage ? dateien.ablage() : QFileInfo(counter).dir().filePath(QString::fromUtf8(kRechnungenOrdner));
    PruefeAblage(ablage);
    // A copy with the next number means the counter went back: that number was issued already.
    if (const std::optional<qint32> next = NaechsteReNrVorschau(counter)) {
        try {
            PruefeNeueAblage(ablage, *next);
        } catch (const EInvoiceError &error) {
            throw EInvoiceError(error.message() +
                                QStringLiteral("\nDie nächste Nummer aus ReNummer.DAT ist also schon vergeben worden; "
                                               "bitte ReNummer.DAT prüfen. Es wurde keine Rechnungsnummer vergeben "
                                               "und nichts gedruckt."));
        }
    }

    gast.ReNr = NextReNr(counter);
    if (gast.Kosten == 0)
        gast.Kosten = Uebernachtungskosten(gast, *matrix);
    druckdateiFolgtNummer(printer, dateien, counter, gast.ReNr);
    {
        QImage invoice = form;
        DrawInvoice(invoice, gast, heute);
        try {
            PrintInvoice(printer, invoice);
        } catch (const EInvoiceError &error) {
            throw EInvoiceError(
                error.message() +
                QStringLiteral("\nRechnung Nr. %1 wurde nicht gedruckt und bleibt frei.").arg(gast.ReNr));
        }
    }
    list.update(index, gast);

    RechnungsErgebnis result;
    result.ReNr = gast.ReNr;
    try {
        result.kopie =
            LegeRechnungAb(ablage, gast.ReNr, RechnungsPdf(form, gast, heute, AblageSeitengroesse(printer), false));
    } catch (const std::exception &error) {
        result.kopieFehlt = QStringLiteral("Rechnung Nr. %1 wurde gedruckt und gilt, aber ihre Kopie „%2“ fehlt:\n%3\n"
                                           "Mit „Rechnungskopie“ im Menü „Rechnung“ lässt sie sich neu erstellen.")
                                .arg(gast.ReNr)
                                .arg(RechnungsDateiname(gast.ReNr), QString::fromUtf8(error.what()));
    }
    return result;
}

KopieErgebnis RechnungskopieDrucken(const TGast &gast, const QString &vorlage, const QString &ablage, QPrinter &printer,
                                    platform::TDateTime heute)
{
    if (gast.ReNr <= 0)
        throw EInvoiceError(QStringLiteral("Dieser Gast hat noch keine Rechnung; es gibt keine Kopie zu drucken."));
    KopieErgebnis result;
    result.kopie = QDir(ablage).filePath(RechnungsDateiname(gast.ReNr));
    if (QFileInfo::exists(result.kopie)) {
        DruckeKopie(printer, platform::ReadFileBytes(result.kopie), result.kopie);
        return result;
    }

    // Kept from now on, marked as what it is: drawn again today, not the paper the guest got.
    const QByteArray pdf = RechnungsPdf(LoadInvoiceTemplate(vorlage), gast, heute, AblageSeitengroesse(printer), true);
    DruckeKopie(printer, pdf, result.kopie);
    result.neuGezeichnet = true;
    try {
        result.kopie = LegeRechnungAb(ablage, gast.ReNr, pdf);
    } catch (const std::exception &error) {
        result.kopie.clear();
        result.fehler = QStringLiteral("Die Kopie der Rechnung Nr. %1 wurde gedruckt, konnte aber nicht als „%2“ "
                                       "abgelegt werden:\n%3")
                            .arg(gast.ReNr)
                            .arg(RechnungsDateiname(gast.ReNr), QString::fromUtf8(error.what()));
    }
    return result;
}

QString NeueRechnungFrage(qint32 ReNr)
{
    return QStringLiteral("Für diesen Gast gibt es schon die Rechnung Nr. %1.\n\n"
                          "Soll wirklich eine neue Rechnung mit einer neuen Nummer gedruckt werden?\n\n"
                          "Einen weiteren Ausdruck der Rechnung Nr. %1 ohne neue Nummer druckt "
                          "„Rechnungskopie“ im Menü „Rechnung“.")
        .arg(ReNr);
}
