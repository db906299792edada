#include "main_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringListModel>
#include <QTimer>

#include "app/clock.h"
#include "app/drag_state.h"
#include "app/frameless_window.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/title_band.h"
#include "checkout/run_tables.h"
#include "checkout/sale_recording.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

const QString kNotice = QStringLiteral(
    "提示：选好商品和数量后点“添加”记入结账列表；下班请用右上角的关闭按钮退出，本次销售才会保存。");

QPixmap picture(const QString& image, QSize size) {
    return QIcon(QStringLiteral(":/img/%1.svg").arg(image)).pixmap(size);
}

}  // namespace

MainWindow::MainWindow(const Navigation& nav, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::MainWindow>()), m_nav(nav) {
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground, true);
    move(50, 50);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("时钟1"));
    decorate();
    keepDesignedLayout();
    connectHandlers();
    m_failedToStart = !startUp();
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
        app::exitProcess(0);
        return false;
    }
    QStringList items;
    items.reserve(static_cast<qsizetype>(names->size()));
    for (const std::string& name : *names) items << QString::fromStdString(name);
    {
        // Nothing is chosen until the cashier chooses: the combo shows no name.
        const QSignalBlocker quiet(ui->组合框1_商品名称);
        // One list model instead of an item object per name: a long goods
        // list must not slow the start.
        auto* model = new QStringListModel(items, ui->组合框1_商品名称);
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

    m_runSalesPath = paths.salesTable(app::now());
    if (checkout::startSalesTable(m_runSalesPath) == checkout::SalesTableStart::OpenFailed) {
        app::exitProcess(0);
        return false;
    }
    return true;
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
        new app::DragHandle(widget, this, app::dragState(QStringLiteral("main/") + QString::fromUtf8(handle)));
    }
}

void MainWindow::connectHandlers() {
    connect(ui->图形按钮_添加产品, &QPushButton::clicked, this, [this] {
        if (m_nav.productWindow) m_nav.productWindow(this, checkoutArea());
    });
    connect(ui->图形按钮_添加产品1, &QPushButton::clicked, this, [this] {
        if (m_nav.performanceWindow) m_nav.performanceWindow(this);
    });
    connect(ui->图形按钮_添加产品2, &QPushButton::clicked, this, [this] {
        if (m_nav.employeeDirectory) m_nav.employeeDirectory(this);
    });
    connect(ui->图形按钮_生成账单, &QPushButton::clicked, this, [this] {
        if (m_nav.receiptWindow) m_nav.receiptWindow(this, checkoutArea());
    });
    ui->透明标签7->installEventFilter(this);

    connect(ui->图形按钮1_放大, &QPushButton::clicked, this, &MainWindow::toggleMaximised);
    connect(ui->图形按钮1_关闭, &QPushButton::clicked, this, &MainWindow::leave);

    connect(ui->组合框1_商品名称, &QComboBox::activated, this, &MainWindow::lookUpGoods);
    connect(ui->图形按钮_添加, &QPushButton::clicked, this, &MainWindow::addRow);
    connect(ui->图形按钮_删除, &QPushButton::clicked, this, &MainWindow::deleteRow);
    connect(ui->图形按钮_清空, &QPushButton::clicked, this, &MainWindow::clearRows);
    connect(ui->图形按钮_保存, &QPushButton::clicked, this, &MainWindow::saveGoodsList);
    connect(ui->编辑框1_当前余额, &QLineEdit::textChanged, this, &MainWindow::showChange);
    connect(ui->超级列表框_产品结账, &QTreeWidget::currentItemChanged, this, &MainWindow::rememberRow);
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
// ends. Nothing is asked first.
void MainWindow::leave() {
    if (m_leaving) return;  // the rows are recorded once
    m_leaving = true;
    if (checkout::recordSales(m_runSalesPath, saleRows()) ==
        checkout::ExitRecording::Failed)
        app::showMessage(this, QStringLiteral("错误"));
    app::exitProcess(0);
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
