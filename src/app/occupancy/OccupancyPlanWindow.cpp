#include "app/occupancy/OccupancyPlanWindow.h"

#include "app/AppContext.h"
#include "app/ExportTargets.h"
#include "app/occupancy/PlanView.h"
#include "billing/InvoiceFiles.h"
#include "calendar/OccupancyPlan.h"
#include "platform/Clock.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace app {

using calendar::AuswahlText;
using calendar::HeuteStart;
using calendar::kPlanMaxTage;
using calendar::kPlanMinTage;
using calendar::PickState;
using calendar::PlanScrollRange;
using calendar::planScrollRange;
using calendar::ZeitraumText;
using guests::GuestList;

namespace {

const QString kPlanGeometryKey = QStringLiteral("Belegungsplan");
const QString kHinweis = QStringLiteral("Ziehen über freie Tage eines Zimmers wählt einen Aufenthalt für eine neue "
                                        "Buchung; ein Doppelklick auf einen Balken öffnet die Buchung, auf eine "
                                        "Portal-Blockierung bietet er einen neuen Gast an. "
                                        "Strg + Mausrad zoomt.");

} // namespace

OccupancyPlanWindow::OccupancyPlanWindow(AppContext &context, QWidget *parent)
    : ToolWindow(context, parent, kPlanGeometryKey)
{
    setObjectName(QStringLiteral("OccupancyPlan"));
    setWindowTitle(QStringLiteral("Belegungsplan"));

    auto *back = new QPushButton(QStringLiteral("◀"), this);
    back->setObjectName(QStringLiteral("ButtonZurueck"));
    back->setToolTip(QStringLiteral("Zurück (Bild auf)"));
    auto *today = new QPushButton(QStringLiteral("&Heute"), this);
    today->setObjectName(QStringLiteral("ButtonHeute"));
    today->setToolTip(QStringLiteral("Zum heutigen Tag (Pos1)"));
    auto *forward = new QPushButton(QStringLiteral("▶"), this);
    forward->setObjectName(QStringLiteral("ButtonVor"));
    forward->setToolTip(QStringLiteral("Weiter (Bild ab)"));
    for (QPushButton *arrow : {back, forward})
        arrow->setMaximumWidth(arrow->fontMetrics().horizontalAdvance(QStringLiteral("◀")) * 3 + 12);

    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("LabelZeitraum"));
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title_->setFont(bold);

    zoom_ = new QSlider(Qt::Horizontal, this);
    zoom_->setObjectName(QStringLiteral("SliderZoom"));
    zoom_->setRange(kPlanMinTage, kPlanMaxTage);
    zoom_->setSingleStep(7);
    zoom_->setPageStep(30);
    zoom_->setMinimumWidth(160);
    zoom_->setToolTip(QStringLiteral("Wie viele Tage der Plan zeigt (Strg + Mausrad, + und −)"));
    days_ = new QLabel(this);
    days_->setObjectName(QStringLiteral("LabelTage"));
    days_->setMinimumWidth(days_->fontMetrics().horizontalAdvance(QStringLiteral("366 Tage")) + 4);

    auto *print = new QPushButton(QStringLiteral("&Drucken…"), this);
    print->setObjectName(QStringLiteral("ButtonDrucken"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(today);
    bar->addWidget(forward);
    bar->addSpacing(12);
    bar->addWidget(title_);
    bar->addStretch(1);
    bar->addWidget(new QLabel(QStringLiteral("2 Wochen"), this));
    bar->addWidget(zoom_);
    bar->addWidget(new QLabel(QStringLiteral("1 Jahr"), this));
    bar->addSpacing(8);
    bar->addWidget(days_);
    bar->addSpacing(12);
    bar->addWidget(print);

    view_ = new PlanView(context.guests(), context.postalCode(), this);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setObjectName(QStringLiteral("ScrollBarZeit"));
    hint_ = new QLabel(kHinweis, this);
    hint_->setObjectName(QStringLiteral("LabelHinweis"));
    hint_->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);
    layout->addWidget(scroll_);
    layout->addWidget(hint_);

    connect(back, &QPushButton::clicked, this, [this] { showSpan(view_->first() - view_->days(), view_->days()); });
    connect(forward, &QPushButton::clicked, this, [this] { showSpan(view_->first() + view_->days(), view_->days()); });
    connect(today, &QPushButton::clicked, this, [this] { showToday(); });
    connect(print, &QPushButton::clicked, this, [this] { guarded([this] { this->print(); }); });
    connect(zoom_, &QSlider::valueChanged, this, [this](int days) {
        if (!updating_)
            showSpan(view_->first(), days);
    });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int first) {
        if (!updating_)
            showSpan(first, view_->days());
    });
    connect(view_, &PlanView::zoomRequested, this, [this](int steps, double position) {
        const int days = view_->days();
        int wanted = static_cast<int>(std::lround(days * std::pow(0.8, steps)));
        if (wanted == days)
            wanted += steps > 0 ? -1 : 1;
        zoomAround(wanted, position);
    });
    connect(view_, &PlanView::scrollRequested, this,
            [this](int days) { showSpan(view_->first() + days, view_->days()); });
    connect(view_, &PlanView::barActivated, this,
            [this](int record) { guarded([this, record] { context_.openRecord(record); }); });
    connect(view_, &PlanView::blockActivated, this, [this](const guests::PortalBlock &block) {
        guarded([this, &block] { context_.offerNewGuestFromBlock(block); });
    });
    connect(view_, &PlanView::stayPicked, this, &OccupancyPlanWindow::stayPicked);
    // Picks used for a booking (or dropped) are no longer offered here.
    connect(&context, &AppContext::picksChanged, this, [this](const PickState &picks) {
        if (!picks.empty())
            return;
        hint_->setText(kHinweis);
        view_->clearSelection();
    });
    connect(&context, &AppContext::postalCodeChanged, view_, &PlanView::setPostalCode);
    view_->setBlocks(context.portalBlocks());
    connect(&context, &AppContext::portalBlocksChanged, view_, [this] { view_->setBlocks(context_.portalBlocks()); });
    const GuestList &list = context.guests();
    for (auto signal : {&GuestList::recordInserted, &GuestList::recordRemoved, &GuestList::recordChanged})
        connect(&list, signal, this, [this] { updateScrollRange(); });
    connect(&list, &GuestList::listReset, this, [this] { updateScrollRange(); });

    resize(1100, 440);
    restorePlace();
    // A month by default: the current one from its first day.
    const platform::TDateTime now = platform::Today();
    const int monthDays = platform::DayToDate(now).daysInMonth();
    showSpan(HeuteStart(now, monthDays), monthDays);
    view_->setFocus();
}

