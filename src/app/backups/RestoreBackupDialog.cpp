#include "app/backups/RestoreBackupDialog.h"

#include "platform/Convert.h"
#include "platform/DayNumber.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {

using guestfile::BackupInfo;

RestoreBackupDialog::RestoreBackupDialog(const std::vector<BackupInfo> &backups, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RestoreBackupDialog"));
    setWindowTitle(QStringLiteral("Sicherung wiederherstellen"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Vor jedem Speichern wird die ersetzte Gaeste.csv aufbewahrt. "
                                                "Welche Fassung soll gelesen werden?"),
                                 this));
    table_ = new QTableWidget(static_cast<int>(backups.size()), 2, this);
    table_->setObjectName(QStringLiteral("TableSicherungen"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Ersetzt am"), QStringLiteral("Gäste")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int row = 0; row < table_->rowCount(); ++row) {
        const BackupInfo &backup = backups[static_cast<std::size_t>(row)];
        const platform::TDateTime moment =
            platform::DateToDay(backup.time.date()) + platform::TimeToFraction(backup.time.time());
        table_->setItem(row, 0, new QTableWidgetItem(platform::DateToStr(moment) + u' ' + platform::TimeToStr(moment)));
        auto *guests =
            new QTableWidgetItem(backup.guests < 0 ? QStringLiteral("nicht lesbar") : QString::number(backup.guests));
        guests->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 1, guests);
    }
    if (table_->rowCount() > 0)
        table_->selectRow(0);
    layout->addWidget(table_);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Wiederherstellen"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    // A file that does not read as a guest file is shown, but cannot be restored.
    const auto restorable = [backups](int row) {
        return row >= 0 && backups[static_cast<std::size_t>(row)].guests >= 0;
    };
    QPushButton *restore = buttons->button(QDialogButtonBox::Ok);
    restore->setEnabled(restorable(chosen()));
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this, restore, restorable] { restore->setEnabled(restorable(chosen())); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this, restorable](int row) {
        if (restorable(row))
            accept();
    });
    layout->addWidget(buttons);
    resize(420, 360);
}

int RestoreBackupDialog::chosen() const
{
    const QList<QTableWidgetItem *> selected = table_->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

} // namespace app
