// 收款 at the main window: the payment method, the key that finishes the
// sale, and what the cashier is told. The sale itself is the model's.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStringList>

#include "app/clock.h"
#include "app/platform.h"
#include "app/run_directory.h"
#include "checkout/finished_sale.h"
#include "checkout/sale_model.h"
#include "main_window.h"
#include "settings/settings_file.h"
#include "storage/data_paths.h"
#include "ui_main_window.h"

namespace shop::checkout {

const QKeySequence MainWindow::kPaymentKey{Qt::Key_F12};
const QKeySequence MainWindow::kMethodKeys[4] = {
    QKeySequence(Qt::CTRL | Qt::Key_1), QKeySequence(Qt::CTRL | Qt::Key_2),
    QKeySequence(Qt::CTRL | Qt::Key_3), QKeySequence(Qt::CTRL | Qt::Key_4)};

namespace {
QString keyText(const QKeySequence& keys) { return keys.toString(QKeySequence::NativeText); }
}  // namespace

void MainWindow::setUpPayment() {
    auto& u = *ui;
    QStringList tips;
    for (std::size_t i = 0; i < std::size(kPaymentMethods); ++i) {
        const QString method = QString::fromStdString(methodText(kPaymentMethods[i]));
        u.组合框_付款方式->addItem(method);
        tips << QStringLiteral("%1（%2）").arg(method, keyText(kMethodKeys[i]));
        auto* key = new QShortcut(kMethodKeys[i], this);
        const int index = static_cast<int>(i);
        connect(key, &QShortcut::activated, this,
                [this, index] { ui->组合框_付款方式->setCurrentIndex(index); });
    }
    u.组合框_付款方式->setCurrentIndex(0);  // 现金
    u.组合框_付款方式->setToolTip(QStringLiteral("付款方式：") + tips.join(QStringLiteral("，")));

    u.图形按钮_收款->setFocusPolicy(Qt::StrongFocus);
    u.图形按钮_收款->setToolTip(QStringLiteral("收款，完成本单（%1）").arg(keyText(kPaymentKey)));
    auto* pay = new QShortcut(kPaymentKey, this);
    connect(pay, &QShortcut::activated, u.图形按钮_收款, &QPushButton::click);
}

void MainWindow::takePayment() {
    const storage::DataPaths paths{app::runDirectory()};
    Payment payment;
    payment.method = kPaymentMethods[std::clamp(ui->组合框_付款方式->currentIndex(), 0, 3)];
    payment.cashier = settings::readHeader(paths.settingsFile()).cashier;
    payment.moment = app::now();
    const CheckoutResult result = m_sale->checkout(payment);
    const QString failure = QString::fromStdString(result.failure);
    switch (result.outcome) {
        case CheckoutOutcome::NothingToSell:
            app::showMessage(this, QStringLiteral("没有选择商品因此无法收款"));
            return;
        case CheckoutOutcome::ShortCash:
            app::showMessage(this, QStringLiteral("实收金额不足"));
            return;
        case CheckoutOutcome::Unstorable:
            app::showMessage(this,
                             QStringLiteral("结账列表中有内容过长、无法保存的行，请删除后再收款"));
            return;
        case CheckoutOutcome::NoReceiptNumber:
            app::showMessage(this, QStringLiteral("%1。本单未收款").arg(failure));
            return;
        case CheckoutOutcome::EarlierPending:
            app::showMessage(
                this,
                QStringLiteral("上一笔收款尚未存好（%1），本单未收款，请稍后再试").arg(failure));
            return;
        case CheckoutOutcome::Pending:
            // Paid: the customer goes, the journal keeps the sale for the
            // next 收款, the exit or the next start to store.
            app::showMessage(
                this, QStringLiteral("本单已收款，但%1；程序会在下次收款、退出或下次启动时再存")
                          .arg(failure));
            break;
        case CheckoutOutcome::Finished:
            break;
    }
    if (!result.stockNotes.empty()) {
        QStringList notes;
        for (const std::string& note : result.stockNotes) notes << QString::fromStdString(note);
        ui->状态条1->showMessage(notes.join(QStringLiteral("；")));
    }
    ui->编辑框1_当前余额->clear();
    ui->组合框_付款方式->setCurrentIndex(0);
    focusGoods();
}

void MainWindow::saleFinished(const FinishedSale& sale) {
    // Once 收款 has readied the counter for the next customer: the receipt
    // then stands over an empty list, with any stock warning already shown.
    if (m_nav.saleReceipt)
        QMetaObject::invokeMethod(
            this, [this, sale] { m_nav.saleReceipt(this, sale); }, Qt::QueuedConnection);
}

}  // namespace shop::checkout
