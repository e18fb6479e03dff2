#pragma once
// The main window: the guest form on the page "Gast" and the room calendar on the page
// "Zimmerkalender". Its handlers read the form or the list, call the core modules and show
// the result; the logic itself lives in those modules.

#include "app/AppContext.h"
#include "app/GuestForm.h"
#include "billing/CreateBill.h"
#include "billing/StayCost.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/Recovery.h"
#include "guestfile/SetupCheck.h"
#include "platform/FolderLock.h"
#include "register/GuestList.h"
#include "register/SessionChanges.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class TMainForm;
}
class QAction;
class QMenu;
class QPrinter;
class QTimer;
namespace calendar {
class RoomCalendarModel;
}

namespace app {

class SettingsDialog;

class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    // Asks the user through `dialogs` (the real Qt dialogs in the constructor above).
    explicit TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent = nullptr);
    ~TMainForm() override;

    // What this window shares with the other windows (made by this window, kept while it lives).
    AppContext &context() { return *context_; }
    const AppContext &context() const { return *context_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private Q_SLOTS:
    // The handlers, named after the controls and events they answer.
    // False when nothing was saved because the host said no or cancelled.
    bool FileSave();
    void FileRead();
    void ButtonSaveClick();
    void ButtonReadClick();
    void ButtonNeuerGastClick();
    void ButtonStornierenClick();
    void SpinBox1Change(int value);
    void ZimmerClick();
    void GridZimmerSelectCell(int ACol, int ARow);
    void GridZimmerCellClick(int Column, int Row);
    void GridZimmerCellDblClick(int Column, int Row);
    void DateEditVonEnter();
    void NumberBoxKostenEnter();
    // "Kosten berechnen": the price list's amount into the cost field on demand.
    void KostenBerechnenClick();
    void ButtonPrintReClick();
    // Prints the current guest's invoice again, marked "Kopie", without a new number.
    void RechnungskopieClick();
    // "Ansicht" → "Rechnungen": the window of the kept invoices (made on first use).
    void RechnungenClick();
    // "Rechnung stornieren…": a cancellation invoice for the current guest's invoice, then the
    // record is free to be changed and invoiced again.
    void RechnungStornierenClick();
    // "Gast" → "Auskunft…": everything stored about the current guest's person, as PDF and CSV.
    void AuskunftClick();
    // "Datei" → "Alte Aufenthalte anonymisieren…": the dialog; its confirmation erases the stays.
    void AnonymisierenClick();
    void anonymizeConfirmed(const std::vector<int> &indexes);
    // "Gast" → "Buchungsbestätigung…" and "Per E-Mail senden…": the letter for the shown booking.
    void BuchungsbestaetigungClick();
    void PerEmailClick();
    void RestoreBackup();
    // The desktop session ends: unsaved changes are saved, or asked about where the session lets
    // the program ask. False when the host wants the session not to end.
    bool SessionEnds(bool mayAsk);
    // "Ansicht" → "Gästeliste": opens the guest list window, or brings it to the front.
    void GaestelisteClick();
    // "Datei" → "Einstellungen…" (or "Einrichten…" at the first part missing): opens the settings
    // window, or brings it to the front, at `step` when given.
    SettingsDialog *showSettings(std::optional<guestfile::SetupStep> step = std::nullopt);
    // Makes a record current and shows it on the page "Gast", in front (asked by other windows).
    void openRecord(int index);

private:
    // What became of unsaved changes at the question "Daten sichern?".
    enum class UnsavedChanges { Kept, Dropped, Cancelled };

    void FormCreate();
    bool FormClose();
    // Copies the form into the current record / shows the current record in the form.
    void MaskToRecord();
    void RecordToMask();
    // Fills the room calendar; row 11 shows Starttag.
    void ZeigGrid(platform::TDateTime Starttag);
    void DelGast();
    void Uebernachtungskosten();
    // `vorschlag`: the file the print dialog offered for printing to a file.
    // `cancelFirst`: the record's invoice is cancelled before the new one is printed, and
    // `newCost` (the price list's amount, when the host chose it) reaches the record only then.
    void CreateBill(QPrinter &printer, const QString &vorschlag = QString(), bool cancelFirst = false,
                    std::optional<double> newCost = std::nullopt);
    // After an invoice or a cancellation is printed: the guest file takes it at once. When it
    // cannot (a full disk, a question answered "Nein"), the host is told plainly that `what` is
    // printed and kept but not entered (and `more`), the recovery copy is written at once, and the
    // next save enters it. False then.
    bool enterPrinted(const QString &what, const QString &more = QString());
    // The files an invoice or a cancellation is numbered, kept and journaled with.
    billing::RechnungsDateien invoiceFiles(const QString &vorschlag);
    // "Daten sichern?" with Ja, Nein and Abbrechen (also Esc and the window's ×), where there are
    // unsaved changes: Kept when there were none or they were saved, Cancelled when the host
    // cancelled or the save did not happen.
    UnsavedChanges askToSaveChanges();
    // After the guests are read: a record whose invoice the journal holds but the record lost
    // (a kill, another copy's save, an older backup) gets it back, and the host is told which.
    void reattachInvoices();
    // Once at start: lines of the invoice journal changed, removed or cut off by hand.
    void sayJournalFindings();
    // The recovery copy of unsaved work: written soon after a change, and at once when the program
    // is ended from outside; offered at the start.
    void noteChange();
    void keepRecoveryCopy();
    void offerRecovery();
    void dropRecoveryCopy();
    // The recovery copy goes where this copy's data folder is, under the shared name only while
    // this copy holds the folder.
    void followRecovery();
    // SIGTERM or SIGHUP: close as the host would; a second one while that waits for an answer
    // closes without one.
    void terminationRequested();
    void connectControls();
    void connectList();
    void connectContext();
    void createMenus();
    void OpenRememberedData();
    void ClaimDataFolder();
    // Shows the record at `index` and lets the spin box follow.
    void ShowRecord(int index);
    void showCurrent();
    // The calendar and the status line show the picks as they are now.
    void showPicks(const calendar::PickState &picks);
    // No picks any more (they were used, or opening a guest is no pick).
    void dropPicks();
    void checkStay();
    // "Neuer Gast" from a room taken through a portal, when the host agrees.
    void newGuestFromBlock(const guests::PortalBlock &block);
    // Fetches the subscriptions at start when the host ticked it and the last time is long enough ago.
    void syncPortalsAtStart();
    // Names in the status line the bookings that the shown record now shares a night with.
    void sayDoubleBooking();
    void rememberStay();
    QString DataPath(const char *fileName, bool forSaving);
    // The price list of the data folder (else of the start folder); null when there is none.
    const billing::TPreisMatrix *priceList();
    // What the cost field's rules need beside the current record.
    billing::KostenLage kostenLage();
    // The invoice form, looked for where the price list is; throws when it is not there.
    QString invoiceFormPath(bool required);
    // A house without an invoice counter yet is asked which number its first invoice gets, and the
    // counter is made; false when the host cancels.
    bool ensureInvoiceCounter(const QString &counter);
    // The data folder chosen in the settings: unsaved changes are asked about, then its guest file
    // is read (a folder without one starts an empty list, or keeps a list never saved anywhere).
    bool switchDataFolder(const QString &folder);
    // What the house still lacks; "Einrichten…" is offered while anything does. The hint for the
    // status line, empty when all is there.
    QString followSetup();
    // Without the form: the host picks one or prints without; false when cancelled.
    bool ensureInvoiceForm();
    // Runs a handler; an error that escapes it is shown in the error box and the program goes on.
    void guarded(const std::function<void()> &handler);
    void setStatus(const QString &text);

    // Made first and gone last of the members. The other windows are Qt children, deleted after
    // the members; on their way out they touch none of it.
    std::unique_ptr<AppContext> context_;
    guests::GuestList &list_; // the context's
    std::unique_ptr<Ui::TMainForm> ui_;
    GuestForm form_;
    guestfile::GuestFileSession session_;   // which version of the guest file this session knows
    platform::InstanceLock instance_;       // tells a second copy of the program that the folder is taken
    guestfile::OwnRecoveryCopy recovery_;   // this copy's own, so two copies never drop each other's
    QString warnedFolder_;                  // the folder whose "bereits" message was shown
    calendar::RoomCalendarModel *calendar_ = nullptr; // owned by the window
    bool showing_ = false;                  // true while RecordToMask fills the form
    bool storing_ = false;                  // true while the form's own values go into the list
    // The rooms and days of the shown record as last seen, so only a change of them is announced.
    struct ShownStay
    {
        int index = -1;
        QString Zimmer;
        double Von = 0;
        double Bis = 0;
    } stayShown_;
    QTimer *recoveryTimer_ = nullptr;       // writes the recovery copy a moment after a change
    bool terminating_ = false;              // a termination signal's closing is under way
    bool closingUnasked_ = false;           // nobody can answer: close, leaving the recovery copy
    // The menus; the other windows put their entries in them.
    QMenu *menuDatei_ = nullptr;
    QMenu *menuAnsicht_ = nullptr;
    QMenu *menuRechnung_ = nullptr;
    QMenu *menuGast_ = nullptr;
    QAction *actionKopie_ = nullptr; // "Rechnungskopie": only for a record with an invoice number
    QAction *actionStorno_ = nullptr; // "Rechnung stornieren…": the same
    QAction *actionKostenBerechnen_ = nullptr;
    QAction *actionEinrichten_ = nullptr; // shown while the house is not set up
    QPointer<SettingsDialog> settings_;
    billing::KostenBezuege kostenBezuege_{list_};  // the stay each record's amount stands for
    guests::SessionChanges sessionChanges_{list_}; // the records the host changed since reading or saving
};

} // namespace app
