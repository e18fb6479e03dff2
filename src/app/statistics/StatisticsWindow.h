#pragma once
// The window "Auswertung": the figures of a year as a chart and a table, the unpaid invoices,
// export as CSV and a printed page.

#include "app/ToolWindow.h"
#include "calendar/YearFigures.h"

class QChartView;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace app {

class StatisticsWindow : public ToolWindow
{
    Q_OBJECT

public:
    // A window of its own over `parent`, which owns it.
    StatisticsWindow(AppContext &context, QWidget *parent);

private Q_SLOTS:
    void exportCsv();
    void print();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The figures shown (worked out again whenever the list or the year changed).
    const calendar::JahresZahlen &zahlen();
    void refresh();
    void listChanged();

    QSpinBox *year_ = nullptr;
    QChartView *chartView_ = nullptr;
    QTableWidget *table_ = nullptr;
    QTableWidget *open_ = nullptr;
    QLabel *summary_ = nullptr;
    QLabel *openSummary_ = nullptr;
    QLabel *status_ = nullptr;
    calendar::JahresZahlen zahlen_;
    bool stale_ = true;
};

} // namespace app
