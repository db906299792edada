#include "receipt_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeWidget>
#include <limits>

#include "app/drag_state.h"
#include "app/platform.h"
#include "app/run_directory.h"
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

}  // namespace

ReceiptWindow::ReceiptWindow(const app::CheckoutArea& checkout, QWidget* parent)
    : app::FramelessWindow(parent),
      ui(std::make_unique<Ui::ReceiptWindow>()),
      m_checkout(checkout) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(276, 491), QPoint(1, 50));
    setWindowTitle(QStringLiteral("澄屿_生成账单"));

    app::DragState& drag = app::dragState(QStringLiteral("receipt/图片框_移动"));
    drag.reset();
    addDragHandle(ui->图片框_移动, drag);
    setCloseButton(ui->图形按钮1_关闭5, [this] { storeAndClose(); });
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
    const int n = m_checkout.list ? m_checkout.list->topLevelItemCount() : 0;
    if (n == 0) {
        app::showMessage(this, QStringLiteral("没有选择商品因此无法生账单"));
        return;
    }
    QString names, prices, quantities;
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem* row = m_checkout.list->topLevelItem(i);
        names += row->text(0) + kLineEnd;
        prices += row->text(1) + kLineEnd;
        quantities += row->text(2) + kLineEnd;
    }
    // Each generate shows the checkout list as it stands, once: the boxes
    // start afresh instead of gathering every earlier generate.
    ui->编辑框1->setText(names);
    ui->编辑框2->setText(prices);
    ui->编辑框3->setText(quantities);

    ui->透明_品名->setText(ui->编辑框1->text());
    ui->透明_金额->setText(ui->编辑框2->text());
    ui->透明_数量->setText(ui->编辑框3->text());
    ui->透明_小计->clear();
    ui->透明_找零->setText(m_checkout.change ? m_checkout.change->text() : QString());
    ui->透明_消费金额->setText(m_checkout.total ? m_checkout.total->text() : QString());
    ui->透明_时间->setText(fromUtf8(storage::dateText(storage::now())));
    layoutColumns();
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

    // The lower block: values in one column after the longest caption.
    const PitchedLabel* bottom = ui->透明标签2;
    QString longest;
    for (const QString& c : bottom->text().split(QLatin1Char('\n')))
        if (advance(bottom, c) > advance(bottom, longest)) longest = c;
    QLabel* const values[] = {ui->透明_超市名字, ui->透明_消费地址, ui->透明_消费金额,
                              ui->透明_找零};
    for (int i = 0; i < 4; ++i)
        place(values[i], bottom, i, longest, bottom->width() - advance(bottom, longest));

    // The goods columns start under the words of the heading.
    const PitchedLabel* heading = ui->透明标签_账单标题内容;
    const QString words[] = {QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("金额"),
                             QStringLiteral("小计")};
    const auto columnX = [&](int i) {
        return heading->x() - ui->账单滚动区->x() +
               heading->textX(0, heading->text().indexOf(words[i]));
    };
    QLabel* const columns[] = {ui->透明_品名, ui->透明_数量, ui->透明_金额, ui->透明_小计};
    for (int i = 0; i < 4; ++i) {
        const int next = i < 3 ? columnX(i + 1) : ui->账单滚动区->width();
        columns[i]->setGeometry(columnX(i), 0, next - columnX(i) - 4, columns[i]->height());
    }
    layoutColumns();
}

void ReceiptWindow::layoutColumns() {
    int height = 0;
    for (QLabel* column : {ui->透明_品名, ui->透明_数量, ui->透明_金额, ui->透明_小计}) {
        column->resize(column->width(), column->sizeHint().height());
        height = std::max(height, column->height());
    }
    ui->账单内容->resize(ui->账单滚动区->viewport()->width(), height);
}

void openReceiptWindow(QWidget* mainWindow, const app::CheckoutArea& checkout) {
    ReceiptWindow receipt(checkout);
    receipt.setOpener(mainWindow);  // over the till, though it has no owner
    if (mainWindow) mainWindow->setEnabled(true);
    receipt.exec();
    if (mainWindow) mainWindow->setEnabled(true);
}

}  // namespace shop::receipts
