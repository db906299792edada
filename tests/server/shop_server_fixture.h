// A real shop server for the tests: PostgreSQL started by scripts/shop_server.sh
// in a temporary folder (unix socket only), our schema made by the table
// tool, and sign-ins for two tills and the back office.
#pragma once

#include <QTemporaryDir>
#include <string>

#include "server/pg_connection.h"

namespace shop::test {

class ShopServer {
public:
    // The one server of this test program, started on first use.
    static ShopServer& instance();

    // Runs the script (start, stop DIR immediate ...); true on exit code 0.
    bool start();
    bool stop(const char* mode = "fast");
    const std::string& admin() const { return m_admin; }
    // A sign-in's connection, with its password.
    std::string connection(const std::string& user, const std::string& database = "shop") const;
    server::PgConnection adminConnection(const std::string& database = "shop") const;
    const std::string& folder() const { return m_dir; }
    const std::string& port() const { return m_port; }

    // Empties the sales, tickets, tills and catalogue (between tests).
    void reset();

private:
    ShopServer();
    ~ShopServer();
    QTemporaryDir m_tmp;
    std::string m_dir;
    std::string m_port;
    std::string m_admin;
    bool m_running = false;
};

// Runs a command line; its exit code, and what it printed (both streams).
int runCommand(const std::string& command, std::string* output = nullptr);
// The table tool with these words (each quoted).
int runTool(const std::vector<std::string>& words, std::string* output = nullptr);

}  // namespace shop::test
