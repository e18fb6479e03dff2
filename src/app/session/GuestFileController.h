#pragma once
// The guest file of this session: reading, saving and the question "Daten sichern?", the
// recovery copy of unsaved work, restoring a backup, switching the data folder, the claim on the
// folder against a second copy of the program, and the end of the session (closing the window,
// the desktop session ending, the program ended from outside).

#include "guestfile/GuestFileSession.h"
#include "guestfile/Recovery.h"
#include "platform/FolderLock.h"
#include "register/SessionChanges.h"

#include <QObject>

class QAction;
class QTimer;
class QWidget;

namespace app {

class AppContext;
class BookingEditor;
class StatusLine;

class GuestFileController : public QObject
{
    Q_OBJECT

public:
    // `window` asks the questions and is closed when the program is ended from outside.
    GuestFileController(AppContext &context, BookingEditor &editor, StatusLine &status, QWidget *window);
    ~GuestFileController() override;

    // At start: the remembered data folder is read, its recovery copy offered, the journal checked.
    void start();

    // The menu entries "Daten lesen", "Daten schreiben" and "Sicherung wiederherstellen…".
    QAction *actionLesen() const { return lesen_; }
    QAction *actionSchreiben() const { return schreiben_; }
    QAction *actionWiederherstellen() const { return wiederherstellen_; }

    void ButtonSaveClick();
    void ButtonReadClick();
    void RestoreBackup();
    // False when nothing was saved because the host said no or cancelled.
    bool FileSave();
    void FileRead();

    // The desktop session ends: unsaved changes are saved, or asked about where the session lets
    // the program ask. False when the host wants the session not to end.
    bool SessionEnds(bool mayAsk);
    // The window is about to close; false when it stays open (the host cancelled).
    bool closeRequested();

    // The data folder chosen in the settings: unsaved changes are asked about, then its guest file
    // is read (a folder without one starts an empty list, or keeps a list never saved anywhere).
    bool switchDataFolder(const QString &folder);

    // The recovery copy of unsaved work: written soon after a change (noteChange), and at once
    // when what was done must not wait (keepRecoveryCopy).
    void noteChange();
    void keepRecoveryCopy();

private:
    // What became of unsaved changes at the question "Daten sichern?".
    enum class UnsavedChanges { Kept, Dropped, Cancelled };

    void OpenRememberedData();
    void ClaimDataFolder();
    bool FormClose();
    // "Daten sichern?" with Ja, Nein and Abbrechen (also Esc and the window's ×), where there are
    // unsaved changes: Kept when there were none or they were saved, Cancelled when the host
    // cancelled or the save did not happen.
    UnsavedChanges askToSaveChanges();
    // After the guests are read: a record whose invoice the journal holds but the record lost
    // (a kill, another copy's save, an older backup) gets it back, and the host is told which.
    void reattachInvoices();
    // Once at start: lines of the invoice journal changed, removed or cut off by hand.
    void sayJournalFindings();
    void offerRecovery();
    void dropRecoveryCopy();
    // The recovery copy goes where this copy's data folder is, under the shared name only while
    // this copy holds the folder.
    void followRecovery();
    // SIGTERM or SIGHUP: close as the host would; a second one while that waits for an answer
    // closes without one.
    void terminationRequested();
    QString guestFilePath(bool forSaving);
    // Before a save: a data folder that vanished while the program ran is named as such, and the
    // host makes it again or chooses another. False when nothing is to be saved now.
    bool dataFolderStillThere();

    AppContext &context_;
    guests::GuestList &list_; // the context's
    BookingEditor &editor_;
    StatusLine &status_;
    QWidget *window_;
    guestfile::GuestFileSession session_;   // which version of the guest file this session knows
    platform::InstanceLock instance_;       // tells a second copy of the program that the folder is taken
    guestfile::OwnRecoveryCopy recovery_;   // this copy's own, so two copies never drop each other's
    QString warnedFolder_;                  // the folder whose "bereits" message was shown
    guests::SessionChanges sessionChanges_; // the records the host changed since reading or saving
    QTimer *recoveryTimer_ = nullptr;       // writes the recovery copy a moment after a change
    bool terminating_ = false;              // a termination signal's closing is under way
    bool closingUnasked_ = false;           // nobody can answer: close, leaving the recovery copy
    QAction *lesen_ = nullptr;
    QAction *schreiben_ = nullptr;
    QAction *wiederherstellen_ = nullptr;
};

} // namespace app
