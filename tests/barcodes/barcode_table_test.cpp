// The barcode table on disk and its index in memory.
#include "barcodes/barcode_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "barcodes/code_index.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::barcodes {
namespace {

namespace st = shop::storage;

class BarcodeTable : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("barcodes-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        st::closeAll();
        std::filesystem::remove_all(m_dir);
    }
    std::string path(const char* name = "商品条码.edb") const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

TEST_F(BarcodeTable, IsMadeEmptyOnceAndNeverReplaced) {
    ASSERT_TRUE(ensureBarcodeTable(path()).ok());
    EXPECT_EQ(readCodes(path()), std::vector<CodeEntry>{});
    ASSERT_TRUE(addCodes(path(), {{"6901234567892", "矿泉水"}}).ok());
    ASSERT_TRUE(ensureBarcodeTable(path()).ok());
    EXPECT_EQ(readCodes(path())->size(), 1u) << "the second call kept the codes";
    ASSERT_TRUE(st::open(path(), true));
    EXPECT_EQ(st::fields().at(0).name, "条码");
    EXPECT_EQ(st::fields().at(1).name, "商品名称");
    st::close();
    EXPECT_FALSE(readCodes(path("没有.edb")).has_value()) << "a missing table is not an empty one";
}

TEST_F(BarcodeTable, WritesLeaveTheCurrentTableCurrent) {
    ASSERT_TRUE(ensureBarcodeTable(path()).ok());
    ASSERT_TRUE(st::create(path("产品数据库.edb"), st::schemas::product()));
    ASSERT_TRUE(st::open(path("产品数据库.edb")));
    const std::vector<CodeEntry> added = {
        {"6901234567892", "矿泉水"}, {"6901234567908", "方便面"}, {"06901234567892", "矿泉水"}};
    ASSERT_TRUE(addCodes(path(), added).ok());
    EXPECT_EQ(st::currentName(), "产品数据库");
    EXPECT_FALSE(st::isOpen(path())) << "closed again: it was not open before";
    ASSERT_TRUE(renameGoods(path(), "矿泉水", "纯净水").ok());
    EXPECT_EQ(st::currentName(), "产品数据库");
    const std::vector<CodeEntry> renamed = {
        {"6901234567892", "纯净水"}, {"6901234567908", "方便面"}, {"06901234567892", "纯净水"}};
    EXPECT_EQ(readCodes(path()), renamed);
    // A write that cannot be made stores nothing of its batch.
    const std::string tooLong(40, '1');
    EXPECT_FALSE(addCodes(path(), {{"96385074", "牛奶"}, {tooLong, "面包"}}).ok());
    EXPECT_EQ(readCodes(path()), renamed);
    EXPECT_EQ(st::currentName(), "产品数据库");
    ASSERT_TRUE(removeAllCodes(path()).ok());
    EXPECT_EQ(readCodes(path()), std::vector<CodeEntry>{});
    EXPECT_EQ(st::currentName(), "产品数据库");
    EXPECT_TRUE(removeAllCodes(path("没有.edb")).ok()) << "no table holds no codes";
    EXPECT_FALSE(std::filesystem::exists(path("没有.edb")));
}

TEST(CodeIndex, FindsCodesUnderEitherFormOfUpcA) {
    const CodeIndex index({{"036000291452", "可乐"},
                           {"0012345678905", "饼干"},
                           {"6901234567892", "矿泉水"},
                           {"6901234567892", "别的"},
                           {"2000001", "苹果"}});
    const struct {
        const char* code;
        const char* goods;  // null: not found
    } cases[] = {
        {"036000291452", "可乐"},  {"0036000291452", "可乐"},   {"012345678905", "饼干"},
        {"0012345678905", "饼干"}, {"6901234567892", "矿泉水"}, {"2000001", "苹果"},
        {"901234567892", nullptr}, {"96385074", nullptr},       {"", nullptr},
    };
    for (const auto& c : cases) {
        const std::string* goods = index.goodsOf(c.code);
        if (c.goods == nullptr) {
            EXPECT_EQ(goods, nullptr) << c.code;
        } else {
            ASSERT_NE(goods, nullptr) << c.code;
            EXPECT_EQ(*goods, c.goods) << c.code;
        }
    }
    const auto byGoods = codesByGoods({{"1", "甲"}, {"2", "乙"}, {"3", "甲"}});
    EXPECT_EQ(byGoods.at("甲"), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(byGoods.at("乙"), (std::vector<std::string>{"2"}));
}

}  // namespace
}  // namespace shop::barcodes
