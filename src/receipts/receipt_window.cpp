#include "receipt_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>
#include <limits>

#include "app/platform.h"
#include "app/run_directory.h"
#include "checkout/finished_sale.h"
#include "receipt_figures.h"
#include "receipt_look.h"
#include "receipt_settings_window.h"
#include "settings/settings_file.h"
#include "storage/data_paths.h"
#include "storage/date_text.h"
#include "ui_receipt_window.h"

namespace shop::receipts {

namespace {

const QString kLineEnd = QStringLiteral("\r\n\r\n");

std::string settingsPath() { return storage::DataPaths{app::runDirectory()}.settingsFile(); }

QString fromUtf8(const std::string& s) { return QString::fromStdString(s); }

// The lines a finished sale's receipt adds below the footer: at most four
// (a refund's), each as high as a footer line.
constexpr int kPaymentLines = 4;
constexpr int kPaymentPitch = 22;

// A column's text as the receipt shows it: every entry followed by a blank line.
QString columnText(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries) text += entry + kLineEnd;
    return text;
}

}  // namespace

ReceiptWindow::ReceiptWindow(const app::CheckoutArea& checkout, QWidget* parent)
    : ReceiptWindow(parent, checkout) {}

ReceiptWindow::ReceiptWindow(const checkout::FinishedSale& sale, QWidget* parent)
    : ReceiptWindow(parent, app::CheckoutArea{}) {
    m_sale = true;
    std::vector<checkout::SaleRow> rows;
    for (const checkout::SaleLine& line : sale.lines) rows.push_back(line.row);
    showGoods(receiptGoods(rows));
    showPayment(receiptPayment(sale));
}

ReceiptWindow::ReceiptWindow(QWidget* parent, const app::CheckoutArea& checkout)
    : app::FramelessWindow(parent),
      ui(std::make_unique<Ui::ReceiptWindow>()),
      m_checkout(checkout) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(276, 491), QPoint(1, 50));
    setWindowTitle(QStringLiteral("澄屿_生成账单"));

    setTitleBar({ui->图片框_移动, ui->透明标签3, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4,
                 ui->图形按钮1_关闭5},
                QStringLiteral("receipt/图片框_移动"), app::DragReset::AtCreation,
                [this] { storeAndClose(); });
    connect(ui->图形按钮_小窗口2, &QPushButton::clicked, this, &ReceiptWindow::openSettings);
    connect(ui->图形按钮_生成账单, &QPushButton::clicked, this, &ReceiptWindow::generate);

    // The hidden boxes hold the whole checkout list; no length cap.
    for (QLineEdit* box : {ui->编辑框1, ui->编辑框2, ui->编辑框3}) {
        box->setMaxLength(std::numeric_limits<int>::max());
        box->hide();
    }

    applyReceiptLook(*ui, this);
    setUpOutputMenu();
    placeValues();

    // A missing value replaces the designed text with empty text.
    const ReceiptHeader h = settings::readHeader(settingsPath());
    ui->透明_店铺名字->setText(fromUtf8(h.shopName));
    ui->透明_机码->setText(fromUtf8(h.machine));
    ui->透明_收银员->setText(fromUtf8(h.cashier));
    ui->透明_消费地址->setText(fromUtf8(h.address));
}

ReceiptWindow::~ReceiptWindow() = default;

HeaderLabels ReceiptWindow::headerLabels() const {
    return {ui->透明_店铺名字, ui->透明_机码, ui->透明_收银员, ui->透明_消费地址};
}

ReceiptHeader ReceiptWindow::header() const {
    return {ui->透明_店铺名字->text().toStdString(), ui->透明_机码->text().toStdString(),
            ui->透明_收银员->text().toStdString(), ui->透明_消费地址->text().toStdString()};
}

void ReceiptWindow::generate() {
    if (m_sale) return;  // a paid sale's receipt stays the receipt of that sale
    const int n = m_checkout.list ? m_checkout.list->topLevelItemCount() : 0;
    if (n == 0) {
        app::showMessage(this, QStringLiteral("没有选择商品因此无法生账单"));
        return;
    }
    std::vector<checkout::SaleRow> rows;
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* row = m_checkout.list->topLevelItem(i);
        rows.push_back({row->text(0).toStdString(),
                        row->text(1).toStdString(),
                        row->text(2).toStdString(),
                        {}});
    }
    // Each generate shows the checkout list as it stands, once.
    showGoods(receiptGoods(rows));
    ui->透明_找零->setText(
        changeBeforePayment(m_checkout.change ? m_checkout.change->text() : QString()));
    ui->透明_消费金额->setText(m_checkout.total ? m_checkout.total->text() : QString());
    ui->透明_时间->setText(fromUtf8(storage::dateText(storage::now())));
}

