// The keyboard at the till: a whole sale without the mouse. The goods are
// found by typing, Enter in the quantity adds the row and goes back to the
// goods for the next item, one key reaches the tendered amount, and every
// checkout button has a key that its tooltip names.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <functional>

#include "checkout/goods_combo_search.h"
#include "checkout/line_entry.h"
#include "main_window.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {

// Runs `onEnter` for Return or Enter on the watched widget and swallows the
// key, so that an editable combo does not take it as well.
class EnterKey : public QObject {
public:
    EnterKey(QObject* owner, std::function<void()> onEnter)
        : QObject(owner), m_onEnter(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_onEnter();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onEnter;
};

QString keyText(const QKeySequence& keys) { return keys.toString(QKeySequence::NativeText); }

}  // namespace

const QKeySequence MainWindow::kTenderedKey{Qt::Key_F5};
const QKeySequence MainWindow::kDeleteKey{Qt::CTRL | Qt::Key_Delete};
const QKeySequence MainWindow::kClearKey{Qt::CTRL | Qt::SHIFT | Qt::Key_Delete};
const QKeySequence MainWindow::kReceiptKey{Qt::Key_F9};
const QKeySequence MainWindow::kSaveKey{Qt::CTRL | Qt::Key_S};

void MainWindow::setUpKeyboard() {
    auto& u = *ui;
    makeGoodsSearchable(u.组合框1_商品名称);
    // Short enough for the designed box; the tooltip says the rest.
    u.组合框1_商品名称->lineEdit()->setPlaceholderText(QStringLiteral("名称或拼音"));
    u.组合框1_商品名称->setToolTip(
        QStringLiteral("输入商品名称的一部分或拼音首字母（如 kqs 找矿泉水），回车选定"));

    // A quantity can be typed as well as picked; what is typed stays as
    // typed (never completed to another item, never added as an item).
    u.组合框1_数量->setEditable(true);
    u.组合框1_数量->setInsertPolicy(QComboBox::NoInsert);
    u.组合框1_数量->setCompleter(nullptr);
    u.组合框1_数量->setToolTip(QStringLiteral("选择或输入数量，回车添加到结账列表"));
    auto* addOnEnter = new EnterKey(this, [this] { addRowAndGoBackToGoods(); });
    u.组合框1_数量->installEventFilter(addOnEnter);
    u.组合框1_数量->lineEdit()->installEventFilter(addOnEnter);

    // The price is the catalogue's, shown, never typed.
    u.编辑框_价格->setReadOnly(true);
    u.编辑框_价格->setFocusPolicy(Qt::NoFocus);
    u.编辑框1_当前余额->setValidator(makeMoneyValidator(u.编辑框1_当前余额));

    // Once the customer has paid, Enter starts the next sale.
    u.编辑框1_当前余额->installEventFilter(new EnterKey(this, [this] { focusGoods(); }));

    auto* toTendered = new QShortcut(kTenderedKey, this);
    connect(toTendered, &QShortcut::activated, this, [this] {
        ui->编辑框1_当前余额->setFocus(Qt::ShortcutFocusReason);
        ui->编辑框1_当前余额->selectAll();
    });
    u.编辑框1_当前余额->setToolTip(QStringLiteral("顾客付款金额（%1）").arg(keyText(kTenderedKey)));

    const struct {
        QPushButton* button;
        QKeySequence keys;
        QString tip;
    } keyed[] = {
        {u.图形按钮_添加, QKeySequence(), QStringLiteral("添加到结账列表（在数量框中按回车）")},
        {u.图形按钮_删除, kDeleteKey, QStringLiteral("删除选中的行")},
        {u.图形按钮_清空, kClearKey, QStringLiteral("清空结账列表")},
        {u.图形按钮_生成账单, kReceiptKey, QStringLiteral("生成账单")},
        {u.图形按钮_保存, kSaveKey, QStringLiteral("保存商品列表")},
    };
    for (const auto& k : keyed) {
        k.button->setFocusPolicy(Qt::StrongFocus);
        if (k.keys.isEmpty()) {
            k.button->setToolTip(k.tip);
            continue;
        }
        k.button->setToolTip(QStringLiteral("%1（%2）").arg(k.tip, keyText(k.keys)));
        // A shortcut of the window, not of the button: the button clicks at
        // once, as a mouse click does, wherever the focus is.
        auto* shortcut = new QShortcut(k.keys, this);
        QPushButton* button = k.button;
        connect(shortcut, &QShortcut::activated, button, [button] { button->click(); });
    }

    // A goods chosen, the quantity is next.
    connect(u.组合框1_商品名称, &QComboBox::activated, this, [this] {
        ui->组合框1_数量->setFocus(Qt::OtherFocusReason);
        ui->组合框1_数量->lineEdit()->selectAll();
    });

    // Tab follows the sale: goods, quantity (the price is only shown), add,
    // then the amounts; the goods-list save comes last, well after add.
    QWidget* order[] = {u.组合框1_商品名称, u.编辑框_价格,        u.组合框1_数量,  u.图形按钮_添加,
                        u.编辑框1_当前余额, u.图形按钮_生成账单,  u.图形按钮_删除, u.图形按钮_清空,
                        u.图形按钮_保存,    u.超级列表框_产品结账};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

// A line refused stays where it can be mended: addRow puts the focus there.
void MainWindow::addRowAndGoBackToGoods() {
    if (addRow()) focusGoods();
}

void MainWindow::focusGoods() {
    ui->组合框1_商品名称->setFocus(Qt::OtherFocusReason);
    ui->组合框1_商品名称->lineEdit()->selectAll();
}

}  // namespace shop::checkout
