#include "app/TMainForm.h"

#include "app/BookingEditor.h"
#include "app/ErrorSink.h"
#include "app/GuestForm.h"
#include "app/StatusLine.h"
#include "app/ToolWindow.h"
#include "app/Version.h"
#include "app/WindowGeometry.h"
#include "app/calendar/CalendarPage.h"
#include "app/guestlist/GuestListWindow.h"
#include "app/invoices/InvoiceActions.h"
#include "app/invoices/InvoiceListWindow.h"
#include "app/letters/LetterActions.h"
#include "app/occupancy/OccupancyPlanWindow.h"
#include "app/privacy/PrivacyActions.h"
#include "app/session/GuestFileController.h"
#include "app/settings/SetupFlow.h"
#include "app/statistics/StatisticsWindow.h"
#include "exchange/PortalSync.h"
#include "guestfile/FileFormats.h"
#include "guestfile/PortalSettings.h"
#include "platform/Clock.h"
#include "ui_TMainForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

namespace app {

namespace {
const QString kMainGeometryKey = QStringLiteral("Hauptfenster");
} // namespace

TMainForm::TMainForm(QWidget *parent) : TMainForm(std::make_unique<QtDialogs>(), parent) {}

TMainForm::TMainForm(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : QMainWindow(parent), context_(std::make_unique<AppContext>(std::move(dialogs))),
      ui_(std::make_unique<Ui::TMainForm>())
{
    ui_->setupUi(this);
    setWindowTitle(QString::fromLatin1(version::kWindowTitle));
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    // Before anything is shown or read: formats that would not read back from the guest file.
    const QString formatNote = guestfile::UseReadableFileFormats(QLocale::system().name());

    status_ = std::make_unique<StatusLine>();
    editor_ = std::make_unique<BookingEditor>(context_->guestList());
    form_ = std::make_unique<GuestForm>(*ui_, this, *context_, *editor_, *status_);
    files_ = std::make_unique<GuestFileController>(*context_, *editor_, *status_, this);
    invoices_ =
        std::make_unique<InvoiceActions>(*context_, *editor_, *files_, *status_, this, ui_->NumberBoxKosten->maximum());
    setup_ = std::make_unique<SetupFlow>(*context_, *editor_, *files_, *status_, this);
    calendar_ = std::make_unique<CalendarPage>(*context_, *editor_, *status_, ui_->GridZimmer, this);
    letters_ = std::make_unique<LetterActions>(*context_, *editor_, *status_, this);
    privacy_ = std::make_unique<PrivacyActions>(*context_, *editor_, *files_, *status_, this);

    connectParts();
    createMenus();
    // The set-up hint and the messages naming a folder are longer than the window is wide.
    ui_->LabelStatus->setWordWrap(true);

    ui_->Tabcontrol1->setCurrentIndex(0);
    files_->start();
    // Looked for once the data folder is known: the prices beside the guest file count first.
    context_->readPriceList(this);
    context_->followPortals(this);
    syncPortalsAtStart();
    // Nothing pops up for a house not yet set up: the status line says what is missing.
    if (const QString hint = setup_->followSetup(); !hint.isEmpty())
        status_->sayAlso(hint);
    if (!formatNote.isEmpty())
        status_->sayAlso(formatNote);

    // The usual size, centred on the screen, the first time; after that the size the host left.
    resize(384, 567 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RestoreWindowGeometry(*this, kMainGeometryKey);
}

void TMainForm::connectParts()
{
    Ui::TMainForm &ui = *ui_;
    connect(status_.get(), &StatusLine::changed, ui.LabelStatus, &QLabel::setText);

    // The page "Gast".
    GuestForm *form = form_.get();
    connect(ui.SpinBox1, &QSpinBox::valueChanged, this,
            [this, form](int value) { guarded([&] { form->SpinBox1Change(value); }); });
    connect(ui.ButtonNeuerGast, &QPushButton::clicked, this,
            [this, form] { guarded([form] { form->ButtonNeuerGastClick(); }); });
    connect(ui.ButtonStornieren, &QPushButton::clicked, this,
            [this, form] { guarded([form] { form->ButtonStornierenClick(); }); });
    connect(ui.ButtonSave, &QPushButton::clicked, this, [this] { guarded([this] { files_->ButtonSaveClick(); }); });
    connect(ui.ButtonRead, &QPushButton::clicked, this, [this] { guarded([this] { files_->ButtonReadClick(); }); });
    connect(ui.ButtonPrintRe, &QPushButton::clicked, this,
            [this] { guarded([this] { invoices_->ButtonPrintReClick(); }); });
    connect(form, &GuestForm::arrivalEntered, this, [this] { guarded([this] { calendar_->DateEditVonEnter(); }); });
    connect(form, &GuestForm::costEntered, this, [this] { guarded([this] { invoices_->NumberBoxKostenEnter(); }); });
    connect(form, &GuestForm::typing, files_.get(), &GuestFileController::noteChange);
    connect(form, &GuestForm::cancelInvoiceWanted, this,
            [this] { guarded([this] { invoices_->RechnungStornierenClick(); }); });
    // From today as a whole day, so departure days show as occupied as after a tab click.
    connect(form, &GuestForm::guestRemoved, this, [this] { calendar_->ZeigGrid(platform::Today()); });

    // However the calendar page comes to the front (a click, Ctrl+Tab, Ctrl+PgDown, the tab bar's
    // arrows, Ctrl+2), it is filled as of now; a click on it while it is in front fills it again.
    connect(ui.Tabcontrol1, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == ui_->Tabcontrol1->indexOf(ui_->Zimmer))
            guarded([this] { calendar_->ZimmerClick(); });
    });
    connect(ui.Tabcontrol1->tabBar(), &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == ui_->Tabcontrol1->indexOf(ui_->Zimmer) && index == ui_->Tabcontrol1->currentIndex())
            guarded([this] { calendar_->ZimmerClick(); });
    });
    connect(calendar_.get(), &CalendarPage::openRecordWanted, this, &TMainForm::openRecord);

    connect(invoices_.get(), &InvoiceActions::settingsWanted, this,
            [this](guestfile::SetupStep step) { setup_->showSettings(step); });
    connect(invoices_.get(), &InvoiceActions::setupChanged, this, [this] { setup_->followSetup(); });
    invoices_->addToCostMenu(ui.NumberBoxKosten);

    // What was said about the record shown (its cost) goes when another record is shown.
    connect(&context_->guestList(), &guests::GuestList::currentChanged, status_.get(),
            &StatusLine::shownRecordChanged);
    connect(&context_->guestList(), &guests::GuestList::listReset, status_.get(), &StatusLine::shownRecordChanged);

    // What the other windows ask of this one.
    AppContext *context = context_.get();
    connect(context, &AppContext::storeEditedFieldRequested, editor_.get(), &BookingEditor::takeOver);
    connect(context, &AppContext::openRecordRequested, this, &TMainForm::openRecord);
    connect(&context->portals(), &PortalState::syncStarted, this,
            [this] { status_->say(QStringLiteral("Abgleich läuft…")); });
    connect(&context->portals(), &PortalState::syncFinished, status_.get(), &StatusLine::say);
}

