#include "app/TMainForm.h"

#include "app/AmountBox.h"
#include "app/AppContext.h"
#include "app/DateTimeFields.h"
#include "app/ErrorSink.h"
#include "app/ExportTargets.h"
#include "app/HolidayOutlineDelegate.h"
#include "app/InputValidators.h"
#include "app/TerminationWatch.h"
#include "app/ToolWindow.h"
#include "app/Version.h"
#include "app/WindowGeometry.h"
#include "app/guestlist/GuestListWindow.h"
#include "app/invoices/InvoiceListWindow.h"
#include "app/letters/ConfirmationLetter.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/privacy/AnonymizeDialog.h"
#include "app/privacy/PersonalDataExport.h"
#include "app/settings/PortalSettingsPage.h"
#include "app/settings/SettingsDialog.h"
#include "app/statistics/StatisticsWindow.h"
#include "billing/BillingFiles.h"
#include "billing/Cancellation.h"
#include "billing/CreateBill.h"
#include "billing/Invoice.h"
#include "billing/InvoiceArchive.h"
#include "billing/InvoiceFiles.h"
#include "billing/InvoiceNumber.h"
#include "billing/IssuedInvoices.h"
#include "billing/JournalCheck.h"
#include "billing/StayCost.h"
#include "calendar/PortalOccupancy.h"
#include "calendar/RoomCalendarModel.h"
#include "exchange/PortalSync.h"
#include "guestfile/Backups.h"
#include "guestfile/FileFormats.h"
#include "guestfile/GuestFile.h"
#include "guestfile/LostCharacters.h"
#include "guestfile/PortalSettings.h"
#include "guestfile/Recovery.h"
#include "guestfile/Settings.h"
#include "guestfile/SettingsFolder.h"
#include "holidays/De_Feiertage.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"
#include "platform/Regional.h"
#include "register/PersonalData.h"
#include "register/StayFromBlock.h"
#include "register/StayText.h"
#include "ui_TMainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QScopeGuard>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>

namespace app {

using billing::AbgelegteRechnungen;
using billing::Briefkopf;
using billing::DateiFund;
using billing::EInvoiceError;
using billing::ErsteFreieReNr;
using billing::KeepPrintedFilePrivate;
using billing::KopieErgebnis;
using billing::KostenBeimEintritt;
using billing::KostenBerechnen;
using billing::KostenLage;
using billing::KostenVorschlag;
using billing::kRechnungenOrdner;
using billing::kRechnungsvorlageDatei;
using billing::kReNummerDatei;
using billing::LiesReNrStand;
using billing::NaechsteReNrVorschau;
using billing::NeueRechnungFrage;
using billing::OhneAnschriftFrage;
using billing::RechnungErstellen;
using billing::RechnungsDateien;
using billing::RechnungsDateiname;
using billing::RechnungsErgebnis;
using billing::RechnungskopieDrucken;
using billing::RemoveInvoiceLeftovers;
using billing::ReNrBeginnen;
using billing::SucheDatei;
using billing::TPreisMatrix;
using billing::Uebernachtungskosten;
using billing::VergleichMitPreisliste;
using calendar::AuswahlErsetzenFrage;
using calendar::AuswahlNutzung;
using calendar::AuswahlText;
using calendar::DoppelbelegungText;
using calendar::KalenderStarttag;
using calendar::kTageVorStarttag;
using calendar::PeekPicks;
using calendar::PickState;
using calendar::RoomCalendarModel;
using calendar::ZeigGridRows;
using guestfile::BackupFolder;
using guestfile::BackupInfo;
using guestfile::CharactersLostOnSave;
using guestfile::DataFolder;
using guestfile::EGuestFileChanged;
using guestfile::HouseDetails;
using guestfile::KeepBackupAt;
using guestfile::kGuestFileName;
using guestfile::ListBackups;
using guestfile::LostCharactersQuestion;
using guestfile::MakeSettingsFolder;
using guestfile::missingSetup;
using guestfile::RecoveryQuestion;
using guestfile::RememberDataFolder;
using guestfile::RememberedDataFolder;
using guestfile::setPrintWithoutForm;
using guestfile::SetupGap;
using guestfile::setupHint;
using guestfile::SetupStep;
using guestfile::UseReadableFileFormats;
using guests::AbreiseVorAnreiseFrage;
using guests::GuestList;
using guests::GuestName;
using guests::HoldsBooking;
using guests::StornoFrage;
using guests::TGast;
using platform::TDateTime;

namespace {
constexpr int kGridRows = 1000;
constexpr int kGridRowHeight = 20;

// Only a focus the host gives runs an enter handler: Qt also hands the focus back when a page or
// the window becomes active again, and that must not change a booking.
bool GivenByHost(const QEvent *event)
{
    switch (static_cast<const QFocusEvent *>(event)->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason: return true;
    default: return false;
    }
}

// Offers `path` as the file to print to, without making printing to a file the choice: the
// printer stays the one the dialog would offer. Returns the offered path.
QString SuggestPrintFile(QPrinter &printer, const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    printer.setOutputFileName(absolute);
    printer.setOutputFormat(QPrinter::NativeFormat);
    return printer.outputFileName() == absolute ? absolute : QString();
}

// How soon after a change its recovery copy is written.
constexpr int kRecoveryDelayMs = 1500;

const QString kAbreiseVorAnreise = QStringLiteral("Abreise liegt vor Anreise");
const QString kKeinGast = QStringLiteral("Kein Gast gewählt");
const QString kMainGeometryKey = QStringLiteral("Hauptfenster");
} // namespace

TMainForm::TMainForm(QWidget *parent) : TMainForm(std::make_unique<QtDialogs>(), parent) {}

TMainForm::TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : QMainWindow(parent), context_(std::make_unique<AppContext>(std::move(dialogs))), list_(context_->guestList()),
      ui_(std::make_unique<Ui::TMainForm>()), form_(*ui_)
{
    ui_->setupUi(this);
    setWindowTitle(QString::fromLatin1(version::kWindowTitle));
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    // Before anything is shown or read: formats that would not read back from the guest file.
    const QString formatNote = UseReadableFileFormats(QLocale::system().name());
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
    // These are suggestions, not values of record 0: only what the host edits reaches it.
    form_.markShown();

    calendar_ = new RoomCalendarModel(kGridRows, this);
    QTableView *grid = ui_->GridZimmer;
    grid->setModel(calendar_);
    auto *outline = new HolidayOutlineDelegate(context_->postalCode(), grid);
    grid->setItemDelegateForColumn(0, outline);
    connect(context_.get(), &AppContext::postalCodeChanged, outline, [grid, outline](qint32 code) {
        outline->setPostalCode(code);
        grid->viewport()->update();
    });
    grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionsMovable(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < RoomCalendarModel::kColumnCount; ++c)
        grid->setColumnWidth(c, RoomCalendarModel::kColumnWidths[c]);
    // The room columns share the width the window gives, so a double booking's names fit.
    for (int c = 2; c < RoomCalendarModel::kColumnCount; ++c)
        grid->horizontalHeader()->setSectionResizeMode(c, QHeaderView::Stretch);
    // The date must be readable whole in the desktop's font.
    const int dateWidth = grid->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 8;
    grid->setColumnWidth(0, std::max(RoomCalendarModel::kColumnWidths[0], dateWidth));
    // A grid that takes the focus by the Tab key would make its first cell current, and every
    // new current cell is a pick for a booking; so only a click focuses it.
    grid->setFocusPolicy(Qt::ClickFocus);

    connectControls();
    connectList();
    connectContext();
    createMenus();
    // The set-up hint and the messages naming a folder are longer than the window is wide.
    ui_->LabelStatus->setWordWrap(true);

    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(kRecoveryDelayMs);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { keepRecoveryCopy(); });
    for (const auto changed : {&GuestList::recordChanged, &GuestList::recordInserted, &GuestList::recordRemoved})
        connect(&list_, changed, this, [this] { noteChange(); });
    connect(&list_, &GuestList::listReset, this, [this] { noteChange(); });

    // Ended by the system or the desktop session: as if the host closed the window.
    connect(new TerminationWatch(this), &TerminationWatch::terminationRequested, this,
            [this] { terminationRequested(); });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        if (!SessionEnds(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });

    ui_->Tabcontrol1->setCurrentIndex(0);
    MakeSettingsFolder();
    OpenRememberedData();
    sayJournalFindings();
    // Looked for once the data folder is known: the prices beside the guest file count first.
    context_->readPriceList(this);
    context_->followPortals(this);
    syncPortalsAtStart();
    // Nothing pops up for a house not yet set up: the status line says what is missing.
    if (const QString hint = followSetup(); !hint.isEmpty())
        setStatus(ui_->LabelStatus->text().isEmpty() ? hint : ui_->LabelStatus->text() + QStringLiteral(" – ") + hint);
    if (!formatNote.isEmpty())
        setStatus(ui_->LabelStatus->text().isEmpty() ? formatNote
                                                     : ui_->LabelStatus->text() + QStringLiteral(" – ") + formatNote);

