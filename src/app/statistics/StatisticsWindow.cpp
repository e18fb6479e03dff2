#include "app/statistics/StatisticsWindow.h"

#include "app/AppContext.h"
#include "app/ExportTargets.h"
#include "calendar/OccupancyPlan.h"
#include "exchange/Csv.h"
#include "platform/AnsiText.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QString kGeometryKey = QStringLiteral("Auswertung");

// What the columns mean, said once in the window and on the printout.
const QString kErlaeuterung = QStringLiteral(
    "Nächte: verkaufte Zimmernächte; eine Nacht zählt im Monat, in dem sie beginnt, eine Buchung mehrerer "
    "Zimmer zählt je Zimmer. Auslastung: belegte Zimmernächte in Prozent der Tage des Monats (bei einer "
    "Doppelbelegung einmal). Gäste und Personen: Buchungen im Monat der Anreise, jede einmal. "
    "Umsatz nach Anreise: Kosten aller Buchungen im Monat der Anreise. Umsatz nach Rechnung: Kosten der "
    "Buchungen mit Rechnungsnummer im Monat der Abreise – das Rechnungsdatum wird nicht gespeichert, die "
    "Rechnung entsteht bei der Abreise. Offene Rechnungen: mit Rechnungsnummer, nicht als bezahlt markiert.");

// Column titles on two lines where they are long, so the table stays narrow.
QString TwoLines(QString title)
{
    if (title.startsWith(QStringLiteral("Umsatz ")))
        return title.replace(QStringLiteral("Umsatz "), QStringLiteral("Umsatz\n"));
    title.replace(QStringLiteral(" Zi "), QStringLiteral("\nZi "));
    return title.replace(QStringLiteral("Auslastung ("), QStringLiteral("Auslastung\n("));
}

QString Nights(double nights)
{
    return platform::FormatFixed(std::round(nights * 10) / 10, 0, 1) +
           (nights == 1 ? QStringLiteral(" Nacht") : QStringLiteral(" Nächte"));
}

QString Summary(const JahresZahlen &z)
{
    const MonatsZahlen &s = z.summe;
    return QStringLiteral("%1: %2 Gäste mit %3 Personen, %4 Zimmernächte, Auslastung %5 %, durchschnittlicher "
                          "Aufenthalt %6. Umsatz nach Anreise %7, nach Rechnung %8.")
        .arg(z.jahr)
        .arg(s.gaeste)
        .arg(s.personen)
        .arg(s.naechteGesamt)
        .arg(platform::FormatFixed(std::round(s.auslastungGesamt() * 10) / 10, 0, 1),
             Nights(z.mittlereAufenthaltsdauer), BetragText(s.umsatzAnreise), BetragText(s.umsatzRechnung));
}

QString OpenSummary(const JahresZahlen &z)
{
    QString text = z.offen.empty() ? QStringLiteral("Keine offenen Rechnungen %1.").arg(z.jahr)
                                   : QStringLiteral("Offene Rechnungen %1: %2, zusammen %3.")
                                         .arg(z.jahr)
                                         .arg(z.offen.size())
                                         .arg(BetragText(z.offenSumme));
    if (z.offenAlleJahre != static_cast<int>(z.offen.size()))
        text += QStringLiteral(" Alle Jahre: %1, zusammen %2.")
                    .arg(z.offenAlleJahre)
                    .arg(BetragText(z.offenSummeAlleJahre));
    return text;
}

QStringList OpenRow(const OffeneRechnung &o)
{
    return {QString::number(o.reNr), o.gast,
            QStringLiteral("%1 bis %2").arg(platform::DateToStr(o.von), platform::DateToStr(o.bis)),
            BetragText(o.kosten)};
}

// A round upper end for the revenue axis.
double NiceMaximum(double value)
{
    if (value <= 0)
        return 100;
    const double magnitude = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (value <= step * magnitude)
            return step * magnitude;
    return 10 * magnitude;
}

