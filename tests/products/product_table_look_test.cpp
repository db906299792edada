// The product window's lists read as one table: one header row over the
// columns (name, price, quantity, codes) edge to edge, rows level across them, one scroll bar that
// scrolls all three, and a chosen product marked across the whole row.
#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QtTest/QTest>

#include "product_fixture.h"

namespace shop::products {
namespace {

using namespace test_support;

const char* const kLists[] = {"选择列表框_设置商品名称", "选择列表框_设置商品价格",
                              "选择列表框_设置商品数量", "选择列表框_设置商品条码"};
const char* const kHeaders[] = {"透明标签_名称列", "透明标签_价格列", "透明标签_数量列",
                                "透明标签_条码列"};
constexpr int kColumns = 4;

class ProductTable : public ProductTest {
protected:
    void SetUp() override {
        std::vector<std::vector<std::string>> products;
        for (int i = 0; i < 60; ++i)
            products.push_back(
                {i == 7 ? "进口特级初榨橄榄油家庭装超大瓶礼盒" : "商品" + std::to_string(i),
                 std::to_string(i) + ".5元", std::to_string(100 + i)});
        run.setProducts(products);
    }
};

TEST_F(ProductTable, TheListsReadAsOneTable) {
    ProductWindow w(checkout());
    w.show();
    QApplication::processEvents();
    QListWidget* l[kColumns];
    for (int k = 0; k < kColumns; ++k) l[k] = list(w, kLists[k]);
    QListWidget* const rightmost = l[kColumns - 1];

    // One header row, each heading over its own column; the columns touch.
    for (int k = 0; k < kColumns; ++k) {
        const QLabel* h = w.findChild<QLabel*>(QString::fromUtf8(kHeaders[k]));
        ASSERT_NE(h, nullptr) << kHeaders[k];
        EXPECT_EQ(h->y(), w.findChild<QLabel*>(QString::fromUtf8(kHeaders[0]))->y()) << kHeaders[k];
        EXPECT_EQ(h->geometry().bottom() + 1, l[k]->y()) << kHeaders[k] << " stands off its list";
        EXPECT_EQ(h->x(), l[k]->x()) << kHeaders[k];
        EXPECT_EQ(h->width(), l[k]->width()) << kHeaders[k];
        EXPECT_EQ(l[k]->y(), l[0]->y()) << kLists[k];
        EXPECT_EQ(l[k]->height(), l[0]->height()) << kLists[k];
        if (k > 0) {
            EXPECT_EQ(l[k - 1]->geometry().right() + 1, l[k]->x()) << "gap before " << kLists[k];
        }
    }
    // One scroll bar, at the table's right edge; no list scrolls sideways.
    for (int k = 0; k < kColumns - 1; ++k)
        EXPECT_FALSE(l[k]->verticalScrollBar()->isVisible()) << kLists[k];
    EXPECT_TRUE(rightmost->verticalScrollBar()->isVisible());
    for (QListWidget* list : l) EXPECT_FALSE(list->horizontalScrollBar()->isVisible());

    // Rows level at the top, and again after scrolling to the bottom by any
    // list, the long name's row included.
    const auto expectLevel = [&](const char* when) {
        for (int row = 0; row < 60; ++row)
            for (int k = 1; k < kColumns; ++k)
                ASSERT_EQ(l[k]->visualItemRect(l[k]->item(row)).top(),
                          l[0]->visualItemRect(l[0]->item(row)).top())
                    << when << ": row " << row << " of " << kLists[k];
    };
    expectLevel("at the top");
    l[0]->verticalScrollBar()->setValue(l[0]->verticalScrollBar()->maximum());
    QApplication::processEvents();
    EXPECT_GT(rightmost->verticalScrollBar()->value(), 0) << "scrolling the names scrolls the rest";
    expectLevel("scrolled by the names");
    const QRect last = rightmost->visualItemRect(rightmost->item(59));
    EXPECT_LE(last.bottom(), rightmost->viewport()->height()) << "the last row is in view";
    rightmost->verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(l[0]->verticalScrollBar()->value(), 0);
    expectLevel("scrolled back by the codes");

    // Choosing in any column marks the whole row and shows that product once.
    for (int k = 0; k < kColumns; ++k) {
        const int row = 3 + k;
        QTest::mouseClick(l[k]->viewport(), Qt::LeftButton, {},
                          l[k]->visualItemRect(l[k]->item(row)).center());
        for (QListWidget* list : l) {
            ASSERT_EQ(list->selectedItems().size(), 1) << "chosen in " << kLists[k];
            EXPECT_EQ(list->row(list->selectedItems().first()), row) << "chosen in " << kLists[k];
        }
        EXPECT_EQ(box(w, "编辑框_名称")->text(), "商品" + QString::number(row));
        EXPECT_EQ(box(w, "编辑框_数量")->text(), QString::number(100 + row));
    }
    EXPECT_TRUE(platform.messages().isEmpty());
}

}  // namespace
}  // namespace shop::products