    // The usual size, centred on the screen, the first time; after that the size the host left.
    resize(384, 567 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RestoreWindowGeometry(*this, kMainGeometryKey);
}

void TMainForm::createMenus()
{
    const auto action = [this](QMenu *menu, const QString &text, const QKeySequence &keys, auto handler) {
        QAction *entry = menu->addAction(text);
        entry->setShortcut(keys);
        connect(entry, &QAction::triggered, this, [this, handler] { guarded(handler); });
        return entry;
    };
    menuDatei_ = menuBar()->addMenu(QStringLiteral("&Datei"));
    menuDatei_->setObjectName(QStringLiteral("MenuDatei"));
    action(menuDatei_, QStringLiteral("Daten &lesen"), QKeySequence(Qt::CTRL | Qt::Key_O),
           [this] { ButtonReadClick(); });
    action(menuDatei_, QStringLiteral("Daten &schreiben"), QKeySequence(Qt::CTRL | Qt::Key_S),
           [this] { ButtonSaveClick(); });
    action(menuDatei_, QStringLiteral("Sicherung &wiederherstellen…"), QKeySequence(), [this] { RestoreBackup(); });
    action(menuDatei_, QStringLiteral("Alte Aufenthalte &anonymisieren…"), QKeySequence(), [this] {
        AnonymisierenClick();
    })->setObjectName(QStringLiteral("ActionAnonymisieren"));
    action(menuDatei_, QStringLiteral("Portale &jetzt abgleichen"), QKeySequence(), [this] {
        context_->portals().sync();
    })->setObjectName(QStringLiteral("ActionAbgleichen"));
    menuDatei_->addSeparator();
    action(menuDatei_, QStringLiteral("&Einstellungen…"), QKeySequence(), [this] {
        showSettings();
    })->setObjectName(QStringLiteral("ActionEinstellungen"));
    actionEinrichten_ = action(menuDatei_, QStringLiteral("Ein&richten…"), QKeySequence(), [this] {
        const std::vector<SetupGap> gaps =
            missingSetup(context_->chosenFolder(), context_->startFolder(), context_->printWithoutForm());
        showSettings(gaps.empty() ? std::nullopt : std::optional(gaps.front().step));
    });
    actionEinrichten_->setObjectName(QStringLiteral("ActionEinrichten"));
    actionEinrichten_->setVisible(false);
    menuDatei_->addSeparator();
    action(menuDatei_, QStringLiteral("&Beenden"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });

    menuAnsicht_ = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    menuAnsicht_->setObjectName(QStringLiteral("MenuAnsicht"));
    action(menuAnsicht_, QStringLiteral("&Gast"), QKeySequence(Qt::CTRL | Qt::Key_1), [this] {
        MaskToRecord();
        ui_->Tabcontrol1->setCurrentWidget(ui_->Gast);
    });
    action(menuAnsicht_, QStringLiteral("&Zimmerkalender"), QKeySequence(Qt::CTRL | Qt::Key_2), [this] {
        if (ui_->Tabcontrol1->currentWidget() == ui_->Zimmer)
            ZimmerClick();
        else
            ui_->Tabcontrol1->setCurrentWidget(ui_->Zimmer); // fills it
    });
    menuAnsicht_->addSeparator();
    action(menuAnsicht_, QStringLiteral("&Belegungsplan"), QKeySequence(Qt::CTRL | Qt::Key_B), [this] {
        ToolWindow::open<OccupancyPlanWindow>(*context_, this);
    })->setObjectName(QStringLiteral("ActionBelegungsplan"));
    action(menuAnsicht_, QStringLiteral("A&uswertung"), QKeySequence(), [this] {
        ToolWindow::open<StatisticsWindow>(*context_, this);
    })->setObjectName(QStringLiteral("ActionAuswertung"));
    action(menuAnsicht_, QStringLiteral("Gäste&liste"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        GaestelisteClick();
    })->setObjectName(QStringLiteral("ActionGaesteliste"));
    action(menuAnsicht_, QStringLiteral("&Rechnungen"), QKeySequence(), [this] {
        RechnungenClick();
    })->setObjectName(QStringLiteral("ActionRechnungen"));

    // Alt+G: the page's button "Neu&er Gast" gave its G up; "Daten lesen" and "Daten schreiben"
    // have Strg+O and Strg+S instead of letters, since the page has none left.
    menuGast_ = menuBar()->addMenu(QStringLiteral("&Gast"));
    menuGast_->setObjectName(QStringLiteral("MenuGast"));
    action(menuGast_, QStringLiteral("Buchungs&bestätigung…"), QKeySequence(), [this] {
        BuchungsbestaetigungClick();
    })->setObjectName(QStringLiteral("ActionBuchungsbestaetigung"));
    action(menuGast_, QStringLiteral("Per &E-Mail senden…"), QKeySequence(), [this] {
        PerEmailClick();
    })->setObjectName(QStringLiteral("ActionPerEmail"));
    menuGast_->addSeparator();
    action(menuGast_, QStringLiteral("&Auskunft…"), QKeySequence(), [this] {
        AuskunftClick();
    })->setObjectName(QStringLiteral("ActionAuskunft"));

    menuRechnung_ = menuBar()->addMenu(QStringLiteral("&Rechnung"));
    menuRechnung_->setObjectName(QStringLiteral("MenuRechnung"));
    action(menuRechnung_, QStringLiteral("Rechnung &drucken…"), QKeySequence(Qt::CTRL | Qt::Key_P),
           [this] { ButtonPrintReClick(); });
    actionKopie_ = action(menuRechnung_, QStringLiteral("Rechnungs&kopie…"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), [this] { RechnungskopieClick(); });
    actionKopie_->setObjectName(QStringLiteral("ActionRechnungskopie"));
    actionKopie_->setStatusTip(QStringLiteral("Die Rechnung dieses Gastes noch einmal drucken, ohne neue Nummer"));
    actionKopie_->setEnabled(false);
    actionStorno_ = action(menuRechnung_, QStringLiteral("Rechnung &stornieren…"), QKeySequence(),
                           [this] { RechnungStornierenClick(); });
    actionStorno_->setObjectName(QStringLiteral("ActionRechnungStornieren"));
    actionStorno_->setStatusTip(
        QStringLiteral("Eine Stornorechnung zur Rechnung dieses Gastes drucken; danach kann neu berechnet werden"));
    actionStorno_->setEnabled(false);
    actionKostenBerechnen_ = action(menuRechnung_, QStringLiteral("Kosten &berechnen"),
                                    QKeySequence(Qt::CTRL | Qt::Key_K), [this] { KostenBerechnenClick(); });
    actionKostenBerechnen_->setObjectName(QStringLiteral("ActionKostenBerechnen"));
    actionKostenBerechnen_->setStatusTip(QStringLiteral("Die Kosten nach der Preisliste in das Feld eintragen"));

    // Ctrl+PgDown and Ctrl+PgUp turn the pages as in other programs with tabs (Qt's own tab
    // widget knows only Ctrl+Tab).
    for (const auto &[key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        auto *turn = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(turn, &QShortcut::activated, this, [this, step = step] {
            QTabWidget *tabs = ui_->Tabcontrol1;
            tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
        });
    }

    // The cost field's own menu offers it too, below the usual entries.
    QDoubleSpinBox *kosten = ui_->NumberBoxKosten;
    kosten->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(kosten, &QWidget::customContextMenuRequested, this, [this, kosten](const QPoint &at) {
        auto *edit = kosten->findChild<QLineEdit *>();
        const std::unique_ptr<QMenu> menu(edit ? edit->createStandardContextMenu() : new QMenu);
        menu->setObjectName(QStringLiteral("MenuKosten"));
        menu->addSeparator();
        menu->addAction(actionKostenBerechnen_);
        menu->exec(kosten->mapToGlobal(at));
    });
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

    for (QLineEdit *edit : {ui.EditName, ui.EditStrasse, ui.EditOrt, ui.EditTelefon, ui.EditEMail, ui.EditBem})
        edit->setValidator(new NoSemicolonValidator(edit));
    ui.EditZimmer->setValidator(new RoomDigitsValidator(ui.EditZimmer));
    connect(ui.EditZimmer, &QLineEdit::textEdited, this, [this](const QString &text) {
        // EditZimmerChange: the room text reaches the record at once.
        storing_ = true;
        list_.modifyCurrent([&text](TGast &g) { g.Zimmer = text; });
        storing_ = false;
    });

    // A tick reaches the record at once.
    for (QCheckBox *box : {ui.CheckBoxBez, ui.CheckBoxKey})
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!showing_)
                MaskToRecord();
        });
    for (QDateEdit *field : {ui.DateEditVon, ui.DateEditBis})
        connect(field, &QDateEdit::dateChanged, this, [this] { checkStay(); });
    // A typed date or time that is none: said once the focus has settled, not in the middle of its move.
    const auto refused = [this](const QString &message) {
        QMetaObject::invokeMethod(
            this, [this, message] { context_->dialogs().showError(this, message); }, Qt::QueuedConnection);
    };
    for (DateField *field : {ui.DateEditVon, ui.DateEditBis})
        connect(field, &DateField::refused, this, refused);
    for (TimeField *field : {ui.TimeEditAnreise, ui.TimeEditAbreise})
        connect(field, &TimeField::refused, this, refused);
    connect(ui.NumberBoxKosten, &AmountBox::refused, this, refused);

    connect(ui.SpinBox1, &QSpinBox::valueChanged, this, [this](int value) { guarded([&] { SpinBox1Change(value); }); });
    connect(ui.ButtonSave, &QPushButton::clicked, this, [this] { guarded([this] { ButtonSaveClick(); }); });
    connect(ui.ButtonRead, &QPushButton::clicked, this, [this] { guarded([this] { ButtonReadClick(); }); });
    connect(ui.ButtonNeuerGast, &QPushButton::clicked, this, [this] { guarded([this] { ButtonNeuerGastClick(); }); });
    connect(ui.ButtonStornieren, &QPushButton::clicked, this, [this] { guarded([this] { ButtonStornierenClick(); }); });
    connect(ui.ButtonPrintRe, &QPushButton::clicked, this, [this] { guarded([this] { ButtonPrintReClick(); }); });
    // However the calendar page comes to the front (a click, Ctrl+Tab, Ctrl+PgDown, the tab bar's
    // arrows, Ctrl+2), it is filled as of now; a click on it while it is in front fills it again.
    connect(ui.Tabcontrol1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == ui_->Tabcontrol1->indexOf(ui_->Zimmer))
            guarded([this] { ZimmerClick(); });
    });
    connect(ui.Tabcontrol1->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == ui_->Tabcontrol1->indexOf(ui_->Zimmer) && index == ui_->Tabcontrol1->currentIndex())
            guarded([this] { ZimmerClick(); });
    });

    QTableView *grid = ui.GridZimmer;
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            guarded([&] { GridZimmerSelectCell(current.column(), current.row()); });
    });
    connect(grid, &QTableView::clicked, this,
            [this](const QModelIndex &index) { guarded([&] { GridZimmerCellClick(index.column(), index.row()); }); });
    connect(grid, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        guarded([&] { GridZimmerCellDblClick(index.column(), index.row()); });
    });
}