// A table drawn with the painter for the printout: header on top, right-aligned numbers.
double PaintTable(QPainter &p, const QRectF &area, const QStringList &head, const std::vector<QStringList> &rows,
                  const std::vector<double> &weights, double font)
{
    double total = 0;
    for (double w : weights)
        total += w;
    std::vector<double> x{area.left()};
    for (double w : weights)
        x.push_back(x.back() + area.width() * w / total);

    QFont headFont(QStringLiteral("Liberation Sans"));
    headFont.setPixelSize(static_cast<int>(std::lround(font * 0.9)));
    headFont.setBold(true);
    QFont bodyFont = headFont;
    bodyFont.setBold(false);
    QFont sumFont = bodyFont;
    sumFont.setBold(true);

    const double headHeight = font * 3.4;
    const double rowHeight = font * 1.5;
    double y = area.top();
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    p.fillRect(QRectF(area.left(), y, area.width(), headHeight), QColor(0xee, 0xee, 0xee));
    p.setFont(headFont);
    p.setPen(Qt::black);
    for (int c = 0; c < head.size(); ++c) {
        const QRectF cell(x[std::size_t(c)] + 2, y, x[std::size_t(c) + 1] - x[std::size_t(c)] - 4, headHeight);
        p.drawText(cell, Qt::AlignCenter | Qt::TextWordWrap, head[c]);
    }
    y += headHeight;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool last = r + 1 == rows.size() && rows[r].value(0) == QStringLiteral("Summe");
        if (r % 2 == 1)
            p.fillRect(QRectF(area.left(), y, area.width(), rowHeight), QColor(0xf7, 0xf7, 0xf7));
        p.setFont(last ? sumFont : bodyFont);
        for (int c = 0; c < rows[r].size() && c < head.size(); ++c) {
            const QRectF cell(x[std::size_t(c)] + 3, y, x[std::size_t(c) + 1] - x[std::size_t(c)] - 6, rowHeight);
            p.drawText(cell, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, rows[r][c]);
        }
        if (last) {
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
        y += rowHeight;
    }
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(area.left(), area.top(), area.width(), y - area.top()));
    return y;
}

} // namespace

QChart *MakeFiguresChart(const JahresZahlen &z)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->setTitle(QStringLiteral("Auslastung und Umsatz %1").arg(z.jahr));
    QFont title = chart->titleFont();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.15);
    chart->setTitleFont(title);

    // Two series side by side in each month, each against its own axis: occupancy on the left,
    // revenue on the right. Each series has an empty set in the other's place so the bars do not
    // cover one another.
    auto *occupancy = new QBarSet(QStringLiteral("Auslastung (%)"));
    auto *occupancyGap = new QBarSet(QString());
    auto *revenueGap = new QBarSet(QString());
    auto *revenue = new QBarSet(QStringLiteral("Umsatz nach Anreise (€)"));
    occupancy->setColor(QColor(0x42, 0x85, 0xf4));
    revenue->setColor(QColor(0x34, 0xa8, 0x53));
    double maxRevenue = 0;
    for (const MonatsZahlen &m : z.monate) {
        *occupancy << m.auslastungGesamt();
        *occupancyGap << 0;
        *revenueGap << 0;
        *revenue << m.umsatzAnreise;
        maxRevenue = std::max(maxRevenue, m.umsatzAnreise);
    }
    auto *left = new QBarSeries;
    left->setBarWidth(0.8);
    left->append(occupancy);
    left->append(occupancyGap);
    auto *right = new QBarSeries;
    right->setBarWidth(0.8);
    right->append(revenueGap);
    right->append(revenue);
    chart->addSeries(left);
    chart->addSeries(right);

    auto *months = new QBarCategoryAxis;
    for (int m = 1; m <= 12; ++m)
        months->append(MonatsKurzname(m));
    chart->addAxis(months, Qt::AlignBottom);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%.0f"));
    percent->setTitleText(QStringLiteral("Auslastung in %"));
    percent->setTickCount(6);
    chart->addAxis(percent, Qt::AlignLeft);
    auto *euros = new QValueAxis;
    euros->setRange(0, NiceMaximum(maxRevenue));
    euros->setLabelFormat(QStringLiteral("%.0f"));
    euros->setTitleText(QStringLiteral("Umsatz in €"));
    euros->setTickCount(6);
    euros->setGridLineVisible(false);
    chart->addAxis(euros, Qt::AlignRight);
    left->attachAxis(months);
    left->attachAxis(percent);
    right->attachAxis(months);
    right->attachAxis(euros);

    chart->legend()->setAlignment(Qt::AlignBottom);
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(left), static_cast<QAbstractSeries *>(right)})
        for (QLegendMarker *marker : chart->legend()->markers(series))
            marker->setVisible(!marker->label().isEmpty());
    return chart;
}

StatisticsWindow::StatisticsWindow(AppContext &context, QWidget *parent) : ToolWindow(context, parent, kGeometryKey)
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

    auto *note = new QLabel(kErlaeuterung, this);
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

