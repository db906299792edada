// The look the performance window's charts share: a flat card, the title in
// the band's colour, no legend of the chart's own.
#pragma once

#include <QMargins>

class QChartView;

namespace shop::performance {

void styleReportChart(QChartView* view, const QMargins& margins);

}  // namespace shop::performance
