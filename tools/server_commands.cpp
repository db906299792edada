#include "server_commands.h"

#include <iostream>
#include <string>

#include "server/catalogue.h"
#include "server/pg_connection.h"
#include "server/schema.h"
#include "server/till_join.h"

namespace shop::tool {

namespace sv = shop::server;

namespace {

int usage() {
    std::cerr << "usage:\n"
                 "  shop_table server init CONNECTION [--shop NAME]\n"
                 "      make or upgrade the shop's schema (as the server's administrator)\n"
                 "  shop_table server user CONNECTION NAME --role till|office\n"
                 "      add a sign-in for a till or the back office; its password is read\n"
                 "      from standard input\n"
                 "  shop_table server join RUN_DIR CONNECTION --till CODE\n"
                 "      join this run folder's till to the shop server as till CODE\n"
                 "  shop_table server catalogue RUN_DIR CONNECTION\n"
                 "      put the run folder's product and barcode tables on the server as the "
                 "shop's catalogue\n"
                 "CONNECTION is a libpq connection, for example\n"
                 "  \"host=192.168.1.10 port=5433 dbname=shop user=till02 password=...\"\n"
                 "(or the password in PGPASSWORD, kept off the command line)\n"
                 "join keeps the password in 配置/门店服务器.pgpass (mode 0600), nowhere else.\n";
    return 2;
}

int fail(const std::string& message) {
    std::cerr << "shop_table: " << message << "\n";
    return 1;
}

sv::PgConnection connect(const std::string& connection, std::string* error) {
    sv::PgConnection c = sv::PgConnection::open(connection, sv::Timeouts{10, 60000});
    if (!c.isOpen()) *error = c.error();
    return c;
}

int init(const std::string& connection, const std::string& shop) {
    std::string error;
    sv::PgConnection c = connect(connection, &error);
    if (!c.isOpen()) return fail(error);
    const sv::InitResult r = sv::initSchema(c, shop);
    if (!r.ok) return fail(r.message);
    if (r.from == r.to)
        std::cout << "schema version " << r.to << ": nothing to do\n";
    else
        std::cout << "schema version " << r.from << " -> " << r.to << "\n";
    return 0;
}

int addUser(const std::string& connection, const std::string& name, const std::string& role) {
    if (role != "till" && role != "office") return usage();
    std::string password;
    if (!std::getline(std::cin, password) || password.empty())
        return fail("no password on standard input");
    std::string error;
    sv::PgConnection c = connect(connection, &error);
    if (!c.isOpen()) return fail(error);
    const std::string verifier = c.encryptPassword(name, password);
    if (verifier.empty()) return fail("cannot encrypt the password: " + c.error());
    // Names and the verifier are quoted by the server (format %I, %L); they
    // reach it as bound values, never as SQL text.
    const sv::PgResult r = c.exec(
        "SELECT set_config('shop.user', $1, false), set_config('shop.verifier', $2, false),"
        " set_config('shop.role', $3, false)",
        {name, verifier, role == "till" ? "shop_till" : "shop_office"});
    if (!r.ok()) return fail(r.error());
    const sv::PgResult made = c.exec(
        "DO $$ BEGIN EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I',"
        " current_setting('shop.user'), current_setting('shop.verifier'),"
        " current_setting('shop.role')); END $$");
    if (!made.ok()) return fail(made.error());
    std::cout << "user " << name << " added (" << role << ")\n";
    return 0;
}

int catalogue(const std::string& runDir, const std::string& connection) {
    std::string error;
    const sv::Catalogue local = sv::localCatalogue(runDir, &error);
    if (!error.empty()) return fail(error);
    sv::PgConnection c = connect(connection, &error);
    if (!c.isOpen()) return fail(error);
    if (const std::string e = sv::replaceCatalogue(c, local); !e.empty()) return fail(e);
    std::cout << local.items.size() << " goods and " << local.codes.size()
              << " barcodes on the server\n";
    return 0;
}

}  // namespace

int runServerCommand(int argc, char** args) {
    if (argc < 2) return usage();
    const std::string cmd = args[0];
    if (cmd == "init" && (argc == 2 || (argc == 4 && std::string(args[2]) == "--shop")))
        return init(args[1], argc == 4 ? args[3] : "本店");
    if (cmd == "user" && argc == 5 && std::string(args[3]) == "--role")
        return addUser(args[1], args[2], args[4]);
    if (cmd == "catalogue" && argc == 3) return catalogue(args[1], args[2]);
    if (cmd == "join" && argc == 5 && std::string(args[3]) == "--till") {
        const sv::JoinResult r = sv::joinTill(args[1], args[2], args[4]);
        if (!r.ok()) return fail(r.message);
        std::cout << r.message << "\n";
        return 0;
    }
    return usage();
}

}  // namespace shop::tool
