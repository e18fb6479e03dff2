#pragma once
// The window "Belegungsplan": the plan with its controls to move in time, zoom and print.

#include "platform/DayNumber.h"

#include <QWidget>

#include <functional>

class PlanView;
class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;
class TMainForm;

class OccupancyPlanWindow : public QWidget
{
    Q_OBJECT

public:
    explicit OccupancyPlanWindow(TMainForm &form);
    ~OccupancyPlanWindow() override;

    // Shows the main window's plan window, made on first use, in front.
    static OccupancyPlanWindow *open(TMainForm &form);

    PlanView *view() const { return view_; }
    // Shows `days` days from `first` (zoom and scroll go through here).
    void showSpan(platform::TDateTime first, int days);
    void showToday();
    void print();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void zoomAround(int days, double position);
    void updateControls();
    void updateScrollRange();
    void stayPicked(int room, platform::TDateTime firstDay, platform::TDateTime lastDay);
    void guarded(const std::function<void()> &handler);

    TMainForm &form_;
    PlanView *view_ = nullptr;
    QSlider *zoom_ = nullptr;
    QLabel *days_ = nullptr;
    QLabel *title_ = nullptr;
    QLabel *hint_ = nullptr;
    QScrollBar *scroll_ = nullptr;
    bool updating_ = false; // while the controls follow the span
};
