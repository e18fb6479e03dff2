#include "app/statistics/FiguresChart.h"

#include "calendar/OccupancyPlan.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegendMarker>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace app {

using calendar::JahresZahlen;
using calendar::MonatsKurzname;
using calendar::MonatsZahlen;

namespace {

// A round upper end for the revenue axis.
double NiceMaximum(double value)
{
    if (value <= 0)
        return 100;
    const double magnitude = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (value <= step * magnitude)
            return step * magnitude;
    return 10 * magnitude;
}

} // namespace

QChart *MakeFiguresChart(const JahresZahlen &z)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->setTitle(QStringLiteral("Auslastung und Umsatz %1").arg(z.jahr));
    QFont title = chart->titleFont();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 1.15);
    chart->setTitleFont(title);

    // Two series side by side in each month, each against its own axis: occupancy on the left,
    // revenue on the right. Each series has an empty set in the other's place so the bars do not
    // cover one another.
    auto *occupancy = new QBarSet(QStringLiteral("Auslastung (%)"));
    auto *occupancyGap = new QBarSet(QString());
    auto *revenueGap = new QBarSet(QString());
    auto *revenue = new QBarSet(QStringLiteral("Umsatz nach Anreise (€)"));
    occupancy->setColor(QColor(0x42, 0x85, 0xf4));
    revenue->setColor(QColor(0x34, 0xa8, 0x53));
    double maxRevenue = 0;
    for (const MonatsZahlen &m : z.monate) {
        *occupancy << m.auslastungGesamt();
        *occupancyGap << 0;
        *revenueGap << 0;
        *revenue << m.umsatzAnreise;
        maxRevenue = std::max(maxRevenue, m.umsatzAnreise);
    }
    auto *left = new QBarSeries;
    left->setBarWidth(0.8);
    left->append(occupancy);
    left->append(occupancyGap);
    auto *right = new QBarSeries;
    right->setBarWidth(0.8);
    right->append(revenueGap);
    right->append(revenue);
    chart->addSeries(left);
    chart->addSeries(right);

    auto *months = new QBarCategoryAxis;
    for (int m = 1; m <= 12; ++m)
        months->append(MonatsKurzname(m));
    chart->addAxis(months, Qt::AlignBottom);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%.0f"));
    percent->setTitleText(QStringLiteral("Auslastung in %"));
    percent->setTickCount(6);
    chart->addAxis(percent, Qt::AlignLeft);
    auto *euros = new QValueAxis;
    euros->setRange(0, NiceMaximum(maxRevenue));
    euros->setLabelFormat(QStringLiteral("%.0f"));
    euros->setTitleText(QStringLiteral("Umsatz in €"));
    euros->setTickCount(6);
    euros->setGridLineVisible(false);
    chart->addAxis(euros, Qt::AlignRight);
    left->attachAxis(months);
    left->attachAxis(percent);
    right->attachAxis(months);
    right->attachAxis(euros);

    chart->legend()->setAlignment(Qt::AlignBottom);
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(left), static_cast<QAbstractSeries *>(right)})
        for (QLegendMarker *marker : chart->legend()->markers(series))
            marker->setVisible(!marker->label().isEmpty());
    return chart;
}

} // namespace app