void TMainForm::connectContext()
{
    // What the other windows ask of this one.
    AppContext *context = context_.get();
    connect(context, &AppContext::storeEditedFieldRequested, this, [this] { MaskToRecord(); });
    connect(context, &AppContext::openRecordRequested, this, &TMainForm::openRecord);
    connect(context, &AppContext::picksOffered, context, &AppContext::setPicks);
    connect(context, &AppContext::newGuestFromBlockRequested, this, &TMainForm::newGuestFromBlock);
    connect(context, &AppContext::picksChanged, this, &TMainForm::showPicks);
    // New blocks from a fetch or an edit: the calendar shows them at once, from the same day.
    connect(context, &AppContext::portalBlocksChanged, this, [this] {
        if (const auto start = calendar_->dayOfRow(kTageVorStarttag))
            ZeigGrid(*start);
    });
    connect(&context->portals(), &app::PortalState::syncStarted, this,
            [this] { setStatus(QStringLiteral("Abgleich läuft…")); });
    connect(&context->portals(), &app::PortalState::syncFinished, this,
            [this](const QString &summary) { setStatus(summary); });
}

void TMainForm::syncPortalsAtStart()
{
    // Only when the host asked for it, and not more often than the portals allow; after the window
    // is up, so the start never waits for a network.
    if (!guestfile::portalSyncAtStart() || context_->portals().subscriptions().empty())
        return;
    const QDateTime now = platform::Clock::now();
    if (!exchange::autoFetchDue(guestfile::lastAutomaticPortalSync(), now))
        return;
    guestfile::setLastAutomaticPortalSync(now);
    QMetaObject::invokeMethod(
        this, [this] { context_->portals().sync(); }, Qt::QueuedConnection);
}

