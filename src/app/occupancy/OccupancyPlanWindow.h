#pragma once
// The window "Belegungsplan": the plan with its controls to move in time, zoom and print.

#include "app/ToolWindow.h"
#include "platform/DayNumber.h"

class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;

namespace app {

class PlanView;

class OccupancyPlanWindow : public ToolWindow
{
    Q_OBJECT

public:
    // A window of its own over `parent`, which owns it.
    OccupancyPlanWindow(AppContext &context, QWidget *parent);

private Q_SLOTS:
    // Shows `days` days from `first` (zoom and scroll go through here).
    void showSpan(platform::TDateTime first, int days);
    void showToday();
    void print();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void zoomAround(int days, double position);
    void updateControls();
    void updateScrollRange();
    void stayPicked(int room, platform::TDateTime firstDay, platform::TDateTime lastDay);

    PlanView *view_ = nullptr;
    QSlider *zoom_ = nullptr;
    QLabel *days_ = nullptr;
    QLabel *title_ = nullptr;
    QLabel *hint_ = nullptr;
    QScrollBar *scroll_ = nullptr;
    bool updating_ = false; // while the controls follow the span
};

} // namespace app
