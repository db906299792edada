// The checkout handlers of the main window: goods lookup, the list's rows,
// the total and the change, and the goods-list save.
#include <QSignalBlocker>
#include <QStatusBar>

#include "app/clock.h"
#include "app/platform.h"
#include "checkout/amounts.h"
#include "checkout/goods_lookup.h"
#include "checkout/journal_notice.h"
#include "checkout/line_entry.h"
#include "checkout/sale_model.h"
#include "checkout/sale_recording.h"
#include "main_window.h"
#include "storage/date_text.h"
#include "ui_main_window.h"

namespace shop::checkout {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

// A goods name was chosen: its price and the quantities in stock come from
// the product record at the same position. Earlier quantities stay in front.
void MainWindow::lookUpGoods() {
    m_picked = ui->组合框1_商品名称->currentIndex();
    const auto offer = checkout::lookupGoods(m_productPath, m_picked);
    m_pickFound = offer.has_value();
    ui->标签_结账提示->clear();
    if (!offer) return;
    ui->编辑框_价格->setText(qs(offer->price));
    QStringList quantities;
    for (const std::string& q : checkout::quantityItems(offer->stock)) quantities << qs(q);
    ui->组合框1_数量->addItems(quantities);
}

// Adds the line on screen when it is one that can be sold; otherwise says
// why and puts the cashier back in the box to mend. True when added.
bool MainWindow::addRow() {
    const QComboBox* goods = ui->组合框1_商品名称;
    const checkout::LineCheck line =
        checkout::checkLine({goods->currentIndex(), goods->itemText(goods->currentIndex()),
                             goods->currentText(), m_picked, m_pickFound, ui->编辑框_价格->text()},
                            ui->组合框1_数量->currentText());
    if (!line.accepted) {
        ui->标签_结账提示->setText(line.hint);
        QComboBox* mend =
            line.fix == checkout::EntryField::Goods ? ui->组合框1_商品名称 : ui->组合框1_数量;
        mend->setFocus(Qt::OtherFocusReason);
        mend->lineEdit()->selectAll();
        return false;
    }
    ui->标签_结账提示->clear();
    m_sale->addLine({{goods->currentText().toStdString(), ui->编辑框_价格->text().toStdString(),
                      line.quantity.toStdString(), storage::dateText(app::now())},
                     goods->currentIndex()});
    return true;
}

// Removes the row last chosen. The remembered row stays, so the next click
// removes the row that moved up into its place.
void MainWindow::deleteRow() {
    if (!m_sale->removeLine(m_rememberedRow)) {
        ui->标签_结账提示->setText(checkout::nothingToDeleteHint());
        return;
    }
    ui->标签_结账提示->clear();
}

// Voids the open list. One that was receipted but not paid may be a sale
// whose customer holds the slip: the cashier confirms first, No by default.
void MainWindow::clearRows() {
    if (m_sale->receipted() &&
        !app::askYesNo(this, QStringLiteral("清空提示信息"),
                       QStringLiteral("这张结账单已经生成账单，但还没有收款。清空后这些商品"
                                      "不会记为销售。确定清空吗？")))
        return;
    m_sale->clear();
}

// The list shows the model's lines: rows that stay keep their items (and the
// row chosen stays chosen), only changed texts are set again.
void MainWindow::showLines() {
    auto* list = ui->超级列表框_产品结账;
    const std::vector<SaleLine>& lines = m_sale->lines();
    {
        const QSignalBlocker keepRemembered(list);
        const int n = static_cast<int>(lines.size());
        while (list->topLevelItemCount() > n) delete list->takeTopLevelItem(n);
        for (int i = 0; i < n; ++i) {
            QTreeWidgetItem* item =
                i < list->topLevelItemCount() ? list->topLevelItem(i) : new QTreeWidgetItem(list);
            const SaleRow& row = lines[static_cast<std::size_t>(i)].row;
            const std::string* cells[] = {&row.name, &row.price, &row.quantity, &row.date};
            for (int c = 0; c < 4; ++c) {
                const QString text = qs(*cells[c]);
                if (item->text(c) != text) item->setText(c, text);
            }
        }
    }
    ui->透明标签_余额->setText(qs(yuanText(m_sale->total()) + "元"));
    showChange();
    showJournalWarning();
    showRememberedRow();
}

// A journal that cannot be written does not stop the sale (the exit
// recording still stores the list), but the cashier sees it at once: when
// the list changes, and when a scanned line's sync, just after it shows,
// fails or works again.
void MainWindow::showJournalWarning() {
    const auto warning = checkout::journalWarning(m_sale->journal());
    if (warning)
        ui->状态条1->showMessage(qs(*warning));
    else
        ui->状态条1->clearMessage();
}

// The row 删除 takes is always the one shown selected, whatever chose it:
// the cashier, the start (row 0), or a row moving up into its place.
void MainWindow::showRememberedRow() {
    auto* list = ui->超级列表框_产品结账;
    const QSignalBlocker keepRemembered(list);
    QTreeWidgetItem* row = m_rememberedRow >= 0 ? list->topLevelItem(m_rememberedRow) : nullptr;
    list->setCurrentItem(row);
    if (row)
        row->setSelected(true);
    else
        list->clearSelection();
}

// The goods combo's items were replaced (a product import refills it): the
// price and quantities shown belonged to goods at a position that now names
// other goods, so nothing stays chosen until the cashier chooses again.
void MainWindow::goodsReplaced() {
    m_picked = -1;
    ui->组合框1_商品名称->setCurrentIndex(-1);
    ui->编辑框_价格->clear();
    ui->组合框1_数量->clear();
}

void MainWindow::showChange() {
    ui->透明标签_找0钱->setText(qs(yuanText(m_sale->change()) + " 元"));
}

void MainWindow::rememberRow() {
    auto* list = ui->超级列表框_产品结账;
    QTreeWidgetItem* current = list->currentItem();
    m_rememberedRow = current ? list->indexOfTopLevelItem(current) : -1;
}

void MainWindow::saveGoodsList() {
    const QComboBox* goods = ui->组合框1_商品名称;
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(goods->count()));
    for (int i = 0; i < goods->count(); ++i) names.push_back(goods->itemText(i).toStdString());
    switch (checkout::saveGoodsList(m_productSavePath, names)) {
        case checkout::GoodsSave::NotSelectable:
            app::showMessage(this, QStringLiteral("保存产品数据库打开失败，请你检查数据库"));
            break;
        case checkout::GoodsSave::Saved:
            app::showMessage(this, QStringLiteral("保存成功"));
            break;
        case checkout::GoodsSave::Failed:
            app::showMessage(this, QStringLiteral("保存失败"));
            break;
    }
}

}  // namespace shop::checkout
