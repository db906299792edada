// The change log a journal is made of: which entry each change takes, and
// what a replay makes of a log that is whole, cut short, or damaged.
#include "checkout/sale_log.h"

#include <gtest/gtest.h>

#include <random>

namespace shop::checkout {
namespace {

SaleRow row(int i) {
    return {"商品" + std::to_string(i), std::to_string(i) + ".5元", "3", "2024年3月5日14时7分9秒"};
}

// A log as a run would write it: a snapshot, then one entry per change.
struct Log {
    std::string bytes = std::string(kLogHeader);
    OpenSale sale{"销售数据2024年3月5日14时7分9秒.edb", 4, {}};
    std::vector<OpenSale> states;   // the list after each entry
    std::vector<std::size_t> ends;  // where each entry ends

    Log() { put(snapshotEntry(sale)); }
    void put(const std::string& entry) {
        bytes += entry;
        states.push_back(sale);
        ends.push_back(bytes.size());
    }
    void change(std::vector<SaleRow> rows) {
        const auto entry = changeEntry(sale.rows, rows);
        sale.rows = std::move(rows);
        put(entry ? *entry : snapshotEntry(sale));
    }
};

TEST(SaleLogReplay, FollowsEveryMixOfAddsDeletesClearsAndSnapshots) {
    std::mt19937 random(7);
    Log log;
    int next = 0;
    for (int step = 0; step < 400; ++step) {
        std::vector<SaleRow> rows = log.sale.rows;
        const int roll = std::uniform_int_distribution<int>(0, 99)(random);
        if (roll < 60 || rows.empty()) {
            rows.push_back(row(next++));
        } else if (roll < 85) {
            rows.erase(rows.begin() + std::uniform_int_distribution<long>(
                                          0, static_cast<long>(rows.size()) - 1)(random));
        } else if (roll < 93) {
            rows.clear();
        } else {
            rows.insert(rows.begin(), row(next++));  // no single entry: a snapshot
        }
        log.change(std::move(rows));
        const LogReplay replay = replayLog(log.bytes);
        ASSERT_EQ(replay.sale, log.sale) << "step " << step;
        ASSERT_EQ(replay.end, LogEnd::Whole);
        ASSERT_EQ(replay.changes, static_cast<std::size_t>(step + 1));
    }
}

TEST(SaleLogReplay, EachSimpleChangeIsOneSmallEntry) {
    const std::vector<SaleRow> three = {row(1), row(2), row(3)};
    const std::vector<SaleRow> four = {row(1), row(2), row(3), row(4)};
    EXPECT_EQ(changeEntry(three, four), addEntry(row(4)));
    EXPECT_EQ(changeEntry(three, {row(1), row(3)}), deleteEntry(1));
    EXPECT_EQ(changeEntry(three, {row(2), row(3)}), deleteEntry(0));
    EXPECT_EQ(changeEntry(three, {row(1), row(2)}), deleteEntry(2));
    EXPECT_EQ(changeEntry(three, {}), clearEntry());
    // Anything else is restated whole, and no change is no entry.
    EXPECT_FALSE(changeEntry(three, {row(3), row(1), row(2)}));
    EXPECT_FALSE(changeEntry(three, {row(1), row(2), row(4)}));
    EXPECT_FALSE(changeEntry(three, {row(2), row(1)}));
    EXPECT_FALSE(changeEntry(three, three));
    EXPECT_FALSE(changeEntry({}, {}));
    // An add costs the row, not the list.
    EXPECT_LT(addEntry(row(4)).size(), 100u);
}

Log threeChanges() {
    Log log;
    log.change({row(1)});
    log.change({row(1), row(2)});
    log.change({row(2)});
    return log;
}

TEST(SaleLogReplay, ALastEntryCutShortLosesOnlyThatChange) {
    const Log log = threeChanges();
    const std::size_t lastStart = log.ends[log.ends.size() - 2];
    for (std::size_t cut = lastStart + 1; cut < log.bytes.size(); ++cut) {
        const LogReplay replay = replayLog(std::string_view(log.bytes).substr(0, cut));
        ASSERT_EQ(replay.end, LogEnd::TornTail) << cut;
        ASSERT_EQ(replay.sale, log.states[log.states.size() - 2]) << cut;
    }
    // The file was made longer but the last entry's bytes never arrived.
    std::string zeroed = log.bytes;
    std::fill(zeroed.begin() + static_cast<long>(lastStart), zeroed.end(), '\0');
    EXPECT_EQ(replayLog(zeroed).end, LogEnd::TornTail);
    EXPECT_EQ(replayLog(zeroed).sale, log.states[log.states.size() - 2]);
    // So was the whole last entry, but its payload is wrong.
    std::string garbled = log.bytes;
    garbled.back() ^= 0x20;
    EXPECT_EQ(replayLog(garbled).end, LogEnd::TornTail);
    EXPECT_EQ(replayLog(garbled).sale, log.states[log.states.size() - 2]);
}

TEST(SaleLogReplay, ADamagedEntryBeforeTheEndStopsTheReplayThereAndSaysSo) {
    const Log log = threeChanges();
    // Damage in the second change's entry: its payload, its check, its length.
    const std::size_t second = log.ends[1];
    for (const std::size_t at : {log.ends[2] - 1, second + 9, second + 1, second + 5}) {
        std::string damaged = log.bytes;
        damaged[at] ^= 0x01;
        const LogReplay replay = replayLog(damaged);
        EXPECT_EQ(replay.end, LogEnd::Damaged) << at;
        EXPECT_EQ(replay.sale, log.states[1]) << at;
        EXPECT_EQ(replay.changes, 1u) << at;
    }
    // A whole entry that makes no sense (a delete past the end) is damage too.
    Log nonsense;
    nonsense.put(deleteEntry(5));
    nonsense.put(addEntry(row(1)));
    EXPECT_EQ(replayLog(nonsense.bytes).end, LogEnd::Damaged);
    EXPECT_EQ(replayLog(nonsense.bytes).sale, nonsense.states[0]);
}

TEST(SaleLogReplay, WithoutItsHeaderOrFirstSnapshotALogHoldsNoList) {
    const Log log = threeChanges();
    EXPECT_FALSE(replayLog(log.bytes.substr(1)).sale);
    EXPECT_FALSE(replayLog(std::string(kLogHeader) + addEntry(row(1))).sale);
    EXPECT_FALSE(replayLog(log.bytes.substr(0, log.ends[0] - 1)).sale);
    EXPECT_FALSE(replayLog(encodeJournal(log.sale)).sale);  // the whole-list form is no log
}

}  // namespace
}  // namespace shop::checkout
