#include "storage/table_visit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "storage/table.h"

namespace st = shop::storage;

namespace {

class TableVisitTest : public ::testing::Test {
protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("visit-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string path;
    void SetUp() override {
        std::filesystem::create_directories(dir);
        path = (dir / "名单.edb").string();
        ASSERT_TRUE(st::create(path, {{"名字"}, {"编号"}}));
        ASSERT_TRUE(st::open(path));
        for (const char* n : {"张三", "李四"}) {
            ASSERT_TRUE(st::appendBlank());
            ASSERT_TRUE(st::writeText(1, n));
            ASSERT_TRUE(st::writeText(2, std::string("编号") + n));
        }
        st::close();
    }
    void TearDown() override {
        st::closeAll();
        std::filesystem::remove_all(dir);
    }
};

TEST_F(TableVisitTest, AVisitClosesOnlyWhatItOpened) {
    {
        st::TableVisit visit(path);
        ASSERT_TRUE(visit.opened());
        EXPECT_TRUE(st::isOpen(path));
    }
    EXPECT_FALSE(st::isOpen(path));

    ASSERT_TRUE(st::open(path));  // another window keeps it open
    { st::TableVisit visit(path, /*readOnly=*/true); }
    EXPECT_TRUE(st::isOpen("名单"));
    EXPECT_TRUE(st::writeText(1, "still writable"));  // a read-only visit took no write access
}

TEST_F(TableVisitTest, ReadsAColumnAndRowsFromTheFirstRecord) {
    EXPECT_EQ(st::readTextColumn(path, 1), (std::vector<std::string>{"张三", "李四"}));
    EXPECT_FALSE(st::readTextColumn((dir / "missing.edb").string(), 1).has_value());
    ASSERT_TRUE(st::open(path));
    st::skip(1);  // wherever the cursor stands, the rows start at record 1
    EXPECT_EQ(st::readTextRows(2),
              (std::vector<std::vector<std::string>>{{"张三", "编号张三"}, {"李四", "编号李四"}}));
}

}  // namespace
