// The performance window: the sales of a range of days, listed, counted and
// drawn as a pie chart of count, revenue and quantity, with 销售排行 (goods
// by quantity and revenue) and 每日销售 (revenue per day) on tabs beside the
// list. The figures come from the query and the report classes below it;
// the window shows them and forwards the exports.
#pragma once

#include <QString>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/frameless_window.h"
#include "daily_sales.h"
#include "sales_query.h"

class QImage;
class QLabel;
class QMenu;
class QComboBox;
class QPieSeries;

namespace Ui {
class PerformanceWindow;
}

namespace shop::performance {

class DailyChart;
class RankingModel;
class SalesChart;
class SalesListModel;

class PerformanceWindow : public app::FramelessWindow {
public:
    explicit PerformanceWindow(QWidget* parent = nullptr);
    ~PerformanceWindow() override;

    // Creating this window opens no table, so it cannot fail; the opener asks
    // every window the same question.
    bool failedToOpen() const { return false; }

    // Text of a part of the status bar (0: the caption, 1: the row count).
    QString statusPart(int part) const;
    QPieSeries* chartSeries() const;

    // The export menu: the "导出" button beside the query button, and a right
    // click on the result list or the chart.
    QMenu* exportMenu() const { return m_exportMenu; }
    // The result list and its totals as a CSV file; the name comes from the
    // save dialog, a failed write is said.
    void exportCsv();
    // The chart with its legend as a PNG picture, likewise.
    void saveChartPng();
    // 销售排行 and 每日销售, each as CSV and as a PNG picture.
    void exportRankingCsv();
    void saveRankingPng();
    void exportDailyCsv();
    void saveDailyPng();

private:
    void runQuery();
    // 全店: the same query over every till, asked of the shop server.
    void runShopWideQuery();
    void showResult(SalesQueryResult result, const storage::Moment& firstDay,
                    const storage::Moment& lastDay, std::vector<std::string> tills = {});
    void closeWindow();
    void setUpExportMenu();
    void setUpReports();
    void showUnreadable();
    // The save dialog, starting in the user's documents folder with this
    // name; then the bytes written whole, or the failure said.
    void saveBytes(const QString& filter, const QString& name, const std::string& bytes);
    void savePicture(const QString& name, const QImage& picture);

    std::unique_ptr<Ui::PerformanceWindow> ui;
    QLabel* m_statusParts[2] = {nullptr, nullptr};
    SalesListModel* m_rows = nullptr;  // the result list's rows, owned by the window
    std::unique_ptr<SalesChart> m_chart;
    RankingModel* m_ranking = nullptr;  // 销售排行's rows, owned by the window
    std::unique_ptr<DailyChart> m_dailyChart;
    DailySales m_daily;  // the last query's days, for the export
    // Sales tables the last query could not read: its totals lack them.
    std::vector<std::string> m_unreadable;
    QLabel* m_warning = nullptr;
    QMenu* m_exportMenu = nullptr;
    // 本机/全店, offered when the till joined a shop server.
    QComboBox* m_scope = nullptr;
    // Tables that this window's queries brought into the open-table set. The
    // close button closes the current table only when it is one of them, so
    // that it never closes a table the main window still writes to.
    std::set<std::string> m_openedByQuery;
};

}  // namespace shop::performance
