// 每日销售 drawn: the revenue of each day of the range as a line over the
// calendar, one point per day (days without sales at 0).
#pragma once

#include <QString>

#include "daily_sales.h"

class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace shop::performance {

class DailyChart {
public:
    // Sets up the chart of `view`; the view's chart owns what is made here.
    explicit DailyChart(QChartView* view);

    // Shows the days; `complete` false marks the title as incomplete.
    void show(const DailySales& daily, bool complete);
    QLineSeries* series() const { return m_series; }

private:
    QChartView* m_view;
    QLineSeries* m_series;
    QDateTimeAxis* m_days;
    QValueAxis* m_revenue;
};

// The chart's title: "每日销售", with "（暂无数据）" when no day sold anything
// and "（不完整）" when some tables could not be read; plus the revenue of
// rows without a readable date, which no point shows.
QString dailyTitle(const DailySales& daily, bool complete);

}  // namespace shop::performance
