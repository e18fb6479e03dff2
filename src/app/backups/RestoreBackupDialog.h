#pragma once
// "Sicherung wiederherstellen": the kept versions of the guest file with the time of the save that
// replaced each and the number of guests it holds; the host picks one to read back.

#include "guestfile/Backups.h"

#include <QDialog>
#include <vector>

class QTableWidget;

namespace app {

class RestoreBackupDialog : public QDialog
{
    Q_OBJECT

public:
    RestoreBackupDialog(const std::vector<guestfile::BackupInfo> &backups, QWidget *parent = nullptr);

    // The row the host chose, -1 when none is selected.
    int chosen() const;

private:
    QTableWidget *table_ = nullptr; // owned by the dialog
};

} // namespace app
