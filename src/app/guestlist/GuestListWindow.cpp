#include "app/guestlist/GuestListWindow.h"

#include "app/AppContext.h"
#include "app/DateTimeFields.h"
#include "app/ExportTargets.h"
#include "app/guestlist/DayListPrint.h"
#include "billing/InvoiceFiles.h"
#include "calendar/DayList.h"
#include "calendar/DayTasks.h"
#include "exchange/GuestListCsv.h"
#include "exchange/ICalendar.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "register/NewStay.h"
#include "register/PortalBlockFilter.h"
#include "register/StayText.h"
#include "ui_GuestListWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPageSize>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

namespace app {

using calendar::TageslisteFuer;
using calendar::TageslistenTeile;
using calendar::TageslistenTitel;
using exchange::ExportiereKalender;
using exchange::KalenderDateiName;
using guests::FilterArt;
using guests::FilterNamen;
using guests::GastFilter;
using guests::GuestList;
using guests::GuestListModel;
using guests::GuestName;
using guests::kRaeume;
using guests::NeuerAufenthalt;
using guests::TGast;
using platform::TDateTime;

namespace {

const QString kGuestListGeometryKey = QStringLiteral("Gaesteliste");
constexpr int kStandardHoehe = 600;

QString Anzahl(qsizetype n, const QString &one, const QString &many)
{
    return n == 1 ? QStringLiteral("1 ") + one : QStringLiteral("%1 ").arg(n) + many;
}

bool IsEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

GuestListWindow::GuestListWindow(AppContext &context, QWidget *parent)
    : ToolWindow(context, parent, kGuestListGeometryKey), ui_(std::make_unique<Ui::GuestListWindow>()),
      model_(context.guests()), proxy_(model_)
{
    ui_->setupUi(this);

    ui_->FilterZeitraum->addItems(FilterNamen());
    const QString dateFormat = platform::Regional().shortDateFormat;
    const QDate today = platform::Clock::now().date();
    for (QDateEdit *field : {ui_->DateVon, ui_->DateBis, ui_->DateTagesliste}) {
        field->setDisplayFormat(dateFormat);
        field->setMinimumDate(QDate(1900, 1, 1));
        field->setDate(today);
    }
    ui_->DateBis->setDate(today.addDays(6)); // a week, the stretch a host looks at most

    // The rooms taken through portals, on request under the guests: they are no records, so they
    // have a table of their own that opens nothing.
    withBlocks_ = new QCheckBox(QStringLiteral("&Portal-Blockierungen"), this);
    withBlocks_->setObjectName(QStringLiteral("CheckBoxBlockierungen"));
    withBlocks_->setToolTip(QStringLiteral("Auch die Zimmer zeigen, die über abonnierte Kalender der Buchungsportale "
                                           "belegt sind"));
    // Beside the count, where the row has room to spare on a small screen.
    ui_->layoutSumme->insertWidget(1, withBlocks_);
    blocks_ = new QTableWidget(0, 6, this);
    blocks_->setObjectName(QStringLiteral("TableBlockierungen"));
    blocks_->setHorizontalHeaderLabels({QStringLiteral("Portal"), QStringLiteral("Zimmer"), QStringLiteral("Anreise"),
                                        QStringLiteral("Abreise"), QStringLiteral("Nächte"), QStringLiteral("Text")});
    blocks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    blocks_->setSelectionBehavior(QAbstractItemView::SelectRows);
    blocks_->setTabKeyNavigation(false);
    blocks_->verticalHeader()->hide();
    blocks_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    blocks_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    blocks_->horizontalHeader()->setStretchLastSection(true);
    blocks_->setToolTip(QStringLiteral("Über ein Portal belegt: kein Gast der Gästeliste. Im Zimmerkalender legt ein "
                                       "Doppelklick auf den Tag einen neuen Gast dafür an."));
    blocks_->setVisible(false);
    // The guests keep most of the height.
    ui_->layoutFenster->insertWidget(ui_->layoutFenster->indexOf(ui_->TableGaeste) + 1, blocks_, 1);
    ui_->layoutFenster->setStretchFactor(ui_->TableGaeste, 3);

    // The filter before the table: the rows are then sorted once, not once more for the filter.
    FilterZeitraumChange();
    setUpTable();
    connectControls();
    followCurrent();

    // Centred on the screen the first time, then where the host left it.
    resize(defaultWidth_, kStandardHoehe);
    if (const QScreen *screen = parent->screen()) {
        // Room for the window frame, which is not known before the window is shown.
        const QRect available = screen->availableGeometry().adjusted(16, 16, -16, -16);
        resize(std::min(width(), available.width()), std::min(height(), available.height()));
        move(available.center() - rect().center());
    }
    restorePlace();
    ui_->EditSuche->setFocus();
}

GuestListWindow::~GuestListWindow() = default;

void GuestListWindow::setUpTable()
{
    QTableView *table = ui_->TableGaeste;
    table->setModel(&proxy_);
    table->setTabKeyNavigation(false); // Tab moves on to the buttons, as everywhere else
    QHeaderView *rows = table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 8);

