#include "code_check.h"

#include "check_digit.h"

namespace shop::barcodes {

CodeCheck checkCode(std::string_view code, const std::string& goods, const CodeIndex& codes,
                    const std::vector<StoreLayout>& layouts) {
    if (code.empty()) return {true, false, {}};
    if (!checkDigitValid(code) && !isScaleKey(layouts, code))
        return {false, false, "条码校验错误，请检查条码"};
    const std::string* owner = codes.goodsOf(code);
    if (owner == nullptr) return {true, true, {}};
    if (*owner == goods) return {true, false, {}};
    return {false, false, "条码 " + std::string(code) + " 已属于商品“" + *owner + "”"};
}

std::optional<InStoreCode> nextInStoreCode(std::int64_t counter, const CodeIndex& codes) {
    for (std::int64_t next = counter + 1;; ++next) {
        const auto code = inStoreCode(next);
        if (!code) return std::nullopt;
        if (codes.goodsOf(*code) == nullptr) return InStoreCode{*code, next};
    }
}

}  // namespace shop::barcodes
