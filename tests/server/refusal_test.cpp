// A till refused by the server says why in the shop's words and sells on by
// itself: a wrong password, another shop's server, a till code another till
// holds, a schema newer than the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "server/schema.h"
#include "server/server_file.h"
#include "server/till_session.h"
#include "server_checks.h"
#include "test_till.h"

namespace shop::test {
namespace {

constexpr storage::Moment kNoon{2026, 12, 10, 12, 0, 0};

void rewriteFile(const std::string& dir, const std::function<void(server::ServerFile&)>& edit) {
    auto file = server::readServerFile(dir);
    ASSERT_TRUE(file);
    edit(*file);
    ASSERT_TRUE(server::writeServerFile(dir, *file));
}

TEST(Refusal, ATillRefusedSaysWhyAndSellsOn) {
    ShopServer& shop = ShopServer::instance();
    const struct {
        const char* what;
        std::function<void(TestTill&)> spoil;
        server::Refusal refusal;
        const char* said;
    } cases[] = {
        {"wrong password",
         [](TestTill& t) {
             server::writePasswordFile(server::passwordFilePath(t.dir()), "not-the-password");
         },
         server::Refusal::WrongPassword, "门店服务器拒绝了用户名或密码"},
        {"another shop's server",
         [&](TestTill& t) {
             rewriteFile(t.dir(), [](server::ServerFile& f) {
                 f.connection.replace(f.connection.find("dbname='shop'"), 13, "dbname='other'");
             });
         },
         server::Refusal::OtherShop, "这不是本店的门店服务器"},
        {"till code in use",
         [&](TestTill&) {
             shop.adminConnection().exec("UPDATE tills SET token_hash = 'another till'");
         },
         server::Refusal::TillTaken, "收银机编号 01 已被另一台收银机使用"},
        {"newer schema",
         [&](TestTill&) {
             shop.adminConnection().exec(
                 "UPDATE shop_meta SET value = '99' WHERE key = 'schema_version'");
         },
         server::Refusal::NewerSchema, "门店服务器的数据版本比本程序新：请先升级本程序"},
    };
    // The other shop: a database of its own on the same server, made by init.
    if (shop.adminConnection().value("SELECT 1 FROM pg_database WHERE datname = 'other'") != "1") {
        shop.adminConnection().exec("CREATE DATABASE other");
        std::string said;
        std::string admin = shop.admin();
        admin.replace(admin.find("dbname=shop"), 11, "dbname=other");
        ASSERT_EQ(runTool({"server", "init", admin, "--shop", "别家店"}, &said), 0) << said;
        shop.adminConnection("other").exec("GRANT CONNECT ON DATABASE other TO shop_till");
    }
    for (const auto& c : cases) {
        shop.reset();
        TestTill till("01", kNoon);
        std::string said;
        ASSERT_EQ(till.join(shop.connection("till01"), &said), 0) << said;
        c.spoil(till);
        till.startUploader();
        ASSERT_TRUE(waitUntil([&] { return till.status().refusal == c.refusal; }, 30))
            << c.what << ": " << till.status().message;
        EXPECT_EQ(till.status().message, c.said) << c.what;
        EXPECT_FALSE(till.status().online) << c.what;
        till.beginRun();
        EXPECT_TRUE(till.sell(0, 1)) << c.what;
        EXPECT_TRUE(waitUntil([&] { return till.status().pending == 2; }, 30))
            << c.what << ": the sale's row and ticket wait in the outbox";
        till.endRun();
        EXPECT_EQ(serverCounts().tickets, 0) << c.what;
    }
}

TEST(Refusal, JoiningIsRefusedWithTheReasonAndWritesNothing) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    TestTill first("02", kNoon);
    std::string said;
    ASSERT_EQ(first.join(shop.connection("till02"), &said), 0) << said;
    const struct {
        const char* what;
        std::function<std::string()> connection;
        const char* till;
        const char* said;
    } cases[] = {
        {"wrong password", [&] { return shop.connection("till03") + "x"; }, "03",
         "门店服务器拒绝了用户名或密码"},
        {"till code in use", [&] { return shop.connection("till03"); }, "02",
         "收银机编号 02 已被另一台收银机使用"},
        {"not a till code", [&] { return shop.connection("till03"); }, "0-2",
         "收银机编号应为 1 到 8 个字母或数字"},
        {"no server there",
         [&] {
             return "host=" + shop.folder() + "/nowhere port=" + shop.port() +
                    " dbname=shop user=till03";
         },
         "03", "门店服务器连不上"},
    };
    for (const auto& c : cases) {
        TestTill till(c.till, kNoon);
        EXPECT_EQ(runTool({"server", "join", till.dir(), c.connection(), "--till", c.till}, &said),
                  1)
            << c.what;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.what << ": " << said;
        EXPECT_FALSE(std::filesystem::exists(server::serverFilePath(till.dir()))) << c.what;
        EXPECT_FALSE(std::filesystem::exists(server::passwordFilePath(till.dir()))) << c.what;
    }
}

TEST(Refusal, ThePasswordStaysInAFileOnlyItsOwnerReads) {
    ShopServer& shop = ShopServer::instance();
    const std::string withoutPassword =
        "host=" + shop.folder() + "/socket port=" + shop.port() + " dbname=shop user=till03";
    const struct {
        const char* what;
        std::string environment;  // before the tool's command
        std::string connection;
    } cases[] = {
        {"in the connection", "", shop.connection("till03")},
        {"in PGPASSWORD", "PGPASSWORD=pw-till03 ", withoutPassword},
    };
    for (const auto& c : cases) {
        shop.reset();
        TestTill till("03", kNoon);
        std::string said;
        ASSERT_EQ(runCommand(c.environment + "'" SHOP_TEST_TOOL "' server join '" + till.dir() +
                                 "' '" + c.connection + "' --till 03",
                             &said),
                  0)
            << c.what << ": " << said;
        EXPECT_EQ(said.find("pw-till03"), std::string::npos) << c.what;
        std::ifstream ini(server::serverFilePath(till.dir()));
        const std::string text((std::istreambuf_iterator<char>(ini)), {});
        EXPECT_EQ(text.find("pw-till03"), std::string::npos) << c.what << ": " << text;
        EXPECT_NE(text.find("till=03"), std::string::npos) << c.what << ": " << text;
        namespace fs = std::filesystem;
        const fs::perms mode = fs::status(server::passwordFilePath(till.dir())).permissions();
        EXPECT_EQ(mode & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write) << c.what;
        // And the till signs in with it, with no password in its environment.
        till.startUploader();
        EXPECT_TRUE(waitUntil([&] { return till.status().online; }, 30))
            << c.what << ": " << till.status().message;
    }
}

}  // namespace
}  // namespace shop::test
