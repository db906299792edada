// The checkout handlers of the main window: goods lookup, the list's rows,
// the total and the change, and the goods-list save.
#include <QSignalBlocker>

#include "app/clock.h"
#include "app/platform.h"
#include "checkout/amounts.h"
#include "checkout/goods_lookup.h"
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
    const auto offer = checkout::lookupGoods(m_productPath, ui->组合框1_商品名称->currentIndex());
    if (!offer) return;
    ui->编辑框_价格->setText(qs(offer->price));
    QStringList quantities;
    for (const std::string& q : checkout::quantityItems(offer->stock)) quantities << qs(q);
    ui->组合框1_数量->addItems(quantities);
}

void MainWindow::addRow() {
    m_sale->addLine(
        {{ui->组合框1_商品名称->currentText().toStdString(), ui->编辑框_价格->text().toStdString(),
          ui->组合框1_数量->currentText().toStdString(), storage::dateText(app::now())},
         ui->组合框1_商品名称->currentIndex()});
}

// Removes the row last chosen. The remembered row stays, so the next click
// removes the row that moved up into its place.
void MainWindow::deleteRow() { m_sale->removeLine(m_rememberedRow); }

void MainWindow::clearRows() { m_sale->clear(); }

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
}

// The goods combo's items were replaced (a product import refills it): the
// price and quantities shown belonged to goods at a position that now names
// other goods, so nothing stays chosen until the cashier chooses again.
void MainWindow::goodsReplaced() {
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
