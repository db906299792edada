// A till's connection to its shop server, checked before anything is sent:
// the right shop, a schema this program knows, and the till code still this
// till's own. Whatever fails is refused with a reason the shop can act on;
// the till sells on by itself meanwhile.
#pragma once

#include <optional>
#include <string>

#include "server/pg_connection.h"
#include "server/server_file.h"

namespace shop::server {

enum class Refusal {
    None,
    Unreachable,    // no answer, or the connection broke
    WrongPassword,  // the server refused the user or the password
    NoSchema,       // the server has no (or an older) schema: init it first
    NewerSchema,    // made by a newer program
    OtherShop,      // a server made for another shop
    TillTaken,      // another till holds this till code
    NotJoined,      // the server does not know this till
    Failed,         // the server refused a statement
};

// The shop's own words for it ("这不是本店的门店服务器" ...).
std::string refusalText(Refusal refusal, const std::string& till);

// Refusal from a failed connection's message.
Refusal connectRefusal(const std::string& libpqMessage);
// Refusal when the server's schema does not match this program's; None when it does.
Refusal schemaRefusal(PgConnection& connection);
// The hash under which the server keeps a till's token.
inline constexpr const char* kTokenHashSql = "encode(sha256(convert_to($2, 'UTF8')), 'hex')";

struct TillSession {
    PgConnection connection;
    Refusal refusal = Refusal::Unreachable;
    std::string detail;  // the server's message, when there is one

    bool ok() const { return refusal == Refusal::None; }
    std::string message(const std::string& till) const;
};

TillSession openTillSession(const std::string& runDir, const ServerFile& file, Timeouts timeouts);

// The session of the till in `runDir`, from its server file. `failure`, in
// the shop's words, says why there is none: the till has not joined, or the
// server refused it.
struct JoinedSession {
    std::optional<ServerFile> file;
    TillSession session;
    std::string failure;

    bool ok() const { return failure.empty(); }
};
JoinedSession openJoinedSession(const std::string& runDir, Timeouts timeouts);

}  // namespace shop::server
