#include "app/settings/PortalSettingsPage.h"

#include "app/AppContext.h"
#include "exchange/SubscriptionCheck.h"
#include "guestfile/PortalSettings.h"
#include "platform/Error.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <exception>

namespace app {

namespace {

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);
    return item;
}

QString cellText(const QTableWidget *table, int row, int column)
{
    const QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

PortalSettingsPage::PortalSettingsPage(AppContext &context, QWidget *parent) : QWidget(parent), context_(context)
{
    setObjectName(QStringLiteral("PortalSettingsPage"));
    auto *layout = new QVBoxLayout(this);

    auto *subscriptions = new QGroupBox(QStringLiteral("Abonnierte Kalender der Buchungsportale"), this);
    auto *subscriptionsLayout = new QVBoxLayout(subscriptions);
    auto *hint = new QLabel(QStringLiteral("Je Zimmer beliebig viele Kalender: ein Name und eine Adresse (https://…, "
                                           "http://… oder eine .ics-Datei). Gespeichert in „Portale/Abonnements.csv“ "
                                           "im Datenordner."),
                            subscriptions);
    hint->setWordWrap(true);
    subscriptionsLayout->addWidget(hint);
    table_ = new QTableWidget(0, ColumnCount, subscriptions);
    table_->setObjectName(QStringLiteral("TablePortale"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Zimmer"), QStringLiteral("Name"), QStringLiteral("Adresse"),
                                       QStringLiteral("Letzter Abgleich")});
    table_->verticalHeader()->hide();
    table_->setTabKeyNavigation(false); // Tab leaves the table, as everywhere else
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView *header = table_->horizontalHeader();
    header->setSectionResizeMode(ColumnRoom, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ColumnName, QHeaderView::Interactive);
    header->resizeSection(ColumnName, fontMetrics().horizontalAdvance(QStringLiteral("Portal Name AB")) + 12);
    header->setSectionResizeMode(ColumnAddress, QHeaderView::Stretch);
    // The last fetch's result is read whole: it shares the width with the address and wraps.
    header->setSectionResizeMode(ColumnSync, QHeaderView::Stretch);
    table_->setWordWrap(true);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    subscriptionsLayout->addWidget(table_);
    auto *rowButtons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("Abonnement &hinzufügen"), subscriptions);
    add->setObjectName(QStringLiteral("ButtonPortalHinzufuegen"));
    remove_ = new QPushButton(QStringLiteral("Abonnement &entfernen"), subscriptions);
    remove_->setObjectName(QStringLiteral("ButtonPortalEntfernen"));
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove_);
    rowButtons->addStretch();
    subscriptionsLayout->addLayout(rowButtons);
    layout->addWidget(subscriptions, 1);

    auto *filterBox = new QGroupBox(QStringLiteral("Nicht übernehmen, wenn der Text des Eintrags enthält"), this);
    auto *filterLayout = new QVBoxLayout(filterBox);
    filters_ = new QPlainTextEdit(filterBox);
    filters_->setObjectName(QStringLiteral("EditPortalFilter"));
    filters_->setTabChangesFocus(true);
    filters_->setPlaceholderText(
        QStringLiteral("Ein Muster je Zeile, z. B. Not available (* steht für beliebigen Text)"));
    filters_->setPlainText(guestfile::portalFilters().join(u'\n'));
    filters_->setFixedHeight(filters_->fontMetrics().lineSpacing() * 4 + 12);
    filterLayout->addWidget(filters_);
    layout->addWidget(filterBox);

    auto *syncRow = new QHBoxLayout;
    atStart_ = new QCheckBox(QStringLiteral("Beim Start a&bgleichen"), this);
    atStart_->setObjectName(QStringLiteral("CheckBoxBeimStartAbgleichen"));
    atStart_->setChecked(guestfile::portalSyncAtStart());
    sync_ = new QPushButton(QStringLiteral("&Jetzt abgleichen"), this);
    sync_->setObjectName(QStringLiteral("ButtonJetztAbgleichen"));
    syncRow->addWidget(atStart_);
    syncRow->addStretch();
    syncRow->addWidget(sync_);
    layout->addLayout(syncRow);
    syncState_ = new QLabel(this);
    syncState_->setObjectName(QStringLiteral("LabelPortalAbgleich"));
    syncState_->setWordWrap(true);
    layout->addWidget(syncState_);

    connect(add, &QPushButton::clicked, this, &PortalSettingsPage::addRow);
    connect(remove_, &QPushButton::clicked, this, &PortalSettingsPage::removeRow);
    // The Delete key in the table removes the chosen subscription, as the button does; while a
    // cell is being edited the key stays the editor's.
    new QShortcut(QKeySequence::Delete, table_, this, &PortalSettingsPage::removeRow, Qt::WidgetShortcut);
    connect(sync_, &QPushButton::clicked, this, &PortalSettingsPage::syncNow);
    connect(table_, &QTableWidget::itemChanged, this, [this] {
        if (!filling_)
            edited_ = true;
    });
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!table_->selectedItems().isEmpty()); });
    // A fetch or another folder: the table follows unless the host is editing it.
    connect(&context_, &AppContext::portalBlocksChanged, this, [this] {
        if (edited_)
            showSyncStates();
        else
            showSubscriptions();
    });
    PortalState &portals = context_.portals();
    connect(&portals, &PortalState::syncStarted, this, [this] {
        sync_->setEnabled(false);
        syncState_->setText(QStringLiteral("Abgleich läuft…"));
    });
    connect(&portals, &PortalState::syncFinished, this, [this](const QString &summary) {
        sync_->setEnabled(true);
        syncState_->setText(summary);
    });
    sync_->setEnabled(!portals.busy());
    showSubscriptions();
}

