#pragma once
// The window "Auswertung": the figures of a year as a chart and a table, the unpaid invoices,
// export as CSV and a printed page.

#include "calendar/YearFigures.h"

#include <QWidget>

#include <functional>

class QChart;
class QChartView;
class QLabel;
class QSpinBox;
class QTableWidget;
class TMainForm;

class StatisticsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsWindow(TMainForm &form);
    ~StatisticsWindow() override;

    // Shows the main window's figures window, made on first use, in front.
    static StatisticsWindow *open(TMainForm &form);

    // The figures shown (worked out again whenever the list or the year changed).
    const JahresZahlen &zahlen();
    QChart *chart() const;

    void exportCsv();
    void print();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void listChanged();
    void guarded(const std::function<void()> &handler);

    TMainForm &form_;
    QSpinBox *year_ = nullptr;
    QChartView *chartView_ = nullptr;
    QTableWidget *table_ = nullptr;
    QTableWidget *open_ = nullptr;
    QLabel *summary_ = nullptr;
    QLabel *openSummary_ = nullptr;
    QLabel *status_ = nullptr;
    JahresZahlen zahlen_;
    bool stale_ = true;
};

// The chart of a year's occupancy and revenue per month, for the window and the printout.
QChart *MakeFiguresChart(const JahresZahlen &zahlen);
