// The entry form's rules: the reminder for missing items, the write order and
// the messages for a failed write.
#include "employees/employee_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace shop::employees {
namespace {

std::array<std::string, kFormItemCount> filled() {
    std::array<std::string, kFormItemCount> texts;
    texts.fill("x");
    return texts;
}

TEST(CompletenessReminder, FilledFormNeedsNoReminder) {
    EXPECT_FALSE(completenessReminder(filled()).has_value());
}

TEST(CompletenessReminder, BlanksCountAsFilled) {
    auto texts = filled();
    texts.fill(" ");
    texts[3] = "\t";
    EXPECT_FALSE(completenessReminder(texts).has_value());
}

TEST(CompletenessReminder, EachItemAloneEmptyNamesThatItem) {
    const std::set<std::string> expected{
        "错误员工编号不能为空",   "员工姓名不能为空",     "性别不能为空",
        "员工年龄不能为空",       "员工政治面貌不能为空", "员工部门不能为空",
        "出生日期不能为空",       "员工民族不能为空",     "员工籍贯不能为空",
        "员工身份证号码不能为空", "员工文化程度不能为空", "员工学校名称不能为空",
        "员工学校地址不能为空",   "员工微信/QQ不能为空",  "员工居住地址不能为空",
        "员工联系电话不能为空",   "员工岗位不能为空"};
    std::set<std::string> seen;
    for (std::size_t i = 0; i < kFormItemCount; ++i) {
        auto texts = filled();
        texts[i].clear();
        const auto reminder = completenessReminder(texts);
        ASSERT_TRUE(reminder.has_value()) << i;
        EXPECT_EQ(*reminder, formItems()[i].emptyMessage) << i;
        seen.insert(*reminder);
    }
    EXPECT_EQ(seen, expected);  // every item has its own message
}

TEST(CompletenessReminder, AllEmptyAndSeveralEmpty) {
    std::array<std::string, kFormItemCount> none;
    EXPECT_EQ(completenessReminder(none), "请认真填写");

    auto three = filled();
    three[0].clear();  // number, name and age
    three[1].clear();
    three[3].clear();
    EXPECT_EQ(completenessReminder(three), "请你认真填写");

    auto allButOne = none;
    allButOne[16] = "岗位";
    EXPECT_EQ(completenessReminder(allButOne), "请你认真填写");
}

TEST(FormItems, CoverEveryTextFieldButTheDateOnce) {
    std::vector<int> positions;
    for (const FormItem& item : formItems()) positions.push_back(item.position);
    const std::vector<int> expected{2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(positions, expected);
}

TEST(WriteOrder, TelephoneBeforeHomeAddress) {
    const auto& order = writeOrder();
    const std::vector<int> got(order.begin(), order.end());
    const std::vector<int> expected{1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                    11, 12, 13, 14, 15, 16, 18, 17, 19};
    EXPECT_EQ(got, expected);
}

TEST(WriteFailureMessage, NameAndHomeAddressHaveNone) {
    EXPECT_EQ(writeFailureMessage(1), "头像保存失败");
    EXPECT_EQ(writeFailureMessage(6), "入职保存失败");
    EXPECT_EQ(writeFailureMessage(12), "居民身份证保存失败");
    EXPECT_EQ(writeFailureMessage(16), "微信/qq保存失败");
    EXPECT_EQ(writeFailureMessage(18), "联系电话保存失败");
    EXPECT_TRUE(writeFailureMessage(3).empty());
    EXPECT_TRUE(writeFailureMessage(17).empty());
    for (int position : {2, 4, 5, 7, 8, 9, 10, 11, 13, 14, 15, 19})
        EXPECT_FALSE(writeFailureMessage(position).empty()) << position;
}

TEST(StoredAge, SuffixIsAlwaysAdded) {
    EXPECT_EQ(storedAge("30"), "30岁");
    EXPECT_EQ(storedAge("30岁"), "30岁岁");
    EXPECT_EQ(storedAge(" "), " 岁");
}

}  // namespace
}  // namespace shop::employees