void ReceiptWindow::showGoods(const ReceiptGoods& goods) {
    // The hidden boxes hold the columns' texts; each fill starts afresh
    // instead of gathering every earlier one.
    ui->编辑框1->setText(columnText(goods.names));
    ui->编辑框2->setText(columnText(goods.prices));
    ui->编辑框3->setText(columnText(goods.quantities));
    ui->透明_品名->setText(ui->编辑框1->text());
    ui->透明_金额->setText(ui->编辑框2->text());
    ui->透明_数量->setText(ui->编辑框3->text());
    ui->透明_小计->setText(columnText(goods.amounts));
    ui->透明_超市名字->setText(ui->透明_店铺名字->text());
    layoutColumns();
}

QLabel* ReceiptWindow::paymentValue(int line) const {
    QLabel* const values[kPaymentLines] = {ui->透明_实收金额, ui->透明_付款方式, ui->透明_小票号,
                                           ui->透明_原小票号};
    return values[line];
}

void ReceiptWindow::showPayment(const ReceiptPayment& payment) {
    ui->透明_消费金额->setText(payment.total);
    ui->透明_找零->setText(payment.change);
    ui->透明_时间->setText(payment.time);
    const int lines = std::min(static_cast<int>(payment.captions.size()), kPaymentLines);
    ui->透明标签_收款->setText(payment.captions.mid(0, lines).join(QLatin1Char('\n')));
    ui->透明标签_收款->resize(ui->透明标签_收款->width(), lines * kPaymentPitch);
    ui->透明标签_收款->show();
    for (int i = 0; i < lines; ++i) {
        paymentValue(i)->setText(payment.values.value(i));
        paymentValue(i)->show();
    }
    if (payment.captions.contains(QStringLiteral("原小票号；")))
        ui->透明标签3->setText(QStringLiteral("澄屿_退货小票"));
    placeValues();

    // The payment lines go under the footer; the paper and the window grow
    // by them, and the generate button, with nothing to generate, goes.
    ui->图形按钮_生成账单->hide();
    const int grow = lines * kPaymentPitch;
    ui->图片框_移动1->resize(ui->图片框_移动1->width(), ui->图片框_移动1->height() + grow);
    const int bottom = ui->图片框_移动1->geometry().bottom() + 1 + ui->图片框_移动1->x();
    setFixedSize(width(), std::max(height(), bottom));
}

void ReceiptWindow::headerApplied() {
    if (!ui->透明_品名->text().isEmpty()) ui->透明_超市名字->setText(ui->透明_店铺名字->text());
}

void ReceiptWindow::storeAndClose() {
    // All four keys or none; the window still closes, so a settings folder
    // that is missing for good never keeps the receipt open.
    if (!settings::writeHeader(settingsPath(), header()))
        app::showMessage(this, QStringLiteral("账单信息保存失败"));
    done(0);
}

void ReceiptWindow::reject() { storeAndClose(); }

void ReceiptWindow::openSettings() {
    ReceiptSettingsWindow settings(*this, this);
    settings.exec();
}

