#include "daily_chart.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "chart_look.h"
#include "storage/money.h"

namespace shop::performance {

namespace {

// Points are drawn while each still has room of its own.
constexpr std::size_t kMostMarkedDays = 62;

QDateTime startOf(long long day) {
    const storage::Moment m = storage::fromDayNumber(day);
    return QDate(m.year, m.month, m.day).startOfDay();
}

// Ticks for a span of days: one a day while they fit, otherwise a count
// that divides the span, so that the ticks still fall on midnights.
int tickCount(long long span) {
    if (span < 8) return static_cast<int>(span + 1);
    for (int ticks = 8; ticks >= 5; --ticks)
        if (span % (ticks - 1) == 0) return ticks;
    return 6;
}

}  // namespace

QString dailyTitle(const DailySales& daily, bool complete) {
    const bool none = std::all_of(daily.days.begin(), daily.days.end(),
                                  [](const DaySales& d) { return d.lines == 0; }) &&
                      daily.undated.lines == 0;
    QString title = QStringLiteral("每日销售");
    if (!complete)
        title += QStringLiteral("（不完整）");
    else if (none)
        title += QStringLiteral("（暂无数据）");
    if (daily.undated.lines > 0)
        title += QStringLiteral("，日期不明 %1 元")
                     .arg(QString::fromStdString(storage::fenText(daily.undated.revenueFen)));
    return title;
}

DailyChart::DailyChart(QChartView* view)
    : m_view(view),
      m_series(new QLineSeries),
      m_days(new QDateTimeAxis),
      m_revenue(new QValueAxis) {
    QChart* chart = view->chart();
    chart->addSeries(m_series);
    chart->addAxis(m_days, Qt::AlignBottom);
    chart->addAxis(m_revenue, Qt::AlignLeft);
    m_series->attachAxis(m_days);
    m_series->attachAxis(m_revenue);
    m_series->setName(QStringLiteral("销售收入（元）"));
    m_series->setColor(QColor(144, 0, 255));  // the revenue's colour in the pie
    m_days->setFormat(QStringLiteral("M月d日"));
    m_revenue->setLabelFormat(QStringLiteral("%.0f"));
    m_revenue->setTitleText(QStringLiteral("元"));
    styleReportChart(view, QMargins(2, 2, 8, 2));
    show({}, true);
}

void DailyChart::show(const DailySales& daily, bool complete) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(daily.days.size()));
    double top = 0, bottom = 0;
    for (const DaySales& day : daily.days) {
        const double yuan = static_cast<double>(day.revenueFen) / 100;
        points.append(QPointF(static_cast<double>(startOf(day.day).toMSecsSinceEpoch()), yuan));
        top = std::max(top, yuan);
        bottom = std::min(bottom, yuan);
    }
    m_series->replace(points);
    m_series->setPointsVisible(daily.days.size() <= kMostMarkedDays);
    const long long first =
        daily.days.empty() ? storage::dayNumber(storage::now()) : daily.days.front().day;
    const long long last = daily.days.empty() ? first : daily.days.back().day;
    // Ticks fall on days: a single day is shown between its neighbours.
    const bool single = last == first;
    m_days->setRange(startOf(single ? first - 1 : first), startOf(single ? last + 1 : last));
    m_days->setFormat(last - first > 366 ? QStringLiteral("yyyy年M月") : QStringLiteral("M月d日"));
    m_days->setTickCount(single ? 3 : tickCount(last - first));
    m_revenue->setRange(bottom, top > bottom ? top * 1.1 : bottom + 1);
    m_revenue->applyNiceNumbers();
    m_view->chart()->setTitle(dailyTitle(daily, complete));
}

}  // namespace shop::performance
