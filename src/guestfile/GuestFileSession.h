#pragma once
// What this running copy of the program knows about the guest file it works on: which version
// of it it read or last wrote. A save never silently replaces a file the session has not read, or
// one that another program changed since; and each save keeps the version it replaces as a
// backup. The window asks the user where the session says so.

#include "guestfile/FileVersion.h"
#include "guestfile/GuestFile.h"
#include "register/TGast.h"

#include "platform/Error.h"
#include <QString>
#include <vector>

namespace guestfile {

// The guest file changed between the question before a save and the save itself (another copy of
// the program saved meanwhile): nothing was written, and the new version must be asked about.
class EGuestFileChanged : public platform::Error
{
public:
    explicit EGuestFileChanged(const QString &path);
};

class GuestFileSession
{
public:
    // Reads the guest file (all or nothing, as ReadGuestFile) and remembers its version.
    std::vector<guests::TGast> read(const QString &path);

    // Reads a backup as if it were the guest file at `path`: the next save writes it back there.
    // The guest file as it now stands counts as known, since the user chose to go back to the
    // backup; the save keeps it as a backup in turn.
    std::vector<guests::TGast> readBackup(const QString &backupPath, const QString &path);

    // The Ja/Nein question to ask before saving `guestsInProgram` guests to `path`, or an empty
    // text when the save may simply go ahead: the file is new, or holds exactly the version this
    // session read or wrote. Otherwise the question is ReplaceUnreadQuestion's for a file this
    // session has neither read nor written, or says that the file was "geändert" since.
    // "Nein" must save nothing. Throws EInOutError when the file cannot be read to compare.
    // The version a question is about counts as agreed to by the next write: the user answers
    // about what the question described, not about whatever the file holds by then.
    QString questionBeforeSave(const QString &path, int guestsInProgram) const;

    // Saves the records to `path`: keeps the file being replaced as a backup in the data folder
    // (its folder), writes the new one durably and remembers its version. All of it happens under
    // the folder's lock, and inside it the file is checked once more: when it holds neither the
    // version this session knows nor the one last asked about, another copy of the program saved
    // since, and EGuestFileChanged is thrown with nothing written. Throws EInOutError; the old file
    // then stays as it was.
    void write(const QString &path, const std::vector<guests::TGast> &records);

    // The fields of the last file read that could not be read (DamagedField); none after a save.
    const std::vector<DamagedField> &damaged() const { return damaged_; }
    // DamagedFieldsQuestion for these fields, to ask before the next save; empty when nothing of
    // them would be lost.
    QString questionAboutDamaged(const std::vector<guests::TGast> &records) const;
    // DamagedFieldsMessage for them, to show after reading; empty when there are none.
    QString messageAboutDamaged() const { return DamagedFieldsMessage(damaged_, damagedFile_); }

    // The version of the file this session knows, and its path; unknown before any read or write.
    const FileVersion &version() const { return version_; }
    QString path() const { return path_; }

private:
    void remember(const QString &path, const QByteArray &bytes);

    QString path_;
    FileVersion version_;
    // The file as the last question described it; a question is asked while nothing is written.
    mutable QString askedPath_;
    mutable FileVersion asked_;
    std::vector<DamagedField> damaged_;
    QString damagedFile_; // the name of the file they were read from
};

} // namespace guestfile
