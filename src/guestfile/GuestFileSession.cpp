#include "guestfile/GuestFileSession.h"
#include "platform/IoError.h"

#include "guestfile/Backups.h"
#include "guestfile/GuestFile.h"
#include "guestfile/SaveGuard.h"
#include "platform/FileIo.h"
#include "platform/FolderLock.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace guestfile {

using guests::TGast;

namespace {

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

bool holds(const FileVersion &version, const QByteArray &bytes)
{
    return version.known() && version.size == bytes.size() && version.hash == FileVersionOf(QString(), bytes).hash;
}

} // namespace

EGuestFileChanged::EGuestFileChanged(const QString &path)
    : Error(QStringLiteral("Die Datei %1 wurde eben von einem anderen Programm gespeichert. Es wurde "
                           "nichts geschrieben; bitte noch einmal speichern.")
                .arg(QDir::toNativeSeparators(absolute(path))))
{
}

void GuestFileSession::remember(const QString &path, const QByteArray &bytes)
{
    path_ = absolute(path);
    version_ = FileVersionOf(path, bytes);
}

std::vector<TGast> GuestFileSession::read(const QString &path)
{
    QByteArray bytes = platform::ReadFileBytes(path);
    // The version first: the reader hands the memory of the bytes back as it reads them, so that a
    // file of many years is not held beside its whole list. It counts only once the file was read.
    const FileVersion version = FileVersionOf(path, bytes);
    std::vector<DamagedField> damaged;
    std::vector<TGast> records = DecodeGuestFile(std::move(bytes), QFileInfo(path).fileName(), &damaged);
    path_ = absolute(path);
    version_ = version;
    damaged_ = std::move(damaged);
    damagedFile_ = QFileInfo(path).fileName();
    return records;
}

std::vector<TGast> GuestFileSession::readBackup(const QString &backupPath, const QString &path)
{
    std::vector<DamagedField> damaged;
    std::vector<TGast> records =
        DecodeGuestFile(platform::ReadFileBytes(backupPath), QFileInfo(backupPath).fileName(), &damaged);
    if (QFileInfo::exists(path))
        remember(path, platform::ReadFileBytes(path));
    damaged_ = std::move(damaged);
    damagedFile_ = QFileInfo(backupPath).fileName();
    return records;
}

QString GuestFileSession::questionBeforeSave(const QString &path, int guestsInProgram) const
{
    askedPath_.clear();
    asked_ = {};
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (absolute(path) != path_ || !version_.known()) {
        try {
            asked_ = FileVersionOf(path, platform::ReadFileBytes(path));
            askedPath_ = absolute(path);
        } catch (const platform::EInOutError &) {
            // Unreadable now: the save will find out and say why.
        }
        return ReplaceUnreadQuestion(path, guestsInProgram);
    }
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.size() == version_.size) {
        const QByteArray bytes = platform::ReadFileBytes(path);
        if (holds(version_, bytes))
            return {};
        asked_ = FileVersionOf(path, bytes);
        askedPath_ = absolute(path);
    } else {
        asked_ = FileVersionOf(path, platform::ReadFileBytes(path));
        askedPath_ = absolute(path);
    }
    const QDateTime modified = info.lastModified();
    return QStringLiteral("Die Datei %1 wurde seit dem Lesen oder Speichern von einem anderen Programm geändert "
                          "(zuletzt am %2 um %3 Uhr).\nSoll sie trotzdem durch die Daten im Fenster ersetzt werden?")
        .arg(shown, modified.toString(QStringLiteral("dd.MM.yyyy")), modified.toString(QStringLiteral("HH:mm:ss")));
}

void GuestFileSession::write(const QString &path, const std::vector<TGast> &records)
{
    // From the check to the synced folder nobody else may save here: two copies saving at once
    // would otherwise each replace the other's work unasked.
    // A missing folder holds nothing to protect; the save itself then says what is wrong.
    std::optional<platform::FolderLock> lock;
    const QFileInfo info(path);
    if (QFileInfo(info.absolutePath()).isDir())
        lock.emplace(path);
    if (info.exists()) {
        QByteArray old;
        try {
            old = platform::ReadFileBytes(path);
        } catch (const platform::EInOutError &error) {
            throw platform::EInOutError(error.code(), path);
        }
        const bool known = absolute(path) == path_ && holds(version_, old);
        const bool agreed = absolute(path) == askedPath_ && holds(asked_, old);
        if (!known && !agreed)
            throw EGuestFileChanged(path);
        // Without its backup the file is not replaced; the host is told about the guest file,
        // which is what could not be saved.
        try {
            KeepBackup(info.absolutePath(), old);
        } catch (const platform::EInOutError &error) {
            throw platform::EInOutError(error.code(), path);
        }
    }
    const QByteArray bytes = GuestFileBytes(records);
    platform::SaveFileAtomic(path, bytes);
    remember(path, bytes);
    askedPath_.clear();
    asked_ = {};
    // Written as they now are: what could not be read is no longer in any file the session knows.
    damaged_.clear();
}

QString GuestFileSession::questionAboutDamaged(const std::vector<TGast> &records) const
{
    return DamagedFieldsQuestion(damaged_, records, damagedFile_);
}

} // namespace guestfile
