#pragma once
// The window "Auswertung": the figures of a year as a chart and a table, the unpaid invoices,
// export as CSV and a printed page.

#include "app/ToolWindow.h"
#include "calendar/YearFigures.h"

#include <array>

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
    // Puts the journal's revenue by invoice into the figures just counted.
    void takeRevenueByInvoice();
    void listChanged();

    QSpinBox *year_ = nullptr;
    QChartView *chartView_ = nullptr;
    QTableWidget *table_ = nullptr;
    QTableWidget *open_ = nullptr;
    QLabel *summary_ = nullptr;
    QLabel *openSummary_ = nullptr;
    QLabel *byDepartureNote_ = nullptr; // what of "Umsatz nach Rechnung" is counted by departure
    QLabel *status_ = nullptr;
    calendar::JahresZahlen zahlen_;
    // "Umsatz nach Rechnung" as the invoice journal tells it; the part counted by departure.
    std::array<double, 12> byDeparture_{};
    int withoutJournal_ = 0;
    QString journalProblem_; // why the journal could not be read, shown beside the figures
    bool stale_ = true;
};

} // namespace app
