// The schema made by the table tool, and who may do what with it.
#include "server/schema.h"

#include <gtest/gtest.h>

#include "server_checks.h"

namespace shop::test {
namespace {

TEST(Schema, InitIsIdempotentAndLeavesANewerSchemaAlone) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    const struct {
        const char* version;  // on the server before
        int exitCode;
        const char* said;
        const char* after;
    } cases[] = {
        {"2", 0, "nothing to do", "2"},
        {"99", 1, "newer than this program's 2", "99"},
        {"1", 0, "schema version 1 -> 2", "2"},
        {"0", 0, "schema version 0 -> 2", "2"},
    };
    for (const auto& c : cases) {
        server::PgConnection admin = shop.adminConnection();
        if (std::string(c.version) == "0") {
            // A server as an older program left it: the step is made again
            // from nothing, in one transaction.
            ASSERT_TRUE(
                admin
                    .exec("DROP TABLE shop_meta, tills, products, sale_rows, tickets, barcodes,"
                          " catalogue_revision")
                    .ok())
                << admin.error();
        } else if (std::string(c.version) == "1") {
            // A server of the first version, with a sale on it: the next step
            // is added, and the sale stays.
            for (const char* sql :
                 {"DROP TABLE barcodes, catalogue_revision",
                  "ALTER TABLE tickets DROP COLUMN run_day",
                  "ALTER TABLE sale_rows DROP COLUMN sale_second",
                  "UPDATE shop_meta SET value = '1' WHERE key = 'schema_version'",
                  "INSERT INTO sale_rows (till, run_table, record, name, price, quantity, moment)"
                  " VALUES ('01', 't', 1, '可乐', '3', '1', 'm')"})
                ASSERT_TRUE(admin.exec(sql).ok()) << sql << ": " << admin.error();
        } else {
            admin.exec("UPDATE shop_meta SET value = $1 WHERE key = 'schema_version'", {c.version});
        }
        std::string said;
        EXPECT_EQ(runTool({"server", "init", shop.admin()}, &said), c.exitCode) << c.version;
        EXPECT_NE(said.find(c.said), std::string::npos) << c.version << ": " << said;
        EXPECT_EQ(admin.value("SELECT value FROM shop_meta WHERE key = 'schema_version'"), c.after);
        if (std::string(c.version) == "1") {
            EXPECT_EQ(serverCounts().rows, 1);
        }
    }
    shop.reset();
}

TEST(Schema, ATillAddsSalesButNeverChangesOrDeletesThem) {
    ShopServer& shop = ShopServer::instance();
    shop.reset();
    server::PgConnection admin = shop.adminConnection();
    ASSERT_TRUE(admin
                    .exec("INSERT INTO sale_rows (till, run_table, record, name, price, quantity,"
                          " moment) VALUES ('01', 't', 1, '可乐', '3', '1', 'm')")
                    .ok());
    ASSERT_TRUE(admin.exec("INSERT INTO products VALUES (1, '可乐', '3', 10)").ok());
    const struct {
        const char* user;
        const char* sql;
        bool allowed;
    } cases[] = {
        {"till01", "DELETE FROM sale_rows", false},
        {"till01", "UPDATE sale_rows SET quantity = '9'", false},
        {"till01", "DELETE FROM tickets", false},
        {"till01", "UPDATE products SET price = '1'", false},
        {"till01", "DELETE FROM products", false},
        {"till01", "UPDATE products SET stock = stock - 1", true},
        {"till01",
         "INSERT INTO sale_rows (till, run_table, record, name, price, quantity, moment)"
         " VALUES ('01', 't', 2, '可乐', '3', '1', 'm')",
         true},
        {"till01", "SELECT code FROM barcodes", true},
        {"till01", "INSERT INTO barcodes VALUES (1, '6901234567892', '可乐')", false},
        {"office", "UPDATE products SET price = '4'", true},
        {"office", "INSERT INTO barcodes VALUES (1, '6901234567892', '可乐')", true},
        {"office", "DELETE FROM sale_rows", false},
    };
    for (const auto& c : cases) {
        server::PgConnection user = server::PgConnection::open(shop.connection(c.user));
        ASSERT_TRUE(user.isOpen()) << user.error();
        const server::PgResult r = user.exec(c.sql);
        EXPECT_EQ(r.ok(), c.allowed) << c.user << ": " << c.sql;
        if (!c.allowed) {
            EXPECT_EQ(r.sqlState(), "42501") << c.sql << ": " << r.error();
        }
    }
    EXPECT_EQ(serverCounts().rows, 2);
}

}  // namespace
}  // namespace shop::test
