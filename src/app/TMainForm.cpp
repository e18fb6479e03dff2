#include "app/TMainForm.h"

#include "app/InputValidators.h"
#include "billing/Invoice.h"
#include "billing/InvoiceNumber.h"
#include "billing/StayCost.h"
#include "calendar/HolidayOutlineDelegate.h"
#include "calendar/RoomCalendarModel.h"
#include "guestfile/Fields.h"
#include "guestfile/GuestFile.h"
#include "guestfile/SettingsFolder.h"
#include "holidays/De_Feiertage.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Regional.h"
#include "ui_TMainForm.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPrinter>
#include <QScreen>

using platform::TDateTime;

namespace {
constexpr int kGridRows = 1000;
constexpr int kGridRowHeight = 20;
} // namespace

TMainForm::TMainForm(QWidget *parent) : TMainForm(std::make_unique<QtDialogs>(), parent) {}

TMainForm::TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TMainForm>()), dialogs_(std::move(dialogs)), form_(*ui_)
{
    ui_->setupUi(this);
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    // The form starts with today's dates and 12:00, as a new booking would.
    const QString dateFormat = platform::Regional().shortDateFormat;
    ui_->DateEditVon->setDisplayFormat(dateFormat);
    ui_->DateEditBis->setDisplayFormat(dateFormat);
    ui_->DateEditVon->setMinimumDate(QDate(100, 1, 1));
    ui_->DateEditBis->setMinimumDate(QDate(100, 1, 1));
    ui_->DateEditVon->setDate(platform::Clock::now().date());
    ui_->DateEditBis->setDate(platform::Clock::now().date());
    ui_->TimeEditAnreise->setTime(QTime(12, 0));
    ui_->TimeEditAbreise->setTime(QTime(12, 0));

    calendar_ = new RoomCalendarModel(kGridRows, this);
    QTableView *grid = ui_->GridZimmer;
    grid->setModel(calendar_);
    grid->setItemDelegateForColumn(0, new HolidayOutlineDelegate(grid));
    grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionsMovable(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < RoomCalendarModel::kColumnCount; ++c)
        grid->setColumnWidth(c, RoomCalendarModel::kColumnWidths[c]);
    // The date must be readable whole in the desktop's font.
    const int dateWidth = grid->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 8;
    grid->setColumnWidth(0, std::max(RoomCalendarModel::kColumnWidths[0], dateWidth));
    // A grid that takes the focus by the Tab key would make its first cell current, and every
    // new current cell is a pick for a booking; so only a click focuses it.
    grid->setFocusPolicy(Qt::ClickFocus);

    connectControls();

    picks_.reset();
    if (!LiesPreisMatrix(QString::fromUtf8(kPreisMatrixDatei), matrix_))
        dialogs_->inform(this, QStringLiteral("Preismatrix.dat fehlt"));
    ui_->Tabcontrol1->setCurrentIndex(0);
    MakeSettingsFolder();

    // The page layout is fixed; centre the window on the screen it opens on.
    resize(384, 567);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMainForm::connectControls()
{
    Ui::TMainForm &ui = *ui_;

    // Every field copies the whole form into the current record when it loses the focus.
    const QList<QWidget *> exitFields = {ui.NumberBoxGastnr, ui.EditZimmer,   ui.EditName,        ui.NumberBoxPersonen,
                                         ui.EditStrasse,     ui.NumberBoxPLZ, ui.EditOrt,         ui.DateEditVon,
                                         ui.TimeEditAnreise, ui.DateEditBis,  ui.TimeEditAbreise, ui.EditTelefon,
                                         ui.EditEMail,       ui.EditBem,      ui.NumberBoxReNr,   ui.NumberBoxKosten};
    for (QWidget *field : exitFields)
        field->installEventFilter(this);

    for (QLineEdit *edit : {ui.EditName, ui.EditStrasse, ui.EditOrt, ui.EditTelefon, ui.EditEMail, ui.EditBem}) {
        edit->setValidator(new NoSemicolonValidator(edit));
        connect(edit, &QLineEdit::textEdited, this, [this] { ChangedData(); });
    }
    ui.EditZimmer->setValidator(new RoomDigitsValidator(ui.EditZimmer));
    connect(ui.EditZimmer, &QLineEdit::textEdited, this, [this](const QString &text) {
        list_.current().Zimmer = text; // EditZimmerChange
        ChangedData();
    });

    // Any change the user makes marks the data as changed; showing a record does not.
    const auto changedByUser = [this] {
        if (!showing_)
            ChangedData();
    };
    for (QSpinBox *box : {ui.NumberBoxPersonen, ui.NumberBoxPLZ})
        connect(box, &QSpinBox::valueChanged, this, changedByUser);
    connect(ui.NumberBoxKosten, &QDoubleSpinBox::valueChanged, this, changedByUser);
    for (QDateEdit *picker : {ui.DateEditVon, ui.DateEditBis})
        connect(picker, &QDateEdit::dateChanged, this, changedByUser);
    for (QTimeEdit *picker : {ui.TimeEditAnreise, ui.TimeEditAbreise})
        connect(picker, &QTimeEdit::timeChanged, this, changedByUser);
    // A tick reaches the record at once.
    for (QCheckBox *box : {ui.CheckBoxBez, ui.CheckBoxKey})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (showing_)
                return;
            MaskToRecord();
            ChangedData();
        });

    connect(ui.SpinBox1, &QSpinBox::valueChanged, this, [this](int value) { guarded([&] { SpinBox1Change(value); }); });
    connect(ui.ButtonSave, &QPushButton::clicked, this, [this] { guarded([this] { ButtonSaveClick(); }); });
    connect(ui.ButtonRead, &QPushButton::clicked, this, [this] { guarded([this] { ButtonReadClick(); }); });
    connect(ui.ButtonNeuerGast, &QPushButton::clicked, this, [this] { guarded([this] { ButtonNeuerGastClick(); }); });
    connect(ui.ButtonStornieren, &QPushButton::clicked, this, [this] { guarded([this] { ButtonStornierenClick(); }); });
    connect(ui.ButtonPrintRe, &QPushButton::clicked, this, [this] { guarded([this] { ButtonPrintReClick(); }); });
    connect(ui.Tabcontrol1->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == ui_->Tabcontrol1->indexOf(ui_->Zimmer))
            guarded([this] { ZimmerClick(); });
    });

    QTableView *grid = ui.GridZimmer;
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            GridZimmerSelectCell(current.column(), current.row());
    });
    connect(grid, &QTableView::clicked, this,
            [this](const QModelIndex &index) { guarded([&] { GridZimmerCellClick(index.column(), index.row()); }); });
    connect(grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        guarded([&] { GridZimmerCellDblClick(index.column(), index.row()); });
    });
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        MaskToRecord();
    } else if (event->type() == QEvent::FocusIn) {
        if (watched == ui_->DateEditVon)
            guarded([this] { DateEditVonEnter(); });
        else if (watched == ui_->NumberBoxKosten)
            guarded([this] { NumberBoxKostenEnter(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::guarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        dialogs_->showError(this, QString::fromUtf8(error.what()));
    }
}

void TMainForm::setStatus(const QString &text)
{
    ui_->LabelStatus->setText(text);
}

void TMainForm::ChangedData()
{
    list_.setChanged(true);
}

void TMainForm::MaskToRecord()
{
    form_.store(list_.current());
}

void TMainForm::RecordToMask()
{
    const QSignalBlocker noSpin(ui_->SpinBox1);
    showing_ = true;
    form_.show(list_.current());
    showing_ = false;
}

void TMainForm::ShowRecord(int index)
{
    list_.select(index);
    RecordToMask();
    // The spin box may go up by one record at a time; make room for the shown index first.
    const QSignalBlocker block(ui_->SpinBox1);
    ui_->SpinBox1->setMaximum(std::max(ui_->SpinBox1->maximum(), list_.currentIndex() + 1));
    ui_->SpinBox1->setValue(list_.currentIndex());
}

// --- the guest list -------------------------------------------------------------------------

void TMainForm::ButtonNeuerGastClick()
{
    list_.appendNew();
    // A booking is for one person at least; the form cannot show fewer.
    list_.current().Personen = ui_->NumberBoxPersonen->minimum();
    ShowRecord(list_.currentIndex()); // the spin box follows, so it never points at another guest
    ui_->DateEditVon->setDate(platform::Clock::now().date());
    ui_->DateEditBis->setDate(ui_->DateEditVon->date());
    ChangedData();
}

void TMainForm::ButtonStornierenClick()
{
    DelGast();
}

void TMainForm::DelGast()
{
    if (!list_.removeCurrent()) {
        setStatus(QStringLiteral("Kein Gast gewählt"));
        return;
    }
    ChangedData();
    ShowRecord(list_.currentIndex());
    // From today as a whole day, so departure days show as occupied as after a tab click.
    ZeigGrid(platform::Today());
}

void TMainForm::SpinBox1Change(int value)
{
    const int index = list_.select(value);
    {
        const QSignalBlocker block(ui_->SpinBox1);
        ui_->SpinBox1->setMaximum(index + 1);
    }
    RecordToMask();
}

// --- the guest file -------------------------------------------------------------------------

QString TMainForm::DataPath(const char *fileName, bool forSaving)
{
    if (!dataFolder_.chosen()) {
        const QString chosen = forSaving ? dialogs_->askSaveFile(this) : dialogs_->askOpenFile(this);
        if (!chosen.isEmpty())
            dataFolder_.chooseFromFile(chosen);
    }
    return dataFolder_.pathOf(QString::fromUtf8(fileName));
}

void TMainForm::FileSave()
{
    const QString path = DataPath(kGuestFileName, true);
    WriteGuestFile(path, list_.records());
    list_.setChanged(false);
    setStatus(QStringLiteral("%1 Gästedatensätze in Gaeste.csv geschrieben").arg(list_.guestCount()));
}

void TMainForm::FileRead()
{
    setStatus(QStringLiteral("Gästedaten laden"));
    const QString path = DataPath(kGuestFileName, false);
    // Read everything first: a file that fails leaves the list as it was.
    list_.replace(ReadGuestFile(path));
    list_.setChanged(false);
}

void TMainForm::ButtonSaveClick()
{
    FileSave();
}

void TMainForm::ButtonReadClick()
{
    if (list_.changed() && dialogs_->confirm(this, QStringLiteral("Daten sichern?")))
        FileSave();
    FileRead();
    setStatus(QStringLiteral("%1 Gästedatensätze gelesen").arg(list_.guestCount()));
    ShowRecord(list_.lastIndex());
}

bool TMainForm::FormClose()
{
    // The field being edited has not been left yet; its text belongs to the record.
    MaskToRecord();
    if (!list_.changed())
        return true;
    if (!dialogs_->confirm(this, QStringLiteral("Daten sichern?")))
        return true;
    try {
        FileSave();
        return true;
    } catch (const std::exception &error) {
        // The window stays open, so the user can try again.
        dialogs_->showError(this, QString::fromUtf8(error.what()));
        return false;
    }
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

// --- the room calendar ----------------------------------------------------------------------

void TMainForm::ZeigGrid(TDateTime Starttag)
{
    calendar_->setRows(ZeigGridRows(list_.records(), Starttag, calendar_->rowCount()));
}

void TMainForm::ZimmerClick()
{
    const QDate today = platform::Clock::now().date();
    ZeigGrid(platform::EncodeDate(today.year(), 1, 1) + kTageVorStarttag);
    // Scroll today into view (making it current would count as a pick). The tab click comes
    // before the page is shown, so wait until the grid has its size.
    const int row = calendar_->rowOfDay(platform::Today());
    if (row >= 0)
        QMetaObject::invokeMethod(
            this,
            [this, row] { ui_->GridZimmer->scrollTo(calendar_->index(row, 0), QAbstractItemView::PositionAtCenter); },
            Qt::QueuedConnection);
}

void TMainForm::GridZimmerSelectCell(int ACol, int ARow)
{
    picks_.SelectCell(ACol, ARow);
}

void TMainForm::GridZimmerCellClick(int Column, int Row)
{
    if (Column != 0)
        return;
    const QString text = calendar_->cellText(Row, 0);
    if (text.isEmpty())
        return;
    const QString name = De_Feiertage::GetFeiertagName(kFeiertagPLZ, platform::StrToDate(text));
    if (!name.isEmpty())
        dialogs_->inform(this, name);
}

void TMainForm::GridZimmerCellDblClick(int Column, int Row)
{
    QString text = calendar_->cellText(Row, Column);
    if (text.isEmpty())
        return;
    const qint32 gastNr = NextFieldInt(text, QStringLiteral(","));
    const int index = list_.firstIndexOf(gastNr);
    if (index < 0)
        return;
    ShowRecord(index);
    ui_->Tabcontrol1->setCurrentWidget(ui_->Gast);
}

void TMainForm::DateEditVonEnter()
{
    const auto taken = TakePicks(
        picks_, [this](int row) { return calendar_->cellText(row, 0); }, ui_->EditZimmer->text());
    if (!taken)
        return;
    ui_->DateEditVon->setDate(platform::DayToDate(taken->Von));
    ui_->EditZimmer->setText(taken->Zimmer);
    list_.current().Zimmer = taken->Zimmer; // EditZimmerChange
    ui_->DateEditBis->setDate(platform::DayToDate(taken->Bis));
    ChangedData();
}

// --- billing --------------------------------------------------------------------------------

void TMainForm::NumberBoxKostenEnter()
{
    Uebernachtungskosten();
}

void TMainForm::Uebernachtungskosten()
{
    TGast &gast = list_.current();
    const float kosten = ::Uebernachtungskosten(gast, matrix_);
    if (kosten != gast.Kosten)
        ChangedData();
    gast.Kosten = kosten;
    const QSignalBlocker block(ui_->NumberBoxKosten);
    ui_->NumberBoxKosten->setValue(kosten);
}

void TMainForm::ButtonPrintReClick()
{
    QPrinter printer(QPrinter::HighResolution);
    if (dialogs_->askPrinter(this, printer))
        CreateBill(printer);
}

void TMainForm::NextReNr()
{
    const qint32 number = ::NextReNr(DataPath(kReNummerDatei, false));
    list_.current().ReNr = number;
    // The number is spent; should the save after printing fail, closing must still offer to save it.
    ChangedData();
    const QSignalBlocker block(ui_->NumberBoxReNr);
    ui_->NumberBoxReNr->setValue(number);
}

void TMainForm::CreateBill(QPrinter &printer)
{
    // The form first: a missing or broken form must not use up an invoice number.
    QImage invoice = LoadInvoiceTemplate(QString::fromUtf8(kRechnungsvorlageDatei));
    NextReNr();
    if (list_.current().Kosten == 0)
        Uebernachtungskosten();
    DrawInvoice(invoice, list_.current(), platform::Today());
    PrintInvoice(printer, invoice);
    FileSave();
}
