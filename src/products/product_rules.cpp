#include "product_rules.h"

namespace shop::products {

AddDecision decideAdd(std::string_view name, std::string_view price, std::string_view quantity) {
    const bool n = !name.empty(), p = !price.empty(), q = !quantity.empty();
    if (n && !p && q) return {false, "价格不能为空"};
    if (!n && p && q) return {false, "名字不能为空"};
    if (n && p && !q) return {false, "数量不能为空"};
    if (n && p && q) return {true, {}};
    if (n && !p && !q) return {false, "产品数量，产品价格不能为空 "};
    return {false, {}};
}

std::string catalogPrice(std::string_view typed) {
    constexpr std::string_view kYuan = "元";
    std::string price(typed);
    if (!price.ends_with(kYuan)) price += kYuan;
    return price;
}

std::string emptyQuestion(long long count) {
    return "确定清空全部 " + std::to_string(count) +
           " 个产品吗？产品数据库、收银台的商品列表和商品条码都将清空，无法恢复。";
}

}  // namespace shop::products