void PortalSettingsPage::showSubscriptions()
{
    filling_ = true;
    const auto &subscriptions = context_.portals().subscriptions();
    table_->setRowCount(static_cast<int>(subscriptions.size()));
    for (int row = 0; row < table_->rowCount(); ++row) {
        const exchange::Subscription &s = subscriptions[static_cast<std::size_t>(row)];
        table_->setItem(row, ColumnRoom, new QTableWidgetItem(QString::number(s.room)));
        table_->setItem(row, ColumnName, new QTableWidgetItem(s.name));
        table_->setItem(row, ColumnAddress, new QTableWidgetItem(s.address));
    }
    filling_ = false;
    edited_ = false;
    showSyncStates();
    remove_->setEnabled(!table_->selectedItems().isEmpty());
}

void PortalSettingsPage::showSyncStates()
{
    filling_ = true;
    const auto &states = context_.portals().syncStates();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const auto checked =
            exchange::checkSubscriptionRows({{cellText(table_, row, ColumnRoom), cellText(table_, row, ColumnName),
                                              cellText(table_, row, ColumnAddress)}});
        const exchange::SyncState *state =
            checked.subscriptions.empty() ? nullptr : exchange::syncStateOf(states, checked.subscriptions.front());
        table_->setItem(row, ColumnSync, readOnlyItem(exchange::syncStateText(state)));
    }
    filling_ = false;
}

void PortalSettingsPage::addRow()
{
    const int row = table_->rowCount();
    filling_ = true;
    table_->insertRow(row);
    for (int column : {ColumnRoom, ColumnName, ColumnAddress})
        table_->setItem(row, column, new QTableWidgetItem);
    table_->setItem(row, ColumnSync, readOnlyItem(exchange::syncStateText(nullptr)));
    filling_ = false;
    edited_ = true;
    table_->setCurrentCell(row, ColumnRoom);
    table_->setFocus(Qt::OtherFocusReason);
    table_->editItem(table_->item(row, ColumnRoom));
}

void PortalSettingsPage::removeRow()
{
    const int row = table_->currentRow();
    if (row < 0)
        return;
    table_->removeRow(row);
    edited_ = true;
}

bool PortalSettingsPage::save()
{
    // What is being typed in a cell belongs to the table.
    if (QWidget *editor = QApplication::focusWidget(); editor && table_->viewport()->isAncestorOf(editor))
        table_->setFocus(Qt::OtherFocusReason);
    std::vector<exchange::SubscriptionRow> rows;
    for (int row = 0; row < table_->rowCount(); ++row)
        rows.push_back({cellText(table_, row, ColumnRoom), cellText(table_, row, ColumnName),
                        cellText(table_, row, ColumnAddress)});
    const exchange::CheckedSubscriptions checked = exchange::checkSubscriptionRows(rows);
    if (!checked.faults.isEmpty()) {
        context_.dialogs().showError(this, QStringLiteral("Die Abonnements werden so nicht gespeichert:\n") +
                                               checked.faults.join(u'\n'));
        table_->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (checked.subscriptions != context_.portals().subscriptions()) {
        try {
            context_.portals().saveSubscriptions(checked.subscriptions, this);
        } catch (const std::exception &error) {
            context_.dialogs().showError(this, platform::ErrorText(error));
            return false;
        }
    } else if (edited_) {
        showSubscriptions(); // the same subscriptions, tidied as kept
    }
    guestfile::setPortalFilters(filters_->toPlainText().split(u'\n'));
    guestfile::setPortalSyncAtStart(atStart_->isChecked());
    return true;
}

void PortalSettingsPage::syncNow()
{
    // Fetched is what is kept, so the table is kept first.
    if (save())
        context_.portals().sync();
}

} // namespace app
