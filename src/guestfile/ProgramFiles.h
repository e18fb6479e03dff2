#pragma once
// The program's own files, which no export and no print to a file may replace, and the folder
// where exports are offered instead.

#include "platform/DataFolderLayout.h"
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

namespace guestfile {

// The files of a data folder that hold the host's data or the program's set-up: the guest file,
// the invoice counter, the price list, the invoice form. Files whose name starts with
// kProgramFilePrefix (the program's lock files) count as well.
inline constexpr const auto &kProgramFileNames = platform::layout::kProgramFiles;
inline constexpr const auto &kProgramFilePrefix = platform::layout::kProgramFilePrefix;
// Folders of a data folder that are the program's as a whole: the backups and the kept invoices.
inline constexpr const auto &kProgramFolderNames = platform::layout::kProgramFolders;
// The folder below the data folder in which exports are offered.
inline constexpr const auto &kExportFolderName = platform::layout::kExportFolder;

// Which of the program's files writing to `target` would replace: the program's file as a path
// (of the program's folder for anything inside "Sicherung" or "Rechnungen"); empty when it is
// none. The program's files are looked for in each of `folders` (the data folder and the folder
// the program started in; empty stands for the current folder). Files are compared as the file
// system sees them: an existing target is the same file when it is reached by another name (a
// link, another case on a file system that ignores case); a name that does not exist yet counts
// when it differs from a program file's only in case.
QString ProgramFileAt(const QString &target, const QStringList &folders);

// The message that refuses `target`, which is `programFile`: names it and asks for another name.
QString ProgramFileRefusal(const QString &target, const QString &programFile);

// The folder "Export" below the data folder (empty: the current folder), with a trailing '/'.
// It is made when it is not there; when it cannot be made, the data folder itself.
QString ExportFolder(const QString &dataFolder);
// The suggested file of an export: "<name> <date>.<suffix>" in the export folder, the date as
// 2025-02-20 so that exports sort by it.
QString ExportSuggestion(const QString &dataFolder, const QString &name, const QDate &date, const QString &suffix);

// The folder below the data folder in which printouts to a file are offered.
inline constexpr const auto &kPrintoutFolderName = platform::layout::kPrintoutFolder;
// The folder "Ausdrucke" below the data folder, with a trailing '/'; made when missing, else the
// data folder itself.
QString PrintoutFolder(const QString &dataFolder);
// The suggested file of a printout: "<name> <when>.pdf" in the printout folder, `when` being the
// day (2026-12-27) or the year (2026) the printout is about.
QString PrintoutSuggestion(const QString &dataFolder, const QString &name, const QString &when);

} // namespace guestfile
