#include "refund_window.h"

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>

#include "app/clock.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "app/title_band.h"
#include "settings/settings_file.h"
#include "storage/data_paths.h"
#include "ui_refund_window.h"

namespace shop::refunds {

namespace {

enum Column { kName, kPrice, kSold, kRefunded, kQuantity };

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RefundWindow::RefundWindow(checkout::SaleModel& sale, QWidget* parent)
    : FramelessWindow(parent),
      ui(std::make_unique<Ui::RefundWindow>()),
      m_model(sale, app::runDirectory()) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(560, 440));
    setTitleBar({ui->图片框_移动, ui->透明标签_标题, ui->图形按钮1_关闭3, ui->图形按钮1_关闭2,
                 ui->图形按钮1_关闭1},
                QStringLiteral("refund/图片框_移动"), app::DragReset::AtCreation);
    app::styleActionButton(ui->图形按钮_查找, QStringLiteral("act-query"));
    app::styleActionButton(ui->图形按钮_确认退货, QStringLiteral("act-money"));

    QTreeWidget* list = ui->超级列表框_小票商品;
    list->setColumnWidth(kName, 190);
    list->setColumnWidth(kPrice, 80);
    list->setColumnWidth(kSold, 60);
    list->setColumnWidth(kRefunded, 60);
    list->header()->setStretchLastSection(true);
    ui->透明标签_提示->setStyleSheet(QStringLiteral("QLabel { color: #b00020; }"));
    ui->透明标签_提示->setWordWrap(true);
    ui->组合框_小票编号->lineEdit()->setPlaceholderText(QStringLiteral("输入或选择"));
    ui->图形按钮_确认退货->setEnabled(false);

    const storage::Moment today = app::now();
    ui->日期框_小票日期->setDate(QDate(today.year, today.month, today.day));
    connect(ui->日期框_小票日期, &QDateEdit::dateChanged, this, &RefundWindow::listDay);
    connect(ui->组合框_小票编号, &QComboBox::activated, this,
            [this](int index) { lookUp(ui->组合框_小票编号->itemText(index)); });
    connect(ui->组合框_小票编号->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { lookUp(ui->组合框_小票编号->currentText()); });
    connect(ui->图形按钮_查找, &QPushButton::clicked, this,
            [this] { lookUp(ui->组合框_小票编号->currentText()); });
    connect(ui->图形按钮_确认退货, &QPushButton::clicked, this, &RefundWindow::confirm);
    listDay();
}

RefundWindow::~RefundWindow() = default;

// The chosen day's receipts to pick from; what was typed stays.
void RefundWindow::listDay() {
    const QDate date = ui->日期框_小票日期->date();
    QStringList receipts;
    for (const std::string& receipt :
         m_model.salesOfDay({date.year(), date.month(), date.day(), 0, 0, 0}))
        receipts.prepend(qs(receipt));  // the latest first
    QComboBox* box = ui->组合框_小票编号;
    const QSignalBlocker quiet(box);
    const QString typed = box->currentText();
    box->clear();
    box->addItems(receipts);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

void RefundWindow::lookUp(const QString& receipt) {
    m_model.lookUp(receipt.toStdString());
    showReceipt();
    hint(qs(lookupText(m_model.lookup())));
}

void RefundWindow::showReceipt() {
    QTreeWidget* list = ui->超级列表框_小票商品;
    list->clear();
    const ReceiptLookup& found = m_model.lookup();
    const bool sale = found.outcome == LookupOutcome::Found;
    for (std::size_t i = 0; sale && i < found.lines.size(); ++i) {
        const ReceiptLine& line = found.lines[i];
        auto* item =
            new QTreeWidgetItem(list, {qs(line.row.name), qs(line.row.price),
                                       QString::number(line.sold), QString::number(line.refunded)});
        auto* quantity = new QSpinBox(list);
        quantity->setObjectName(QStringLiteral("数字框_退货数量"));
        quantity->setRange(0, line.sold);
        quantity->setEnabled(line.left() > 0);
        list->setItemWidget(item, kQuantity, quantity);
        const int index = static_cast<int>(i);
        connect(quantity, &QSpinBox::valueChanged, this,
                [this, index](int value) { quantityChanged(index, value); });
    }
    const checkout::Ticket& t = found.ticket;
    ui->透明标签_小票->setText(
        sale ? QStringLiteral("小票 %1　%2　%3　合计 %4元")
                   .arg(qs(t.receipt), qs(t.moment), qs(t.method), qs(t.total))
             : QString());
    ui->图形按钮_确认退货->setEnabled(sale);
    showAmount();
}

void RefundWindow::quantityChanged(int line, int quantity) {
    const auto index = static_cast<std::size_t>(line);
    if (!m_model.choose(index, quantity)) {
        // Beyond what is left of the line: the box goes back to what is chosen.
        auto* box = qobject_cast<QSpinBox*>(ui->超级列表框_小票商品->itemWidget(
            ui->超级列表框_小票商品->topLevelItem(line), kQuantity));
        if (box) {
            const QSignalBlocker quiet(box);
            box->setValue(m_model.chosen()[index]);
        }
        hint(QString::fromUtf8(kTooManyText));
        return;
    }
    hint({});
    showAmount();
}

void RefundWindow::showAmount() {
    ui->透明标签_退款金额->setText(
        QStringLiteral("退款金额：%1元").arg(qs(checkout::yuanText(m_model.amount()))));
}

void RefundWindow::confirm() {
    const storage::DataPaths paths{app::runDirectory()};
    const std::string cashier = settings::readHeader(paths.settingsFile()).cashier;
    const RefundResult result = m_model.confirm(cashier, app::now());
    const QString said = qs(refundText(result, m_model.lookup()));
    if (result.outcome == RefundOutcome::Refunded) {
        showReceipt();
        QStringList told{said.isEmpty() ? QStringLiteral("已退货") : said};
        for (const std::string& note : result.stored.stockNotes) told << qs(note);
        hint(told.join(QStringLiteral("；")));
        if (!said.isEmpty()) app::showMessage(this, said);
        return;
    }
    if (result.outcome == RefundOutcome::NoReceipt) showReceipt();
    app::showMessage(this, said);
}

void RefundWindow::hint(const QString& text) { ui->透明标签_提示->setText(text); }

void openRefundWindow(QWidget* parent, checkout::SaleModel& sale) {
    RefundWindow window(sale, parent);
    window.exec();
}

}  // namespace shop::refunds
