#include "app/statistics/StatisticsWindow.h"

#include "app/AppContext.h"
#include "app/ExportTargets.h"
#include "app/statistics/FiguresChart.h"
#include "app/statistics/FiguresPrint.h"
#include "billing/InvoiceFiles.h"
#include "billing/JournalOverview.h"
#include "calendar/OccupancyPlan.h"
#include "exchange/Csv.h"
#include "platform/AnsiText.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace app {

using calendar::AuswertungKopf;
using calendar::AuswertungZeilen;
using calendar::BetragText;
using calendar::figuresExplanation;
using calendar::figuresTable;
using calendar::Jahresauswertung;
using calendar::JahresZahlen;
using calendar::MonatsName;
using calendar::openInvoiceRow;
using calendar::openInvoicesText;
using calendar::yearSummaryText;
using guests::GuestList;

namespace {

const QString kFiguresGeometryKey = QStringLiteral("Auswertung");

// Column titles on two lines where they are long, so the table stays narrow.
QString TwoLines(QString title)
{
    if (title.startsWith(QStringLiteral("Umsatz ")))
        return title.replace(QStringLiteral("Umsatz "), QStringLiteral("Umsatz\n"));
    title.replace(QStringLiteral(" Zi "), QStringLiteral("\nZi "));
    return title.replace(QStringLiteral("Auslastung ("), QStringLiteral("Auslastung\n("));
}

} // namespace

