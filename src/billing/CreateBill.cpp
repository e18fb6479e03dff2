#include "billing/CreateBill.h"

#include "billing/Invoice.h"
#include "billing/InvoiceNumber.h"
#include "billing/StayCost.h"

qint32 RechnungErstellen(GuestList &list, int index, const RechnungsDateien &dateien, const TPreisMatrix *matrix,
                         QPrinter &printer, platform::TDateTime heute)
{
    if (index <= 0 || index > list.lastIndex())
        throw EInvoiceError(QStringLiteral("Kein Gast gewählt"));
    TGast gast = list.at(index);
    QImage invoice = LoadInvoiceTemplate(dateien.vorlage);
    if (gast.Kosten == 0 && matrix == nullptr)
        throw EInvoiceError(QStringLiteral("Die Kosten sind 0,00 Euro und Preismatrix.dat fehlt, sie können nicht "
                                           "berechnet werden. Bitte die Kosten eintragen."));

    gast.ReNr = NextReNr(dateien.nummer());
    if (gast.Kosten == 0)
        gast.Kosten = Uebernachtungskosten(gast, *matrix);
    DrawInvoice(invoice, gast, heute);
    try {
        PrintInvoice(printer, invoice);
    } catch (const EInvoiceError &error) {
        throw EInvoiceError(error.message() +
                            QStringLiteral("\nRechnung Nr. %1 wurde nicht gedruckt und bleibt frei.").arg(gast.ReNr));
    }
    list.update(index, gast);
    return gast.ReNr;
}
