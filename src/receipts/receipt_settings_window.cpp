#include "receipt_settings_window.h"

#include <QLabel>

#include "receipt_look.h"
#include "receipt_window.h"
#include "ui_receipt_settings_window.h"

namespace shop::receipts {

namespace {

// The button that puts the typed header into the receipt.
QPushButton& applyButton(const Ui::ReceiptSettingsWindow& form) { return *form.图形按钮1; }

}  // namespace

ReceiptSettingsWindow::ReceiptSettingsWindow(ReceiptWindow& receipt, QWidget* parent)
    : app::FramelessWindow(parent),
      ui(std::make_unique<Ui::ReceiptSettingsWindow>()),
      m_receipt(receipt) {
    ui->setupUi(this);
    setDesignedGeometry(QSize(381, 368));
    setTitleBar({ui->图片框_移动, ui->透明标签3, ui->图形按钮1_关闭1, ui->图形按钮1_关闭4,
                 ui->图形按钮1_关闭5},
                QStringLiteral("receipt_settings/图片框_移动"), app::DragReset::AtCreation);
    connect(&applyButton(*ui), &QPushButton::clicked, this, &ReceiptSettingsWindow::apply);
    applySettingsLook(*ui, this);
}

ReceiptSettingsWindow::~ReceiptSettingsWindow() = default;

void ReceiptSettingsWindow::apply() {
    const HeaderLabels labels = m_receipt.headerLabels();
    labels.cashier->setText(ui->编辑框_收银员->text());
    labels.shopName->setText(ui->编辑框1_超市名称->text());
    labels.address->setText(ui->编辑框_超市地址->text());
    labels.machine->setText(ui->编辑框_机号->text());
    m_receipt.headerApplied();
}

}  // namespace shop::receipts
