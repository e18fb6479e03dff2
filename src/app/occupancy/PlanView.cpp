#include "app/occupancy/PlanView.h"

#include "calendar/RoomCalendar.h"
#include "platform/Clock.h"
#include "platform/Convert.h"
#include "register/GuestList.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace app {

using calendar::Belegungsplan;
using calendar::FreierTag;
using calendar::PlanBar;
using calendar::PlanDay;
using calendar::PlanGeometry;
using calendar::PlanTooltip;
using calendar::WochentagText;
using guests::GuestList;

PlanView::PlanView(const GuestList &list, qint32 postalCode, QWidget *parent)
    : QWidget(parent), list_(list), postalCode_(postalCode)
{
    setObjectName(QStringLiteral("PlanView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus); // the window scrolls and zooms with the keys
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    first_ = platform::Today();
    // Any change of the list is drawn at once; a picked stay no longer stands once it changed.
    const auto changed = [this] {
        selection_ = {};
        invalidate();
    };
    connect(&list, &GuestList::recordChanged, this, changed);
    connect(&list, &GuestList::recordInserted, this, changed);
    connect(&list, &GuestList::recordRemoved, this, changed);
    connect(&list, &GuestList::listReset, this, changed);
}

void PlanView::clearSelection()
{
    if (dragging_)
        return;
    selection_ = {};
    invalidate();
}

void PlanView::setSpan(platform::TDateTime first, int days)
{
    first = platform::DateOf(first);
    if (first == first_ && days == days_)
        return;
    first_ = first;
    days_ = days;
    selection_ = {};
    dragging_ = false;
    invalidate();
}

void PlanView::setPostalCode(qint32 postalCode)
{
    postalCode_ = postalCode;
    invalidate();
}

void PlanView::setBlocks(std::vector<guests::PortalBlock> blocks)
{
    blocks_ = std::move(blocks);
    selection_ = {};
    invalidate();
}

void PlanView::invalidate()
{
    plan_.reset();
    update();
}

const PlanGeometry &PlanView::geometry() const
{
    if (!plan_)
        plan_ = calendar::Belegungsplan({list_.records(), blocks_}, first_, days_, platform::Now(), postalCode_);
    return *plan_;
}

PlanLayout PlanView::planLayout() const
{
    return PlanLayout(QRectF(rect()), days_, QFontInfo(font()).pixelSize());
}

const PlanBar *PlanView::barAt(const QPointF &point) const
{
    const PlanLayout layout = planLayout();
    if (!layout.rows().contains(point))
        return nullptr;
    const PlanGeometry &plan = geometry();
    // Later bars are drawn on top, so they answer first.
    for (auto bar = plan.bars.rbegin(); bar != plan.bars.rend(); ++bar)
        if (layout.barRect(*bar).contains(point))
            return &*bar;
    return nullptr;
}

bool PlanView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const PlanLayout layout = planLayout();
        QString text;
        if (const PlanBar *bar = barAt(help->pos())) {
            text = PlanTooltip({list_.records(), blocks_}, *bar);
        } else if (const int i = layout.dayIndexAt(help->pos().x());
                   i >= 0 && help->pos().y() < layout.rows().top() && help->pos().y() >= layout.dayHeader().top()) {
            const PlanDay &day = geometry().dayInfo[static_cast<std::size_t>(i)];
            text = WochentagText(day.dayOfWeek) + QStringLiteral(", ") + platform::DateToStr(day.day);
            if (!day.feiertag.isEmpty())
                text += QStringLiteral("\n") + day.feiertag;
        }
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void PlanView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintPlan(painter, planLayout(), geometry(), selection_);
}

void PlanView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const PlanLayout layout = planLayout();
    const QPointF at = event->position();
    const int room = layout.roomAt(at.y());
    const int index = layout.dayIndexAt(at.x());
    // A drag starts only on free space: a press on a bar belongs to the bar.
    if (room == 0 || index < 0 || barAt(at)) {
        dragging_ = false;
        return;
    }
    dragging_ = true;
    anchor_ = first_ + index;
    selection_ = {room, index, index};
    update();
}

void PlanView::dragTo(const QPointF &point)
{
    const PlanLayout layout = planLayout();
    const double position = std::clamp(layout.positionAt(point.x()), 0.0, days_ - 0.001);
    const platform::TDateTime target = first_ + std::floor(position);
    // A portal's block stops the drag as a booking does.
    const platform::TDateTime reached = FreierTag({list_.records(), blocks_}, selection_.room, anchor_, target);
    const int index = static_cast<int>(reached - first_);
    if (index != selection_.lastIndex) {
        selection_.lastIndex = index;
        update();
    }
}

void PlanView::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_ && (event->buttons() & Qt::LeftButton))
        dragTo(event->position());
    QWidget::mouseMoveEvent(event);
}

void PlanView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    dragTo(event->position());
    // A click without a drag picks nothing.
    if (selection_.lastIndex == selection_.firstIndex) {
        selection_ = {};
        update();
        return;
    }
    const int a = std::min(selection_.firstIndex, selection_.lastIndex);
    const int b = std::max(selection_.firstIndex, selection_.lastIndex);
    Q_EMIT stayPicked(selection_.room, first_ + a, first_ + b);
}

void PlanView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // A portal's block is no record to open: it may become one.
        if (const PlanBar *bar = barAt(event->position()); bar && bar->block < 0) {
            const int record = bar->record;
            Q_EMIT barActivated(record);
            return;
        } else if (bar && bar->block < static_cast<int>(blocks_.size())) {
            // A copy: whoever answers may change the blocks shown.
            const guests::PortalBlock block = blocks_[static_cast<std::size_t>(bar->block)];
            Q_EMIT blockActivated(block);
            return;
        }
    }
    QWidget::mouseDoubleClickEvent(event);
}

void PlanView::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool zoom = event->modifiers() & Qt::ControlModifier;
    // Vertical wheel: zoom with Ctrl, else scroll; a horizontal wheel always scrolls.
    const int amount = (zoom || delta.x() == 0) ? delta.y() : -delta.x();
    wheelRest_ += amount;
    const int steps = wheelRest_ / 120;
    wheelRest_ %= 120;
    if (steps != 0) {
        if (zoom)
            Q_EMIT zoomRequested(steps, planLayout().positionAt(event->position().x()));
        else
            Q_EMIT scrollRequested(-steps * std::max(1, days_ / 8));
    }
    event->accept();
}

} // namespace app
