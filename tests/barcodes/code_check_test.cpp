// Which codes the catalogue takes for a goods.
#include "barcodes/code_check.h"

#include <gtest/gtest.h>

namespace shop::barcodes {
namespace {

TEST(CodeCheck, TakesReadableCodesThatNoOtherGoodsHas) {
    const CodeIndex codes({{"6901234567892", "矿泉水"}, {"036000291452", "可乐"}});
    const std::vector<StoreLayout> layouts = {defaultLayout()};
    const struct {
        const char* code;
        const char* goods;
        bool accepted, isNew;
        const char* message;
    } cases[] = {
        {"", "面包", true, false, ""},
        {"96385074", "面包", true, true, ""},
        {"2000001", "苹果", true, true, ""},  // a scale key
        {"6901234567892", "矿泉水", true, false, ""},
        {"6901234567892", "面包", false, false, "条码 6901234567892 已属于商品“矿泉水”"},
        {"0036000291452", "面包", false, false, "条码 0036000291452 已属于商品“可乐”"},
        {"6901234567899", "面包", false, false, "条码校验错误，请检查条码"},
        {"200001", "苹果", false, false, "条码校验错误，请检查条码"},
        {"abc", "面包", false, false, "条码校验错误，请检查条码"},
    };
    for (const auto& c : cases) {
        const CodeCheck check = checkCode(c.code, c.goods, codes, layouts);
        EXPECT_EQ(check.accepted, c.accepted) << c.code << " for " << c.goods;
        EXPECT_EQ(check.isNew, c.isNew) << c.code;
        EXPECT_EQ(check.message, c.message) << c.code;
    }
}

TEST(CodeCheck, InStoreCodesSkipTheCodesAlreadyGiven) {
    const CodeIndex codes({{"2000000000015", "甲"}, {"2000000000022", "乙"}});
    const struct {
        std::int64_t counter;
        const char* code;
        std::int64_t next;
    } cases[] = {{0, "2000000000039", 3}, {2, "2000000000039", 3}, {3, "2000000000046", 4}};
    for (const auto& c : cases) {
        const auto made = nextInStoreCode(c.counter, codes);
        ASSERT_TRUE(made.has_value()) << c.counter;
        EXPECT_EQ(made->code, c.code);
        EXPECT_EQ(made->counter, c.next);
    }
    EXPECT_FALSE(nextInStoreCode(99999999999, codes).has_value());
}

}  // namespace
}  // namespace shop::barcodes
