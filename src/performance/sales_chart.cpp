#include "sales_chart.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <algorithm>

#include "chart_look.h"
#include "storage/text.h"

namespace shop::performance {

namespace {

struct ItemLook {
    const char* title;
    const char* unit;
};

constexpr ItemLook kItems[] = {{"销量", "笔"}, {"销售收入", "元"}, {"销售总数量", "件"}};

}  // namespace

QString legendText(SalesChartItem item, const QString& title, double value) {
    const QString unit = QString::fromUtf8(kItems[item].unit);
    return QStringLiteral("%1：%2 %3")
        .arg(title, QString::fromStdString(storage::numberText(value)), unit);
}

SalesChart::SalesChart(QChartView* view, QLabel* legend)
    : m_view(view), m_series(new QPieSeries), m_legend(legend) {
    m_series->setPieSize(0.82);
    for (const ItemLook& item : kItems) m_series->append(QString::fromUtf8(item.title), 0);
    m_series->slices()[kRevenueItem]->setColor(QColor(144, 0, 255));
    m_series->slices()[kQuantityItem]->setColor(QColor(0, 255, 0));
    for (QPieSlice* slice : m_series->slices()) slice->setBorderColor(Qt::white);

    QChart* chart = view->chart();
    chart->addSeries(m_series);
    // The legend below the chart has room for one line per item with its value.
    styleReportChart(view, QMargins(2, 2, 2, 2));
    // Chart and legend read as one white card.
    view->setStyleSheet(QStringLiteral(
        "QGraphicsView { background: white; border: 1px solid #c5d0da; border-bottom: none; }"));
    m_legend->setStyleSheet(
        QStringLiteral("QLabel { background: white; color: #222b33; font-size: 10pt; "
                       "border: 1px solid #c5d0da; border-top: none; }"));

    m_legend->setTextFormat(Qt::RichText);
    m_legend->setAlignment(Qt::AlignCenter);
    updateLegend();
}

void SalesChart::show(double rows, double revenue, double quantity, bool complete) {
    m_complete = complete;
    const auto slices = m_series->slices();
    m_values[kCountItem] = rows;
    m_values[kRevenueItem] = revenue;
    m_values[kQuantityItem] = quantity;
    for (int i = 0; i < slices.size(); ++i) slices[i]->setValue(std::max(0.0, m_values[i]));
    updateLegend();
}

void SalesChart::updateLegend() {
    const auto drawn = m_series->slices();
    const bool none =
        std::all_of(std::begin(m_values), std::end(m_values), [](double v) { return v == 0; });
    // A pie of nothing but zeros still draws a full disc of its last slice:
    // with nothing to draw, the chart shows no pie at all.
    m_series->setVisible(
        std::any_of(drawn.begin(), drawn.end(), [](QPieSlice* s) { return s->value() > 0; }));
    // A table that could not be read is never shown as a day without sales.
    m_view->chart()->setTitle(!m_complete ? QStringLiteral("销售业绩（不完整）")
                              : none      ? QStringLiteral("销售业绩（暂无数据）")
                                          : QStringLiteral("销售业绩"));
    QString html = QStringLiteral("<table align='center' cellspacing='3'>");
    const auto slices = m_series->slices();
    for (int i = 0; i < slices.size(); ++i) {
        QPieSlice* slice = slices[i];
        html += QStringLiteral(
                    "<tr><td><span style='color:%1; font-size:14pt'>●</span></td><td>%2</td></tr>")
                    .arg(slice->color().name(),
                         legendText(static_cast<SalesChartItem>(i), slice->label(), m_values[i])
                             .toHtmlEscaped());
    }
    m_legend->setText(html + QStringLiteral("</table>"));
}

}  // namespace shop::performance