void OccupancyPlanWindow::showSpan(platform::TDateTime first, int days)
{
    days = std::clamp(days, kPlanMinTage, kPlanMaxTage);
    view_->setSpan(first, days);
    updateScrollRange();
    updateControls();
}

void OccupancyPlanWindow::showToday()
{
    showSpan(HeuteStart(platform::Today(), view_->days()), view_->days());
}

void OccupancyPlanWindow::zoomAround(int days, double position)
{
    days = std::clamp(days, kPlanMinTage, kPlanMaxTage);
    const int old = view_->days();
    // The day under the mouse stays where it is.
    const double fraction = std::clamp(position / old, 0.0, 1.0);
    const double anchor = view_->first() + fraction * old;
    showSpan(std::round(anchor - fraction * days), days);
}

void OccupancyPlanWindow::updateControls()
{
    updating_ = true;
    zoom_->setValue(view_->days());
    scroll_->setPageStep(view_->days());
    scroll_->setValue(static_cast<int>(view_->first()));
    days_->setText(QStringLiteral("%1 Tage").arg(view_->days()));
    title_->setText(ZeitraumText(view_->first(), view_->days()));
    updating_ = false;
}

void OccupancyPlanWindow::updateScrollRange()
{
    const PlanScrollRange range =
        planScrollRange(context_.guests().records(), platform::Today(), view_->first(), view_->days());
    updating_ = true;
    scroll_->setRange(range.lowest, range.highest);
    scroll_->setValue(static_cast<int>(view_->first()));
    updating_ = false;
}

void OccupancyPlanWindow::stayPicked(int room, platform::TDateTime firstDay, platform::TDateTime lastDay)
{
    // Exactly what two picks in the room calendar give: the arrival day, then the departure day.
    PickState picks;
    picks.pick(room, firstDay);
    picks.pick(room, lastDay);
    context_.offerPicks(picks);
    hint_->setText(AuswahlText(picks) + QStringLiteral(" – im Hauptfenster „Neuer Gast“ und ein Klick ins "
                                                       "Anreisedatum übernehmen sie."));
}

void OccupancyPlanWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QStringLiteral("Belegungsplan"));
    SuggestPrintout(printer, context_.dataFolder(), QStringLiteral("Belegungsplan"),
                    platform::Clock::now().date().toString(Qt::ISODate));
    if (!context_.dialogs().askPrinterFor(this, printer, QStringLiteral("Belegungsplan drucken")) ||
        !MayPrintTo(this, context_.dialogs(), context_.dataFolder(), printer))
        return;
    const auto file = billing::PrivatePrintout(printer); // names the guests of the days shown
    PrintPlan(printer, view_->geometry());
    if (file)
        file->keep();
}

void OccupancyPlanWindow::keyPressEvent(QKeyEvent *event)
{
    const int days = view_->days();
    switch (event->key()) {
    case Qt::Key_Left: showSpan(view_->first() - 1, days); break;
    case Qt::Key_Right: showSpan(view_->first() + 1, days); break;
    case Qt::Key_PageUp: showSpan(view_->first() - days, days); break;
    case Qt::Key_PageDown: showSpan(view_->first() + days, days); break;
    case Qt::Key_Home: showToday(); break;
    case Qt::Key_Plus: zoomAround(static_cast<int>(std::lround(days * 0.8)), days / 2.0); break;
    case Qt::Key_Minus: zoomAround(static_cast<int>(std::lround(days * 1.25)), days / 2.0); break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(event); return;
    }
}

} // namespace app
