#include "receipt_look.h"

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

#include "app/frameless_window.h"
#include "app/title_band.h"
#include "ui_receipt_settings_window.h"
#include "ui_receipt_window.h"

namespace shop::receipts {

namespace {

// Shared by both windows: the paper and its dashed rules.
const char* const kSheet = R"(
    QFrame[paper="true"] { background: #ffffff; border: 1px solid #d5dde5; border-radius: 3px; }
    QFrame[rule="true"] { background: transparent; border: none; border-top: 1px dashed #8a96a3; }
)";

QFont receiptFont(int pointSize, bool mono = false, bool bold = false) {
    QFont f;
    f.setFamilies(
        mono ? QStringList{QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("monospace")}
             : QStringList{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("sans-serif")});
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

}  // namespace

void applyReceiptLook(Ui::ReceiptWindow& ui, QDialog* window) {
    window->setStyleSheet(QString::fromLatin1(kSheet));
    ui.透明标签3->setFont(receiptFont(10, false, true));
    app::stylePictureButton(ui.图形按钮_小窗口2, QStringLiteral("receipt-settings"));
    ui.图形按钮_小窗口2->setToolTip(QStringLiteral("账单抬头设置"));
    app::styleActionButton(ui.图形按钮_生成账单, QStringLiteral("receipt-paper"));

    ui.透明_店铺名字->setFont(receiptFont(16, false, true));
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.透明标签1, ui.透明_收银员, ui.透明_机码, ui.透明_时间, ui.透明标签_账单标题内容,
             ui.透明标签2, ui.透明_超市名字, ui.透明_消费地址, ui.透明_消费金额, ui.透明_找零,
             ui.透明标签_收款, ui.透明_实收金额, ui.透明_付款方式, ui.透明_小票号,
             ui.透明_原小票号})
        w->setFont(receiptFont(9));
    // The heading spreads over the paper, giving the goods names the room
    // its blanks promise them.
    ui.透明标签_账单标题内容->setFont(receiptFont(9, false, true));
    ui.透明标签_账单标题内容->setSpread(true);
    for (QLabel* column :
         std::initializer_list<QLabel*>{ui.透明_品名, ui.透明_数量, ui.透明_金额, ui.透明_小计})
        column->setFont(receiptFont(9, true));
    ui.透明_消费金额->setFont(receiptFont(9, true, true));
    ui.透明_找零->setFont(receiptFont(9, true, true));
    ui.透明_实收金额->setFont(receiptFont(9, true, true));
    ui.透明_小票号->setFont(receiptFont(9, true));
    ui.透明_原小票号->setFont(receiptFont(9, true));

    ui.账单滚动区->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui.账单滚动区->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    ui.账单滚动区->viewport()->setAutoFillBackground(false);
    ui.账单内容->setAutoFillBackground(false);
}

void applySettingsLook(Ui::ReceiptSettingsWindow& ui, QDialog* window) {
    window->setStyleSheet(QString::fromLatin1(kSheet));
    ui.透明标签3->setFont(receiptFont(10, false, true));
    app::styleActionButton(ui.图形按钮1, QStringLiteral("act-submit"));
    app::styleActionButton(ui.图形按钮_生成账单, QStringLiteral("receipt-paper"));
    ui.透明标签1->setFont(receiptFont(10));
}

}  // namespace shop::receipts
