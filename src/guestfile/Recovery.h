#pragma once
// The recovery copy of unsaved work: while the list in the program differs from the guest file,
// it is kept in a file of its own beside the guest file, so that a program that is killed, loses
// its display or ends with the desktop session loses nothing. A save removes it; the next start
// offers what it holds.

#include "platform/DataFolderLayout.h"
#include "register/TGast.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QLockFile;

namespace guestfile {

inline constexpr const auto &kRecoveryFileName = platform::layout::kRecoveryFile;

// The recovery copy of the data folder `dataFolder` (empty: the current one).
QString RecoveryPath(const QString &dataFolder);

// Writes the records as the guest file would hold them, durably and readable by the owner only.
// Throws EInOutError.
void WriteRecoveryCopy(const QString &dataFolder, const std::vector<guests::TGast> &records);

// Removes the recovery copy, when there is one: its changes were saved or dropped on purpose.
void RemoveRecoveryCopy(const QString &dataFolder);

// When the recovery copy was written, if there is one that is newer than the guest file (or there
// is no guest file): then it holds work the guest file lacks.
std::optional<QDateTime> RecoveryToOffer(const QString &dataFolder);

// True when there is a recovery copy at all (offered or not).
bool HasRecoveryCopy(const QString &dataFolder);

// "Ungespeicherte Änderungen vom 10.12.2026 16:42 wiederherstellen?"
QString RecoveryQuestion(const QDateTime &written);

// The records of the recovery copy; throws as reading the guest file does.
std::vector<guests::TGast> ReadRecoveryCopy(const QString &dataFolder);

// Moves the recovery copy among the backups, named by the time it was written, so that nothing
// is lost when the host does not take it now. Returns the backup's path. Throws EInOutError or
// EBackupFolderError; the copy then stays where it is.
QString SetRecoveryAside(const QString &dataFolder);

// The recovery copy of this running copy of the program. The copy that holds the data folder
// keeps "Gaeste.csv.wiederherstellen"; any other copy running on the same folder keeps one of its
// own ("Gaeste.csv.wiederherstellen.<Kennung>") with a lock beside it while it runs, so that no
// copy overwrites or removes the work of another.
class OwnRecoveryCopy
{
public:
    OwnRecoveryCopy();
    ~OwnRecoveryCopy();
    OwnRecoveryCopy(const OwnRecoveryCopy &) = delete;
    OwnRecoveryCopy &operator=(const OwnRecoveryCopy &) = delete;

    // Where the copy is kept from now on: in `dataFolder`, under the shared name when this copy
    // holds the folder. A copy of its own left in another folder stays there for its next start.
    void follow(const QString &dataFolder, bool holdsFolder);
    QString path() const { return path_; }

    // Writes the records as the guest file would hold them, durably and readable by the owner
    // only. Throws EInOutError.
    void write(const std::vector<guests::TGast> &records);
    // Removes this copy's file (its changes were saved or dropped on purpose); others' stay.
    void remove();

private:
    QString tag_;  // this running copy's mark in the file name
    QString path_; // empty until a folder is followed
    std::unique_ptr<QLockFile> inUse_;
};

// A recovery copy that no running copy owns, and when it was written.
struct LeftRecoveryCopy
{
    QString path;
    QDateTime written;
    bool newerThanGuestFile = false; // it holds work the guest file lacks
};

// Every recovery copy in `dataFolder` whose copy of the program no longer runs, newest first.
std::vector<LeftRecoveryCopy> LeftRecoveryCopies(const QString &dataFolder);

// The records of the recovery copy at `path`; throws as reading the guest file does.
std::vector<guests::TGast> ReadRecoveryFile(const QString &path);

// Moves the recovery copy at `path` among the backups of `dataFolder`, named by the time it was
// written. Returns the backup's path. Throws EInOutError or EBackupFolderError; the copy then stays.
QString SetRecoveryFileAside(const QString &dataFolder, const QString &path);

} // namespace guestfile
