#include "sales_chart.h"

#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QLegendMarker>
#include <QPieSeries>
#include <QPieSlice>

#include "app/style.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

struct ItemLook {
    const char* title;
    const char* unit;
};

constexpr ItemLook kItems[] = {{"销量", "笔"}, {"销售收入", "元"}, {"销售总数量", "件"}};

void updateLegend(QChartView* view, QPieSeries* series) {
    const auto markers = view->chart()->legend()->markers(series);
    const auto slices = series->slices();
    for (int i = 0; i < markers.size() && i < slices.size(); ++i)
        markers[i]->setLabel(legendText(static_cast<SalesChartItem>(i), slices[i]->label(), slices[i]->value()));
}

}  // namespace

QString legendText(SalesChartItem item, const QString& title, double value) {
    const QString unit = QString::fromUtf8(kItems[item].unit);
    return QStringLiteral("%1：%2 %3").arg(title, QString::fromStdString(storage::numberText(value)), unit);
}

QPieSeries* setUpSalesChart(QChartView* view) {
    auto* series = new QPieSeries;
    series->setPieSize(0.78);
    for (const ItemLook& item : kItems) series->append(QString::fromUtf8(item.title), 0);
    series->slices()[kRevenueItem]->setColor(QColor(144, 0, 255));
    series->slices()[kQuantityItem]->setColor(QColor(0, 255, 0));
    for (QPieSlice* slice : series->slices()) slice->setBorderColor(Qt::white);

    QChart* chart = view->chart();
    chart->addSeries(series);
    chart->setTitle(QStringLiteral("销售业绩"));
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSize(11);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(app::style::kBand);

    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignBottom);
    legend->setMarkerShape(QLegend::MarkerShapeCircle);
    QFont legendFont = legend->font();
    legendFont.setPointSize(10);
    legend->setFont(legendFont);
    view->setRenderHint(QPainter::Antialiasing);
    updateLegend(view, series);
    return series;
}

void showSalesTotals(QChartView* view, QPieSeries* series, double rows, double revenue, double quantity) {
    const auto slices = series->slices();
    slices[kCountItem]->setValue(rows);
    slices[kRevenueItem]->setValue(revenue);
    slices[kQuantityItem]->setValue(quantity);
    updateLegend(view, series);
}

}  // namespace shop::performance
