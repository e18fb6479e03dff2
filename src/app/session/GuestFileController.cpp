#include "app/session/GuestFileController.h"

#include "app/AppContext.h"
#include "app/BookingEditor.h"
#include "app/ErrorSink.h"
#include "app/GuardedAction.h"
#include "app/StatusLine.h"
#include "app/TerminationWatch.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceFiles.h"
#include "billing/IssuedInvoices.h"
#include "billing/JournalCheck.h"
#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "guestfile/LostCharacters.h"
#include "guestfile/Settings.h"
#include "guestfile/SettingsFolder.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"
#include "register/StayText.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>

namespace app {

using guestfile::BackupFolder;
using guestfile::BackupInfo;
using guestfile::CharactersLostOnSave;
using guestfile::DataFolder;
using guestfile::EGuestFileChanged;
using guestfile::KeepBackupAt;
using guestfile::kGuestFileName;
using guestfile::ListBackups;
using guestfile::LostCharactersQuestion;
using guestfile::RecoveryQuestion;
using guestfile::RememberDataFolder;
using guestfile::RememberedDataFolder;
using guests::AbreiseVorAnreiseFrage;
using guests::GuestList;

namespace {
// How soon after a change its recovery copy is written.
constexpr int kRecoveryDelayMs = 1500;
} // namespace

GuestFileController::GuestFileController(AppContext &context, BookingEditor &editor, StatusLine &status,
                                         QWidget *window)
    : context_(context), list_(context.guestList()), editor_(editor), status_(status), window_(window),
      sessionChanges_(context.guests())
{
    Dialogs &dialogs = context_.dialogs();
    lesen_ = guardedAction(
        window_, this, dialogs, QStringLiteral("Daten &lesen"), nullptr, [this] { ButtonReadClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_O));
    schreiben_ = guardedAction(
        window_, this, dialogs, QStringLiteral("Daten &schreiben"), nullptr, [this] { ButtonSaveClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_S));
    wiederherstellen_ = guardedAction(window_, this, dialogs, QStringLiteral("Sicherung &wiederherstellen…"), nullptr,
                                      [this] { RestoreBackup(); });

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(kRecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { keepRecoveryCopy(); });
    for (const auto changed : {&GuestList::recordChanged, &GuestList::recordInserted, &GuestList::recordRemoved})
        connect(&list_, changed, this, [this] { noteChange(); });
    connect(&list_, &GuestList::listReset, this, [this] { noteChange(); });

    // Ended by the system or the desktop session: as if the host closed the window.
    connect(new TerminationWatch(this), &TerminationWatch::terminationRequested, this,
            [this] { terminationRequested(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (!SessionEnds(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });
}

GuestFileController::~GuestFileController() = default;

void GuestFileController::start()
{
    guestfile::MakeSettingsFolder();
    OpenRememberedData();
    sayJournalFindings();
}

QString GuestFileController::guestFilePath(bool forSaving)
{
    return context_.dataPath(window_, QString::fromUtf8(kGuestFileName), forSaving);
}

void GuestFileController::OpenRememberedData()
{
    // The host's data is read at once from where it was last time, so there is no blank start and
    // no save over a file that was never read.
    const QString folder = RememberedDataFolder();
    if (folder.isEmpty())
        return;
    if (!QFileInfo(folder).isDir()) {
        status_.say(QStringLiteral("Der Datenordner %1 ist nicht da").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    context_.dataFolder().chooseFolder(folder);
    ClaimDataFolder();
    if (instance_.state() == platform::InstanceLock::State::Locked) {
        // No other copy works here, so what a cut-off save or invoice left behind is nobody's.
        platform::RemoveSaveLeftovers(folder);
        platform::RemoveSaveLeftovers(BackupFolder(folder));
        billing::RemoveInvoiceLeftovers(context_.dataFolder().pathOf(QString::fromUtf8(billing::kRechnungenOrdner)));
    }
    try {
        FileRead();
        status_.say(QStringLiteral("%1 Gästedatensätze gelesen aus %2")
                        .arg(list_.guestCount())
                        .arg(QDir::toNativeSeparators(context_.dataFolder().folder())));
        editor_.showRecord(list_.lastIndex());
    } catch (const std::exception &error) {
        status_.say(QStringLiteral("Gaeste.csv nicht gelesen: ") +
                    platform::ErrorText(error).replace(u'\n', QStringLiteral(" – ")));
    }
    // The recovery copy of a copy that still runs is that copy's own.
    if (instance_.state() == platform::InstanceLock::State::Locked)
        guarded(context_.dialogs(), window_, [this] { offerRecovery(); });
}

void GuestFileController::offerRecovery()
{
    const QString folder = context_.dataFolder().folder();
    followRecovery();
    // Newest first; work older than the guest file was saved since (by another copy, say), and
    // what the host does not take now is kept among the backups all the same.
    enum class Answer { Ja, Nein };
    QStringList keptAside;
    bool taken = false;
    for (const guestfile::LeftRecoveryCopy &left : guestfile::LeftRecoveryCopies(folder)) {
        if (!taken && left.newerThanGuestFile &&
            context_.dialogs().choose(window_, RecoveryQuestion(left.written),
                                      {{Answer::Ja, QStringLiteral("Ja")}, {Answer::Nein, QStringLiteral("Nein")}},
                                      Answer::Ja, Answer::Nein) == Answer::Ja) {
            list_.replace(guestfile::ReadRecoveryFile(left.path));
            list_.markChanged();
            reattachInvoices();
            taken = true;
            // Another copy's file becomes this copy's own work: written here first, then removed.
            if (left.path != recovery_.path()) {
                recovery_.write(list_.records());
                QFile::remove(left.path);
            }
            continue;
        }
        const QString kept = guestfile::SetRecoveryFileAside(folder, left.path);
        if (left.newerThanGuestFile)
            keptAside << QDir::toNativeSeparators(kept);
    }
    if (taken) {
        editor_.showRecord(list_.lastIndex());
        status_.say(QStringLiteral("Ungespeicherte Änderungen wiederhergestellt: %1 Gäste. „Daten schreiben“ "
                                   "speichert sie in Gaeste.csv.")
                        .arg(list_.guestCount()) +
                    (keptAside.isEmpty()
                         ? QString()
                         : QStringLiteral(" Weitere ungespeicherte Änderungen liegen als Sicherung in %1")
                               .arg(keptAside.join(QStringLiteral(", ")))));
    } else if (!keptAside.isEmpty()) {
        status_.say(QStringLiteral("Die ungespeicherten Änderungen liegen als Sicherung in %1")
                        .arg(keptAside.join(QStringLiteral(", "))));
    }
}

void GuestFileController::followRecovery()
{
    const QString folder = context_.dataFolder().folder();
    const bool holds =
        instance_.state() == platform::InstanceLock::State::Locked && QDir(instance_.folder()) == QDir(folder);
    recovery_.follow(folder, holds);
}

void GuestFileController::noteChange()
{
    if (!recoveryTimer_->isActive())
        recoveryTimer_->start();
}

void GuestFileController::keepRecoveryCopy()
{
    recoveryTimer_->stop();
    if (!context_.dataFolder().chosen())
        return;
    // What the form shows counts, even before its field is left; neither the list nor the form's
    // state changes, so leaving the field afterwards still takes the edit over.
    const std::vector<guests::TGast> records = editor_.snapshot();
    if (!list_.changed() && records == list_.records())
        return;
    try {
        followRecovery();
        recovery_.write(records);
    } catch (const std::exception &error) {
        status_.say(QStringLiteral("Keine Wiederherstellungskopie der Änderungen: ") +
                    platform::ErrorText(error).replace(u'\n', QStringLiteral(" – ")));
    }
}

void GuestFileController::dropRecoveryCopy()
{
    recoveryTimer_->stop();
    if (context_.dataFolder().chosen()) {
        followRecovery();
        recovery_.remove();
    }
}

void GuestFileController::terminationRequested()
{
    if (!window_->isVisible())
        return;
    // Whatever comes next, the changes are on the disk first.
    editor_.takeOver();
    keepRecoveryCopy();
    if (terminating_) {
        // A second signal while the first one waits for an answer: the session is going and nobody
        // will answer. The question is withdrawn, and the window closes with the changes left in
        // the recovery copy. A save under way is not cut short: it runs before this is reached.
        closingUnasked_ = true;
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
        return;
    }
    terminating_ = true;
    const bool closed = window_->close();
    terminating_ = false;
    if (!closed && closingUnasked_)
        window_->close();
}

void GuestFileController::ClaimDataFolder()
{
    const QString folder =
        context_.dataFolder().folder().isEmpty() ? QDir::currentPath() : context_.dataFolder().folder();
    if (instance_.lock(folder) != platform::InstanceLock::State::HeldByAnother || warnedFolder_ == folder)
        return;
    warnedFolder_ = folder;
    context_.dialogs().inform(window_, instance_.message());
}

bool GuestFileController::FileSave()
{
    if (!dataFolderStillThere())
        return false;
    const QString path = guestFilePath(true);
    if (path.isEmpty()) {
        status_.say(QStringLiteral("Nicht gespeichert: kein Datenordner gewählt"));
        return false;
    }
    // Another program's work in the file, or characters the file cannot hold, are not lost unasked.
    for (const QString &question :
         {AbreiseVorAnreiseFrage(list_, sessionChanges_), session_.questionBeforeSave(path, list_.guestCount()),
          LostCharactersQuestion(CharactersLostOnSave(list_.records())),
          session_.questionAboutDamaged(list_.records())}) {
        if (!question.isEmpty() && !context_.dialogs().confirm(window_, question)) {
            status_.say(QStringLiteral("Nicht gespeichert"));
            return false;
        }
    }
    try {
        session_.write(path, list_.records());
    } catch (const EGuestFileChanged &) {
        // Another copy saved between the question and the save: its version is asked about afresh.
        return FileSave();
    }
    ClaimDataFolder();
    list_.markSaved();
    sessionChanges_.forget();
    dropRecoveryCopy();
    status_.say(QStringLiteral("%1 Gästedatensätze in Gaeste.csv geschrieben").arg(list_.guestCount()));
    return true;
}

bool GuestFileController::dataFolderStillThere()
{
    DataFolder &dataFolder = context_.dataFolder();
    if (!dataFolder.chosen() || QFileInfo(dataFolder.folder()).isDir())
        return true;
    // Removed, renamed, or on a drive that is not connected: said as such, and nothing is written
    // anywhere the host did not choose. The list stays in the window whatever the answer.
    const QString folder = QDir::toNativeSeparators(dataFolder.folder());
    enum class Next { Anlegen, Waehlen, Abbrechen };
    const Next next = context_.dialogs().choose<Next>(
        window_,
        QStringLiteral("Der Datenordner %1 ist nicht mehr da: er wurde entfernt oder umbenannt, oder sein Laufwerk "
                       "ist nicht verbunden.\n\nDie Gäste sind noch im Programm. Den Ordner neu anlegen und die "
                       "Gäste dort speichern, oder einen anderen Ordner wählen?")
            .arg(folder),
        {{Next::Anlegen, QStringLiteral("Neu anlegen")},
         {Next::Waehlen, QStringLiteral("Anderen Ordner wählen…")},
         {Next::Abbrechen, QStringLiteral("Abbrechen")}},
        Next::Abbrechen, Next::Abbrechen);
    if (next == Next::Anlegen) {
        if (!QDir().mkpath(dataFolder.folder()))
            throw platform::EInOutError(platform::kPathNotFound, dataFolder.folder());
        return true;
    }
    if (next == Next::Waehlen) {
        const QString chosen = context_.dialogs().askFolder(window_, QStringLiteral("Datenordner wählen"));
        if (!chosen.isEmpty()) {
            // Saved there; a guest file already in it is asked about before it is replaced.
            const QString wanted = QDir(chosen).absolutePath() + u'/';
            dataFolder.chooseFolder(wanted);
            RememberDataFolder(wanted);
            ClaimDataFolder();
            return true;
        }
    }
    status_.say(QStringLiteral("Nicht gespeichert: der Datenordner %1 ist nicht mehr da").arg(folder));
    return false;
}

void GuestFileController::FileRead()
{
    status_.say(QStringLiteral("Gästedaten laden"));
    const QString path = guestFilePath(false);
    // Read everything first: a file that fails leaves the list as it was.
    ClaimDataFolder();
    list_.replace(session_.read(path));
    if (const QString damaged = session_.messageAboutDamaged(); !damaged.isEmpty())
        context_.dialogs().inform(window_, damaged);
    context_.followPortals(window_);
    reattachInvoices();
}

void GuestFileController::sayJournalFindings()
{
    if (!context_.dataFolder().chosen())
        return;
    QStringList findings;
    try {
        findings = billing::journalFindings(context_.invoiceFolder());
    } catch (const std::exception &error) {
        findings << platform::ErrorText(error);
    }
    if (findings.isEmpty())
        return;
    // Said once the window is up, not in the middle of its making.
    const QString message =
        QStringLiteral("Das Rechnungsbuch ist nicht mehr so, wie Zimbrana es geschrieben hat:\n\n") +
        findings.join(u'\n') + QStringLiteral("\n\nDas Fenster „Rechnungen“ (Menü „Ansicht“) nennt es ebenfalls.");
    QMetaObject::invokeMethod(
        this, [this, message] { context_.dialogs().inform(window_, message); }, Qt::QueuedConnection);
}

void GuestFileController::reattachInvoices()
{
    if (!context_.dataFolder().chosen())
        return;
    const QString journal = billing::journalPath(context_.invoiceFolder());
    billing::JournalContents contents;
    try {
        contents = billing::readJournal(journal);
    } catch (const std::exception &error) {
        // The guests are read all the same; the window "Rechnungen" says more.
        status_.say(QStringLiteral("Das Rechnungsbuch konnte nicht gelesen werden: ") + platform::ErrorText(error));
        return;
    }
    const billing::ReattachResult result = billing::reattachInvoices(list_, contents);
    if (!result.messages.isEmpty())
        context_.dialogs().inform(window_, result.messages.join(u'\n'));
}

void GuestFileController::ButtonSaveClick()
{
    editor_.takeOver();
    FileSave();
}

GuestFileController::UnsavedChanges GuestFileController::askToSaveChanges()
{
    if (!list_.changed())
        return UnsavedChanges::Kept;
    enum class Answer { Ja, Nein, Abbrechen };
    const Answer answer = context_.dialogs().choose(window_, QStringLiteral("Daten sichern?"),
                                                    {{Answer::Ja, QStringLiteral("Ja")},
                                                     {Answer::Nein, QStringLiteral("Nein")},
                                                     {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
                                                    Answer::Ja, Answer::Abbrechen);
    if (answer == Answer::Nein)
        return UnsavedChanges::Dropped;
    // Changes the host wants kept are not dropped when their save did not happen.
    if (answer == Answer::Ja && FileSave())
        return UnsavedChanges::Kept;
    return UnsavedChanges::Cancelled;
}

void GuestFileController::ButtonReadClick()
{
    editor_.takeOver();
    const UnsavedChanges changes = askToSaveChanges();
    if (changes == UnsavedChanges::Cancelled)
        return;
    FileRead();
    if (changes == UnsavedChanges::Dropped)
        dropRecoveryCopy();
    status_.say(QStringLiteral("%1 Gästedatensätze gelesen").arg(list_.guestCount()));
    editor_.showRecord(list_.lastIndex());
}

bool GuestFileController::FormClose()
{
    // The field being edited has not been left yet; its text belongs to the record.
    editor_.takeOver();
    try {
        switch (askToSaveChanges()) {
        case UnsavedChanges::Kept: return true;
        case UnsavedChanges::Dropped: dropRecoveryCopy(); return true;
        case UnsavedChanges::Cancelled: return false;
        }
        return false;
    } catch (const std::exception &error) {
        // The window stays open, so the user can try again.
        showError(context_.dialogs(), window_, error);
        return false;
    }
}

void GuestFileController::RestoreBackup()
{
    editor_.takeOver();
    const QString path = guestFilePath(false);
    const std::vector<BackupInfo> backups = ListBackups(context_.dataFolder().folder());
    if (backups.empty()) {
        context_.dialogs().inform(window_,
                                  QStringLiteral("Im Ordner %1 gibt es noch keine Sicherung.")
                                      .arg(QDir::toNativeSeparators(BackupFolder(context_.dataFolder().folder()))));
        return;
    }
    const int chosen = context_.dialogs().chooseBackup(window_, backups);
    if (chosen < 0)
        return;
    const BackupInfo &backup = backups[static_cast<std::size_t>(chosen)];
    if (backup.guests < 0) {
        context_.dialogs().showError(window_,
                                     QStringLiteral("%1 ist keine lesbare Gästedatei und wird nicht wiederhergestellt.")
                                         .arg(QDir::toNativeSeparators(backup.path)));
        return;
    }
    enum class Answer { Wiederherstellen, Abbrechen };
    if (context_.dialogs().choose(window_, guestfile::RestoreQuestion(backup, list_.guestCount()),
                                  {{Answer::Wiederherstellen, QStringLiteral("Wiederherstellen")},
                                   {Answer::Abbrechen, QStringLiteral("Abbrechen")}},
                                  Answer::Abbrechen, Answer::Abbrechen) != Answer::Wiederherstellen) {
        status_.say(QStringLiteral("Keine Sicherung wiederhergestellt"));
        return;
    }
    if (askToSaveChanges() == UnsavedChanges::Cancelled)
        return;
    // The guest file as it is now is kept first: restoring must not be the one step without a way back.
    if (QFileInfo::exists(path))
        KeepBackupAt(QFileInfo(path).absolutePath(), platform::ReadFileBytes(path), platform::Clock::now());
    list_.replace(session_.readBackup(backup.path, path));
    if (const QString damaged = session_.messageAboutDamaged(); !damaged.isEmpty())
        context_.dialogs().inform(window_, damaged);
    // A backup older than an invoice does not take the invoice away from its stay.
    reattachInvoices();
    // The list is not what Gaeste.csv holds: closing must offer to write it back.
    list_.markChanged();
    editor_.showRecord(list_.lastIndex());
    status_.say(
        QStringLiteral("Sicherung vom %1 gelesen: %2 Gäste. „Daten schreiben“ macht sie wieder zu Gaeste.csv.")
            .arg(QLocale().toString(backup.time, QStringLiteral("dd.MM.yyyy HH:mm:ss")))
            .arg(list_.guestCount()));
}

bool GuestFileController::SessionEnds(bool mayAsk)
{
    if (mayAsk)
        return FormClose();
    // Nobody can be asked: the changes go to the recovery copy, which the next start offers, and
    // nothing asks any more while the program ends.
    editor_.takeOver();
    keepRecoveryCopy();
    closingUnasked_ = true;
    return true;
}

bool GuestFileController::closeRequested()
{
    if (closingUnasked_) {
        editor_.takeOver();
        keepRecoveryCopy();
        return true;
    }
    if (!FormClose())
        return false;
    recoveryTimer_->stop();
    return true;
}

bool GuestFileController::switchDataFolder(const QString &folder)
{
    editor_.takeOver();
    const QString wanted = QDir(folder).absolutePath() + u'/';
    DataFolder &dataFolder = context_.dataFolder();
    if (dataFolder.chosen() && QFileInfo(dataFolder.folder()) == QFileInfo(wanted))
        return true;
    if (!QFileInfo(wanted).isDir())
        throw platform::EInOutError(platform::kPathNotFound, wanted);
    const bool hasGuests = QFileInfo::exists(wanted + QString::fromUtf8(kGuestFileName));
    // A list never saved anywhere goes along to the new folder, which has no guests of its own.
    const bool takeAlong = !dataFolder.chosen() && !hasGuests;
    if (!takeAlong) {
        const UnsavedChanges changes = askToSaveChanges();
        if (changes == UnsavedChanges::Cancelled)
            return false;
        if (changes == UnsavedChanges::Dropped)
            dropRecoveryCopy();
    }
    const DataFolder previous = dataFolder;
    dataFolder.chooseFolder(wanted);
    try {
        if (hasGuests)
            FileRead();
        else if (!takeAlong)
            list_.replace({});
    } catch (...) {
        // The list stays the old folder's, and so does the folder.
        dataFolder = previous;
        throw;
    }
    RememberDataFolder(wanted);
    ClaimDataFolder();
    editor_.showRecord(list_.lastIndex());
    context_.readPriceList(window_);
    context_.followPortals(window_);
    context_.readSettings();
    status_.say(hasGuests ? QStringLiteral("%1 Gästedatensätze gelesen aus %2")
                                .arg(list_.guestCount())
                                .arg(QDir::toNativeSeparators(wanted))
                          : QStringLiteral("Datenordner %1: noch keine Gaeste.csv, „Daten schreiben“ legt sie an")
                                .arg(QDir::toNativeSeparators(wanted)));
    return true;
}

} // namespace app
