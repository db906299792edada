#include "main_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QStringListModel>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/clock.h"
#include "app/drag_state.h"
#include "app/frameless_window.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/title_band.h"
#include "app/window_origin.h"
#include "backup/backup.h"
#include "checkout/counter_scan.h"
#include "checkout/function_menu.h"
#include "checkout/journal_notice.h"
#include "checkout/receipt_number.h"
#include "checkout/recovery_notice.h"
#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_model.h"
#include "checkout/sale_recording.h"
#include "checkout/sale_recovery.h"
#include "checkout/shop_server_link.h"
#include "settings/settings_file.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "storage/table.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

const QString kNotice = QStringLiteral(
    "提示：选好商品和数量后点“添加”记入结账列表；顾客付款后点“收款”（F12）保存本单，再接待下一位顾"
    "客。");

QPixmap picture(const QString& image, QSize size) {
    return QIcon(QStringLiteral(":/img/%1.svg").arg(image)).pixmap(size);
}

}  // namespace

MainWindow::MainWindow(const Navigation& nav, QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::MainWindow>()),
      m_nav(nav),
      m_sale(new SaleModel(this)),
      m_scan(std::make_unique<CounterScan>()) {
    // The flags first: changing them afterwards re-creates the window and
    // polishes every control of it a second time.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    move(50, 50);
    app::keepTrueOrigin(this);  // windows open over it, menus at the pointer
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("时钟1"));
    decorate();
    fitToWindow();  // the designed layout, whole on the window
    keepDesignedLayout();
    connectHandlers();
    m_failedToStart = !startUp();
    setUpKeyboard();  // after the goods are loaded: the search follows their model
    setUpScanning();  // after the search: a scan is taken before it
    setUpPayment();
}

CheckoutArea MainWindow::checkoutArea() const {
    return {ui->超级列表框_产品结账, ui->组合框1_商品名称, ui->透明标签_余额, ui->透明标签_找0钱};
}

