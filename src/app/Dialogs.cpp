#include "app/Dialogs.h"

#include "app/backups/RestoreBackupDialog.h"
#include "guestfile/DataFolder.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <limits>

namespace app {

using guestfile::BackupInfo;
using guestfile::kDataFileDefaultSuffix;
using guestfile::kDataFileDialogName;
using guestfile::kDataFileFilter;

namespace {

const QString kTitle = QStringLiteral("Zimbrana");

QString askDataFile(QWidget *parent, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(mode == QFileDialog::AcceptOpen ? QStringLiteral("OpenDialog1")
                                                         : QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Only the folder of the chosen file counts, so an existing file is no reason to ask again.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString::fromUtf8(kDataFileDefaultSuffix));
    dialog.setNameFilters(QString::fromUtf8(kDataFileFilter).split(QStringLiteral(";;")));
    dialog.selectFile(QString::fromUtf8(kDataFileDialogName));
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Datenordner wählen (Daten lesen)")
                                                          : QStringLiteral("Datenordner wählen (Daten schreiben)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtDialogs::askOpenFile(QWidget *parent)
{
    return askDataFile(parent, QFileDialog::AcceptOpen);
}

QString QtDialogs::askSaveFile(QWidget *parent)
{
    return askDataFile(parent, QFileDialog::AcceptSave);
}

bool QtDialogs::askPrinter(QWidget *parent, QPrinter &printer)
{
    return askPrinterFor(parent, printer, QStringLiteral("Rechnung drucken"));
}

bool QtDialogs::askPrinterFor(QWidget *parent, QPrinter &printer, const QString &title)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog1"));
    dialog.setWindowTitle(title);
    return dialog.exec() == QDialog::Accepted;
}

QString QtDialogs::askExportFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    if (!QFileInfo(suggested).path().isEmpty() && QFileInfo(suggested).path() != QStringLiteral("."))
        dialog.setDirectory(QFileInfo(suggested).path());
    dialog.selectFile(QFileInfo(suggested).fileName());
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

namespace {

// The folder dialog also takes the name of a folder that is not there yet, typed into its name
// field: the folder is made in the folder shown and chosen, as a host expects of "Ordner wählen".
class FolderDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

protected:
    void accept() override
    {
        const auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString typed = name ? name->text().trimmed() : QString();
        if (!typed.isEmpty() && !typed.contains(u'"')) {
            const QString wanted = QDir(directory()).absoluteFilePath(typed);
            if (!QFileInfo::exists(wanted) && !QDir().mkpath(wanted)) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("Der Ordner „%1“ konnte nicht angelegt werden.")
                                         .arg(QDir::toNativeSeparators(wanted)));
                return;
            }
        }
        QFileDialog::accept();
    }
};

} // namespace

QString QtDialogs::askFolder(QWidget *parent, const QString &title)
{
    FolderDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FolderDialog"));
    dialog.setWindowTitle(title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogs::askPicture(QWidget *parent, const QString &title)
{
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("PictureDialog"));
    dialog.setWindowTitle(title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("Bilder (*.jpg *.jpeg *.png *.JPG *.JPEG *.PNG)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::confirm(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool QtDialogs::confirmDefaultNo(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

int QtDialogs::choose(QWidget *parent, const QString &text, const QStringList &buttons, int defaultButton,
                      int escapeButton)
{
    QMessageBox box(QMessageBox::Question, kTitle, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> made;
    for (const QString &caption : buttons)
        made << box.addButton(caption, QMessageBox::ActionRole);
    if (defaultButton >= 0 && defaultButton < made.size())
        box.setDefaultButton(static_cast<QPushButton *>(made[defaultButton]));
    if (escapeButton >= 0 && escapeButton < made.size())
        box.setEscapeButton(made[escapeButton]);
    box.exec();
    const int chosen = static_cast<int>(made.indexOf(box.clickedButton()));
    return chosen >= 0 ? chosen : escapeButton;
}

std::optional<int> QtDialogs::askNumber(QWidget *parent, const QString &text, int defaultValue, int minimum)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("NumberDialog"));
    dialog.setWindowTitle(kTitle);
    dialog.setLabelText(text);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(minimum, std::numeric_limits<int>::max());
    dialog.setIntValue(std::max(defaultValue, minimum));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.intValue();
}

void QtDialogs::inform(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, kTitle, text, QMessageBox::Ok);
}

void QtDialogs::showError(QWidget *parent, const QString &text)
{
    QMessageBox::critical(parent, kTitle, text, QMessageBox::Ok);
}

int QtDialogs::chooseBackup(QWidget *parent, const std::vector<BackupInfo> &backups)
{
    RestoreBackupDialog dialog(backups, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosen() : -1;
}

bool QtDialogs::openDocument(QWidget *, const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace app
