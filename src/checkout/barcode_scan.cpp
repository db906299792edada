#include "barcode_scan.h"

#include "barcodes/check_digit.h"
#include "checkout/line_entry.h"
#include "checkout/money.h"

namespace shop::checkout {

namespace bc = shop::barcodes;

namespace {

ScanResult refused(ScanOutcome outcome, std::string hint) { return {outcome, std::nullopt, hint}; }

// A price the catalogue holds: one that starts with a digit (an empty or a
// negative price would sell at nothing or less).
bool isPrice(const std::string& price) {
    const auto first = price.find_first_not_of(' ');
    return first != std::string::npos && price[first] >= '0' && price[first] <= '9';
}

}  // namespace

std::optional<ScanText> readScanText(std::string_view typed) {
    ScanText scan;
    const auto star = typed.find('*');
    if (star != std::string_view::npos) {
        const std::string_view count = typed.substr(0, star);
        if (!bc::allDigits(count) || count.size() > 5) return std::nullopt;
        scan.quantity = std::stoi(std::string(count));
        if (scan.quantity < 1 || scan.quantity > kMaxLineQuantity) return std::nullopt;
        typed.remove_prefix(star + 1);
    }
    if (typed.size() < kMinScanDigits || !bc::allDigits(typed)) return std::nullopt;
    scan.code = std::string(typed);
    return scan;
}

std::string badCheckDigitHint() { return "条码校验错误，请重新扫描"; }
std::string unknownCodeHint(const std::string& code) { return "条码 " + code + " 未登记"; }

ScanResult sellScan(const ScanText& scan, const ScanCounter& counter) {
    if (!bc::checkDigitValid(scan.code))
        return refused(ScanOutcome::BadCheckDigit, badCheckDigitHint());
    // The code itself first: an in-store code given to a counted goods
    // begins with 2 as the scale's labels do.
    const std::string* goods = counter.codes->goodsOf(scan.code);
    std::optional<bc::StoreLabel> label;
    if (goods == nullptr) {
        label = bc::readStoreLabel(*counter.layouts, scan.code);
        if (label) goods = counter.codes->goodsOf(label->goodsCode);
    }
    if (goods == nullptr) return refused(ScanOutcome::Unknown, unknownCodeHint(scan.code));

    const int position = counter.positionOf(*goods);
    if (position < 0)
        return refused(ScanOutcome::NotOffered,
                       "条码 " + scan.code + " 的商品“" + *goods + "”不在商品列表中");
    const std::optional<GoodsOffer> offer = counter.offerAt(position);
    if (!offer) return refused(ScanOutcome::Unreadable, "无法读取产品数据库");
    if (!isPrice(offer->price))
        return refused(ScanOutcome::NotOffered, "商品“" + *goods + "”在产品库中没有价格");

    std::string price = offer->price;
    if (label) {
        const Fen fen = label->amount == bc::LabelAmount::Price
                            ? label->value
                            : bc::weighedPrice(fenFromText(offer->price), label->value);
        price = yuanText(fen) + "元";
    }
    return {ScanOutcome::Sold,
            SaleLine{{*goods, price, std::to_string(scan.quantity), counter.date}, position},
            {}};
}

}  // namespace shop::checkout
