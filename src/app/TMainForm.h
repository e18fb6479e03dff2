#pragma once
// The main window: the guest form on the page "Gast" and the room calendar on the page
// "Zimmerkalender". Its handlers read the form or the list, call the core modules and show
// the result; the logic itself lives in those modules.

#include "app/Dialogs.h"
#include "app/GuestForm.h"
#include "billing/PriceMatrix.h"
#include "billing/StayCost.h"
#include "calendar/RoomCalendar.h"
#include "guestfile/DataFolder.h"
#include "guestfile/GuestFileSession.h"
#include "guestfile/SetupCheck.h"
#include "platform/FolderLock.h"
#include "register/GuestList.h"
#include "register/SessionChanges.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class TMainForm;
}
class GuestListWindow;
class InvoiceListWindow;
class QAction;
class QMenu;
class QPrinter;
class RoomCalendarModel;
class SettingsDialog;
class QTimer;

class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    // Tests pass dialogs that answer in place of the user.
    explicit TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent = nullptr);
    ~TMainForm() override;

    const GuestList &guests() const { return list_; }
    // The other windows change records through the list, which tells this window.
    GuestList &guestList() { return list_; }
    const PickState &picks() const { return picks_; }
    const TPreisMatrix &preisMatrix() const { return matrix_; }
    const DataFolder &dataFolder() const { return dataFolder_; }
    Dialogs &dialogs() { return *dialogs_; }

    // Makes a record current and shows it on the page "Gast" (from the other windows).
    void openRecord(int index);
    // Takes picks made elsewhere (the occupancy plan) as if they were made in the calendar.
    void setPicks(const PickState &picks);

    // Copies the form into the current record / shows the current record in the form.
    void MaskToRecord();
    void RecordToMask();

    // Fills the room calendar; row 11 shows Starttag.
    void ZeigGrid(platform::TDateTime Starttag);

    // The handlers, public so tests can start each one on its own.
    // False when nothing was saved because the host said no or cancelled.
    bool FileSave();
    void FileRead();
    void ButtonSaveClick();
    void ButtonReadClick();
    void ButtonNeuerGastClick();
    void ButtonStornierenClick();
    void DelGast();
    void SpinBox1Change(int value);
    void ZimmerClick();
    void GridZimmerSelectCell(int ACol, int ARow);
    void GridZimmerCellClick(int Column, int Row);
    void GridZimmerCellDblClick(int Column, int Row);
    void DateEditVonEnter();
    void NumberBoxKostenEnter();
    void Uebernachtungskosten();
    // "Kosten berechnen": the price list's amount into the cost field on demand.
    void KostenBerechnenClick();
    void ButtonPrintReClick();
    // `vorschlag`: the file the print dialog offered for printing to a file.
    void CreateBill(QPrinter &printer, const QString &vorschlag = QString());
    // Prints the current guest's invoice again, marked "Kopie", without a new number.
    void RechnungskopieClick();
    // The window "Rechnungen" (made on first use).
    InvoiceListWindow *showInvoiceList();
    void RestoreBackup();
    // The desktop session ends: unsaved changes are saved, or asked about where the session lets
    // the program ask. False when the host wants the session not to end.
    bool SessionEnds(bool mayAsk);
    // "Ansicht" → "Gästeliste": opens the guest list window, or brings it to the front.
    void GaestelisteClick();
    // "Datei" → "Einstellungen…" (or "Einrichten…" at the first part missing): opens the settings
    // window, or brings it to the front, at `step` when given.
    SettingsDialog *showSettings(std::optional<SetupStep> step = std::nullopt);

Q_SIGNALS:
    // The picks were made, used or dropped; windows that show them follow.
    void picksChanged(const PickState &picks);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What became of unsaved changes at the question "Daten sichern?".
    enum class UnsavedChanges { Kept, Dropped, Cancelled };

    void FormCreate();
    bool FormClose();
    // "Daten sichern?" with Ja, Nein and Abbrechen (also Esc and the window's ×), where there are
    // unsaved changes: Kept when there were none or they were saved, Cancelled when the host
    // cancelled or the save did not happen.
    UnsavedChanges askToSaveChanges();
    // The recovery copy of unsaved work: written soon after a change, and at once when the program
    // is ended from outside; offered at the start.
    void noteChange();
    void keepRecoveryCopy();
    void offerRecovery();
    void dropRecoveryCopy();
    // SIGTERM or SIGHUP: close as the host would; a second one while that waits for an answer
    // closes without one.
    void terminationRequested();
    void connectControls();
    void connectList();
    void createMenus();
    void OpenRememberedData();
    void ClaimDataFolder();
    // Shows the record at `index` and lets the spin box follow.
    void ShowRecord(int index);
    void showCurrent();
    void showPicks();
    void checkStay();
    // Names in the status line the bookings that the shown record now shares a night with.
    void sayDoubleBooking();
    void rememberStay();
    QString DataPath(const char *fileName, bool forSaving);
    // The price list of the data folder (else of the start folder), read again once the data
    // folder changed; null when there is none. A new complaint about it is shown once.
    const TPreisMatrix *priceList();
    void readPriceList();
    // What the cost field's rules need beside the current record.
    KostenLage kostenLage();
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

    std::unique_ptr<Ui::TMainForm> ui_;
    std::unique_ptr<Dialogs> dialogs_;
    GuestForm form_;
    GuestList list_;
    PickState picks_;
    TPreisMatrix matrix_;
    bool matrixRead_ = false;
    DataFolder dataFolder_;
    GuestFileSession session_;              // which version of the guest file this session knows
    platform::InstanceLock instance_;       // tells a second copy of the program that the folder is taken
    QString warnedFolder_;                  // the folder whose "bereits" message was shown
    RoomCalendarModel *calendar_ = nullptr; // owned by the window
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
    QPointer<GuestListWindow> guestList_; // made when first opened, then kept
    QAction *actionKopie_ = nullptr; // "Rechnungskopie": only for a record with an invoice number
    QPointer<InvoiceListWindow> invoiceList_;
    QAction *actionKostenBerechnen_ = nullptr;
    QAction *actionEinrichten_ = nullptr; // shown while the house is not set up
    QPointer<SettingsDialog> settings_;
    QString startFolder_;            // the folder the program was started in
    QString priceListFolder_;        // the data folder the price list was looked for in
    PreislisteGelesen priceListRead_; // what looking for it found
    QString priceListToldOf_;        // the last complaint about it that was shown
    KostenBezuege kostenBezuege_{list_};   // the stay each record's amount stands for
    SessionChanges sessionChanges_{list_}; // the records the host changed since reading or saving
};
