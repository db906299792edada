#include "employee_form.h"

#include <algorithm>

#include "storage/schemas.h"

namespace shop::employees {

namespace f = storage::schemas::employee_field;

const std::array<FormItem, kFormItemCount>& formItems() {
    static const std::array<FormItem, kFormItemCount> items{{
        {f::kNumber, "编辑框_编号", "错误员工编号不能为空"},
        {f::kName, "编辑框_姓名", "员工姓名不能为空"},
        {f::kSex, "组合框_性别", "性别不能为空"},
        {f::kAge, "编辑框_年龄", "员工年龄不能为空"},
        {f::kPolitical, "组合框_政治面貌", "员工政治面貌不能为空"},
        {f::kDepartment, "编辑框_部门", "员工部门不能为空"},
        {f::kBirth, "编辑框_出生日期", "出生日期不能为空"},
        {f::kEthnic, "编辑框_民族", "员工民族不能为空"},
        {f::kNative, "编辑框_籍贯", "员工籍贯不能为空"},
        {f::kIdCard, "编辑框_员工身份证号码", "员工身份证号码不能为空"},
        {f::kEducation, "组合框_文化程度", "员工文化程度不能为空"},
        {f::kSchool, "编辑框_学校名称", "员工学校名称不能为空"},
        {f::kSchoolAddress, "编辑框_学校地址", "员工学校地址不能为空"},
        {f::kWeChatQq, "编辑框_QQ微信", "员工微信/QQ不能为空"},
        {f::kHomeAddress, "编辑框_居住地址", "员工居住地址不能为空"},
        {f::kPhone, "编辑框_员工联系电话", "员工联系电话不能为空"},
        {f::kPost, "编辑框_岗位名称", "员工岗位不能为空"},
    }};
    return items;
}

std::optional<std::string> completenessReminder(
    const std::array<std::string, kFormItemCount>& texts) {
    const auto empty =
        std::count_if(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); });
    if (empty == 0) return std::nullopt;
    if (empty == kFormItemCount) return std::string("请认真填写");
    if (empty == 1) {
        const auto at = std::find_if(texts.begin(), texts.end(),
                                     [](const std::string& t) { return t.empty(); });
        return std::string(formItems()[static_cast<std::size_t>(at - texts.begin())].emptyMessage);
    }
    // Several items missing: one general reminder rather than a list the
    // owner has to work through one message box at a time.
    return std::string("请你认真填写");
}

const std::array<int, kFieldCount>& writeOrder() {
    static const std::array<int, kFieldCount> order{
        f::kPhoto,    f::kNumber,    f::kName,        f::kSex,    f::kAge,
        f::kJoined,   f::kPolitical, f::kDepartment,  f::kBirth,  f::kEthnic,
        f::kNative,   f::kIdCard,    f::kEducation,   f::kSchool, f::kSchoolAddress,
        f::kWeChatQq, f::kPhone,     f::kHomeAddress, f::kPost};
    return order;
}

std::string_view writeFailureMessage(int position) {
    switch (position) {
        case f::kPhoto:
            return "头像保存失败";
        case f::kNumber:
            return "编号保存失败";
        case f::kSex:
            return "性别保存失败";
        case f::kAge:
            return "年龄保存失败";
        case f::kJoined:
            return "入职保存失败";
        case f::kPolitical:
            return "政治面貌保存失败";
        case f::kDepartment:
            return "工作部门保存失败";
        case f::kBirth:
            return "出生日期保存失败";
        case f::kEthnic:
            return "民族保存失败";
        case f::kNative:
            return "籍贯保存失败";
        case f::kIdCard:
            return "居民身份证保存失败";
        case f::kEducation:
            return "文化程度保存失败";
        case f::kSchool:
            return "学校名称保存失败";
        case f::kSchoolAddress:
            return "学校地址保存失败";
        case f::kWeChatQq:
            return "微信/qq保存失败";
        case f::kPhone:
            return "联系电话保存失败";
        case f::kPost:
            return "员工岗位保存失败";
        default:
            return {};  // name, home address
    }
}

namespace {

// How a failure message names each field, by position.
constexpr std::array<const char*, kFieldCount> kFieldNames{
    "头像",     "员工编号", "员工姓名", "性别",     "年龄",       "入职时间", "政治面貌",
    "工作部门", "出生日期", "民族",     "籍贯",     "身份证号码", "文化程度", "学校名称",
    "学校地址", "微信/QQ",  "居住地址", "联系电话", "员工岗位"};

}  // namespace

std::string saveFailureMessage(const std::vector<int>& failed) {
    if (failed.size() == 1 && !writeFailureMessage(failed.front()).empty())
        return std::string(writeFailureMessage(failed.front()));
    // No field refused, or every one did: the table itself took nothing
    // (busy, full, or gone read-only); a list of all nineteen says less.
    if (failed.empty() || failed.size() == kFieldCount)
        return "员工信息保存失败：员工数据库无法写入，员工未存入数据库";
    std::string names;
    for (int position : failed) {
        if (!names.empty()) names += "、";
        names += kFieldNames[static_cast<std::size_t>(position - 1)];
    }
    return "员工信息保存失败：" + names + "未能写入，员工未存入数据库";
}

std::string storedAge(const std::string& typed) { return typed + "岁"; }

}  // namespace shop::employees
