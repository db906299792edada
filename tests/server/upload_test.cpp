// Uploads against the real server: every finished sale and every recorded
// row arrives once, keyed where it was made, and the server's stock falls
// once for it, whatever the cursor says.
#include <gtest/gtest.h>

#include <filesystem>

#include "server/upload_cursor.h"
#include "server_checks.h"
#include "storage/data_paths.h"
#include "test_till.h"

namespace shop::test {
namespace {

constexpr storage::Moment kMorning{2026, 12, 10, 8, 0, 0};

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ShopServer::instance().reset();
        std::string said;
        ASSERT_EQ(till.join(ShopServer::instance().connection("till01"), &said), 0) << said;
        ASSERT_EQ(runTool({"server", "catalogue", till.dir(),
                           ShopServer::instance().connection("office")},
                          &said),
                  0)
            << said;
    }
    bool drained(long long tickets) {
        return waitUntil(
            [&] {
                return till.status().online && till.status().pending == 0 &&
                       serverCounts().tickets >= tickets;
            },
            60);
    }
    TestTill till{"01", kMorning};
};

TEST_F(UploadTest, AReplayStoresNothingTwiceWhateverTheCursorSays) {
    const std::string cursorFile =
        storage::joinPath(till.dir(), storage::kSettingsFolder, "上传进度.txt");
    const struct {
        const char* what;
        std::function<void()> toCursor;
    } cases[] = {
        {"kept", [] {}},
        {"lost", [&] { std::filesystem::remove(cursorFile); }},
        {"behind",
         [&] {
             server::UploadCursor c(till.dir());
             c.load();
             for (const auto& [table, count] : c.tables()) c.advance(table, count > 1 ? 1 : 0);
         }},
    };
    till.beginRun();
    ASSERT_TRUE(till.sell(0, 2));
    ASSERT_TRUE(till.sell(1, 1));
    ASSERT_TRUE(till.sell(0, 3));
    till.startUploader();
    ASSERT_TRUE(drained(3));
    for (const auto& c : cases) {
        till.stopUploader();
        c.toCursor();
        till.startUploader();
        ASSERT_TRUE(drained(3)) << c.what;
        const ServerCounts n = serverCounts("01");
        EXPECT_EQ(n.tickets, 3) << c.what;
        EXPECT_EQ(n.distinctReceipts, 3) << c.what;
        EXPECT_EQ(n.rows, 3) << c.what;
        EXPECT_EQ(n.units, 6) << c.what;
        EXPECT_EQ(serverStock("可乐"), 100000 - 5) << c.what;
        EXPECT_EQ(serverStock("面包"), 100000 - 1) << c.what;
    }
    till.endRun();
}

TEST_F(UploadTest, AFinishedSaleIsSentAtOnceNotAtTheNextLook) {
    // The uploader's own look comes only every ten minutes here: what
    // arrives sooner was sent because the sale said it was stored.
    till.startUploader({server::Timeouts{3, 10000}, std::chrono::minutes(10),
                        std::chrono::milliseconds(200), 500});
    ASSERT_TRUE(waitUntil([&] { return till.status().online; }, 30));
    till.beginRun();
    ASSERT_TRUE(till.sell(1, 4));
    EXPECT_TRUE(waitUntil([] { return serverCounts().tickets == 1; }, 30));
    EXPECT_EQ(serverStock("面包"), 100000 - 4);
    till.endRun();
}

TEST_F(UploadTest, RowsOfTheExitRecordingGoUpWithoutATicket) {
    till.beginRun();
    ASSERT_TRUE(till.sell(0, 1));
    till.recordOpenList({{"面包", "5", "2"}, {"可乐", "3", "1"}});
    till.endRun();
    till.startUploader();
    ASSERT_TRUE(drained(1));
    const ServerCounts n = serverCounts("01");
    EXPECT_EQ(n.tickets, 1);
    EXPECT_EQ(n.rows, 3);
    EXPECT_EQ(serverStock("可乐"), 100000 - 2);
    EXPECT_EQ(serverStock("面包"), 100000 - 2);
}

}  // namespace
}  // namespace shop::test
