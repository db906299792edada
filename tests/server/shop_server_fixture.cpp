#include "shop_server_fixture.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "server/schema.h"

namespace shop::test {

namespace {
std::string shellQuoted(const std::string& word) {
    std::string out = "'";
    for (const char ch : word) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return out + "'";
}
}  // namespace

int runCommand(const std::string& command, std::string* output) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        text.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runTool(const std::vector<std::string>& words, std::string* output) {
    std::string command = shellQuoted(SHOP_TEST_TOOL);
    for (const std::string& w : words) command += " " + shellQuoted(w);
    return runCommand(command, output);
}

ShopServer& ShopServer::instance() {
    static ShopServer server;
    return server;
}

ShopServer::ShopServer() : m_tmp(QStringLiteral("/tmp/shop-server-XXXXXX")) {
    m_dir = m_tmp.path().toStdString();
    // Test programs run side by side, each with a server of its own.
    m_port = std::to_string(20000 + ::getpid() % 20000);
    if (!start()) return;
    std::string out;
    if (runTool({"server", "init", m_admin, "--shop", "澄屿一店"}, &out) != 0) ADD_FAILURE() << out;
    for (const char* till : {"till01", "till02", "till03"})
        runCommand("echo pw-" + std::string(till) + " | " + shellQuoted(SHOP_TEST_TOOL) +
                   " server user " + shellQuoted(m_admin) + " " + till + " --role till");
    runCommand("echo pw-office | " + shellQuoted(SHOP_TEST_TOOL) + " server user " +
               shellQuoted(m_admin) + " office --role office");
}

ShopServer::~ShopServer() {
    if (m_running) stop("immediate");
}

bool ShopServer::start() {
    std::string out;
    const int code = runCommand("SHOP_SERVER_LISTEN= bash " + shellQuoted(SHOP_SERVER_SCRIPT) +
                                    " start " + shellQuoted(m_dir) + " " + m_port,
                                &out);
    if (code != 0) {
        ADD_FAILURE() << "the shop server did not start: " << out;
        return false;
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    m_admin = out.substr(out.rfind('\n') + 1);
    m_running = true;
    return true;
}

bool ShopServer::stop(const char* mode) {
    m_running = false;
    return runCommand("bash " + shellQuoted(SHOP_SERVER_SCRIPT) + " stop " + shellQuoted(m_dir) +
                      " " + mode) == 0;
}

std::string ShopServer::connection(const std::string& user, const std::string& database) const {
    return "host=" + m_dir + "/socket port=" + m_port + " dbname=" + database + " user=" + user +
           " password=pw-" + user;
}

server::PgConnection ShopServer::adminConnection(const std::string& database) const {
    return server::PgConnection::open("host=" + m_dir + "/socket port=" + m_port +
                                      " user=shop_admin passfile=" + m_dir +
                                      "/admin.pgpass dbname=" + database);
}

void ShopServer::reset() {
    if (!m_running) start();
    server::PgConnection c = adminConnection();
    const std::string version = std::to_string(server::schemaVersion());
    for (const char* sql : {"TRUNCATE sale_rows, tickets, tills, products, barcodes",
                            "UPDATE catalogue_revision SET revision = 0"})
        EXPECT_TRUE(c.exec(sql).ok()) << sql << ": " << c.error();
    EXPECT_TRUE(
        c.exec("UPDATE shop_meta SET value = $1 WHERE key = 'schema_version'", {version}).ok())
        << c.error();
}

}  // namespace shop::test