QChart *StatisticsWindow::chart() const
{
    return chartView_->chart();
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

    summary_->setText(Summary(zahlen_));
    openSummary_->setText(OpenSummary(zahlen_));
    open_->setRowCount(static_cast<int>(zahlen_.offen.size()));
    for (std::size_t r = 0; r < zahlen_.offen.size(); ++r) {
        const QStringList cells = OpenRow(zahlen_.offen[r]);
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, zahlen_.offen[r].record);
            if (c == 0 || c == 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            open_->setItem(static_cast<int>(r), c, item);
        }
    }
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

    const JahresZahlen &z = zahlen();
    QPainter p;
    if (!p.begin(&printer))
        throw platform::Error(QStringLiteral("Der Drucker konnte nicht gestartet werden."));
    // Drawn in units of a 96 dpi screen, like the window.
    const double scale = printer.resolution() / 96.0;
    p.scale(scale, scale);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width() / scale, page.height() / scale);
    const double f = 11;

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(static_cast<int>(f * 1.8));
    font.setBold(true);
    p.setFont(font);
    const QRectF title(area.left(), area.top(), area.width(), f * 2.6);
    p.drawText(title, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Auswertung %1").arg(z.jahr));
    font.setPixelSize(static_cast<int>(f * 0.9));
    font.setBold(false);
    p.setFont(font);
    p.drawText(title, Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Stand: ") + platform::DateToStr(platform::Today()));

    // The chart, laid out afresh at the size it takes on paper.
    const QRectF chartArea(area.left(), title.bottom() + f * 0.5, area.width(), area.height() * 0.36);
    {
        QGraphicsScene scene;
        QChart *chart = MakeFiguresChart(z);
        scene.addItem(chart); // the scene owns it
        chart->resize(chartArea.size());
        if (chart->layout())
            chart->layout()->activate();
        scene.render(&p, chartArea, QRectF(QPointF(0, 0), chartArea.size()));
    }

    std::vector<double> weights{1.0};
    for (int c = 1; c < static_cast<int>(AuswertungKopf().size()); ++c)
        weights.push_back(c >= 11 ? 1.35 : 1.0);
    double y = PaintTable(p, QRectF(area.left(), chartArea.bottom() + f, area.width(), 0), AuswertungKopf(),
                          AuswertungZeilen(z), weights, f);

    font.setPixelSize(static_cast<int>(f));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    QRectF text(area.left(), y + f, area.width(), area.bottom() - y - f);
    QRectF used;
    p.drawText(text, Qt::TextWordWrap, Summary(z), &used);
    text.setTop(used.bottom() + f * 0.6);
    p.drawText(text, Qt::TextWordWrap, OpenSummary(z), &used);
    text.setTop(used.bottom() + f * 0.3);
    font.setBold(false);
    p.setFont(font);

    // As many unpaid invoices as the page holds, then how many more there are.
    const double line = f * 1.45;
    const double noteHeight = f * 6;
    const auto fits = static_cast<std::size_t>(std::max(0.0, (area.bottom() - noteHeight - text.top()) / line - 1));
    for (std::size_t i = 0; i < z.offen.size(); ++i) {
        if (i >= fits) {
            p.drawText(text, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("… und %1 weitere").arg(z.offen.size() - i));
            text.setTop(text.top() + line);
            break;
        }
        const QStringList cells = OpenRow(z.offen[i]);
        p.drawText(QRectF(text.left(), text.top(), area.width() * 0.1, line), Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("Nr. ") + cells[0]);
        p.drawText(QRectF(text.left() + area.width() * 0.12, text.top(), area.width() * 0.46, line),
                   Qt::AlignLeft | Qt::AlignTop, cells[1]);
        p.drawText(QRectF(text.left() + area.width() * 0.58, text.top(), area.width() * 0.28, line),
                   Qt::AlignLeft | Qt::AlignTop, cells[2]);
        p.drawText(QRectF(text.left() + area.width() * 0.86, text.top(), area.width() * 0.14, line),
                   Qt::AlignRight | Qt::AlignTop, cells[3]);
        text.setTop(text.top() + line);
    }

    font.setPixelSize(static_cast<int>(f * 0.85));
    p.setFont(font);
    p.setPen(QColor(0x44, 0x44, 0x44));
    p.drawText(QRectF(area.left(), area.bottom() - noteHeight, area.width(), noteHeight),
               Qt::TextWordWrap | Qt::AlignBottom, kErlaeuterung);
    if (!p.end())
        throw platform::Error(QStringLiteral("Der Druck konnte nicht abgeschlossen werden."));
}