    QHeaderView *header = table->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(36);
    // Wide enough for what the columns hold in this font, and for the title with its sort arrow;
    // the name takes whatever room the window has beyond that.
    const QFontMetrics metrics = fontMetrics();
    const QString datum = platform::DateToStr(platform::DateToDay(QDate(2000, 12, 28)));
    const std::pair<int, QString> samples[] = {{GuestListModel::SpalteNr, QStringLiteral("00000")},
                                               {GuestListModel::SpalteOrt, QStringLiteral("Neustadt a. Rbge.")},
                                               {GuestListModel::SpalteAnreise, datum},
                                               {GuestListModel::SpalteAbreise, datum},
                                               {GuestListModel::SpalteNaechte, QStringLiteral("00")},
                                               {GuestListModel::SpalteZimmer, QStringLiteral("123")},
                                               {GuestListModel::SpaltePersonen, QStringLiteral("00")},
                                               {GuestListModel::SpalteKosten, QStringLiteral("0000,00 €")},
                                               {GuestListModel::SpalteReNr, QStringLiteral("00000")},
                                               {GuestListModel::SpalteBezahlt, QStringLiteral("nein")},
                                               {GuestListModel::SpalteSchluessel, QStringLiteral("nein")}};
    int fixed = 0;
    for (const auto &[spalte, sample] : samples) {
        const int width = std::max(header->sectionSizeHint(spalte), metrics.horizontalAdvance(sample) + 14);
        header->resizeSection(spalte, width);
        fixed += width;
    }
    header->setSectionResizeMode(GuestListModel::SpalteName, QHeaderView::Stretch);
    // The window opens wide enough for every column and a name of some 28 letters.
    defaultWidth_ = fixed + metrics.horizontalAdvance(QStringLiteral("Gruppe Wanderfreunde Diemel")) +
                    table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth() +
                    layout()->contentsMargins().left() + layout()->contentsMargins().right();
    // In the order of the stays, as the calendar shows them.
    table->sortByColumn(GuestListModel::SpalteAnreise, Qt::AscendingOrder);
}

void GuestListWindow::connectControls()
{
    connect(ui_->EditSuche, &QLineEdit::textChanged, this,
            [this](const QString &text) { guarded([&] { EditSucheChange(text); }); });
    connect(ui_->FilterZeitraum, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { FilterZeitraumChange(); }); });
    connect(withBlocks_, &QCheckBox::toggled, this, [this] { showBlocks(); });
    connect(&context_, &AppContext::portalBlocksChanged, this, [this] { showBlocks(); });
    // A typed date that is none is said; the field has kept its date.
    for (DateField *field : {ui_->DateVon, ui_->DateBis, ui_->DateTagesliste})
        connect(field, &DateField::refused, this, [this](const QString &message) {
            QMetaObject::invokeMethod(
                this, [this, message] { context_.dialogs().showError(this, message); }, Qt::QueuedConnection);
        });
    // The stretch of days never runs backwards: moving one end past the other takes it along.
    connect(ui_->DateVon, &QDateEdit::dateChanged, this, [this](const QDate &von) {
        if (ui_->DateBis->date() < von) {
            const QSignalBlocker block(ui_->DateBis);
            ui_->DateBis->setDate(von);
        }
        guarded([this] { FilterZeitraumChange(); });
    });
    connect(ui_->DateBis, &QDateEdit::dateChanged, this, [this](const QDate &bis) {
        if (ui_->DateVon->date() > bis) {
            const QSignalBlocker block(ui_->DateVon);
            ui_->DateVon->setDate(bis);
        }
        guarded([this] { FilterZeitraumChange(); });
    });

    QTableView *table = ui_->TableGaeste;
    connect(table, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { guarded([&] { TableGaesteDblClick(index); }); });
    table->installEventFilter(this);
    ui_->EditSuche->installEventFilter(this);
    // Ctrl+F here as in the main window: back to the search, its text ready to be typed over.
    auto *find = new QAction(this);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    connect(find, &QAction::triggered, this, [this] {
        ui_->EditSuche->setFocus(Qt::ShortcutFocusReason);
        ui_->EditSuche->selectAll();
    });
    addAction(find);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateButtons(); });

    connect(ui_->ButtonNeuerAufenthalt, &QPushButton::clicked, this,
            [this] { guarded([this] { ButtonNeuerAufenthaltClick(); }); });
    connect(ui_->ButtonExport, &QPushButton::clicked, this, [this] { guarded([this] { ButtonExportClick(); }); });
    connect(ui_->ButtonKalenderExport, &QPushButton::clicked, this,
            [this] { guarded([this] { ButtonKalenderExportClick(); }); });
    connect(ui_->ButtonTagesliste, &QPushButton::clicked, this,
            [this] { guarded([this] { ButtonTageslisteClick(); }); });

    // The count and the sum follow whatever changes the rows shown.
    connect(&proxy_, &QAbstractItemModel::rowsInserted, this, [this] { showSumme(); });
    connect(&proxy_, &QAbstractItemModel::rowsRemoved, this, [this] { showSumme(); });
    connect(&proxy_, &QAbstractItemModel::modelReset, this, [this] { showSumme(); });
    connect(&proxy_, &QAbstractItemModel::layoutChanged, this,
            [this](const QList<QPersistentModelIndex> &, QAbstractItemModel::LayoutChangeHint hint) {
                // Sorting moves rows but shows the same ones.
                if (hint != QAbstractItemModel::VerticalSortHint)
                    showSumme();
            });
    connect(&proxy_, &QAbstractItemModel::dataChanged, this, [this] { showSumme(); });

    // The row of the main window's current record is selected, whoever made it current.
    const GuestList &list = context_.guests();
    connect(&list, &GuestList::currentChanged, this, [this] { followCurrent(); });
    connect(&list, &GuestList::listReset, this, [this] { followCurrent(); });
}

