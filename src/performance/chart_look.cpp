#include "chart_look.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLegend>

#include "app/style.h"

namespace shop::performance {

void styleReportChart(QChartView* view, const QMargins& margins) {
    QChart* chart = view->chart();
    chart->setBackgroundRoundness(0);
    chart->setMargins(margins);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSize(11);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(app::style::kBand);
    chart->legend()->hide();
    view->setRenderHint(QPainter::Antialiasing);
}

}  // namespace shop::performance