// The creation step, in its fixed order. Returns false when it asked to end
// the process (which returns only under a test platform).
bool MainWindow::startUp() {
    setEnabled(true);
    app::dragState(QStringLiteral("main/图片框2")).reset();
    app::dragState(QStringLiteral("main/图片框1")).reset();

    const storage::DataPaths paths{app::runDirectory()};
    m_productSavePath = paths.productSave();
    m_productPath = paths.product();

    ui->组合框1_商品名称->setCurrentIndex(-1);
    m_timer->setInterval(100);

    const auto names = checkout::openGoodsNames(m_productSavePath);
    if (!names) {
        std::error_code ec;
        const bool folderThere = std::filesystem::is_directory(
            storage::joinPath(paths.runDir, storage::kProductFolder), ec);
        failStart(folderThere ? "无法打开产品保存表 " + m_productSavePath
                              : "缺少数据文件夹 " +
                                    storage::joinPath(paths.runDir, storage::kProductFolder));
        return false;
    }
    {
        // Nothing is chosen until the cashier chooses: the combo shows no name.
        const QSignalBlocker quiet(ui->组合框1_商品名称);
        // One list model instead of an item object per name: a long goods
        // list must not slow the start.
        auto* model = new QStringListModel(*names, ui->组合框1_商品名称);
        ui->组合框1_商品名称->setModel(model);
        ui->组合框1_商品名称->setCurrentIndex(-1);
    }
    // A combo that gets items while none is chosen would choose the first
    // by itself; with a placeholder it waits for the cashier. The blank
    // placeholder keeps the empty look of a combo with nothing chosen.
    ui->组合框1_商品名称->setPlaceholderText(QStringLiteral(" "));
    QAbstractItemModel* goodsModel = ui->组合框1_商品名称->model();
    connect(goodsModel, &QAbstractItemModel::rowsInserted, this, &MainWindow::goodsReplaced);
    connect(goodsModel, &QAbstractItemModel::rowsRemoved, this, &MainWindow::goodsReplaced);
    connect(goodsModel, &QAbstractItemModel::modelReset, this, &MainWindow::goodsReplaced);

    tellRecoveredSales(checkout::recoverOpenSales(paths));

    m_runSalesPath = paths.salesTable(app::now());
    int recorded = 0;
    switch (checkout::startSalesTable(m_runSalesPath)) {
        case checkout::SalesTableStart::OpenFailed:
            failStart("本次运行的销售表无法作为销售表打开：" + m_runSalesPath);
            return false;
        case checkout::SalesTableStart::NotCreated:
            // Said once, before the first sale; the exit recording tries again.
            app::showMessage(
                this,
                QStringLiteral("本次运行的销售表无法创建，请检查“保存数据库”文件夹和磁盘空间。"
                               "销售照常记录，退出时会再次尝试保存。"));
            break;
        case checkout::SalesTableStart::Opened:
            recorded = storage::recordCount();
            break;
    }
    const std::string tableName = std::filesystem::path(m_runSalesPath).filename().string();
    m_sale->beginRun(m_runSalesPath,
                     SaleJournal(journalPath(paths.runDir, tableName), tableName, recorded));
    // Older run folders lack the ticket folder: the program makes it.
    std::error_code madeFolder;
    std::filesystem::create_directories(paths.ticketFolder(), madeFolder);
    // A till joined to a shop server numbers its receipts with the code the
    // server gave it, so no two tills of the shop share a receipt number.
    const auto server = server::readServerFile(paths.runDir);
    ReceiptNumbers receipts(
        paths.ticketFolder(),
        server ? server->till
               : settings::readSetting(paths.settingsFile(), settings::kTillSection, kTillCodeKey),
        paths.runDir);
    receipts.prime(app::now());
    m_sale->beginTickets(paths.runDir, std::move(receipts));
    if (auto* link = ShopServerLink::start(paths.runDir, *m_sale, ui->状态条1)) {
        // The shop's catalogue came down: the goods list shows it at once.
        connect(link, &ShopServerLink::catalogueArrived, this, [this] {
            const auto catalogue = checkout::openGoodsNames(m_productSavePath);
            auto* model = qobject_cast<QStringListModel*>(ui->组合框1_商品名称->model());
            if (catalogue && model) model->setStringList(*catalogue);
        });
    }
    return true;
}

// A start that cannot go on ends the process with a failure code and one line
// on standard error naming what failed; the window itself says nothing.
void MainWindow::failStart(const std::string& what) {
    std::fprintf(stderr, "澄屿店铺管理系统无法启动：%s（运行文件夹：%s）\n", what.c_str(),
                 app::runDirectory().c_str());
    std::fflush(stderr);
    app::exitProcess(1);
}

void MainWindow::tellRecoveredSales(const std::vector<RecoveredRun>& runs) {
    for (const RecoveredRun& run : runs)
        app::showMessage(this, QString::fromStdString(recoveryNotice(run)));
}