void TMainForm::createMenus()
{
    const auto entry = [this](QMenu *menu, const QString &text, const char *name, auto handler,
                              const QKeySequence &keys = QKeySequence()) {
        QAction *action = menu->addAction(text);
        if (name)
            action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
        return action;
    };
    const auto menu = [this](const QString &title, const char *name) {
        QMenu *made = menuBar()->addMenu(title);
        made->setObjectName(QString::fromLatin1(name));
        return made;
    };

    QMenu *datei = menu(QStringLiteral("&Datei"), "MenuDatei");
    datei->addActions({files_->actionLesen(), files_->actionSchreiben(), files_->actionWiederherstellen(),
                       privacy_->actionAnonymisieren()});
    entry(datei, QStringLiteral("Portale &jetzt abgleichen"), "ActionAbgleichen",
          [this] { context_->portals().sync(); });
    datei->addSeparator();
    datei->addActions({setup_->actionEinstellungen(), setup_->actionEinrichten()});
    datei->addSeparator();
    entry(
        datei, QStringLiteral("&Beenden"), nullptr, [this] { close(); }, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *ansicht = menu(QStringLiteral("&Ansicht"), "MenuAnsicht");
    entry(
        ansicht, QStringLiteral("&Gast"), nullptr,
        [this] {
            editor_->takeOver();
            ui_->Tabcontrol1->setCurrentWidget(ui_->Gast);
        },
        QKeySequence(Qt::CTRL | Qt::Key_1));
    entry(
        ansicht, QStringLiteral("&Zimmerkalender"), "ActionZimmerkalender",
        [this] {
            if (ui_->Tabcontrol1->currentWidget() == ui_->Zimmer)
                calendar_->ZimmerClick();
            else
                ui_->Tabcontrol1->setCurrentWidget(ui_->Zimmer); // fills it
        },
        QKeySequence(Qt::CTRL | Qt::Key_2));
    ansicht->addSeparator();
    entry(
        ansicht, QStringLiteral("&Belegungsplan"), "ActionBelegungsplan",
        [this] { ToolWindow::open<OccupancyPlanWindow>(*context_, this); }, QKeySequence(Qt::CTRL | Qt::Key_B));
    entry(ansicht, QStringLiteral("A&uswertung"), "ActionAuswertung",
          [this] { ToolWindow::open<StatisticsWindow>(*context_, this); });
    entry(
        ansicht, QStringLiteral("Gäste&liste"), "ActionGaesteliste", [this] { GaestelisteClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_F));
    entry(ansicht, QStringLiteral("&Rechnungen"), "ActionRechnungen", [this] { RechnungenClick(); });

    // Alt+G: the page's button "Neu&er Gast" gave its G up; "Daten lesen" and "Daten schreiben"
    // have Strg+O and Strg+S instead of letters, since the page has none left.
    QMenu *gast = menu(QStringLiteral("&Gast"), "MenuGast");
    gast->addActions({letters_->actionBuchungsbestaetigung(), letters_->actionPerEmail()});
    gast->addSeparator();
    gast->addAction(privacy_->actionAuskunft());

    QMenu *rechnung = menu(QStringLiteral("&Rechnung"), "MenuRechnung");
    rechnung->addActions({invoices_->actionDrucken(), invoices_->actionKopie(), invoices_->actionStorno(),
                          invoices_->actionKostenBerechnen()});

    // Ctrl+PgDown and Ctrl+PgUp turn the pages as in other programs with tabs (Qt's own tab
    // widget knows only Ctrl+Tab).
    for (const auto &[key, step] : {std::pair{Qt::Key_PageDown, 1}, std::pair{Qt::Key_PageUp, -1}}) {
        auto *turn = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(turn, &QShortcut::activated, this, [this, step = step] {
            QTabWidget *tabs = ui_->Tabcontrol1;
            tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
        });
    }
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

void TMainForm::guarded(const std::function<void()> &handler)
{
    app::guarded(context_->dialogs(), this, handler);
}

void TMainForm::openRecord(int index)
{
    editor_->takeOver();
    form_->ShowRecord(index);
    ui_->Tabcontrol1->setCurrentWidget(ui_->Gast);
    raise();
    activateWindow();
}

void TMainForm::GaestelisteClick()
{
    editor_->takeOver();
    ToolWindow::open<GuestListWindow>(*context_, this);
}

void TMainForm::RechnungenClick()
{
    editor_->takeOver();
    ToolWindow::open<InvoiceListWindow>(*context_, this);
}

bool TMainForm::SessionEnds(bool mayAsk)
{
    return files_->SessionEnds(mayAsk);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!files_->closeRequested()) {
        event->ignore();
        return;
    }
    SaveWindowGeometry(*this, kMainGeometryKey);
    event->accept();
}

} // namespace app
