// A barcode scanner at the counter. It is a keyboard that types a code and
// Enter: in the goods box a run of digits and Enter sells the goods of that
// code at once, one row per scan, and the box stays ready for the next. A
// scanner is told from a person by its speed: a goods whose name is digits,
// typed by the cashier, is chosen by its name, and a scan that lands in the
// amount box by mistake goes to the goods instead of into the money. The
// codes are read after the window shows, so a large barcode table never
// delays the start.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <algorithm>
#include <future>

#include "app/clock.h"
#include "app/run_directory.h"
#include "barcodes/barcode_table.h"
#include "checkout/barcode_scan.h"
#include "checkout/counter_scan.h"
#include "checkout/sale_model.h"
#include "main_window.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

// Hands Enter (and, for the amount box, every key) to the window's scan
// handling first; what it does not take goes on as before.
class ScanKeys : public QObject {
public:
    ScanKeys(QObject* owner, std::function<bool(QEvent*)> take)
        : QObject(owner), m_take(std::move(take)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && m_take(event)) return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QEvent*)> m_take;
};

bool isEnter(const QEvent* event) {
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

void MainWindow::setUpScanning() {
    m_scan->clock.start();
    QComboBox* goods = ui->组合框1_商品名称;
    // After the search's own filters, so that a scan is taken before a
    // search for its digits. Its keys are timed as the other boxes' are: a
    // goods whose name is digits is still chosen by typing its name.
    auto* goodsKeys = new ScanKeys(this, [this](QEvent* e) {
        if (isEnter(e)) return scanFromGoodsBox();
        noteKey(e, ui->组合框1_商品名称->lineEdit(), m_scan->goods);
        return false;
    });
    goods->installEventFilter(goodsKeys);
    goods->lineEdit()->installEventFilter(goodsKeys);
    if (goods->completer()) goods->completer()->popup()->installEventFilter(goodsKeys);
    // The amount handed over and the quantity take digits of their own; a
    // scan there by mistake (the cashier forgot to move on) sells as well.
    ui->编辑框1_当前余额->installEventFilter(new ScanKeys(this, [this](QEvent* e) {
        return scanFromOtherBox(e, ui->编辑框1_当前余额, m_scan->tendered);
    }));
    ui->组合框1_数量->installEventFilter(new ScanKeys(this, [this](QEvent* e) {
        return scanFromOtherBox(e, ui->组合框1_数量->lineEdit(), m_scan->quantity);
    }));

    ui->按钮_登记条码->hide();
    ui->按钮_登记条码->setFocusPolicy(Qt::NoFocus);  // the goods box keeps the focus
    ui->按钮_登记条码->setToolTip(QStringLiteral("在添加产品窗口中登记这个条码"));
    connect(ui->按钮_登记条码, &QPushButton::clicked, this, &MainWindow::registerScannedCode);

    QAbstractItemModel* model = goods->model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(model, signal, this, [this] { m_scan->positionsStale = true; });
    connect(model, &QAbstractItemModel::modelReset, this,
            [this] { m_scan->positionsStale = true; });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this] { m_scan->positionsStale = true; });
    startReadingCodes();
}

bool MainWindow::scanFromGoodsBox() {
    QComboBox* goods = ui->组合框1_商品名称;
    const bool scannerPace = m_scan->goods.keys.enter(m_scan->clock.elapsed()).has_value();
    const std::string typed = goods->lineEdit()->text().trimmed().toStdString();
    const auto scan = readScanText(typed);
    if (!scan) return false;
    // Digits typed at a person's pace that name a goods exactly are that
    // goods' name, for the search to choose. Any other run of digits is a
    // code: scanned, or typed off a label the scanner cannot read.
    if (!scannerPace && goodsPosition(typed) >= 0) return false;
    if (goods->completer()) goods->completer()->popup()->hide();
    sellScanned(*scan);
    return true;
}

// Digits typed at a scanner's pace and ended by Enter are a code: the box
// gets back what it held before them and the goods are sold. Every other key
// is the cashier's and reaches the box untouched.
bool MainWindow::scanFromOtherBox(QEvent* event, QLineEdit* box, BoxBurst& burst) {
    if (isEnter(event)) {
        const auto digits = burst.keys.enter(m_scan->clock.elapsed());
        if (!digits) return false;
        box->setText(burst.before);
        sellScanned(ScanText{*digits, 1});
        return true;
    }
    noteKey(event, box, burst);
    return false;
}

// A key other than Enter on its way into `box`, timed for the burst it
// belongs to; a burst's first digit notes what the box held before it.
void MainWindow::noteKey(QEvent* event, const QLineEdit* box, BoxBurst& burst) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    const char c = text.size() == 1 && text.front().unicode() < 0x80
                       ? static_cast<char>(text.front().unicode())
                       : '\0';
    if (burst.keys.key(c, m_scan->clock.elapsed())) burst.before = box->text();
}

