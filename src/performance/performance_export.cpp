// The performance window's exports: the result list, 销售排行 and 每日销售
// as CSV; the pie chart, 销售排行 and the daily chart as PNG.
#include <QBuffer>
#include <QChartView>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPieSeries>
#include <QPieSlice>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeView>

#include "app/platform.h"
#include "app/title_band.h"
#include "daily_chart.h"
#include "performance_window.h"
#include "ranking_model.h"
#include "ranking_picture.h"
#include "sales_chart.h"
#include "sales_csv.h"
#include "sales_list_model.h"
#include "storage/file_replace.h"
#include "ui_performance_window.h"

namespace shop::performance {

namespace {

const QString kCsvFilter = QStringLiteral("CSV 文件 (*.csv)");
const QString kPngFilter = QStringLiteral("PNG 图片 (*.png)");

// Where the save dialog starts: the user's documents folder (the home
// folder when there is none), never the program's data folder.
QString startingPath(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
    return QDir(folder).filePath(name);
}

// A name from the save dialog, with the suffix the user may have left out;
// empty when the dialog was cancelled.
QString chooseFile(QWidget* parent, const QString& filter, const QString& name) {
    const QString suffix = name.mid(name.lastIndexOf(QLatin1Char('.')));
    QString path = app::chooseSaveFile(parent, filter, startingPath(name));
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
    const auto add = [this](const char* text, void (PerformanceWindow::*action)()) {
        connect(m_exportMenu->addAction(QString::fromUtf8(text)), &QAction::triggered, this,
                action);
    };
    add("导出为 CSV…", &PerformanceWindow::exportCsv);
    add("保存图表为 PNG…", &PerformanceWindow::saveChartPng);
    m_exportMenu->addSeparator();
    add("导出销售排行为 CSV…", &PerformanceWindow::exportRankingCsv);
    add("保存销售排行为 PNG…", &PerformanceWindow::saveRankingPng);
    m_exportMenu->addSeparator();
    add("导出每日销售为 CSV…", &PerformanceWindow::exportDailyCsv);
    add("保存每日销售为 PNG…", &PerformanceWindow::saveDailyPng);

    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("按钮_导出"));
    button->setText(QStringLiteral("导出"));
    button->setGeometry(532, 47, 92, 30);
    app::styleActionButton(button, QStringLiteral("act-save"));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setMenu(m_exportMenu);
    button->setPopupMode(QToolButton::InstantPopup);

    for (QWidget* w : std::initializer_list<QWidget*>{ui->超级列表框_业绩, ui->业绩百分比图,
                                                      ui->列表_销售排行, ui->图表_每日销售}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this] { m_exportMenu->popup(QCursor::pos()); });
    }
}

void PerformanceWindow::saveBytes(const QString& filter, const QString& name,
                                  const std::string& bytes) {
    const QString path = chooseFile(this, filter, name);
    if (path.isEmpty()) return;
    if (!writeWhole(path, bytes)) app::showMessage(this, QStringLiteral("导出失败：") + path);
}

void PerformanceWindow::savePicture(const QString& name, const QImage& picture) {
    const QString path = chooseFile(this, kPngFilter, name);
    if (path.isEmpty()) return;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG") ||
        !writeWhole(path, png.toStdString()))
        app::showMessage(this, QStringLiteral("图表保存失败：") + path);
}

void PerformanceWindow::exportCsv() {
    // The totals are the chart's, so the file agrees with what the window shows.
    const SalesTotals totals{m_chart->value(kCountItem), m_chart->value(kRevenueItem),
                             m_chart->value(kQuantityItem)};
    saveBytes(kCsvFilter, QStringLiteral("销售业绩.csv"),
              salesCsv(m_rows->rows(), totals, m_unreadable));
}

void PerformanceWindow::saveChartPng() {
    // The legend below the chart carries the values, so the picture takes both.
    const QRect area = ui->业绩百分比图->geometry().united(ui->标签_图例->geometry());
    savePicture(QStringLiteral("销售业绩.png"), grab(area).toImage());
}

void PerformanceWindow::exportRankingCsv() {
    saveBytes(kCsvFilter, QStringLiteral("销售排行.csv"),
              rankingCsv(m_ranking->ranking(), m_unreadable));
}

void PerformanceWindow::saveRankingPng() {
    const QString title =
        m_unreadable.empty() ? QStringLiteral("销售排行") : QStringLiteral("销售排行（不完整）");
    savePicture(QStringLiteral("销售排行.png"),
                rankingPicture(m_ranking->ranking(), title, ui->列表_销售排行->font()));
}

void PerformanceWindow::exportDailyCsv() {
    saveBytes(kCsvFilter, QStringLiteral("每日销售.csv"), dailyCsv(m_daily, m_unreadable));
}

void PerformanceWindow::saveDailyPng() {
    QChartView* view = ui->图表_每日销售;
    // The chart at the size it has on its tab, drawn even while another tab
    // is in front.
    QImage picture(view->size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    view->chart()->scene()->render(&painter, QRectF(picture.rect()), view->sceneRect());
    painter.end();
    savePicture(QStringLiteral("每日销售.png"), picture);
}

}  // namespace shop::performance
