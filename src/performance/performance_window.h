// The performance window: the sales of a range of days, listed, counted and
// drawn as a pie chart of count, revenue and quantity.
#pragma once

#include <QString>
#include <memory>
#include <set>
#include <string>

#include "app/frameless_window.h"

class QLabel;
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

private:
    void runQuery();
    void closeWindow();

    std::unique_ptr<Ui::PerformanceWindow> ui;
    QLabel* m_statusParts[2] = {nullptr, nullptr};
    SalesListModel* m_rows = nullptr;  // the result list's rows, owned by the window
    std::unique_ptr<SalesChart> m_chart;
    // Tables that this window's queries brought into the open-table set. The
    // close button closes the current table only when it is one of them, so
    // that it never closes a table the main window still writes to.
    std::set<std::string> m_openedByQuery;
};

}  // namespace shop::performance
