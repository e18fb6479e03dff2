#include "app/invoices/InvoiceListWindow.h"

#include "app/AppContext.h"
#include "app/ExportTargets.h"
#include "app/invoices/InvoiceOverviewModel.h"
#include "billing/InvoiceNumber.h"
#include "billing/JournalCheck.h"
#include "exchange/Csv.h"
#include "platform/AnsiText.h"
#include "platform/Clock.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

namespace app {

using billing::AbgelegteRechnungen;
using billing::LetzteReNr;
using guests::GuestList;
using guests::TGast;

namespace {
const QString kInvoiceListGeometryKey = QStringLiteral("InvoiceList");
} // namespace

InvoiceListWindow::InvoiceListWindow(AppContext &context, QWidget *parent)
    : ToolWindow(context, parent, kInvoiceListGeometryKey)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("InvoiceList"));
    setWindowTitle(QStringLiteral("Rechnungen"));

    folderLabel_ = new QLabel(this);
    folderLabel_->setObjectName(QStringLiteral("LabelRechnungenOrdner"));
    folderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderLabel_->setWordWrap(true);

    findingsLabel_ = new QLabel(this);
    findingsLabel_->setObjectName(QStringLiteral("LabelJournalPruefung"));
    findingsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    findingsLabel_->setWordWrap(true);
    findingsLabel_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    findingsLabel_->hide();
    unheldLabel_ = new QLabel(this);
    unheldLabel_->setObjectName(QStringLiteral("LabelRechnungenOhneGast"));
    unheldLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    unheldLabel_->setWordWrap(true);
    unheldLabel_->hide();

    model_ = new InvoiceOverviewModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("TableRechnungen"));
    table_->setModel(model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAlternatingRowColors(false);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("LabelRechnungenSumme"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    openButton_ = new QPushButton(QStringLiteral("PDF &öffnen"), this);
    openButton_->setObjectName(QStringLiteral("ButtonPdfOeffnen"));
    auto *exportButton = new QPushButton(QStringLiteral("Als &CSV exportieren…"), this);
    exportButton->setObjectName(QStringLiteral("ButtonCsvExport"));
    auto *refreshButton = new QPushButton(QStringLiteral("&Aktualisieren"), this);
    refreshButton->setObjectName(QStringLiteral("ButtonAktualisieren"));
    refreshButton->setShortcut(QKeySequence::Refresh);
    auto *closeButton = new QPushButton(QStringLiteral("Schließen"), this);
    closeButton->setObjectName(QStringLiteral("ButtonSchliessen"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(openButton_);
    buttons->addWidget(exportButton);
    buttons->addWidget(refreshButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel_);
    layout->addWidget(findingsLabel_);
    layout->addWidget(unheldLabel_);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addLayout(buttons);

    const auto guardedSlot = [this](void (InvoiceListWindow::*slot)()) {
        return [this, slot] { guarded([this, slot] { (this->*slot)(); }); };
    };
    connect(openButton_, &QPushButton::clicked, this, guardedSlot(&InvoiceListWindow::openSelected));
    connect(exportButton, &QPushButton::clicked, this, guardedSlot(&InvoiceListWindow::exportCsv));
    connect(refreshButton, &QPushButton::clicked, this, guardedSlot(&InvoiceListWindow::refresh));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(table_, &QTableView::activated, this, guardedSlot(&InvoiceListWindow::openSelected));
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &InvoiceListWindow::updateButtons);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // What the records say changes with every edit elsewhere; the folder and the counter are read
    // again only for another list (or folder) and when an invoice number came or went.
    const GuestList &list = context_.guests();
    for (auto signal : {&GuestList::recordChanged, &GuestList::recordInserted, &GuestList::recordRemoved})
        connect(&list, signal, this, [this] { recordsChanged(); });
    connect(&list, &GuestList::listReset, this, [this] { refresh(); });

    resize(1100, 480);
    restorePlace();
    refresh();
}

namespace {

std::vector<qint32> invoiceNumbers(const std::vector<TGast> &records)
{
    std::vector<qint32> numbers;
    for (const TGast &gast : records)
        numbers.push_back(gast.ReNr);
    return numbers;
}

} // namespace

void InvoiceListWindow::refresh()
{
    const QString ablage = context_.invoiceFolder();
    const QString journalPath = billing::journalPath(ablage);
    journal_ = {};
    journalProblem_.clear();
    try {
        journal_ = billing::summarizeJournal(journalPath);
    } catch (const platform::Error &error) {
        // The copies and the records are still worth seeing; the reason stands above them.
        journalProblem_ = error.message();
    }
    journalMade_ = QFileInfo::exists(journalPath) ? QFileInfo(journalPath).birthTime() : QDateTime();
    kept_ = AbgelegteRechnungen(ablage);
    lastNumber_ = LetzteReNr(context_.invoiceCounterPath());
    numbersRead_ = invoiceNumbers(context_.guests().records());
    folderLabel_->setText(QStringLiteral("Rechnungskopien im Ordner %1")
                              .arg(QDir::toNativeSeparators(QFileInfo(ablage).absoluteFilePath())));
    showRows();
}

void InvoiceListWindow::recordsChanged()
{
    // A new invoice is kept and counted before its number reaches the record.
    if (invoiceNumbers(context_.guests().records()) != numbersRead_)
        refresh();
    else
        showRows();
}

void InvoiceListWindow::showRows()
{
    billing::InvoiceOverview overview =
        billing::invoiceOverview(journal_, kept_, context_.guests().records(), lastNumber_);
    const int selected = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
    summary_->setText(
        (QStringList{billing::overviewSummaryText(overview)} + billing::yearTotalsLines(overview)).join(u'\n'));
    const QStringList unheld = billing::unheldInvoiceLines(overview);
    model_->setRows(std::move(overview.rows));
    unheldLabel_->setText(unheld.join(u'\n'));
    unheldLabel_->setVisible(!unheld.isEmpty());
    showFindings();
    table_->resizeColumnsToContents();
    if (selected >= 0 && selected < model_->rowCount())
        table_->selectRow(selected);
    updateButtons();
}

void InvoiceListWindow::showFindings()
{
    QStringList findings;
    if (!journalProblem_.isEmpty())
        findings << journalProblem_;
    findings << journal_.findings;
    if (journalMade_.isValid())
        findings << billing::missingLineFindings(journal_.numberList(), journal_.fileLines, kept_, journalMade_);
    findingsLabel_->setText(findings.join(u'\n'));
    findingsLabel_->setVisible(!findings.isEmpty());
}

void InvoiceListWindow::updateButtons()
{
    const QModelIndex current = table_->currentIndex();
    const auto &rows = model_->rows();
    const bool hasCopy = current.isValid() && current.row() < static_cast<int>(rows.size()) &&
                         !rows[static_cast<std::size_t>(current.row())].copy.isEmpty();
    openButton_->setEnabled(hasCopy);
}

void InvoiceListWindow::openSelected()
{
    const QModelIndex current = table_->currentIndex();
    const auto &rows = model_->rows();
    if (!current.isValid() || current.row() >= static_cast<int>(rows.size()))
        return;
    const billing::OverviewRow &row = rows[static_cast<std::size_t>(current.row())];
    if (row.copy.isEmpty())
        return;
    const QString path = QFileInfo(row.copy).absoluteFilePath();
    if (!context_.dialogs().openDocument(this, path))
        context_.dialogs().showError(this, QStringLiteral("Die Rechnungskopie konnte nicht geöffnet werden. Ist ein "
                                                          "Programm für PDF-Dateien eingerichtet?\n%1")
                                               .arg(QDir::toNativeSeparators(path)));
}

void InvoiceListWindow::exportCsv()
{
    const QString suggested =
        SuggestedExport(context_.dataFolder(), QStringLiteral("Rechnungsliste"), QStringLiteral("csv"));
    const QString path = context_.dialogs().askExportFile(this, QStringLiteral("Rechnungsliste exportieren"), suggested,
                                                          QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty() || !MayWriteTo(this, context_.dialogs(), context_.dataFolder(), path))
        return;
    QList<QStringList> table{billing::invoiceOverviewHeader()};
    for (const billing::OverviewRow &row : model_->rows())
        table << billing::invoiceOverviewTexts(row);
    exchange::saveCsvFile(path, table, exchange::kInvoiceListCodePage);
    summary_->setText(QStringLiteral("%1 Zeilen nach %2 exportiert")
                          .arg(model_->rows().size())
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

} // namespace app