void TMainForm::connectList()
{
    // Whoever changes the list (a handler, another window), the form shows what it holds.
    connect(&list_, &GuestList::recordChanged, this, [this](int index) {
        if (index == list_.currentIndex() && !storing_)
            RecordToMask();
    });
    connect(&list_, &GuestList::recordChanged, this, [this](int index) {
        if (index == list_.currentIndex())
            sayDoubleBooking();
    });
    connect(&list_, &GuestList::currentChanged, this, [this] { showCurrent(); });
    connect(&list_, &GuestList::listReset, this, [this] { showCurrent(); });
    // A copy exists only of an invoice that was issued.
    const auto followInvoice = [this] {
        const bool invoiced = list_.currentIndex() > 0 && list_.current().ReNr != 0;
        for (QAction *entry : {actionKopie_, actionStorno_})
            if (entry)
                entry->setEnabled(invoiced);
    };
    connect(&list_, &GuestList::recordChanged, this, followInvoice);
    connect(&list_, &GuestList::currentChanged, this, followInvoice);
    connect(&list_, &GuestList::listReset, this, followInvoice);
    connect(&list_, &GuestList::recordRemoved, this, followInvoice);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress)
        noteChange(); // typing not yet left in the field counts for the recovery copy too
    if (event->type() == QEvent::FocusOut) {
        MaskToRecord();
    } else if (event->type() == QEvent::FocusIn && GivenByHost(event)) {
        if (watched == ui_->DateEditVon)
            guarded([this] { DateEditVonEnter(); });
        else if (watched == ui_->NumberBoxKosten)
            guarded([this] { NumberBoxKostenEnter(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::guarded(const std::function<void()> &handler)
{
    app::guarded(context_->dialogs(), this, handler);
}

void TMainForm::setStatus(const QString &text)
{
    ui_->LabelStatus->setText(text);
}

void TMainForm::MaskToRecord()
{
    if (showing_)
        return;
    TGast gast = list_.current();
    form_.store(gast);
    storing_ = true;
    list_.updateCurrent(gast);
    storing_ = false;
}

void TMainForm::RecordToMask()
{
    const QSignalBlocker noSpin(ui_->SpinBox1);
    showing_ = true;
    form_.show(list_.current());
    showing_ = false;
    checkStay();
}

void TMainForm::showCurrent()
{
    rememberStay();
    RecordToMask();
    // The spin box may go up by one record at a time; make room for the shown index first.
    const QSignalBlocker block(ui_->SpinBox1);
    ui_->SpinBox1->setMaximum(std::max(ui_->SpinBox1->maximum(), list_.currentIndex() + 1));
    ui_->SpinBox1->setValue(list_.currentIndex());
}

void TMainForm::ShowRecord(int index)
{
    list_.select(index);
    showCurrent();
}

void TMainForm::openRecord(int index)
{
    MaskToRecord();
    ShowRecord(index);
    ui_->Tabcontrol1->setCurrentWidget(ui_->Gast);
    raise();
    activateWindow();
}

void TMainForm::checkStay()
{
    // Said while the form shows such a stay, and taken back once it is mended.
    const bool reversed = ui_->DateEditBis->date() < ui_->DateEditVon->date();
    if (reversed)
        setStatus(kAbreiseVorAnreise);
    else if (ui_->LabelStatus->text() == kAbreiseVorAnreise)
        setStatus(QString());
}

void TMainForm::sayDoubleBooking()
{
    // Said when the host changes the rooms or days of the shown booking, not when it is only shown.
    const TGast &gast = list_.current();
    const bool sameStay = stayShown_.index == list_.currentIndex() && stayShown_.Zimmer == gast.Zimmer &&
                          stayShown_.Von == gast.Von && stayShown_.Bis == gast.Bis;
    rememberStay();
    if (sameStay)
        return;
    const QString text =
        calendar::doubleBookingTextWithBlocks(list_.records(), context_->portalBlocks(), list_.currentIndex());
    if (!text.isEmpty())
        setStatus(text);
}

void TMainForm::rememberStay()
{
    const TGast &gast = list_.current();
    stayShown_ = {list_.currentIndex(), gast.Zimmer, gast.Von, gast.Bis};
}

// --- the guest list -------------------------------------------------------------------------

void TMainForm::ButtonNeuerGastClick()
{
    MaskToRecord();
    list_.appendNew();
}

void TMainForm::ButtonStornierenClick()
{
    DelGast();
}

void TMainForm::DelGast()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    const TGast gast = list_.current();
    // An issued invoice is never deleted with its booking: it is cancelled first.
    if (const QString refusal = billing::deleteRefusal(gast); !refusal.isEmpty()) {
        const int kStornieren = 0, kAbbrechen = 1;
        if (context_->dialogs().choose(this, refusal,
                                       {QStringLiteral("Rechnung stornieren…"), QStringLiteral("Abbrechen")},
                                       kAbbrechen, kAbbrechen) == kStornieren)
            RechnungStornierenClick();
        else
            setStatus(QStringLiteral("Nicht storniert: %1 hat Rechnung %2").arg(GuestName(gast)).arg(gast.ReNr));
        return;
    }
    if (!context_->dialogs().confirm(this, StornoFrage(gast)))
        return;
    list_.removeCurrent();
    setStatus(GuestName(gast) + QStringLiteral(" storniert"));
    // From today as a whole day, so departure days show as occupied as after a tab click.
    ZeigGrid(platform::Today());
}

void TMainForm::SpinBox1Change(int value)
{
    const int index = list_.select(value);
    rememberStay();
    {
        const QSignalBlocker block(ui_->SpinBox1);
        ui_->SpinBox1->setMaximum(index + 1);
    }
    RecordToMask();
}

void TMainForm::GaestelisteClick()
{
    MaskToRecord();
    ToolWindow::open<GuestListWindow>(*context_, this);
}

// --- the guest file -------------------------------------------------------------------------

void TMainForm::OpenRememberedData()
{
    // The host's data is read at once from where it was last time, so there is no blank start and
    // no save over a file that was never read.
    const QString folder = RememberedDataFolder();
    if (folder.isEmpty())
        return;
    if (!QFileInfo(folder).isDir()) {
        setStatus(QStringLiteral("Der Datenordner %1 ist nicht da").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    context_->dataFolder().chooseFolder(folder);
    ClaimDataFolder();
    if (instance_.state() == platform::InstanceLock::State::Locked) {
        // No other copy works here, so what a cut-off save or invoice left behind is nobody's.
        platform::RemoveSaveLeftovers(folder);
        platform::RemoveSaveLeftovers(BackupFolder(folder));
        RemoveInvoiceLeftovers(context_->dataFolder().pathOf(QString::fromUtf8(kRechnungenOrdner)));
    }
    const QString path = context_->dataFolder().pathOf(QString::fromUtf8(kGuestFileName));
    try {
        FileRead();
        setStatus(QStringLiteral("%1 Gästedatensätze gelesen aus %2")
                      .arg(list_.guestCount())
                      .arg(QDir::toNativeSeparators(context_->dataFolder().folder())));
        ShowRecord(list_.lastIndex());
    } catch (const std::exception &error) {
        setStatus(QStringLiteral("Gaeste.csv nicht gelesen: ") +
                  platform::ErrorText(error).replace(u'\n', QStringLiteral(" – ")));
    }
    // The recovery copy of a copy that still runs is that copy's own.
    if (instance_.state() == platform::InstanceLock::State::Locked)
        guarded([this] { offerRecovery(); });
}

void TMainForm::offerRecovery()
{
    const QString folder = context_->dataFolder().folder();
    followRecovery();
    // Newest first; work older than the guest file was saved since (by another copy, say), and
    // what the host does not take now is kept among the backups all the same.
    QStringList keptAside;
    bool taken = false;
    for (const guestfile::LeftRecoveryCopy &left : guestfile::LeftRecoveryCopies(folder)) {
        if (!taken && left.newerThanGuestFile &&
            context_->dialogs().choose(this, RecoveryQuestion(left.written),
                                       {QStringLiteral("Ja"), QStringLiteral("Nein")}, 0, 1) == 0) {
            list_.replace(guestfile::ReadRecoveryFile(left.path));
            list_.markChanged();
            reattachInvoices();
            taken = true;
            // Another copy's file becomes this copy's own work: written here first, then removed.
            if (left.path != recovery_.path()) {
                recovery_.write(list_.records());
                QFile::remove(left.path);
            }
            continue;
        }
        const QString kept = guestfile::SetRecoveryFileAside(folder, left.path);
        if (left.newerThanGuestFile)
            keptAside << QDir::toNativeSeparators(kept);
    }
    if (taken) {
        ShowRecord(list_.lastIndex());
        setStatus(QStringLiteral("Ungespeicherte Änderungen wiederhergestellt: %1 Gäste. \"Daten schreiben\" "
                                 "speichert sie in Gaeste.csv.")
                      .arg(list_.guestCount()) +
                  (keptAside.isEmpty() ? QString()
                                       : QStringLiteral(" Weitere ungespeicherte Änderungen liegen als Sicherung in %1")
                                             .arg(keptAside.join(QStringLiteral(", ")))));
    } else if (!keptAside.isEmpty()) {
        setStatus(QStringLiteral("Die ungespeicherten Änderungen liegen als Sicherung in %1")
                      .arg(keptAside.join(QStringLiteral(", "))));
    }
}

void TMainForm::followRecovery()
{
    const QString folder = context_->dataFolder().folder();
    const bool holds = instance_.state() == platform::InstanceLock::State::Locked &&
                       QDir(instance_.folder()) == QDir(folder);
    recovery_.follow(folder, holds);
}

void TMainForm::noteChange()
{
    if (recoveryTimer_ && !recoveryTimer_->isActive())
        recoveryTimer_->start();
}

void TMainForm::keepRecoveryCopy()
{
    if (recoveryTimer_)
        recoveryTimer_->stop();
    if (!context_->dataFolder().chosen())
        return;
    // What the form shows counts, even before its field is left; neither the list nor the form's
    // state changes, so leaving the field afterwards still takes the edit over.
    std::vector<TGast> records = list_.records();
    TGast &shown = records.at(static_cast<std::size_t>(list_.currentIndex()));
    if (!showing_)
        shown = form_.withEdits(shown);
    if (!list_.changed() && shown == list_.current())
        return;
    try {
        followRecovery();
        recovery_.write(records);
    } catch (const std::exception &error) {
        setStatus(QStringLiteral("Keine Wiederherstellungskopie der Änderungen: ") +
                  platform::ErrorText(error).replace(u'\n', QStringLiteral(" – ")));
    }
}

void TMainForm::dropRecoveryCopy()
{
    if (recoveryTimer_)
        recoveryTimer_->stop();
    if (context_->dataFolder().chosen()) {
        followRecovery();
        recovery_.remove();
    }
}

void TMainForm::terminationRequested()
{
    if (!isVisible())
        return;
    // Whatever comes next, the changes are on the disk first.
    MaskToRecord();
    keepRecoveryCopy();
    if (terminating_) {
        // A second signal while the first one waits for an answer: the session is going and nobody
        // will answer. The question is withdrawn, and the window closes with the changes left in
        // the recovery copy. A save under way is not cut short: it runs before this is reached.
        closingUnasked_ = true;
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
        return;
    }
    terminating_ = true;
    const bool closed = close();
    terminating_ = false;
    if (!closed && closingUnasked_)
        close();
}

QString TMainForm::DataPath(const char *fileName, bool forSaving)
{
    return context_->dataPath(this, QString::fromUtf8(fileName), forSaving);
}

void TMainForm::ClaimDataFolder()
{
    const QString folder =
        context_->dataFolder().folder().isEmpty() ? QDir::currentPath() : context_->dataFolder().folder();
    if (instance_.lock(folder) != platform::InstanceLock::State::HeldByAnother || warnedFolder_ == folder)
        return;
    warnedFolder_ = folder;
    context_->dialogs().inform(this, instance_.message());
}

bool TMainForm::FileSave()
{
    const QString path = DataPath(kGuestFileName, true);
    if (path.isEmpty()) {
        setStatus(QStringLiteral("Nicht gespeichert: kein Datenordner gewählt"));
        return false;
    }
    // Another program's work in the file, or characters the file cannot hold, are not lost unasked.
    for (const QString &question : {AbreiseVorAnreiseFrage(list_, sessionChanges_),
                                    session_.questionBeforeSave(path, list_.guestCount()),
                                    LostCharactersQuestion(CharactersLostOnSave(list_.records())),
                                    session_.questionAboutDamaged(list_.records())}) {
        if (!question.isEmpty() && !context_->dialogs().confirm(this, question)) {
            setStatus(QStringLiteral("Nicht gespeichert"));
            return false;
        }
    }
    try {
        session_.write(path, list_.records());
    } catch (const EGuestFileChanged &) {
        // Another copy saved between the question and the save: its version is asked about afresh.
        return FileSave();
    }
    ClaimDataFolder();
    list_.markSaved();
    sessionChanges_.forget();
    dropRecoveryCopy();
    setStatus(QStringLiteral("%1 Gästedatensätze in Gaeste.csv geschrieben").arg(list_.guestCount()));
    return true;
}

void TMainForm::FileRead()
{
    setStatus(QStringLiteral("Gästedaten laden"));
    const QString path = DataPath(kGuestFileName, false);
    // Read everything first: a file that fails leaves the list as it was.
    ClaimDataFolder();
    list_.replace(session_.read(path));
    if (const QString damaged = session_.messageAboutDamaged(); !damaged.isEmpty())
        context_->dialogs().inform(this, damaged);
    context_->followPortals(this);
    reattachInvoices();
}

void TMainForm::sayJournalFindings()
{
    if (!context_->dataFolder().chosen())
        return;
    QStringList findings;
    try {
        findings = billing::journalFindings(context_->invoiceFolder());
    } catch (const std::exception &error) {
        findings << platform::ErrorText(error);
    }
    if (findings.isEmpty())
        return;
    // Said once the window is up, not in the middle of its making.
    const QString message = QStringLiteral("Das Rechnungsbuch ist nicht mehr so, wie Zimbrana es geschrieben hat:\n\n") +
                            findings.join(u'\n') +
                            QStringLiteral("\n\nDas Fenster „Rechnungen“ (Menü „Ansicht“) nennt es ebenfalls.");
    QMetaObject::invokeMethod(
        this, [this, message] { context_->dialogs().inform(this, message); }, Qt::QueuedConnection);
}

void TMainForm::reattachInvoices()
{
    if (!context_->dataFolder().chosen())
        return;
    const QString journal = billing::journalPath(context_->invoiceFolder());
    billing::JournalContents contents;
    try {
        contents = billing::readJournal(journal);
    } catch (const std::exception &error) {
        // The guests are read all the same; the window "Rechnungen" says more.
        setStatus(QStringLiteral("Das Rechnungsbuch konnte nicht gelesen werden: ") + platform::ErrorText(error));
        return;
    }
    const billing::ReattachResult result = billing::reattachInvoices(list_, contents);
    if (!result.messages.isEmpty())
        context_->dialogs().inform(this, result.messages.join(u'\n'));
}

void TMainForm::ButtonSaveClick()
{
    MaskToRecord();
    FileSave();
}

TMainForm::UnsavedChanges TMainForm::askToSaveChanges()
{
    if (!list_.changed())
        return UnsavedChanges::Kept;
    const int answer =
        context_->dialogs().choose(this, QStringLiteral("Daten sichern?"),
                                   {QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Abbrechen")}, 0, 2);
    if (answer == 1)
        return UnsavedChanges::Dropped;
    // Changes the host wants kept are not dropped when their save did not happen.
    if (answer == 0 && FileSave())
        return UnsavedChanges::Kept;
    return UnsavedChanges::Cancelled;
}

void TMainForm::ButtonReadClick()
{
    MaskToRecord();
    const UnsavedChanges changes = askToSaveChanges();
    if (changes == UnsavedChanges::Cancelled)
        return;
    FileRead();
    if (changes == UnsavedChanges::Dropped)
        dropRecoveryCopy();
    setStatus(QStringLiteral("%1 Gästedatensätze gelesen").arg(list_.guestCount()));
    ShowRecord(list_.lastIndex());
}

bool TMainForm::FormClose()
{
    // The field being edited has not been left yet; its text belongs to the record.
    MaskToRecord();
    try {
        switch (askToSaveChanges()) {
        case UnsavedChanges::Kept: return true;
        case UnsavedChanges::Dropped: dropRecoveryCopy(); return true;
        case UnsavedChanges::Cancelled: return false;
        }
        return false;
    } catch (const std::exception &error) {
        // The window stays open, so the user can try again.
        app::showError(context_->dialogs(), this, error);
        return false;
    }
}

void TMainForm::RestoreBackup()
{
    MaskToRecord();
    const QString path = DataPath(kGuestFileName, false);
    const std::vector<BackupInfo> backups = ListBackups(context_->dataFolder().folder());
    if (backups.empty()) {
        context_->dialogs().inform(this,
                                   QStringLiteral("Im Ordner %1 gibt es noch keine Sicherung.")
                                       .arg(QDir::toNativeSeparators(BackupFolder(context_->dataFolder().folder()))));
        return;
    }
    const int chosen = context_->dialogs().chooseBackup(this, backups);
    if (chosen < 0)
        return;
    if (backups[static_cast<std::size_t>(chosen)].guests < 0) {
        context_->dialogs().showError(
            this, QStringLiteral("%1 ist keine lesbare Gästedatei und wird nicht wiederhergestellt.")
                      .arg(QDir::toNativeSeparators(backups[static_cast<std::size_t>(chosen)].path)));
        return;
    }
    const BackupInfo &backup = backups[static_cast<std::size_t>(chosen)];
    if (context_->dialogs().choose(this, guestfile::RestoreQuestion(backup, list_.guestCount()),
                                   {QStringLiteral("Wiederherstellen"), QStringLiteral("Abbrechen")}, 1, 1) != 0) {
        setStatus(QStringLiteral("Keine Sicherung wiederhergestellt"));
        return;
    }
    if (askToSaveChanges() == UnsavedChanges::Cancelled)
        return;
    // The guest file as it is now is kept first: restoring must not be the one step without a way back.
    if (QFileInfo::exists(path))
        KeepBackupAt(QFileInfo(path).absolutePath(), platform::ReadFileBytes(path), platform::Clock::now());
    list_.replace(session_.readBackup(backup.path, path));
    if (const QString damaged = session_.messageAboutDamaged(); !damaged.isEmpty())
        context_->dialogs().inform(this, damaged);
    // A backup older than an invoice does not take the invoice away from its stay.
    reattachInvoices();
    // The list is not what Gaeste.csv holds: closing must offer to write it back.
    list_.markChanged();
    ShowRecord(list_.lastIndex());
    setStatus(QStringLiteral("Sicherung vom %1 gelesen: %2 Gäste. \"Daten schreiben\" macht sie wieder zu Gaeste.csv.")
                  .arg(QLocale().toString(backup.time, QStringLiteral("dd.MM.yyyy HH:mm:ss")))
                  .arg(list_.guestCount()));
}

bool TMainForm::SessionEnds(bool mayAsk)
{
    if (mayAsk)
        return FormClose();
    // Nobody can be asked: the changes go to the recovery copy, which the next start offers, and
    // nothing asks any more while the program ends.
    MaskToRecord();
    keepRecoveryCopy();
    closingUnasked_ = true;
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (closingUnasked_) {
        MaskToRecord();
        keepRecoveryCopy();
        SaveWindowGeometry(*this, kMainGeometryKey);
        event->accept();
        return;
    }
    if (FormClose()) {
        if (recoveryTimer_)
            recoveryTimer_->stop();
        SaveWindowGeometry(*this, kMainGeometryKey);
        event->accept();
    } else {
        event->ignore();
    }
}

// --- the room calendar ----------------------------------------------------------------------

void TMainForm::ZeigGrid(TDateTime Starttag)
{
    const std::vector<guests::PortalBlock> &blocks = context_->portalBlocks();
    calendar_->setRows(calendar::gridRowsWithBlocks(list_.records(), blocks, Starttag, calendar_->rowCount()), blocks);
}

void TMainForm::ZimmerClick()
{
    // The field being edited belongs in the calendar that is about to be filled.
    MaskToRecord();
    ZeigGrid(KalenderStarttag(platform::Today()));
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
    // Only a room cell is a pick; the date and weekday columns are for looking up holidays.
    PickState picks = context_->picks();
    if (calendar_->pickCell(picks, ACol, ARow))
        context_->setPicks(picks);
}

void TMainForm::showPicks(const PickState &picks)
{
    calendar_->setPicks(picks);
    setStatus(AuswahlText(picks));
}

void TMainForm::dropPicks()
{
    context_->setPicks(PickState());
}

void TMainForm::GridZimmerCellClick(int Column, int Row)
{
    if (Column != 0)
        return;
    const QString text = calendar_->cellText(Row, 0);
    if (text.isEmpty())
        return;
    const QString name = De_Feiertage::GetFeiertagName(context_->postalCode(), platform::StrToDate(text));
    if (!name.isEmpty())
        context_->dialogs().inform(this, name);
}

void TMainForm::GridZimmerCellDblClick(int Column, int Row)
{
    const int index = calendar_->data(calendar_->index(Row, Column), RoomCalendarModel::RecordRole).toInt();
    if (index <= 0 || index > list_.lastIndex()) {
        if (const guests::PortalBlock *block = calendar_->blockAt(Row, Column))
            newGuestFromBlock(*block);
        return;
    }
    // Opening a guest is no pick for a booking.
    dropPicks();
    openRecord(index);
}

void TMainForm::newGuestFromBlock(const guests::PortalBlock &block)
{
    // A portal's booking is no guest of the list: the host may enter its guest, with the days and
    // the room already right.
    const guests::PortalBlock taken = block; // the calendar is filled anew below
    const QString question =
        QStringLiteral("Zimmer %1 ist vom %2 bis %3 über %4 belegt.\n\nEinen neuen Gast mit "
                       "diesen Tagen und diesem Zimmer anlegen?")
            .arg(taken.room)
            .arg(platform::DateToStr(taken.from), platform::DateToStr(taken.to), taken.subscription);
    if (context_->dialogs().choose(this, question, {QStringLiteral("Neuer Gast"), QStringLiteral("Abbrechen")}, 0, 1) !=
        0)
        return;
    MaskToRecord();
    dropPicks();
    // The new guest stands for the portal's booking: noted first, under the number the guest is
    // about to get, so that the block is no second booking of the room even in the first message
    // about the new stay. Not noting it costs nothing but the double booking shown, so the guest
    // is made all the same.
    try {
        context_->portals().saveTakeover(taken, list_.nextGastNr(), this);
    } catch (const std::exception &error) {
        context_->dialogs().showError(
            this, QStringLiteral("Dass der neue Gast die Buchung über %1 ist, konnte nicht vermerkt werden; der "
                                 "Kalender zeigt Zimmer %2 daher doppelt belegt.\n\n%3")
                      .arg(taken.subscription)
                      .arg(taken.room)
                      .arg(QString::fromUtf8(error.what())));
    }
    const int index = guests::newStayFromBlock(list_, taken);
    openRecord(index);
}

void TMainForm::DateEditVonEnter()
{
    const PickState picks = context_->picks(); // a copy: it is dropped below
    if (picks.empty())
        return;
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast + QStringLiteral(": die Auswahl bleibt für einen neuen Gast"));
        return;
    }
    MaskToRecord();
    const TGast &gast = list_.current();
    auto taken = PeekPicks(picks, gast.Zimmer);
    if (HoldsBooking(gast)) {
        // A booking is moved or gets another room only as the host chooses; "Abbrechen" keeps both
        // the booking and the picks.
        const auto ersetzen = PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Ersetzen);
        const auto hinzufuegen = PeekPicks(picks, gast.Zimmer, AuswahlNutzung::Hinzufuegen);
        const QStringList buttons = {QStringLiteral("Ersetzen"), QStringLiteral("Hinzufügen"),
                                     QStringLiteral("Abbrechen")};
        const int chosen =
            context_->dialogs().choose(this, AuswahlErsetzenFrage(gast, *ersetzen, *hinzufuegen), buttons, 2, 2);
        if (chosen != 0 && chosen != 1)
            return;
        taken = chosen == 0 ? ersetzen : hinzufuegen;
    }
    dropPicks();
    list_.modifyCurrent([&taken](TGast &g) {
        g.Von = taken->Von;
        g.Bis = taken->Bis;
        g.Zimmer = taken->Zimmer;
    });
}

// --- billing --------------------------------------------------------------------------------

void TMainForm::NumberBoxKostenEnter()
{
    Uebernachtungskosten();
}

const TPreisMatrix *TMainForm::priceList()
{
    return context_->priceList(this);
}

KostenLage TMainForm::kostenLage()
{
    KostenLage lage;
    lage.matrix = priceList();
    lage.ohneListe = context_->priceListRead().kurz;
    lage.maximum = ui_->NumberBoxKosten->maximum();
    lage.basis = kostenBezuege_.basis(list_.currentIndex());
    return lage;
}

void TMainForm::Uebernachtungskosten()
{
    MaskToRecord();
    const KostenVorschlag vorschlag = KostenBeimEintritt(list_.current(), kostenLage());
    if (!vorschlag.status.isEmpty())
        setStatus(vorschlag.status);
    if (vorschlag.kosten) {
        list_.modifyCurrent([&vorschlag](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*vorschlag.kosten); });
        kostenBezuege_.festhalten(list_.currentIndex());
    }
}

void TMainForm::KostenBerechnenClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    const KostenVorschlag vorschlag = KostenBerechnen(list_.current(), kostenLage());
    setStatus(vorschlag.status);
    if (vorschlag.kosten) {
        list_.modifyCurrent([&vorschlag](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*vorschlag.kosten); });
        kostenBezuege_.festhalten(list_.currentIndex());
    }
}

QString TMainForm::invoiceFormPath(bool required)
{
    const DateiFund fund = SucheDatei(QString::fromUtf8(kRechnungsvorlageDatei),
                                      context_->dataFolder().chosen() ? context_->dataFolder().folder() : QString(),
                                      context_->startFolder());
    if (required && !fund.gefunden())
        throw EInvoiceError(fund.fehler + QStringLiteral("\nEs wurde keine Rechnungsnummer vergeben und nichts gedruckt."));
    return fund.pfad;
}

bool TMainForm::ensureInvoiceCounter(const QString &counter)
{
    if (!LiesReNrStand(counter).fehlt)
        return true;
    // Numbers the records, the kept copies or the journal carry already are not offered again.
    const QString ablage = QFileInfo(counter).dir().filePath(QString::fromUtf8(kRechnungenOrdner));
    const qint32 lowest = billing::HighestIssuedNumber(list_.records(), ablage) + 1;
    const std::optional<int> first = context_->dialogs().askNumber(
        this,
        QStringLiteral("Mit welcher Nummer soll die nächste Rechnung beginnen?\n\nDer Rechnungszähler %1 fehlt "
                       "noch; er wird mit dieser Nummer angelegt in:\n%2")
            .arg(QString::fromUtf8(kReNummerDatei), QDir::toNativeSeparators(QFileInfo(counter).absolutePath())),
        lowest, lowest);
    if (!first)
        return false;
    if (*first < lowest)
        throw platform::EConvertError(
            QStringLiteral("Die Rechnungsnummer %1 ist schon vergeben: die Gäste oder die abgelegten Rechnungen tragen "
                           "Nummern bis %2. Rechnungsnummern dürfen sich nicht wiederholen; die nächste Rechnung kann "
                           "frühestens mit %3 beginnen.")
                .arg(*first)
                .arg(lowest - 1)
                .arg(lowest));
    ReNrBeginnen(counter, *first, lowest - 1);
    return true;
}

void TMainForm::ButtonPrintReClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    // Without the form nothing can be printed: settled before anything else is asked.
    if (!context_->printWithoutForm() && !ensureInvoiceForm()) {
        setStatus(QStringLiteral("Keine Rechnung gedruckt"));
        return;
    }
    if (!priceList()) {
        const int kEinstellungen = 0, kWeiter = 1;
        if (context_->dialogs().choose(
                this,
                context_->priceListRead().meldung +
                    QStringLiteral("\n\nDie Preisliste in den Einstellungen anlegen, oder die Rechnung mit dem "
                                   "eingetragenen Betrag drucken?"),
                {QStringLiteral("Einstellungen…"), QStringLiteral("Mit eingetragenem Betrag")}, kWeiter,
                kWeiter) == kEinstellungen) {
            showSettings(SetupStep::PriceList);
            setStatus(QStringLiteral("Keine Rechnung gedruckt: erst die Preisliste anlegen"));
            return;
        }
    }
    // An issued invoice stays as it is: a copy of it, or a cancellation before a new one. The
    // journal knows it even when the record lost its number (a kill, another copy's save).
    bool cancelFirst = false;
    std::optional<double> newCost;
    const std::optional<billing::IssuedInvoice> inJournal =
        context_->dataFolder().chosen() ? billing::issuedInvoiceFor(context_->invoiceFolder(), list_.current())
                                        : std::nullopt;
    if (inJournal && list_.current().ReNr == 0) {
        list_.modifyCurrent([&inJournal](TGast &g) { g.ReNr = inJournal->nr; });
        setStatus(QStringLiteral("Rechnung %1 wieder bei Gast %2 eingetragen").arg(inJournal->nr).arg(list_.current().GastNr));
    }
    if (const qint32 issued = list_.current().ReNr; issued != 0) {
        const int kKopie = 0, kNeu = 1, kAbbrechen = 2;
        const QDate date = inJournal && inJournal->nr == issued ? inJournal->issued.date() : QDate();
        const int answer =
            context_->dialogs().choose(this, NeueRechnungFrage(issued, date),
                                       {QStringLiteral("Rechnungskopie"),
                                        QStringLiteral("Stornieren und neu berechnen"), QStringLiteral("Abbrechen")},
                                       kAbbrechen, kAbbrechen);
        if (answer == kKopie) {
            RechnungskopieClick();
            return;
        }
        if (answer != kNeu) {
            setStatus(QStringLiteral("Keine neue Rechnung gedruckt"));
            return;
        }
        cancelFirst = true;
    }
    // Asked before a number is taken, so that a "Nein" costs nothing.
    if (const QString frage = OhneAnschriftFrage(list_.current());
        !frage.isEmpty() && !context_->dialogs().confirm(this, frage)) {
        setStatus(QStringLiteral("Keine Rechnung gedruckt"));
        return;
    }
    if (const auto vergleich = VergleichMitPreisliste(list_.current(), priceList())) {
        const int kPreisliste = 0, kAbbrechen = 2;
        const int answer = context_->dialogs().choose(
            this, vergleich->frage,
            {QStringLiteral("Preisliste"), QStringLiteral("Eingetragener Betrag"), QStringLiteral("Abbrechen")},
            kAbbrechen, kAbbrechen);
        if (answer == kAbbrechen) {
            setStatus(QStringLiteral("Keine Rechnung gedruckt"));
            return;
        }
        // An invoice from before the journal is cancelled over the amount the record holds: the
        // list's amount reaches the record only after its cancellation.
        if (answer == kPreisliste && cancelFirst)
            newCost = vergleich->liste;
        else if (answer == kPreisliste)
            list_.modifyCurrent([&vergleich](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(vergleich->liste); });
    }
    if (const QString frage = billing::UngewoehnlicherBetragFrage(list_.current(), priceList());
        !frage.isEmpty() && !context_->dialogs().confirmDefaultNo(this, frage)) {
        setStatus(QStringLiteral("Keine Rechnung gedruckt"));
        return;
    }
    if (context_->dataFolder().chosen() &&
        !ensureInvoiceCounter(context_->dataFolder().pathOf(QString::fromUtf8(kReNummerDatei)))) {
        setStatus(QStringLiteral("Keine Rechnung gedruckt"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    // Printed to a file, the invoice is named after its number: the one the counter will give,
    // looked at without taking it (CreateBill renames the file should another be taken).
    QString vorschlag;
    if (const auto next = NaechsteReNrVorschau(context_->dataFolder().pathOf(QString::fromUtf8(kReNummerDatei))))
        vorschlag = SuggestPrintFile(printer, context_->dataFolder().pathOf(RechnungsDateiname(*next)));
    if (context_->dialogs().askPrinter(this, printer) &&
        MayPrintTo(this, context_->dialogs(), context_->dataFolder(), printer)) {
        const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_->dataFolder().folder()); });
        CreateBill(printer, vorschlag, cancelFirst, newCost);
    }
}

