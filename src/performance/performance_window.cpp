#include "performance_window.h"

#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QPieSeries>
#include <QStatusBar>
#include <QTreeView>

#include "app/event_services.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/title_band.h"
#include "daily_chart.h"
#include "ranking_model.h"
#include "sales_chart.h"
#include "sales_list_model.h"
#include "sales_query.h"
#include "shop_wide_query.h"
#include "storage/table.h"
#include "ui_performance_window.h"

namespace shop::performance {

namespace {

storage::Moment dayOf(const QDate& date) {
    return {date.year(), date.month(), date.day(), 0, 0, 0};
}

std::vector<std::string> listSalesFolder(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    for (const QString& name :
         app::listFolder(QString::fromStdString(folder), QString::fromStdString(pattern)))
        names.push_back(name.toStdString());
    return names;
}

}  // namespace

PerformanceWindow::PerformanceWindow(QWidget* parent)
    : FramelessWindow(parent), ui(std::make_unique<Ui::PerformanceWindow>()) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(738, 514));

    setTitleBar({ui->图片框3, ui->透明标签_标题, ui->图形按钮1_关闭3, ui->图形按钮1_关闭2,
                 ui->图形按钮1_关闭1},
                QStringLiteral("performance/图片框3"), app::DragReset::AtCreation,
                [this] { closeWindow(); });
    app::styleActionButton(ui->图形按钮_查询, QStringLiteral("act-query"));
    connect(ui->图形按钮_查询, &QPushButton::clicked, this, &PerformanceWindow::runQuery);

    const QDate today = QDate::currentDate();
    ui->日期框_起->setDate(today);
    ui->日期框_终->setDate(today);

    setUpReports();
    QTreeView* list = ui->超级列表框_业绩;
    m_rows = new SalesListModel(this);
    list->setModel(m_rows);
    list->setColumnWidth(0, 104);
    list->setColumnWidth(1, 72);
    list->setColumnWidth(2, 64);

    for (int part = 0; part < 2; ++part) {
        m_statusParts[part] = new QLabel(ui->状态条1);
        ui->状态条1->addWidget(m_statusParts[part], part);
    }
    m_statusParts[0]->setText(QStringLiteral("产品销量"));
    m_statusParts[0]->setMinimumWidth(80);
    m_warning = new QLabel(ui->状态条1);
    m_warning->setObjectName(QStringLiteral("标签_不完整"));
    m_warning->setStyleSheet(QStringLiteral("QLabel { color: #b00020; font-weight: bold; }"));
    m_warning->setContentsMargins(0, 0, 8, 0);
    ui->状态条1->addWidget(m_warning, 1);
    m_warning->hide();

    m_chart = std::make_unique<SalesChart>(ui->业绩百分比图, ui->标签_图例);
    setUpExportMenu();
    if (shopWideAvailable(app::runDirectory())) {
        m_scope = new QComboBox(this);
        m_scope->setObjectName(QStringLiteral("组合框_范围"));
        m_scope->addItems({QStringLiteral("本机"), QStringLiteral("全店")});
        m_scope->setToolTip(
            QStringLiteral("本机：这台收银机的销售；全店：门店服务器上所有收银机的销售"));
        m_scope->setGeometry(632, 48, 90, 28);
    }
    ui->业绩百分比图->setFocus();  // no date half-selected when the window opens
}

PerformanceWindow::~PerformanceWindow() = default;

QPieSeries* PerformanceWindow::chartSeries() const { return m_chart->series(); }

QString PerformanceWindow::statusPart(int part) const {
    return part >= 0 && part < 2 ? m_statusParts[part]->text() : QString();
}

void PerformanceWindow::runQuery() {
    if (m_scope && m_scope->currentIndex() == 1) {
        runShopWideQuery();
        return;
    }
    m_rows->clear();
    SalesQuery query;
    query.runDir = app::runDirectory();
    query.firstDay = dayOf(ui->日期框_起->date());
    query.lastDay = dayOf(ui->日期框_终->date());
    query.listFolder = listSalesFolder;
    SalesQueryResult result = runSalesQuery(query);
    m_openedByQuery.insert(result.openedTables.begin(), result.openedTables.end());
    // The listing lets other clicks run; a query started in the middle has
    // filled the list meanwhile, and this one's rows replace it.
    showResult(std::move(result), query.firstDay, query.lastDay);
}

void PerformanceWindow::runShopWideQuery() {
    m_rows->clear();
    const storage::Moment first = normalisedDay(dayOf(ui->日期框_起->date()));
    const storage::Moment last = normalisedDay(dayOf(ui->日期框_终->date()));
    if (storage::dayNumber(last) < storage::dayNumber(first)) {
        app::showMessage(this, QStringLiteral("终止日期早于起始日期"));
        return;
    }
    ui->图形按钮_查询->setEnabled(false);
    startShopWideQuery(
        app::runDirectory(), first, last, this, [this, first, last](ShopWideResult answer) {
            ui->图形按钮_查询->setEnabled(true);
            if (!answer.ok) {
                app::showMessage(this, answer.failure);
                return;
            }
            showResult(std::move(answer.sales), first, last, std::move(answer.tills));
        });
}

void PerformanceWindow::showResult(SalesQueryResult result, const storage::Moment& firstDay,
                                   const storage::Moment& lastDay, std::vector<std::string> tills) {
    const auto count = static_cast<double>(result.rows.size());
    m_unreadable = std::move(result.unreadableTables);
    const bool complete = m_unreadable.empty();
    m_ranking->setRanking(rankSales(result.rows, m_ranking->rankedBy()));
    m_daily = dailySales(result.rows, normalisedDay(firstDay), normalisedDay(lastDay));
    m_dailyChart->show(m_daily, complete);
    m_rows->setRows(std::move(result.rows), std::move(tills));
    if (result.listedAny) m_statusParts[1]->setText(QString::number(m_rows->rowCount()));
    m_chart->show(count, result.revenue, result.quantity, complete);
    showUnreadable();
    if (result.reversedRange) app::showMessage(this, QStringLiteral("终止日期早于起始日期"));
}

void PerformanceWindow::showUnreadable() {
    m_warning->setVisible(!m_unreadable.empty());
    if (m_unreadable.empty()) return;
    QStringList names;
    for (const std::string& name : m_unreadable) names << QString::fromStdString(name);
    const QString text = QStringLiteral("%1 个销售表无法读取，合计不完整：%2")
                             .arg(names.size())
                             .arg(names.join(QStringLiteral("、")));
    // The status bar has room for a line; every name is in the tip.
    m_warning->setToolTip(names.join(QLatin1Char('\n')));
    m_warning->setText(m_warning->fontMetrics().elidedText(text, Qt::ElideRight, 520));
}

void PerformanceWindow::setUpReports() {
    QTreeView* ranking = ui->列表_销售排行;
    m_ranking = new RankingModel(this);
    ranking->setModel(m_ranking);
    ranking->header()->setSortIndicator(RankingModel::kQuantity, Qt::DescendingOrder);
    // Six columns in the tab's width, the last taking what is left.
    const int widths[] = {36, 88, 48, 64, 72};
    for (int c = 0; c < 5; ++c) ranking->setColumnWidth(c, widths[c]);
    m_dailyChart = std::make_unique<DailyChart>(ui->图表_每日销售);
}

void PerformanceWindow::closeWindow() {
    // The last table a query read is current; a table someone else had open
    // before (the run's own sales table above all) stays open.
    if (m_openedByQuery.count(storage::currentPath())) storage::close();
    done(0);
}

}  // namespace shop::performance