StatisticsWindow::StatisticsWindow(AppContext &context, QWidget *parent)
    : ToolWindow(context, parent, kFiguresGeometryKey)
{
    setObjectName(QStringLiteral("Statistics"));
    setWindowTitle(QStringLiteral("Auswertung"));

    auto *yearLabel = new QLabel(QStringLiteral("&Jahr:"), this);
    year_ = new QSpinBox(this);
    year_->setObjectName(QStringLiteral("SpinJahr"));
    year_->setRange(1900, 9999);
    year_->setValue(platform::YearOf(platform::Today()));
    year_->setGroupSeparatorShown(false);
    yearLabel->setBuddy(year_);
    auto *exportButton = new QPushButton(QStringLiteral("&Exportieren…"), this);
    exportButton->setObjectName(QStringLiteral("ButtonExportieren"));
    exportButton->setToolTip(QStringLiteral("Die Tabelle als CSV-Datei speichern"));
    auto *printButton = new QPushButton(QStringLiteral("&Drucken…"), this);
    printButton->setObjectName(QStringLiteral("ButtonDrucken"));
    printButton->setToolTip(QStringLiteral("Diagramm und Tabelle auf einer A4-Seite drucken"));

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LabelStatus"));
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *bar = new QHBoxLayout;
    bar->addWidget(yearLabel);
    bar->addWidget(year_);
    bar->addWidget(status_, 1);
    bar->addWidget(exportButton);
    bar->addWidget(printButton);

    chartView_ = new QChartView(this);
    chartView_->setObjectName(QStringLiteral("ChartAuswertung"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    // Tall enough that the vertical axis titles are drawn whole.
    chartView_->setMinimumSize(480, 300);

    table_ = new QTableWidget(13, static_cast<int>(AuswertungKopf().size()), this);
    table_->setObjectName(QStringLiteral("TabelleMonate"));
    QStringList titles;
    for (const QString &title : AuswertungKopf())
        titles << TwoLines(title);
    table_->setHorizontalHeaderLabels(titles);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    // The month and the money take the width they need, the other columns share the rest.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (int column : {0, table_->columnCount() - 2, table_->columnCount() - 1})
        table_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    // The table is as high as its thirteen rows; the chart takes the rest of the window.
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                           13 * table_->verticalHeader()->defaultSectionSize() + 2 * table_->frameWidth() + 2);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("LabelJahr"));
    summary_->setWordWrap(true);
    QFont bold = summary_->font();
    bold.setBold(true);
    summary_->setFont(bold);
    summary_->setMinimumHeight(2 * QFontMetrics(bold).lineSpacing());

    byDepartureNote_ = new QLabel(this);
    byDepartureNote_->setObjectName(QStringLiteral("LabelNachAbreise"));
    byDepartureNote_->setWordWrap(true);
    byDepartureNote_->hide();

    openSummary_ = new QLabel(this);
    openSummary_->setObjectName(QStringLiteral("LabelOffen"));
    openSummary_->setWordWrap(true);
    open_ = new QTableWidget(0, 4, this);
    open_->setObjectName(QStringLiteral("TabelleOffen"));
    open_->setHorizontalHeaderLabels(
        {QStringLiteral("Rechnung"), QStringLiteral("Gast"), QStringLiteral("Aufenthalt"), QStringLiteral("Betrag")});
    open_->verticalHeader()->hide();
    open_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    open_->setSelectionBehavior(QAbstractItemView::SelectRows);
    open_->horizontalHeader()->setStretchLastSection(false);
    open_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    open_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    open_->setToolTip(QStringLiteral("Doppelklick öffnet die Buchung"));
    open_->verticalHeader()->setDefaultSectionSize(open_->fontMetrics().height() + 6);
    open_->setMinimumHeight(open_->horizontalHeader()->sizeHint().height() +
                            3 * open_->verticalHeader()->defaultSectionSize());

    auto *note = new QLabel(figuresExplanation(), this);
    note->setObjectName(QStringLiteral("LabelErlaeuterung"));
    note->setWordWrap(true);

    // The chart with the open invoices and the explanation beside it, the table of the months
    // below: so a 1366 × 768 screen shows every part whole. The splitters let the host share the
    // room differently; a window smaller than all of it scrolls rather than drawing over itself.
    auto *side = new QWidget;
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(openSummary_);
    sideLayout->addWidget(open_, 1);
    sideLayout->addWidget(note);
    auto *top = new QSplitter(Qt::Horizontal);
    top->setObjectName(QStringLiteral("SplitterDiagramm"));
    top->setChildrenCollapsible(false);
    top->addWidget(chartView_);
    top->addWidget(side);
    top->setStretchFactor(0, 2);
    top->setStretchFactor(1, 1);

    auto *figures = new QWidget;
    auto *figuresLayout = new QVBoxLayout(figures);
    figuresLayout->setContentsMargins(0, 0, 0, 0);
    figuresLayout->addWidget(table_);
    figuresLayout->addWidget(summary_);
    figuresLayout->addWidget(byDepartureNote_);
    figuresLayout->addStretch(1);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName(QStringLiteral("SplitterAuswertung"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(top);
    splitter->addWidget(figures);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ScrollAuswertung"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(splitter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);

    connect(year_, &QSpinBox::valueChanged, this, [this] {
        stale_ = true;
        refresh();
    });
    connect(exportButton, &QPushButton::clicked, this, [this] { guarded([this] { exportCsv(); }); });
    connect(printButton, &QPushButton::clicked, this, [this] { guarded([this] { print(); }); });
    connect(open_, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        const QTableWidgetItem *item = open_->item(row, 0);
        const int record = item ? item->data(Qt::UserRole).toInt() : 0;
        if (record <= 0 || record > context_.guests().lastIndex())
            return;
        guarded([this, record] { context_.openRecord(record); });
    });
    const GuestList &list = context.guests();
    for (auto signal : {&GuestList::recordInserted, &GuestList::recordRemoved, &GuestList::recordChanged})
        connect(&list, signal, this, [this] { listChanged(); });
    connect(&list, &GuestList::listReset, this, [this] { listChanged(); });

    // As large as it is drawn best, but never beyond the screen it opens on.
    QSize size(1100, 920);
    if (const QScreen *screen = parent->screen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
    restorePlace();
    refresh();
}

const JahresZahlen &StatisticsWindow::zahlen()
{
    if (stale_)
        refresh();
    return zahlen_;
}

void StatisticsWindow::listChanged()
{
    stale_ = true;
    // A hidden window catches up when it is shown again.
    if (isVisible())
        refresh();
}

void StatisticsWindow::showEvent(QShowEvent *event)
{
    if (stale_)
        refresh();
    QWidget::showEvent(event);
}

void StatisticsWindow::refresh()
{
    zahlen_ = Jahresauswertung(context_.guests().records(), year_->value());
    takeRevenueByInvoice();
    stale_ = false;

    QChart *old = chartView_->chart();
    chartView_->setChart(MakeFiguresChart(zahlen_));
    delete old; // the view gives up a chart it no longer shows

    const std::vector<QStringList> rows = AuswertungZeilen(zahlen_);
    QFont bold = table_->font();
    bold.setBold(true);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (r + 1 == rows.size())
                item->setFont(bold);
            if (c == 0 && r < 12)
                item->setToolTip(MonatsName(static_cast<int>(r) + 1) + QStringLiteral(" ") +
                                 QString::number(zahlen_.jahr));
            table_->setItem(static_cast<int>(r), c, item);
        }
    }

    // Months that hold invoices from before the journal are counted by departure: marked so, in
    // italics and with a note, the number itself left as it is for copying.
    const int revenueColumn = static_cast<int>(AuswertungKopf().indexOf(QStringLiteral("Umsatz nach Rechnung (€)")));
    for (int month = 0; month < 12 && revenueColumn >= 0; ++month) {
        QTableWidgetItem *item = table_->item(month, revenueColumn);
        const double part = byDeparture_[static_cast<std::size_t>(month)];
        if (!item || part == 0)
            continue;
        QFont italic = item->font();
        italic.setItalic(true);
        item->setFont(italic);
        item->setToolTip(QStringLiteral("Darin %1 aus Rechnungen ohne Buchungszeile, nach Abreisemonat gezählt")
                             .arg(BetragText(part)));
    }
    summary_->setText(yearSummaryText(zahlen_));
    QString byDeparture;
    if (withoutJournal_ > 0)
        byDeparture = QStringLiteral("Umsatz nach Rechnung, kursiv: %1 ohne Buchungszeile im Rechnungsbuch (aus der "
                                     "Zeit vor dem Rechnungsbuch), nach Abreisemonat gezählt.")
                          .arg(withoutJournal_ == 1 ? QStringLiteral("1 Rechnung")
                                                    : QStringLiteral("%1 Rechnungen").arg(withoutJournal_));
    if (!journalProblem_.isEmpty())
        byDeparture = QStringLiteral("Umsatz nach Rechnung nach Abreisemonat gezählt, das Rechnungsbuch ist nicht "
                                     "lesbar: ") +
                      journalProblem_;
    byDepartureNote_->setText(byDeparture);
    byDepartureNote_->setVisible(!byDeparture.isEmpty());
    openSummary_->setText(openInvoicesText(zahlen_));
    open_->setRowCount(static_cast<int>(zahlen_.offen.size()));
    for (std::size_t r = 0; r < zahlen_.offen.size(); ++r) {
        const QStringList cells = openInvoiceRow(zahlen_.offen[r]);
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, zahlen_.offen[r].record);
            // A long name is cut off on a small screen; the whole of it is a hover away.
            item->setToolTip(cells[c]);
            if (c == 0 || c == 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            open_->setItem(static_cast<int>(r), c, item);
        }
    }
}

