#include "storage/data_paths.h"

#include <gtest/gtest.h>

using namespace shop::storage;

TEST(DataPaths, EveryPathLiesInItsFolderUnderTheRunDirectory) {
    const DataPaths p{"/shop"};
    EXPECT_EQ(p.productSave(), "/shop/数据库管理/产品保存.edb");
    EXPECT_EQ(p.product(), "/shop/数据库管理/产品数据库.edb");
    EXPECT_EQ(p.employee(), "/shop/员工数据库/员工基本数据库.edb");
    EXPECT_EQ(p.settingsFile(), "/shop/配置/fghh.ini");
    EXPECT_EQ(p.salesTable({2024, 3, 5, 14, 7, 9}),
              "/shop/保存数据库/销售数据2024年3月5日14时7分9秒.edb");
    EXPECT_EQ(p.salesTable({2024, 3, 5, 0, 0, 0}), "/shop/保存数据库/销售数据2024年3月5日.edb");
    EXPECT_EQ(p.leaveTable("张三"), std::optional<std::string>("/shop/员工请假数据库/张三.edb"));
    EXPECT_EQ(p.salaryTable("张三"), std::optional<std::string>("/shop/员工工资管理/张三.edb"));
}

TEST(DataPaths, NamesAreUsedAsTypedButNeverLeaveTheirFolder) {
    const DataPaths p{"/shop"};
    // An empty name is a file whose whole name is ".edb"; blanks are kept.
    EXPECT_EQ(p.leaveTable(""), std::optional<std::string>("/shop/员工请假数据库/.edb"));
    EXPECT_EQ(p.salaryTable(" 李 "), std::optional<std::string>("/shop/员工工资管理/ 李 .edb"));
    for (const std::string& bad : std::initializer_list<std::string>{
             "../x", "a/b", "..", ".", "a\\b", std::string("a\0b", 3), "/etc/passwd"}) {
        EXPECT_FALSE(p.leaveTable(bad).has_value()) << bad;
        EXPECT_FALSE(p.salaryTable(bad).has_value()) << bad;
    }
    EXPECT_TRUE(isSafeTableName("...x"));
}
