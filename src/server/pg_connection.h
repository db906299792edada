// One connection to the shop server, owned: closed when the owner goes.
// Every statement is sent with its values bound as parameters, never
// spliced into the SQL text. Connecting and every statement are bounded in
// time, so a server gone quiet never holds the caller for long.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "server/pg_result.h"

struct pg_conn;

namespace shop::server {

struct Timeouts {
    int connectSeconds = 5;
    int statementMilliseconds = 10000;
};

class PgConnection {
public:
    PgConnection() = default;
    // Connects with a libpq connection string ("host=... port=... user=...")
    // or URI; the timeouts are added to it.
    static PgConnection open(const std::string& connection, Timeouts timeouts = {});

    bool isOpen() const;
    // Why the connection failed or broke, first line; never holds a password.
    std::string error() const;
    // Why `failed`, a statement of this connection, failed: the server's
    // message for it, else the connection's own (a statement never sent).
    std::string failureOf(const PgResult& failed) const;

    PgResult exec(const std::string& sql, const std::vector<std::string>& params = {});
    // Runs `sql` and gives the first column of its first row ("" for none or
    // a failure; `ok` says which).
    std::string value(const std::string& sql, const std::vector<std::string>& params = {},
                      bool* ok = nullptr);

    // The password as the server stores it (a SCRAM verifier), made here so
    // the password itself never travels; empty on failure.
    std::string encryptPassword(const std::string& user, const std::string& password);

    // For waiting on notifications: the socket, and what has arrived.
    int socket() const;
    std::vector<std::string> notifications();

private:
    struct Finish {
        void operator()(pg_conn* c) const;
    };
    std::unique_ptr<pg_conn, Finish> m_conn;
    std::string m_failure;
};

// `text` as one element literal of a PostgreSQL array parameter ("{a,b}"):
// each element quoted, its quotes and backslashes escaped.
std::string arrayLiteral(const std::vector<std::string>& elements);

}  // namespace shop::server