void StatisticsWindow::takeRevenueByInvoice()
{
    byDeparture_ = {};
    withoutJournal_ = 0;
    journalProblem_.clear();
    billing::JournalContents journal;
    try {
        journal = billing::readJournal(billing::journalPath(context_.invoiceFolder()));
    } catch (const platform::Error &error) {
        // The figures stay usable: by departure, as before the journal, and the reason is shown.
        journalProblem_ = error.message();
        return;
    }
    const billing::RevenueByInvoice revenue =
        billing::revenueByInvoice(journal, context_.guests().records(), zahlen_.jahr);
    zahlen_.summe.umsatzRechnung = 0;
    for (std::size_t month = 0; month < 12; ++month) {
        zahlen_.monate[month].umsatzRechnung = revenue.amount[month];
        zahlen_.summe.umsatzRechnung += revenue.amount[month];
    }
    byDeparture_ = revenue.byDeparture;
    withoutJournal_ = revenue.withoutJournal;
}

void StatisticsWindow::exportCsv()
{
    const QString suggested = SuggestedExport(
        context_.dataFolder(), QStringLiteral("Auswertung %1 vom").arg(zahlen().jahr), QStringLiteral("csv"));
    const QString path = context_.dialogs().askExportFile(this, QStringLiteral("Auswertung exportieren"), suggested,
                                                          QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty() || !MayWriteTo(this, context_.dialogs(), context_.dataFolder(), path))
        return;
    status_->clear();
    exchange::saveCsvFile(path, figuresTable(zahlen()), exchange::kFiguresCodePage);
    status_->setText(QStringLiteral("Gespeichert: %1").arg(path));
    status_->setToolTip(path);
}

void StatisticsWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("Auswertung %1").arg(zahlen().jahr));
    SuggestPrintout(printer, context_.dataFolder(), QStringLiteral("Auswertung"), QString::number(zahlen().jahr));
    if (!context_.dialogs().askPrinterFor(this, printer, QStringLiteral("Auswertung drucken")) ||
        !MayPrintTo(this, context_.dialogs(), context_.dataFolder(), printer))
        return;
    // The house's takings are no one else's business either.
    const auto file = billing::PrivatePrintout(printer);
    printYearFigures(printer, zahlen());
    if (file)
        file->keep();
}

} // namespace app