RechnungsDateien TMainForm::invoiceFiles(const QString &vorschlag)
{
    const bool ohneVorlage = context_->printWithoutForm();
    const auto counter = [this] {
        const QString path = DataPath(kReNummerDatei, false);
        if (!ensureInvoiceCounter(path))
            throw EInvoiceError(QStringLiteral("Es wurde keine erste Rechnungsnummer gewählt; es wurde keine "
                                               "Rechnungsnummer vergeben und nichts gedruckt."));
        return path;
    };
    RechnungsDateien dateien{ohneVorlage ? QString() : invoiceFormPath(true), counter,
                             [this] { return DataPath(kRechnungenOrdner, false); }, vorschlag};
    if (ohneVorlage) {
        const HouseDetails house = context_->houseDetails();
        dateien.ohneVorlage = Briefkopf{house.name, house.address, house.telephone, house.email, house.freeLine};
    }
    return dateien;
}

void TMainForm::CreateBill(QPrinter &printer, const QString &vorschlag, bool cancelFirst, std::optional<double> newCost)
{
    const RechnungsDateien dateien = invoiceFiles(vorschlag);
    std::optional<billing::CancellationResult> storno;
    if (cancelFirst) {
        // Printed to a file, the cancellation and the new invoice get a file each.
        const QString chosenFile = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
        if (!chosenFile.isEmpty() && chosenFile != vorschlag) {
            const QFileInfo file(chosenFile);
            printer.setOutputFileName(file.dir().filePath(file.completeBaseName() + QStringLiteral(" (Storno).pdf")));
        }
        storno = billing::cancelInvoice(list_, list_.currentIndex(), dateien, printer, platform::Today());
        if (!chosenFile.isEmpty())
            printer.setOutputFileName(chosenFile);
        if (!storno->journalError.isEmpty())
            context_->dialogs().showError(this, storno->journalError);
        if (!storno->counterNote.isEmpty())
            context_->dialogs().inform(this, storno->counterNote);
        // The cancellation is in the guest file before the new invoice is drawn, so that no state
        // between them is left that the next start could not explain.
        if (!storno->alreadyCancelled &&
            !enterPrinted(QStringLiteral("Die Stornorechnung Nr. %1").arg(storno->nr),
                          QStringLiteral("Die neue Rechnung wurde nicht gedruckt.")))
            return;
        if (newCost)
            list_.modifyCurrent([&newCost](TGast &g) { g.Kosten = static_cast<decltype(g.Kosten)>(*newCost); });
    }
    const RechnungsErgebnis result =
        RechnungErstellen(list_, list_.currentIndex(), dateien, priceList(), printer, platform::Today());
    if (enterPrinted(QStringLiteral("Die Rechnung Nr. %1").arg(result.ReNr)))
        setStatus(storno && !storno->alreadyCancelled
                      ? QStringLiteral("Rechnung Nr. %1 storniert (Stornorechnung Nr. %2); Rechnung Nr. %3 gedruckt "
                                       "und als PDF abgelegt")
                            .arg(storno->refersTo)
                            .arg(storno->nr)
                            .arg(result.ReNr)
                      : QStringLiteral("Rechnung Nr. %1 gedruckt und als PDF abgelegt").arg(result.ReNr));
    // Printed and kept, but the journal line is missing: the host must hear of it, not read "abgelegt" only.
    if (!result.journalError.isEmpty())
        context_->dialogs().showError(this, result.journalError);
    if (!result.counterNote.isEmpty())
        context_->dialogs().inform(this, result.counterNote);
}