void MainWindow::decorate() {
    app::styleTitleBand(ui->图片框1, ui->透明标签4);
    app::styleTitleBand(ui->图片框2);
    app::styleTitleButtons(ui->图形按钮1_易, ui->图形按钮1_放大, ui->图形按钮1_关闭);
    ui->图片框4->setPixmap(picture(QStringLiteral("logo"), ui->图片框4->size()));
    ui->图片框3->setPixmap(picture(QStringLiteral("cart"), ui->图片框3->size()));

    app::stylePictureButton(ui->图形按钮_添加产品, QStringLiteral("nav-product"));
    app::stylePictureButton(ui->图形按钮_添加产品1, QStringLiteral("nav-performance"));
    app::stylePictureButton(ui->图形按钮_添加产品2, QStringLiteral("nav-employee"));
    app::stylePictureButton(ui->图形按钮_添加产品3, QStringLiteral("nav-dev"));
    // The captions sit on the lower part of their buttons; clicks go through.
    for (QLabel* caption : {ui->透明标签2, ui->透明标签3, ui->透明标签5, ui->透明标签6})
        caption->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    ui->透明标签7->setCursor(Qt::PointingHandCursor);

    app::styleActionButton(ui->图形按钮_添加, QStringLiteral("act-add"));
    app::styleActionButton(ui->图形按钮_删除, QStringLiteral("act-delete"));
    app::styleActionButton(ui->图形按钮_清空, QStringLiteral("act-clear"));
    app::styleActionButton(ui->图形按钮_生成账单, QStringLiteral("act-receipt"));
    app::styleActionButton(ui->图形按钮_保存, QStringLiteral("act-save"));
    app::styleActionButton(ui->图形按钮_收款, QStringLiteral("act-money"));

    auto* list = ui->超级列表框_产品结账;
    list->setColumnWidth(0, 250);
    list->setColumnWidth(1, 110);
    list->setColumnWidth(2, 90);
    ui->组合框1_商品名称->setMaxVisibleItems(20);
    ui->组合框1_数量->setMaxVisibleItems(15);

    ui->按钮2->setFocusPolicy(Qt::NoFocus);
    auto* notice = new QLabel(kNotice, ui->状态条1);
    notice->setObjectName(QStringLiteral("状态条1_提示"));
    ui->状态条1->addWidget(notice, 1);
    ui->状态条1->setSizeGripEnabled(false);
    ui->状态条1->raise();

    for (const char* handle : {"透明标签4", "图片框2", "图片框1"}) {
        auto* widget = findChild<QWidget*>(QString::fromUtf8(handle));
        new app::DragHandle(widget, this,
                            app::dragState(QStringLiteral("main/") + QString::fromUtf8(handle)));
    }
}