void ReceiptWindow::placeValues() {
    // Each value starts where its caption's text ends, on the caption's line,
    // whatever font the captions get.
    const auto place = [](QLabel* value, const PitchedLabel* caption, int line,
                          const QString& prefix, int width) {
        const QRect box = caption->lineRect(line).translated(caption->pos());
        value->setGeometry(box.x() + caption->fontMetrics().horizontalAdvance(prefix), box.y(),
                           width, box.height());
    };
    const auto advance = [](const QLabel* label, const QString& text) {
        return label->fontMetrics().horizontalAdvance(text);
    };

    // Cashier between "收银员；" and "机号；", machine number after "机号；".
    const PitchedLabel* top = ui->透明标签1;
    const QString firstLine = top->text().section(QLatin1Char('\n'), 0, 0);
    const QString cashier = QStringLiteral("收银员；");
    const int machineCaption =
        advance(top, firstLine.left(firstLine.indexOf(QStringLiteral("机号；"))));
    place(ui->透明_收银员, top, 0, cashier, machineCaption - advance(top, cashier) - 4);
    place(ui->透明_机码, top, 0, firstLine, top->width() - advance(top, firstLine));
    const QString time = QStringLiteral("时间；");
    place(ui->透明_时间, top, 1, time, top->width() - advance(top, time));

    // The lower blocks (the footer, and a paid sale's payment lines under
    // it): values in one column after the longest caption of either.
    const PitchedLabel* bottom = ui->透明标签2;
    const PitchedLabel* payment = ui->透明标签_收款;
    QString longest;
    for (const PitchedLabel* block : {bottom, payment})
        for (const QString& c : block->text().split(QLatin1Char('\n')))
            if (advance(block, c) > advance(block, longest)) longest = c;
    QLabel* const values[] = {ui->透明_超市名字, ui->透明_消费地址, ui->透明_消费金额,
                              ui->透明_找零};
    for (int i = 0; i < 4; ++i)
        place(values[i], bottom, i, longest, bottom->width() - advance(bottom, longest));
    for (int i = 0; i < kPaymentLines; ++i)
        place(paymentValue(i), payment, i, longest, payment->width() - advance(payment, longest));

    // The goods and the quantity start under their words of the heading; the
    // unit price and the line amount, figures, end under theirs, so amounts
    // of any length line up and the last one keeps the room it needs.
    const PitchedLabel* heading = ui->透明标签_账单标题内容;
    const QString words[] = {QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("金额"),
                             QStringLiteral("小计")};
    const auto wordX = [&](int i, int offset) {
        return heading->x() - ui->账单滚动区->x() +
               heading->textX(0, heading->text().indexOf(words[i]) + offset);
    };
    const auto start = [&](int i) { return wordX(i, 0); };
    const auto end = [&](int i) { return wordX(i, static_cast<int>(words[i].size())); };
    const int quantityEnd = (start(1) + start(2)) / 2;
    const auto put = [](QLabel* column, int left, int right) {
        column->setGeometry(left, 0, right - left, column->height());
    };
    put(ui->透明_品名, start(0), start(1) - 4);
    put(ui->透明_数量, start(1), quantityEnd - 2);
    put(ui->透明_金额, quantityEnd + 2, end(2));
    m_amountsRight = std::max(end(3), ui->账单滚动区->width() - 6);
    put(ui->透明_小计, end(2) + 4, m_amountsRight);
    for (QLabel* figures : {ui->透明_金额, ui->透明_小计})
        figures->setAlignment(Qt::AlignRight | Qt::AlignTop);
    layoutColumns();
}

void ReceiptWindow::layoutColumns() {
    int height = 0;
    for (QLabel* column : {ui->透明_品名, ui->透明_数量, ui->透明_金额, ui->透明_小计})
        height = std::max(height, column->sizeHint().height());
    // Lines taller than the area bring its scroll bar, which takes its width
    // from the right: the line amounts end left of it.
    QScrollArea* area = ui->账单滚动区;
    const bool scrolls = height > area->height();
    const int room =
        area->width() - (scrolls ? area->verticalScrollBar()->sizeHint().width() + 2 : 0);
    QLabel* amounts = ui->透明_小计;
    amounts->resize(std::min(m_amountsRight, room) - amounts->x(), amounts->height());
    for (QLabel* column : {ui->透明_品名, ui->透明_数量, ui->透明_金额, ui->透明_小计})
        column->resize(column->width(), height);
    ui->账单内容->resize(scrolls ? room : area->width(), height);
}

void openReceiptWindow(QWidget* mainWindow, const app::CheckoutArea& checkout) {
    ReceiptWindow receipt(checkout);
    receipt.setOpener(mainWindow);  // over the till, though it has no owner
    if (mainWindow) mainWindow->setEnabled(true);
    receipt.exec();
    if (mainWindow) mainWindow->setEnabled(true);
}

bool printsAtPayment() {
    const QString value =
        QString::fromStdString(settings::readSetting(settingsPath(), settings::kTillSection,
                                                     settings::kPrintAtPaymentKey))
            .trimmed();
    return value == QStringLiteral("1") ||
           value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ||
           value.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0 ||
           value == QStringLiteral("是");
}

void openSaleReceipt(QWidget* mainWindow, const checkout::FinishedSale& sale) {
    ReceiptWindow receipt(sale);
    receipt.setOpener(mainWindow);
    if (mainWindow) mainWindow->setEnabled(true);
    // Printed before it is shown: the customer's slip comes out while the
    // cashier still sees the receipt, and a printer fault is said over it.
    if (printsAtPayment()) receipt.printAtOnce();
    receipt.exec();
    if (mainWindow) mainWindow->setEnabled(true);
}

}  // namespace shop::receipts
