// The performance window's pie chart: three items (count of sales lines,
// revenue, quantity sold), each with a title, a colour and a value.
#pragma once

#include <QString>

class QChartView;
class QPieSeries;

namespace shop::performance {

enum SalesChartItem { kCountItem = 0, kRevenueItem = 1, kQuantityItem = 2 };

// Puts the three items into the chart of `view`, with their titles and
// colours (the first keeps the chart's own colour) and the value 0, and the
// legend that names each item with its value. The view's chart owns the series.
QPieSeries* setUpSalesChart(QChartView* view);

// Sets the three values and the legend texts that show them.
void showSalesTotals(QChartView* view, QPieSeries* series, double rows, double revenue, double quantity);

// What the legend says of an item: its title, its value and the unit, e.g.
// "销售收入：1234.5 元".
QString legendText(SalesChartItem item, const QString& title, double value);

}  // namespace shop::performance