void MainWindow::sellScanned(const ScanText& scan) {
    takeCodes();
    const ScanCounter counter{
        &m_scan->codes, &m_scan->layouts,
        [this](const std::string& name) { return goodsPosition(name); },
        [this](int position) { return checkout::lookupGoods(m_productPath, position); },
        storage::dateText(app::now())};
    const ScanResult result = sellScan(scan, counter);
    QComboBox* goods = ui->组合框1_商品名称;
    goods->setCurrentIndex(-1);
    goods->lineEdit()->clear();
    goods->setFocus(Qt::OtherFocusReason);
    m_scan->unknownCode = result.outcome == ScanOutcome::Unknown ? scan.code : std::string();
    ui->按钮_登记条码->setVisible(!m_scan->unknownCode.empty());
    if (result.line) {
        ui->标签_结账提示->clear();
        // Shown at once, journalled right after (see JournalWhen).
        m_sale->addLine(*result.line, JournalWhen::RightAfterShowing);
        return;
    }
    ui->标签_结账提示->setText(QString::fromStdString(result.hint));
    if (!m_scan->unknownCode.empty()) placeRegisterButton();
    QApplication::beep();
}

// 登记条码 stands just before the hint's text, which ends at the list's edge.
void MainWindow::placeRegisterButton() {
    const QLabel* hint = ui->标签_结账提示;
    QPushButton* button = ui->按钮_登记条码;
    const int text = hint->fontMetrics().horizontalAdvance(hint->text());
    const int x = std::max(hint->x(), hint->geometry().right() - text - button->width() - 8);
    button->move(x, hint->y() + (hint->height() - button->height()) / 2);
    button->raise();
}

// The barcode table is read on a thread of its own while the window comes
// up: a hundred thousand codes must not hold back the start. The reading
// has its own connection and never joins this thread's open tables.
void MainWindow::startReadingCodes() {
    const storage::DataPaths paths{app::runDirectory()};
    m_scan->layouts = barcodes::loadRules(storage::joinPath(paths.runDir, storage::kSettingsFolder,
                                                            barcodes::kRulesFile))
                          .layouts;
    m_scan->codesLoaded = false;
    // A run folder from before codes gets its empty table here.
    if (!barcodes::ensureBarcodeTable(paths.barcodes()).ok()) return;
    m_scan->reading = std::async(std::launch::async,
                                 [path = paths.barcodes()] { return barcodes::readCodes(path); });
}

// The codes for a scan: those read meanwhile (waiting for the reading if it
// is not done yet), or read now after a failed reading.
void MainWindow::takeCodes() {
    if (m_scan->codesLoaded) return;
    std::optional<std::vector<barcodes::CodeEntry>> entries;
    const std::string path = storage::DataPaths{app::runDirectory()}.barcodes();
    if (m_scan->reading.valid()) entries = m_scan->reading.get();
    if (!entries && barcodes::ensureBarcodeTable(path).ok()) entries = barcodes::readCodes(path);
    if (!entries) {
        // Tried again at the next scan; selling by name goes on meanwhile.
        ui->状态条1->showMessage(QStringLiteral("商品条码表无法读取，扫码暂不可用：") +
                                 QString::fromStdString(path));
        m_scan->codes.assign({});
        return;
    }
    m_scan->codes.assign(*entries);
    m_scan->codesLoaded = true;
}

int MainWindow::goodsPosition(const std::string& name) {
    if (m_scan->positionsStale) {
        const QComboBox* goods = ui->组合框1_商品名称;
        m_scan->positions.clear();
        m_scan->positions.reserve(static_cast<std::size_t>(goods->count()));
        for (int i = 0; i < goods->count(); ++i)
            m_scan->positions.emplace(goods->itemText(i).toStdString(), i);
        m_scan->positionsStale = false;
    }
    const auto it = m_scan->positions.find(name);
    return it == m_scan->positions.end() ? -1 : it->second;
}

// The unknown code goes to the product window, filled in, to be given to a
// new or an existing goods.
void MainWindow::registerScannedCode() {
    const std::string code = m_scan->unknownCode;
    ui->按钮_登记条码->hide();
    ui->标签_结账提示->clear();
    if (m_nav.productWindowForCode) m_nav.productWindowForCode(this, checkoutArea(), code);
    codesMayHaveChanged();
    focusGoods();
}

// The product window may have given codes: they are read again.
void MainWindow::codesMayHaveChanged() { startReadingCodes(); }

}  // namespace shop::checkout
