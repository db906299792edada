#include "goods_lookup.h"

#include "storage/table.h"

namespace shop::checkout {

namespace st = shop::storage;

std::optional<GoodsOffer> lookupGoods(const std::string& productPath, int position) {
    if (!st::open(productPath, false, st::kShareDefault)) return std::nullopt;
    st::skip(position);
    GoodsOffer offer{st::readText(2), st::readText(3)};
    st::close();
    return offer;
}

}  // namespace shop::checkout
