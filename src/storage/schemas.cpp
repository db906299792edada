#include "schemas.h"

namespace shop::storage::schemas {

namespace {
std::vector<FieldDesc> texts(std::initializer_list<const char*> names, int maxLength) {
    std::vector<FieldDesc> out;
    for (const char* n : names) out.push_back({n, FieldType::Text, maxLength});
    return out;
}
}  // namespace

std::vector<FieldDesc> sales() {
    return texts({"销售名字", "销售价格", "销售数量", "销售时间"}, 255);
}
std::vector<FieldDesc> leave() { return texts({"请假时间", "请假终止时间", "状态"}, 512); }
std::vector<FieldDesc> salary() { return texts({"发放时间", "工资金额"}, 255); }
std::vector<FieldDesc> tickets() {
    return texts({"小票号", "原小票号", "销售表", "销售记录", "合计", "实收", "找零", "付款方式",
                  "收银员", "时间"},
                 255);
}

std::vector<FieldDesc> dayCloses() {
    return texts({"日期",       "时间",     "收银员",     "首张小票",   "末张小票",   "销售笔数",
                  "退货笔数",   "现金收入", "微信收入",   "支付宝收入", "银行卡收入", "收入合计",
                  "现金退款",   "微信退款", "支付宝退款", "银行卡退款", "退款合计",   "未收款行数",
                  "未收款金额", "备用金",   "应有现金",   "实点现金",   "现金差额",   "截至销售表",
                  "截至记录",   "备注"},
                 255);
}

// The shipped tables: widths generous enough for anything typed at the till.
std::vector<FieldDesc> product() { return texts({"产品名称", "产品价格", "产品数量"}, 255); }
std::vector<FieldDesc> productSave() { return texts({"产品名称"}, 255); }

std::vector<FieldDesc> employee() {
    std::vector<FieldDesc> out{{"头像", FieldType::Bytes, kPhotoLimit}};
    const auto rest =
        texts({"员工编号", "员工姓名", "员工性别", "员工年龄", "入职时间", "政治面貌", "工作部门",
               "出生日期", "员工民族", "员工籍贯", "身份证号码", "文化程度", "学校名称", "学校地址",
               "微信QQ", "居住地址", "联系电话", "员工岗位"},
              255);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

}  // namespace shop::storage::schemas
