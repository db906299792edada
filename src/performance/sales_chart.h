// The performance window's pie chart: three items (count of sales lines,
// revenue, quantity sold), each with a title, a colour and a value, and a
// legend beside it that names every item with its value.
#pragma once

#include <QString>

class QChartView;
class QLabel;
class QPieSeries;

namespace shop::performance {

enum SalesChartItem { kCountItem = 0, kRevenueItem = 1, kQuantityItem = 2 };

class SalesChart {
public:
    // Puts the three items into the chart of `view` with their titles and
    // colours (the first keeps the chart's own colour) and the value 0; the
    // view's chart owns them. `legend` shows each item with its value.
    SalesChart(QChartView* view, QLabel* legend);

    QPieSeries* series() const { return m_series; }

    // Sets the three values and the legend that shows them; `complete`
    // false (some tables could not be read) says so in the title. Refunds
    // can take revenue and quantity below zero: the legend says so, while
    // the pie, which has no room for less than nothing, draws them as 0.
    void show(double rows, double revenue, double quantity, bool complete = true);
    // The value shown for an item (the legend's, negative ones included).
    double value(SalesChartItem item) const { return m_values[item]; }

private:
    void updateLegend();

    QChartView* m_view;
    QPieSeries* m_series;
    QLabel* m_legend;
    bool m_complete = true;
    double m_values[3] = {0, 0, 0};
};

// One legend line: the item's title, its value and unit, e.g. "销售收入：1234.5 元".
QString legendText(SalesChartItem item, const QString& title, double value);

}  // namespace shop::performance
