// The performance window's exports: the result list as CSV, the chart as PNG.
#include <QBuffer>
#include <QChartView>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolButton>
#include <QTreeView>

#include "app/platform.h"
#include "app/title_band.h"
#include "performance_window.h"
#include "sales_chart.h"
#include "sales_csv.h"
#include "sales_list_model.h"
#include "storage/file_replace.h"
#include "ui_performance_window.h"

namespace shop::performance {

namespace {

// A name from the save dialog, with the suffix the user may have left out;
// empty when the dialog was cancelled.
QString chooseFile(QWidget* parent, const QString& filter, const QString& suggested,
                   const QString& suffix) {
    QString path = app::chooseSaveFile(parent, filter, suggested);
    if (!path.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
    return path;
}

bool writeWhole(const QString& path, const std::string& bytes) {
    // A new file beside the target renamed over it: a failed export never
    // leaves half a file where a good one was, and a link at the chosen name
    // is replaced rather than followed.
    return storage::replaceFile(path.toStdString(), bytes);
}

}  // namespace

void PerformanceWindow::setUpExportMenu() {
    m_exportMenu = new QMenu(this);
    connect(m_exportMenu->addAction(QStringLiteral("导出为 CSV…")), &QAction::triggered, this,
            &PerformanceWindow::exportCsv);
    connect(m_exportMenu->addAction(QStringLiteral("保存图表为 PNG…")), &QAction::triggered, this,
            &PerformanceWindow::saveChartPng);

    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("按钮_导出"));
    button->setText(QStringLiteral("导出"));
    button->setGeometry(532, 47, 92, 30);
    app::styleActionButton(button, QStringLiteral("act-save"));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setMenu(m_exportMenu);
    button->setPopupMode(QToolButton::InstantPopup);

    for (QWidget* w : std::initializer_list<QWidget*>{ui->超级列表框_业绩, ui->业绩百分比图}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this] { m_exportMenu->popup(QCursor::pos()); });
    }
}

void PerformanceWindow::exportCsv() {
    const QString path = chooseFile(this, QStringLiteral("CSV 文件 (*.csv)"),
                                    QStringLiteral("销售业绩.csv"), QStringLiteral(".csv"));
    if (path.isEmpty()) return;
    // The totals are the chart's, so the file agrees with what the window shows.
    const auto slices = m_chart->series()->slices();
    const SalesTotals totals{slices[kCountItem]->value(), slices[kRevenueItem]->value(),
                             slices[kQuantityItem]->value()};
    if (!writeWhole(path, salesCsv(m_rows->rows(), totals)))
        app::showMessage(this, QStringLiteral("导出失败：") + path);
}

void PerformanceWindow::saveChartPng() {
    const QString path = chooseFile(this, QStringLiteral("PNG 图片 (*.png)"),
                                    QStringLiteral("销售业绩.png"), QStringLiteral(".png"));
    if (path.isEmpty()) return;
    // The legend below the chart carries the values, so the picture takes both.
    const QRect area = ui->业绩百分比图->geometry().united(ui->标签_图例->geometry());
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !grab(area).save(&buffer, "PNG") ||
        !writeWhole(path, png.toStdString()))
        app::showMessage(this, QStringLiteral("图表保存失败：") + path);
}

}  // namespace shop::performance
