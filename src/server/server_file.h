// The till's shop server file, 配置/门店服务器.ini: where the server is, this
// till's code and the shop it joined. A till without it works alone. The
// password is never in it: it stays in 配置/门店服务器.pgpass, a libpq
// password file only its owner can read (mode 0600).
#pragma once

#include <optional>
#include <string>

namespace shop::server {

struct ServerFile {
    std::string connection;  // libpq connection, without a password
    std::string till;        // the till code, the receipt numbers' prefix
    std::string shopId;      // the shop the server was made for
    std::string shopName;
    std::string token;  // proves to the server that the till code is ours

    friend bool operator==(const ServerFile&, const ServerFile&) = default;
};

std::string serverFilePath(const std::string& runDir);
std::string passwordFilePath(const std::string& runDir);

// nullopt when the file is missing or lacks the server or the till code.
std::optional<ServerFile> readServerFile(const std::string& runDir);
bool writeServerFile(const std::string& runDir, const ServerFile& file);

// The connection as the till makes it: the file's, reading the password file.
std::string tillConnection(const std::string& runDir, const ServerFile& file);

struct SplitConnection {
    bool ok = false;
    std::string connection;  // every keyword but the password
    std::string password;    // empty when none was given
    std::string error;
};
// Takes the password out of a libpq connection string or URI.
SplitConnection splitPassword(const std::string& connection);

// Writes the password file (mode 0600 from its first byte); an empty
// password removes it.
bool writePasswordFile(const std::string& path, const std::string& password);

}  // namespace shop::server