bool TMainForm::enterPrinted(const QString &what, const QString &more)
{
    QString why;
    try {
        if (FileSave())
            return true;
        why = ui_->LabelStatus->text();
    } catch (const std::exception &error) {
        why = platform::ErrorText(error);
    }
    // Printed and kept, so the number is issued: the record that holds it must not be lost.
    keepRecoveryCopy();
    QString message = QStringLiteral("%1 ist gedruckt und als PDF abgelegt, aber noch nicht in Gaeste.csv "
                                     "eingetragen:\n%2\n\nDie Änderung ist in der Wiederherstellungskopie gesichert; "
                                     "„Daten schreiben“ trägt sie ein, sobald das Speichern wieder gelingt.")
                          .arg(what, why);
    if (!more.isEmpty())
        message += u'\n' + more;
    context_->dialogs().showError(this, message);
    setStatus(QStringLiteral("%1 ist gedruckt, aber noch nicht in Gaeste.csv eingetragen").arg(what));
    return false;
}

void TMainForm::RechnungskopieClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0 || list_.current().ReNr == 0) {
        setStatus(QStringLiteral("Dieser Gast hat noch keine Rechnung"));
        return;
    }
    const TGast gast = list_.current();
    const QString ablage = DataPath(kRechnungenOrdner, false);
    QPrinter printer(QPrinter::HighResolution);
    SuggestPrintFile(printer, context_->dataFolder().pathOf(QStringLiteral("Rechnung %1 Kopie.pdf").arg(gast.ReNr)));
    if (!context_->dialogs().askPrinterFor(this, printer, QStringLiteral("Rechnungskopie drucken")) ||
        !MayPrintTo(this, context_->dialogs(), context_->dataFolder(), printer))
        return;
    const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_->dataFolder().folder()); });
    // The form is needed only for an invoice from before copies were kept.
    const bool kept = QFileInfo::exists(QDir(ablage).filePath(RechnungsDateiname(gast.ReNr)));
    const KopieErgebnis result = RechnungskopieDrucken(gast, invoiceFormPath(!kept), ablage, printer, platform::Today());
    if (!result.fehler.isEmpty())
        context_->dialogs().showError(this, result.fehler);
    setStatus(result.neuGezeichnet && result.fehler.isEmpty()
                  ? QStringLiteral("Kopie der Rechnung Nr. %1 gedruckt und abgelegt").arg(gast.ReNr)
                  : QStringLiteral("Kopie der Rechnung Nr. %1 gedruckt").arg(gast.ReNr));
}

