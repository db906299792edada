// The shop's catalogue comes down from the server into every till's product,
// goods-list and barcode tables, at start and whenever the back office
// changes it, each table replaced whole so the k-th name keeps finding the
// k-th product.
#include <gtest/gtest.h>

#include "barcodes/barcode_table.h"
#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(Catalogue, EveryChangeOfTheBackOfficeComesDownWhole) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill till("01", {2026, 12, 10, 8, 0, 0});
    std::string said;
    ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
    const struct {
        Rows goods;
        Rows codes;
    } catalogues[] = {
        {{{"牛奶", "4", "50"}, {"可乐", "3.5", "80"}, {"面包", "5", "60"}},
         {{"6901234567892", "可乐"}, {"96385074", "牛奶"}}},
        {{{"面包", "5.5", "60"}, {"牛奶", "4", "49"}}, {{"96385074", "牛奶"}}},
        {{{"面包", "5.5", "60"}}, {}},
        {{}, {}},  // the back office emptied it: so does every till
    };
    till.startUploader();
    ASSERT_TRUE(waitUntil([&] { return till.status().online; }, 30));
    int applied = till.status().catalogues;
    for (const auto& [goods, codes] : catalogues) {
        RunFolder back;
        back.setProducts(goods);
        std::vector<barcodes::CodeEntry> entries;
        for (const auto& c : codes) entries.push_back({c[0], c[1]});
        ASSERT_TRUE(barcodes::ensureBarcodeTable(back.paths().barcodes()).ok());
        ASSERT_TRUE(barcodes::addCodes(back.paths().barcodes(), entries).ok());
        ASSERT_EQ(runTool({"server", "catalogue", back.dir(), shop.connection("office")}, &said), 0)
            << said;
        ASSERT_TRUE(waitUntil([&] { return till.status().catalogues > applied; }, 30));
        applied = till.status().catalogues;
        EXPECT_EQ(readAll(storage::DataPaths{till.dir()}.product()), goods);
        Rows names;
        for (const auto& g : goods) names.push_back({g[0]});
        EXPECT_EQ(readAll(storage::DataPaths{till.dir()}.productSave()), names);
        EXPECT_EQ(readAll(storage::DataPaths{till.dir()}.barcodes()), codes);
    }
}

TEST(Catalogue, AServerWithoutGoodsLeavesTheTillsOwn) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill till("01", {2026, 12, 10, 8, 0, 0});
    std::string said;
    ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
    till.startUploader();
    ASSERT_TRUE(waitUntil([&] { return till.status().online; }, 30));
    till.stopUploader();
    EXPECT_EQ(readAll(storage::DataPaths{till.dir()}.product()), kGoods);
}

}  // namespace
}  // namespace shop::test
