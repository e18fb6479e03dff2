#pragma once
// The drawn plan in the window: it shows a span of days, follows the guest list at once, names a
// bar in its tooltip, opens a booking on a double-click and picks a stay by dragging across free
// days of a room. Zooming and scrolling it asks of its window.

#include "app/occupancy/PlanPainter.h"
#include "register/PortalBlock.h"

#include <QWidget>

#include <optional>

namespace guests {
class GuestList;
}

namespace app {

class PlanView : public QWidget
{
    Q_OBJECT

public:
    // Marks the holidays at `postalCode`.
    PlanView(const guests::GuestList &list, qint32 postalCode, QWidget *parent = nullptr);
    // The house's place changed: its holidays are marked from now on.
    void setPostalCode(qint32 postalCode);
    // The rooms taken through portals, drawn as grey bars among the bookings.
    void setBlocks(std::vector<guests::PortalBlock> blocks);
    const std::vector<guests::PortalBlock> &blocks() const { return blocks_; }

    void setSpan(platform::TDateTime first, int days);
    platform::TDateTime first() const { return first_; }
    int days() const { return days_; }

    // The plan as it is drawn now (worked out again after any change of the list or the span).
    const calendar::PlanGeometry &geometry() const;
    PlanLayout planLayout() const;
    // The bar under a point, or null.
    const calendar::PlanBar *barAt(const QPointF &point) const;
    // The stay picked by the last drag, until the list changes.
    const PlanSelection &selection() const { return selection_; }
    // The picked stay was used or dropped: it is no longer drawn.
    void clearSelection();

    QSize sizeHint() const override { return {900, 300}; }
    QSize minimumSizeHint() const override { return {400, 220}; }

Q_SIGNALS:
    void barActivated(int record);
    // A portal's block was double-clicked.
    void blockActivated(const guests::PortalBlock &block);
    // The host dragged across free days: first and last day of the stay.
    void stayPicked(int room, platform::TDateTime firstDay, platform::TDateTime lastDay);
    // Ctrl and the wheel: zoom by `steps` (positive: in) around a position in days.
    void zoomRequested(int steps, double position);
    void scrollRequested(int days);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void invalidate();
    void dragTo(const QPointF &point);

    const guests::GuestList &list_;
    qint32 postalCode_;
    std::vector<guests::PortalBlock> blocks_;
    platform::TDateTime first_ = 0;
    int days_ = 31;
    mutable std::optional<calendar::PlanGeometry> plan_;
    PlanSelection selection_;
    bool dragging_ = false;
    platform::TDateTime anchor_ = 0;
    int wheelRest_ = 0; // part of a wheel step not yet used (fine-grained wheels)
};

} // namespace app