void TMainForm::RechnungStornierenClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0 || list_.current().ReNr == 0) {
        setStatus(QStringLiteral("Dieser Gast hat keine Rechnung"));
        return;
    }
    const TGast gast = list_.current();
    if (!context_->dialogs().confirmDefaultNo(this, billing::cancellationQuestion(gast))) {
        setStatus(QStringLiteral("Rechnung Nr. %1 nicht storniert").arg(gast.ReNr));
        return;
    }
    if (!context_->printWithoutForm() && !ensureInvoiceForm()) {
        setStatus(QStringLiteral("Nichts storniert"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QString vorschlag;
    if (const auto next = NaechsteReNrVorschau(context_->dataFolder().pathOf(QString::fromUtf8(kReNummerDatei))))
        vorschlag =
            SuggestPrintFile(printer, context_->dataFolder().pathOf(billing::cancellationFileName(*next, gast.ReNr)));
    if (!context_->dialogs().askPrinterFor(this, printer, QStringLiteral("Stornorechnung drucken")) ||
        !MayPrintTo(this, context_->dialogs(), context_->dataFolder(), printer)) {
        setStatus(QStringLiteral("Nichts storniert"));
        return;
    }
    const auto keepPrivate = qScopeGuard([&] { KeepPrintedFilePrivate(printer, context_->dataFolder().folder()); });
    const billing::CancellationResult result =
        billing::cancelInvoice(list_, list_.currentIndex(), invoiceFiles(vorschlag), printer, platform::Today());
    const QString done = result.alreadyCancelled
                             ? QStringLiteral("Rechnung Nr. %1 war schon storniert; die Nummer ist beim Gast gelöscht")
                                   .arg(result.refersTo)
                             : QStringLiteral("Stornorechnung Nr. %1 zu Rechnung Nr. %2 gedruckt und als PDF abgelegt")
                                   .arg(result.nr)
                                   .arg(result.refersTo);
    if (result.alreadyCancelled) {
        // Nothing new was printed: only the record lost a number already cancelled.
        setStatus(FileSave() ? done : done + QStringLiteral("; ") + ui_->LabelStatus->text());
    } else if (enterPrinted(QStringLiteral("Die Stornorechnung Nr. %1").arg(result.nr))) {
        setStatus(done);
    }
    if (!result.journalError.isEmpty())
        context_->dialogs().showError(this, result.journalError);
    if (!result.counterNote.isEmpty())
        context_->dialogs().inform(this, result.counterNote);
}

void TMainForm::AuskunftClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    const auto written = app::savePersonalData(*context_, this, list_.currentIndex());
    if (!written)
        return;
    context_->dialogs().inform(this, written->message());
    setStatus(QStringLiteral("Auskunft über %1 Aufenthalte gespeichert").arg(written->stays));
}

void TMainForm::AnonymisierenClick()
{
    MaskToRecord();
    auto *dialog = findChild<app::AnonymizeDialog *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new app::AnonymizeDialog(list_, platform::Today(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &app::AnonymizeDialog::confirmed, this,
                [this](const std::vector<int> &indexes) { guarded([&] { anonymizeConfirmed(indexes); }); });
    }
    dialog->open();
}

void TMainForm::anonymizeConfirmed(const std::vector<int> &indexes)
{
    if (indexes.empty())
        return;
    const QString path = DataPath(kGuestFileName, true);
    if (path.isEmpty()) {
        setStatus(QStringLiteral("Nichts anonymisiert: kein Datenordner gewählt"));
        return;
    }
    // The guest file as it was is kept first: what is erased here can only come back from there. A
    // backup of this very second (an earlier save) is not this version: the next free second is taken.
    if (QFileInfo::exists(path))
        KeepBackupAt(QFileInfo(path).absolutePath(), platform::ReadFileBytes(path), platform::Clock::now());
    const int changed = guests::anonymizeStays(list_, indexes);
    if (FileSave())
        setStatus(QStringLiteral("%1 Aufenthalte anonymisiert und gespeichert").arg(changed));
}

void TMainForm::RechnungenClick()
{
    MaskToRecord();
    ToolWindow::open<InvoiceListWindow>(*context_, this);
}

void TMainForm::BuchungsbestaetigungClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    if (const QString done = app::confirmBooking(*context_, this, list_.current()); !done.isEmpty())
        setStatus(done);
}

