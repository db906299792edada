// What the cashier types before a line joins the sale: the goods picked from
// the list at a catalogue price, a whole quantity of at least one, and a
// tendered amount that is money.
#include "checkout/line_entry.h"

#include <gtest/gtest.h>

#include <QValidator>
#include <memory>

namespace shop::checkout {
namespace {

// 矿泉水 (item 1) picked, its catalogue price shown.
GoodsChoice picked() { return {1, "矿泉水", "矿泉水", 1, true, "1.5元"}; }

TEST(LineEntry, TakesOnlyAWholeQuantityOfAtLeastOne) {
    const struct {
        const char* typed;
        const char* stored;  // nullptr: refused
        const char* hint;
    } cases[] = {
        {"3", "3", ""},
        {" 12 ", "12", ""},
        {"007", "7", ""},
        {"３", "3", ""},  // full-width, as an input method gives it
        {"99999", "99999", ""},
        {"", nullptr, "请输入数量"},
        {"   ", nullptr, "请输入数量"},
        {"abc", nullptr, "数量须为大于0的整数"},
        {"0", nullptr, "数量须为大于0的整数"},
        {"00", nullptr, "数量须为大于0的整数"},
        {"-3", nullptr, "数量须为大于0的整数"},
        {"+3", nullptr, "数量须为大于0的整数"},
        {"1.5", nullptr, "数量须为大于0的整数"},
        {"2个", nullptr, "数量须为大于0的整数"},
        {"1 2", nullptr, "数量须为大于0的整数"},
        {"100000", nullptr, "数量过大"},
        {"99999999999999999999", nullptr, "数量过大"},
    };
    for (const auto& c : cases) {
        const LineCheck line = checkLine(picked(), QString::fromUtf8(c.typed));
        EXPECT_EQ(line.accepted, c.stored != nullptr) << c.typed;
        EXPECT_EQ(line.hint, QString::fromUtf8(c.hint)) << c.typed;
        if (c.stored) {
            EXPECT_EQ(line.quantity, QString::fromUtf8(c.stored)) << c.typed;
        } else {
            EXPECT_EQ(line.fix, EntryField::Quantity) << c.typed;
        }
    }
}

TEST(LineEntry, TakesOnlyGoodsPickedFromTheListAtACataloguePrice) {
    const auto with = [](auto change) {
        GoodsChoice g = picked();
        change(g);
        return g;
    };
    const QString chooseFromList = QStringLiteral("请从商品列表中选择商品（回车选定）");
    const struct {
        const char* what;
        GoodsChoice goods;
        QString hint;  // empty: taken
    } cases[] = {
        {"picked", picked(), {}},
        {"a price without unit", with([](GoodsChoice& g) { g.price = "2"; }), {}},
        {"a free goods", with([](GoodsChoice& g) { g.price = "0元"; }), {}},
        {"nothing chosen", GoodsChoice{}, QStringLiteral("请先选择商品")},
        {"blanks typed", with([](GoodsChoice& g) { g.shown = "  "; }),
         QStringLiteral("请先选择商品")},
        {"unknown name typed", with([](GoodsChoice& g) { g.shown = "xyz"; }), chooseFromList},
        {"typed, never picked", with([](GoodsChoice& g) { g.current = -1, g.picked = -1; }),
         chooseFromList},
        {"browsed to, not picked",
         with([](GoodsChoice& g) { g.current = 2, g.itemName = "面包", g.shown = "面包"; }),
         chooseFromList},
        {"catalogue unreadable", with([](GoodsChoice& g) { g.found = false; }),
         QStringLiteral("无法读取产品数据库")},
        {"past the catalogue's end", with([](GoodsChoice& g) { g.price = ""; }),
         QStringLiteral("该商品在产品库中没有价格")},
        {"a price that is no number", with([](GoodsChoice& g) { g.price = "abc"; }),
         QStringLiteral("该商品在产品库中没有价格")},
        {"a negative price", with([](GoodsChoice& g) { g.price = "-8.5"; }),
         QStringLiteral("该商品在产品库中没有价格")},
    };
    for (const auto& c : cases) {
        const LineCheck line = checkLine(c.goods, QStringLiteral("2"));
        EXPECT_EQ(line.accepted, c.hint.isEmpty()) << c.what;
        EXPECT_EQ(line.hint, c.hint) << c.what;
        if (!line.accepted) {
            EXPECT_EQ(line.fix, EntryField::Goods) << c.what;
        }
    }
    // The goods are judged first: a bad quantity on top says nothing new.
    EXPECT_EQ(checkLine(GoodsChoice{}, QStringLiteral("abc")).fix, EntryField::Goods);
}

TEST(LineEntry, TheTenderedBoxTakesMoneyOnly) {
    const std::unique_ptr<QValidator> money(makeMoneyValidator(nullptr));
    const struct {
        const char* typed;
        bool taken;
    } cases[] = {
        {"", true},      {"20", true},    {"20.5", true},     {"20.", true},
        {"0.05", true},  {".5", true},    {"99999.99", true}, {"abc", false},
        {"-8.5", false}, {"30元", false}, {"1e5", false},     {"1.234", false},
        {"1,5", false},  {" 5", false},   {"123456", false},  {"1.2.3", false},
    };
    for (const auto& c : cases) {
        QString text = QString::fromUtf8(c.typed);
        int pos = static_cast<int>(text.size());
        EXPECT_EQ(money->validate(text, pos) != QValidator::Invalid, c.taken) << c.typed;
    }
}

}  // namespace
}  // namespace shop::checkout
