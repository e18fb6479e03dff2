#pragma once
// What the menu "Rechnung" and the cost field do for the shown booking: the cost of the stay,
// printing its invoice (with the questions before a number is taken), a copy, a cancellation and
// a new invoice after one, the invoice counter of a new house and the invoice form.

#include "billing/CreateBill.h"
#include "billing/StayCost.h"
#include "guestfile/SetupCheck.h"

#include <QObject>
#include <optional>

class QAction;
class QDoubleSpinBox;
class QPrinter;
class QWidget;

namespace app {

class AppContext;
class BookingEditor;
class GuestFileController;
class StatusLine;

class InvoiceActions : public QObject
{
    Q_OBJECT

public:
    // `costMaximum`: the largest amount the cost field holds.
    InvoiceActions(AppContext &context, BookingEditor &editor, GuestFileController &files, StatusLine &status,
                   QWidget *window, double costMaximum);
    ~InvoiceActions() override;

    // The menu entries, in the order of the menu "Rechnung".
    QAction *actionDrucken() const { return drucken_; }
    QAction *actionKopie() const { return kopie_; }
    QAction *actionStorno() const { return storno_; }
    QAction *actionKostenBerechnen() const { return kostenBerechnen_; }
    // The cost field's own menu offers "Kosten berechnen" too, below the usual entries.
    void addToCostMenu(QDoubleSpinBox *kosten);

    // Entering the cost field: the price list's amount when the field asks for one.
    void NumberBoxKostenEnter();
    // "Kosten berechnen": the price list's amount into the cost field on demand.
    void KostenBerechnenClick();
    void ButtonPrintReClick();
    // Prints the current guest's invoice again, marked "Kopie", without a new number.
    void RechnungskopieClick();
    // "Rechnung stornieren…": a cancellation invoice for the current guest's invoice, then the
    // record is free to be changed and invoiced again.
    void RechnungStornierenClick();

Q_SIGNALS:
    // The host wants to set up `step` before printing (the price list).
    void settingsWanted(guestfile::SetupStep step);
    // The invoice form or printing without it was chosen: what the house lacks may have changed.
    void setupChanged();

private:
    void Uebernachtungskosten();
    // `vorschlag`: the file the print dialog offered for printing to a file.
    // `cancelFirst`: the record's invoice is cancelled before the new one is printed, and
    // `newCost` (the price list's amount, when the host chose it) reaches the record only then.
    void CreateBill(QPrinter &printer, const QString &vorschlag, bool cancelFirst, std::optional<double> newCost);
    // After an invoice or a cancellation is printed: the guest file takes it at once. When it
    // cannot (a full disk, a question answered "Nein"), the host is told plainly that `what` is
    // printed and kept but not entered (and `more`), the recovery copy is written at once, and the
    // next save enters it. False then.
    bool enterPrinted(const QString &what, const QString &more = QString());
    // The files an invoice or a cancellation is numbered, kept and journaled with.
    billing::RechnungsDateien invoiceFiles(const QString &vorschlag);
    // The price list of the data folder (else of the start folder); null when there is none.
    const billing::TPreisMatrix *priceList();
    // What the cost field's rules need beside the current record.
    billing::KostenLage kostenLage();
    // The invoice form, looked for where the price list is; throws when it is not there.
    QString invoiceFormPath(bool required);
    // A house without an invoice counter yet is asked which number its first invoice gets, and the
    // counter is made; false when the host cancels.
    bool ensureInvoiceCounter(const QString &counter);
    // Without the form: the host picks one or prints without; false when cancelled.
    bool ensureInvoiceForm();
    QString dataPath(const char *fileName);

    AppContext &context_;
    guests::GuestList &list_; // the context's
    BookingEditor &editor_;
    GuestFileController &files_;
    StatusLine &status_;
    QWidget *window_;
    double costMaximum_;
    billing::KostenBezuege kostenBezuege_; // the stay each record's amount stands for
    QAction *drucken_ = nullptr;
    QAction *kopie_ = nullptr;  // only for a record with an invoice number
    QAction *storno_ = nullptr; // the same
    QAction *kostenBerechnen_ = nullptr;
};

} // namespace app