void TMainForm::PerEmailClick()
{
    MaskToRecord();
    if (list_.currentIndex() == 0) {
        setStatus(kKeinGast);
        return;
    }
    if (const QString done = app::mailConfirmation(*context_, this, list_.current()); !done.isEmpty())
        setStatus(done);
}

// --- the set-up -----------------------------------------------------------------------------

SettingsDialog *TMainForm::showSettings(std::optional<SetupStep> step)
{
    MaskToRecord();
    if (!settings_) {
        settings_ = new SettingsDialog(context_->dialogs(), context_->chosenFolder(), this);
        settings_->setAttribute(Qt::WA_DeleteOnClose);
        const auto refresh = [this] {
            if (!settings_)
                return;
            settings_->setDataFolder(context_->chosenFolder());
            if (const TPreisMatrix *matrix = priceList())
                settings_->setPricesInUse(*matrix);
            settings_->setLowestFreeInvoiceNumber(
                billing::HighestIssuedNumber(list_.records(), context_->invoiceFolder()) + 1);
        };
        refresh();
        connect(settings_, &SettingsDialog::dataFolderChosen, this, [this, refresh](const QString &folder) {
            guarded([&] {
                if (switchDataFolder(folder))
                    refresh();
            });
        });
        // Read again at once, so the next cost and invoice use the new prices.
        connect(settings_, &SettingsDialog::priceListSaved, this,
                [this] { guarded([this] { context_->readPriceList(this); }); });
        connect(settings_, &SettingsDialog::postalCodeChanged, context_.get(), &AppContext::setPostalCode);
        connect(settings_, &SettingsDialog::invoiceSetupChanged, this, [this] { followSetup(); });
        auto *portals = new app::PortalSettingsPage(*context_, settings_);
        settings_->addPage(portals, QStringLiteral("P&ortale"), [portals] { return portals->save(); });
        connect(settings_, &QDialog::finished, this, [this] {
            const QString hint = followSetup();
            if (!hint.isEmpty() || ui_->LabelStatus->text().startsWith(QStringLiteral("Noch nicht eingerichtet")))
                setStatus(hint);
        });
    }
    if (step)
        settings_->showStep(*step);
    settings_->open();
    settings_->raise();
    settings_->activateWindow();
    return settings_;
}

bool TMainForm::switchDataFolder(const QString &folder)
{
    MaskToRecord();
    const QString wanted = QDir(folder).absolutePath() + u'/';
    DataFolder &dataFolder = context_->dataFolder();
    if (dataFolder.chosen() && QFileInfo(dataFolder.folder()) == QFileInfo(wanted))
        return true;
    if (!QFileInfo(wanted).isDir())
        throw platform::EInOutError(platform::kPathNotFound, wanted);
    const bool hasGuests = QFileInfo::exists(wanted + QString::fromUtf8(kGuestFileName));
    // A list never saved anywhere goes along to the new folder, which has no guests of its own.
    const bool takeAlong = !dataFolder.chosen() && !hasGuests;
    UnsavedChanges changes = UnsavedChanges::Kept;
    if (!takeAlong) {
        changes = askToSaveChanges();
        if (changes == UnsavedChanges::Cancelled)
            return false;
        if (changes == UnsavedChanges::Dropped)
            dropRecoveryCopy();
    }
    const DataFolder previous = dataFolder;
    dataFolder.chooseFolder(wanted);
    try {
        if (hasGuests)
            FileRead();
        else if (!takeAlong)
            list_.replace({});
    } catch (...) {
        // The list stays the old folder's, and so does the folder.
        dataFolder = previous;
        throw;
    }
    RememberDataFolder(wanted);
    ClaimDataFolder();
    ShowRecord(list_.lastIndex());
    context_->readPriceList(this);
    context_->followPortals(this);
    context_->readSettings();
    setStatus(hasGuests ? QStringLiteral("%1 Gästedatensätze gelesen aus %2")
                              .arg(list_.guestCount())
                              .arg(QDir::toNativeSeparators(wanted))
                        : QStringLiteral("Datenordner %1: noch keine Gaeste.csv, \"Daten schreiben\" legt sie an")
                              .arg(QDir::toNativeSeparators(wanted)));
    followSetup();
    return true;
}

QString TMainForm::followSetup()
{
    const QString folder = context_->chosenFolder();
    const std::vector<SetupGap> gaps = missingSetup(folder, context_->startFolder(), context_->printWithoutForm());
    if (actionEinrichten_)
        actionEinrichten_->setVisible(!gaps.empty());
    return setupHint(gaps, folder);
}

bool TMainForm::ensureInvoiceForm()
{
    const DateiFund fund =
        SucheDatei(QString::fromUtf8(kRechnungsvorlageDatei), context_->chosenFolder(), context_->startFolder());
    if (fund.gefunden())
        return true;
    const int kBild = 0, kOhne = 1, kAbbrechen = 2;
    const int answer = context_->dialogs().choose(
        this,
        fund.fehler + QStringLiteral("\n\nEin eingescanntes Formular als Vorlage wählen, oder ohne Vorlage auf einer "
                                     "schlichten Seite mit dem Briefkopf des Hauses drucken?"),
        {QStringLiteral("Bild wählen…"), QStringLiteral("Ohne Vorlage"), QStringLiteral("Abbrechen")}, kBild,
        kAbbrechen);
    if (answer == kOhne) {
        setPrintWithoutForm(true);
        followSetup();
        return true;
    }
    if (answer != kBild)
        return false;
    const QString form =
        ChooseInvoiceForm(this, context_->dialogs(),
                          context_->dataFolder().chosen() ? context_->dataFolder().folder() : context_->startFolder());
    followSetup();
    return !form.isEmpty();
}

} // namespace app
