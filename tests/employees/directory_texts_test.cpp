// What the directory makes of an identity card number, and the question
// before an employee is removed.
#include "employees/directory_texts.h"

#include <gtest/gtest.h>

namespace shop::employees {
namespace {

TEST(MaskedIdCard, HidesTheMiddleAndKeepsTheLength) {
    const struct {
        const char* number;
        const char* shown;
    } cases[] = {
        {"110101199003071234", "110101********1234"},
        {"11010119900307123X", "110101********123X"},
        {"110101900307123", "110101*****7123"},  // 15 digits
        {"12345678901", "123456*8901"},
        {"1234567890", "1********0"},
        {"123", "1*3"},
        {"12", "**"},
        {"1", "*"},
        {"", ""},
        {"身份证号码未登记的员工", "身份证号码未*记的员工"},  // characters, not bytes
    };
    for (const auto& c : cases) EXPECT_EQ(maskedIdCard(c.number), c.shown) << c.number;
}

TEST(RemovalQuestion, NamesTheEmployeeAndKeepsTheSalary) {
    EXPECT_EQ(removalQuestion("王五", 1),
              "确定删除员工“王五”的资料和请假记录吗？其工资发放记录会保留。");
    EXPECT_EQ(removalQuestion("王五", 3),
              "确定删除员工“王五”（共 3 名同名员工）的资料和请假记录吗？其工资发放记录会保留。");
}

}  // namespace
}  // namespace shop::employees
