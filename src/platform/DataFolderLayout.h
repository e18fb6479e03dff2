#pragma once
// Every file and folder of a data folder, named once. The names are those of the host's files and
// never change; code that needs a path asks DataFolderLayout for it rather than joining names.

#include <QString>
#include <array>

namespace platform {

namespace layout {
// The host's data and the program's set-up, in the data folder itself.
inline constexpr char kGuestFile[] = "Gaeste.csv";
inline constexpr char kRecoveryFile[] = "Gaeste.csv.wiederherstellen";
inline constexpr char kInvoiceCounter[] = "ReNummer.DAT";
inline constexpr char kPriceList[] = "Preismatrix.dat";
inline constexpr char kInvoiceForm[] = "REVORL.JPG";
// The folders below it.
inline constexpr char kInvoiceFolder[] = "Rechnungen"; // the kept invoices and the journal
inline constexpr char kBackupFolder[] = "Sicherung";   // the guest file's backups
inline constexpr char kExportFolder[] = "Export";      // where exports are offered
inline constexpr char kPrintoutFolder[] = "Ausdrucke"; // where printouts to a file are offered
inline constexpr char kConfirmationFolder[] = "Bestätigungen";
inline constexpr char kPortalFolder[] = "Portale";
// Files inside those folders.
inline constexpr char kJournalFile[] = "Rechnungsbuch.csv";      // in kInvoiceFolder
inline constexpr char kBackupLedger[] = ".zimbrana-sicherungen"; // in kBackupFolder
inline constexpr char kPortalBlocksFile[] = "Blockierungen.csv"; // in kPortalFolder
inline constexpr char kPortalSyncFile[] = "Abgleich.csv";        // in kPortalFolder
inline constexpr char kPortalTakeoversFile[] = "Übernommen.csv"; // in kPortalFolder
// The program's lock files start with it.
inline constexpr char kProgramFilePrefix[] = ".zimbrana";

// The files that hold the host's data or the program's set-up, and the folders that are the
// program's as a whole: no export or print to a file may replace them.
inline constexpr std::array<const char *, 4> kProgramFiles = {kGuestFile, kInvoiceCounter, kPriceList, kInvoiceForm};
inline constexpr std::array<const char *, 2> kProgramFolders = {kBackupFolder, kInvoiceFolder};
} // namespace layout

// The paths of a data folder's files and folders (empty folder: the current one).
class DataFolderLayout
{
public:
    explicit DataFolderLayout(const QString &folder) : folder_(folder) {}

    QString folder() const { return folder_; }
    QString guestFile() const { return path(layout::kGuestFile); }
    QString recoveryFile() const { return path(layout::kRecoveryFile); }
    QString invoiceCounter() const { return path(layout::kInvoiceCounter); }
    QString priceList() const { return path(layout::kPriceList); }
    QString invoiceForm() const { return path(layout::kInvoiceForm); }
    QString invoiceFolder() const { return path(layout::kInvoiceFolder); }
    QString journal() const { return path(layout::kInvoiceFolder, layout::kJournalFile); }
    QString backupFolder() const { return path(layout::kBackupFolder); }
    QString exportFolder() const { return path(layout::kExportFolder); }
    QString printoutFolder() const { return path(layout::kPrintoutFolder); }
    QString confirmationFolder() const { return path(layout::kConfirmationFolder); }
    QString portalFolder() const { return path(layout::kPortalFolder); }

private:
    QString path(const char *name) const;
    QString path(const char *folder, const char *name) const;

    QString folder_;
};

} // namespace platform
