// The performance window: the sales of a range of days, listed, counted and
// drawn as a pie chart of count, revenue and quantity.
#pragma once

#include <QString>
#include <memory>
#include <set>
#include <string>

#include "app/frameless_window.h"

class QLabel;
class QMenu;
class QPieSeries;

namespace Ui {
class PerformanceWindow;
}

namespace shop::performance {

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

private:
    void runQuery();
    void closeWindow();
    void setUpExportMenu();

    std::unique_ptr<Ui::PerformanceWindow> ui;
    QLabel* m_statusParts[2] = {nullptr, nullptr};
    SalesListModel* m_rows = nullptr;  // the result list's rows, owned by the window
    std::unique_ptr<SalesChart> m_chart;
    QMenu* m_exportMenu = nullptr;
    // Tables that this window's queries brought into the open-table set. The
    // close button closes the current table only when it is one of them, so
    // that it never closes a table the main window still writes to.
    std::set<std::string> m_openedByQuery;
};

}  // namespace shop::performance