bool GuestListWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    QTableView *table = ui_->TableGaeste;
    if (watched == table && IsEnter(key)) {
        // Enter opens the row, as a double-click does.
        if (table->currentIndex().isValid())
            guarded([&] { openRow(table->currentIndex().row()); });
        return true;
    }
    if (watched == ui_->EditSuche && (IsEnter(key) || key->key() == Qt::Key_Down)) {
        // From the search straight to the guests: Enter opens the selected or first row found,
        // the arrow key moves into the table.
        const int first = proxy_.rowCount() > 0 ? 0 : -1;
        if (IsEnter(key)) {
            const int row = table->currentIndex().isValid() ? table->currentIndex().row() : first;
            if (row >= 0)
                guarded([&] { openRow(row); });
        } else {
            // The top of what was found, selected before the table takes the focus (which would
            // make a row current without selecting it), so that Enter and "Neuer Aufenthalt" act on it.
            if (first >= 0)
                table->selectionModel()->setCurrentIndex(proxy_.index(first, 0), QItemSelectionModel::ClearAndSelect |
                                                                                     QItemSelectionModel::Rows);
            table->setFocus(Qt::TabFocusReason);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void GuestListWindow::say(const QString &text)
{
    ui_->LabelMeldung->setText(text);
}

// --- the rows shown -------------------------------------------------------------------------

void GuestListWindow::EditSucheChange(const QString &text)
{
    narrowing_ = true;
    proxy_.setSuche(text);
    narrowing_ = false;
    showSumme();
    showBlocks();
}

void GuestListWindow::FilterZeitraumChange()
{
    GastFilter filter;
    filter.art = static_cast<FilterArt>(std::max(0, ui_->FilterZeitraum->currentIndex()));
    filter.heute = platform::Today();
    filter.von = platform::DateToDay(ui_->DateVon->date());
    filter.bis = platform::DateToDay(ui_->DateBis->date());
    const bool zeitraum = filter.art == FilterArt::Zeitraum;
    for (QWidget *w : std::initializer_list<QWidget *>{ui_->LabelVon, ui_->DateVon, ui_->LabelBis, ui_->DateBis})
        w->setEnabled(zeitraum);
    narrowing_ = true;
    proxy_.setFilter(filter);
    narrowing_ = false;
    showSumme();
    showBlocks();
}

void GuestListWindow::showBlocks()
{
    const bool on = withBlocks_->isChecked();
    blocks_->setVisible(on);
    if (!on) {
        blocks_->setRowCount(0);
        return;
    }
    const std::vector<guests::PortalBlock> &blocks = context_.portalBlocks();
    const std::vector<int> shown = guests::blocksShown(blocks, proxy_.filter(), ui_->EditSuche->text());
    blocks_->setRowCount(static_cast<int>(shown.size()));
    for (int row = 0; row < blocks_->rowCount(); ++row) {
        const guests::PortalBlock &b = blocks[static_cast<std::size_t>(shown[static_cast<std::size_t>(row)])];
        const QStringList texts = {
            b.subscription,
            QString::number(b.room),
            platform::DateToStr(b.from),
            platform::DateToStr(b.to),
            QString::number(static_cast<qint64>(platform::DateOf(b.to) - platform::DateOf(b.from))),
            b.summary.simplified()};
        for (int column = 0; column < texts.size(); ++column)
            blocks_->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
    blocks_->resizeColumnsToContents();
}

void GuestListWindow::showSumme()
{
    // A new search or filter takes many rows away at once; the sum is counted once at its end.
    if (narrowing_)
        return;
    const int rows = proxy_.rowCount();
    ui_->LabelSumme->setText(Anzahl(rows, QStringLiteral("Aufenthalt"), QStringLiteral("Aufenthalte")) +
                             QStringLiteral(", Kosten zusammen ") + QLocale().toString(proxy_.kostenSumme(), 'f', 2) +
                             QStringLiteral(" €"));
    updateButtons();
}

void GuestListWindow::updateButtons()
{
    ui_->ButtonNeuerAufenthalt->setEnabled(selectedRecord() > 0);
}

int GuestListWindow::selectedRecord() const
{
    const QItemSelectionModel *selection = ui_->TableGaeste->selectionModel();
    if (!selection) // while the window is being made
        return -1;
    const QModelIndexList rows = selection->selectedRows();
    return rows.isEmpty() ? -1 : proxy_.recordIndex(rows.constFirst().row());
}

void GuestListWindow::followCurrent()
{
    // "Neuer Aufenthalt: …" no longer fits once another booking is shown.
    if (newStaySaid_ >= 0 && newStaySaid_ != context_.guests().currentIndex()) {
        say(QString());
        newStaySaid_ = -1;
    }
    QTableView *table = ui_->TableGaeste;
    const int row = proxy_.rowOfRecord(context_.guests().currentIndex());
    if (row < 0) {
        table->selectionModel()->clear();
        return;
    }
    const QModelIndex index = proxy_.index(row, 0);
    table->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table->scrollTo(index);
}

// --- opening a booking ----------------------------------------------------------------------

void GuestListWindow::TableGaesteDblClick(const QModelIndex &index)
{
    if (index.isValid())
        openRow(index.row());
}

void GuestListWindow::openRow(int row)
{
    const int index = proxy_.recordIndex(row);
    if (index <= 0)
        return;
    context_.openRecord(index);
}

void GuestListWindow::ButtonNeuerAufenthaltClick()
{
    const int from = selectedRecord();
    if (from <= 0) {
        say(QStringLiteral("Bitte zuerst einen Gast in der Liste wählen."));
        return;
    }
    // What the host is typing on the page "Gast" belongs to the record shown there.
    context_.storeEditedField();
    const int index = NeuerAufenthalt(context_.guestList(), from);
    context_.openRecord(index);
    say(QStringLiteral("Neuer Aufenthalt: ") + GuestName(context_.guests().at(index)));
    newStaySaid_ = index;
}

// --- printing and exports -------------------------------------------------------------------

void GuestListWindow::ButtonTageslisteClick()
{
    context_.storeEditedField();
    const TDateTime tag = platform::DateToDay(ui_->DateTagesliste->date());
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("Tagesliste ") + platform::DateToStr(tag));
    SuggestPrintout(printer, context_.dataFolder(), QStringLiteral("Tagesliste"),
                    ui_->DateTagesliste->date().toString(Qt::ISODate));
    if (!context_.dialogs().askPrinterFor(this, printer, QStringLiteral("Tagesliste drucken")) ||
        !MayPrintTo(this, context_.dialogs(), context_.dataFolder(), printer))
        return;
    const std::vector<TGast> &records = context_.guests().records();
    // The rooms taken through portals count for the rooms to prepare and the double bookings, as
    // the calendar shows them: blocks of removed subscriptions and blocks taken over as guests left
    // out (the context read them with the data folder and told the host of any trouble then).
    const calendar::Occupants occupants{records, context_.portalBlocks()};
    const QStringList tasks = calendar::dayTaskLines(occupants, calendar::dayTasks(occupants, tag));
    const auto file = billing::PrivatePrintout(printer); // names the guests of the day
    DruckeTagesliste(printer, TageslistenTitel(tag), TageslistenTeile(records, TageslisteFuer(records, tag)), tasks);
    if (file)
        file->keep();
    say(QStringLiteral("Tagesliste für %1 gedruckt").arg(platform::DateToStr(tag)));
}

void GuestListWindow::ButtonExportClick()
{
    context_.storeEditedField();
    const QString suggested =
        SuggestedExport(context_.dataFolder(), QStringLiteral("Gästeliste"), QStringLiteral("csv"));
    const QString path = context_.dialogs().askExportFile(this, QStringLiteral("Gästeliste exportieren"), suggested,
                                                          QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty() || !MayWriteTo(this, context_.dialogs(), context_.dataFolder(), path))
        return;
    const std::vector<int> rows = proxy_.shownRecords();
    exchange::exportGuestListCsv(path, context_.guests().records(), rows);
    say(Anzahl(static_cast<qsizetype>(rows.size()), QStringLiteral("Zeile"), QStringLiteral("Zeilen")) +
        QStringLiteral(" in %1 gespeichert").arg(QFileInfo(path).fileName()));
}

void GuestListWindow::ButtonKalenderExportClick()
{
    context_.storeEditedField();
    const QString folder = context_.dialogs().askFolder(this, QStringLiteral("Ordner für die Zimmerkalender wählen"));
    if (folder.isEmpty())
        return;
    for (int room = 1; room <= kRaeume; ++room)
        if (!MayWriteTo(this, context_.dialogs(), context_.dataFolder(),
                        QDir(folder).filePath(KalenderDateiName(room))))
            return;
    const QStringList files = ExportiereKalender(folder, context_.guests().records(), platform::Clock::now());
    QStringList names;
    for (const QString &file : files)
        names << QFileInfo(file).fileName();
    say(names.join(QStringLiteral(", ")) + QStringLiteral(" in %1 gespeichert").arg(QDir::toNativeSeparators(folder)));
}

} // namespace app