void MainWindow::connectHandlers() {
    connect(ui->图形按钮_添加产品, &QPushButton::clicked, this, [this] {
        if (!m_nav.productWindow) return;
        m_nav.productWindow(this, checkoutArea());
        codesMayHaveChanged();
    });
    connect(ui->图形按钮_添加产品1, &QPushButton::clicked, this, [this] {
        if (m_nav.performanceWindow) m_nav.performanceWindow(this);
    });
    connect(ui->图形按钮_添加产品2, &QPushButton::clicked, this, [this] {
        if (m_nav.employeeDirectory) m_nav.employeeDirectory(this);
    });
    // Popped up, not run modally: the counter's keys and timers go on.
    QMenu* functions = makeFunctionMenu(this, m_nav, *m_sale);
    connect(ui->图形按钮_添加产品3, &QPushButton::clicked, this, [this, functions] {
        functions->popup(
            ui->图形按钮_添加产品3->mapToGlobal(QPoint(0, ui->图形按钮_添加产品3->height())));
    });
    connect(ui->图形按钮_生成账单, &QPushButton::clicked, this, [this] {
        m_sale->noteReceipted();
        if (m_nav.receiptWindow) m_nav.receiptWindow(this, checkoutArea());
    });
    ui->透明标签7->installEventFilter(this);

    connect(ui->图形按钮1_放大, &QPushButton::clicked, this, &MainWindow::toggleMaximised);
    connect(ui->图形按钮1_关闭, &QPushButton::clicked, this, &MainWindow::leave);

    connect(ui->组合框1_商品名称, &QComboBox::activated, this, &MainWindow::lookUpGoods);
    connect(ui->图形按钮_添加, &QPushButton::clicked, this, [this] { addRow(); });
    connect(ui->图形按钮_删除, &QPushButton::clicked, this, &MainWindow::deleteRow);
    connect(ui->图形按钮_清空, &QPushButton::clicked, this, &MainWindow::clearRows);
    connect(ui->图形按钮_保存, &QPushButton::clicked, this, &MainWindow::saveGoodsList);
    connect(ui->编辑框1_当前余额, &QLineEdit::textChanged, m_sale,
            [this](const QString& text) { m_sale->setTendered(text.toStdString()); });
    connect(m_sale, &SaleModel::linesChanged, this, &MainWindow::showLines);
    connect(m_sale, &SaleModel::tenderedChanged, this, &MainWindow::showChange);
    connect(m_sale, &SaleModel::journalFailureChanged, this, &MainWindow::showJournalWarning);
    connect(ui->图形按钮_收款, &QPushButton::clicked, this, &MainWindow::takePayment);
    connect(m_sale, &SaleModel::saleFinished, this, &MainWindow::saleFinished);
    connect(ui->超级列表框_产品结账, &QTreeWidget::currentItemChanged, this,
            &MainWindow::rememberRow);
    // A Ctrl+click can take the selection off the remembered row; it comes
    // back. (A selection moving to another row moves the current row too,
    // and with it the remembered row.)
    connect(ui->超级列表框_产品结账, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (ui->超级列表框_产品结账->selectedItems().isEmpty()) showRememberedRow();
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->透明标签7 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (m_nav.leaveWindow) m_nav.leaveWindow(this);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// The close button: the run's rows go into its sales table, then the process
// ends. Nothing is asked first. When the rows cannot all be stored the
// process stays: "错误" is said, and what was not stored stays in the list,
// so the cashier can free space and close again.
void MainWindow::leave() {
    if (m_leaving) return;  // the rows are recorded once
    m_leaving = true;
    if (recordRun()) {
        keepRollingBackup();
        app::exitProcess(0);
        return;
    }
    m_leaving = false;
    app::showMessage(this, QStringLiteral("错误"));
}

// Each orderly exit leaves a backup of the run folder in 备份/, the newest
// seven kept. Unchanged tables are linked from the previous backup, so this
// costs little. A failed backup never stops the exit: the sales are already
// stored. What went wrong is said once, in the window, before the process
// ends: a backup that cannot be relied on must not stay unknown until the
// day it is needed.
void MainWindow::keepRollingBackup() {
    const backup::BackupReport report = backup::rollingBackup(app::runDirectory());
    QStringList problems;
    if (!report.ok) {
        qWarning("rolling backup failed: %s", report.error.c_str());
        problems << QStringLiteral("本次退出备份失败：") + QString::fromStdString(report.error);
    }
    for (const auto& damaged : report.damaged) {
        qWarning("damaged in the previous backup: %s", damaged.c_str());
        problems << QStringLiteral("上一次的备份已损坏，已重新复制：") +
                        QString::fromStdString(damaged);
    }
    for (const auto& skipped : report.skipped) {
        qWarning("not backed up: %s", skipped.c_str());
        problems << QStringLiteral("未能备份：") + QString::fromStdString(skipped);
    }
    if (!problems.isEmpty()) app::showMessage(this, problems.join(QLatin1Char('\n')));
}

// The exit recording: true when every row is stored. Rows stored are taken
// off the list; on failure nothing is stored and every row stays.
bool MainWindow::recordRun() {
    const ExitRecording outcome = m_sale->recordOpenList().outcome;
    return outcome == ExitRecording::NothingToRecord || outcome == ExitRecording::Recorded;
}

// The desktop session ends or a signal asks the program to go: the same
// recording as the close button, but the process ends in any case. Rows that
// could not be stored stay in the journal, when one could be written, and
// the next start stores them; what is said promises no more than that.
void MainWindow::endSession() {
    if (m_leaving) return;
    m_leaving = true;
    if (recordRun()) {
        app::exitProcess(0);
        return;
    }
    // One more try at the journal: the disk may have room by now.
    const bool kept = m_sale->journalAgain();
    std::fprintf(stderr, "澄屿店铺管理系统：%s\n",
                 unstoredAtEndNotice(m_runSalesPath, m_sale->lines().size(), kept).c_str());
    app::exitProcess(1);
}

// A close request from the window system (the window has no frame, but a
// keyboard shortcut of the desktop can still ask) leaves the same way as the
// close button, so the run's sales are not lost.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    leave();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The status bar stays along the bottom edge, maximised or not.
    ui->状态条1->setGeometry(0, height() - ui->状态条1->height(), width(), ui->状态条1->height());
}

}  // namespace shop::checkout
