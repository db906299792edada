// A run folder where one sale has been taken (方便面 x3, 牛奶 x1 by WeChat,
// receipt 01-20240305-0001), for the refund tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "checkout/run_tables.h"
#include "checkout/sale_journal.h"
#include "checkout/sale_model.h"
#include "checkout/sale_recovery.h"
#include "storage/table.h"
#include "support/run_folder.h"

namespace shop::refunds {

inline const storage::Moment kStart{2024, 3, 5, 14, 0, 0};
inline const storage::Moment kLater{2024, 3, 7, 9, 0, 0};
inline const storage::Moment kPaid{2024, 3, 5, 14, 9, 0};
inline const storage::Moment kBack{2024, 3, 5, 15, 0, 0};
inline constexpr const char* kSold = "01-20240305-0001";

// One run of the till: its sales table, journal and receipt numbers.
struct TillRun {
    checkout::SaleModel sale;
    std::string salesPath;
    TillRun(const test::RunFolder& folder, const storage::Moment& start) {
        salesPath = folder.paths().salesTable(start);
        const std::string table = std::filesystem::path(salesPath).filename().string();
        EXPECT_EQ(checkout::startSalesTable(salesPath), checkout::SalesTableStart::Opened);
        sale.beginRun(salesPath, checkout::SaleJournal(checkout::journalPath(folder.dir(), table),
                                                       table, storage::recordCount()));
        checkout::ReceiptNumbers numbers(folder.paths().ticketFolder(), "01", folder.dir());
        numbers.prime(start);
        sale.beginTickets(folder.dir(), std::move(numbers));
    }
};

class SoldFixture : public ::testing::Test {
protected:
    test::RunFolder folder;
    std::optional<TillRun> run;

    void SetUp() override {
        folder.setProducts({{"方便面", "4.5元", "10"}, {"牛奶", "6", "5"}});
        run.emplace(folder, kStart);
        // 方便面 x3 and 牛奶 x1, 19.5 yuan by WeChat.
        run->sale.addLine({{"方便面", "4.5元", "3", "2024年3月5日14时8分0秒"}, 0});
        run->sale.addLine({{"牛奶", "6", "1", "2024年3月5日14时8分5秒"}, 1});
        ASSERT_EQ(run->sale.checkout({checkout::PaymentMethod::WeChat, "小李", kPaid}).outcome,
                  checkout::CheckoutOutcome::Finished);
    }
    // A new run of the program on the same folder.
    void restartAt(const storage::Moment& start) {
        run.reset();
        storage::closeAll();
        checkout::recoverOpenSales(folder.paths());
        run.emplace(folder, start);
    }
};

}  // namespace shop::refunds
