#include "server_file.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "storage/data_paths.h"
#include "storage/file_replace.h"

namespace shop::server {

namespace st = shop::storage;

namespace {
constexpr const char* kSection = "[门店服务器]";

// A keyword value as libpq reads it back: quoted, with ' and \ escaped.
std::string quoted(const std::string& value) {
    std::string out = "'";
    for (const char ch : value) {
        if (ch == '\'' || ch == '\\') out += '\\';
        out += ch;
    }
    return out + "'";
}

// One line per key: a value never holds a line break (a connection with one
// could not be written back as it was read, so it is refused).
bool oneLine(const std::string& value) { return value.find_first_of("\r\n") == std::string::npos; }
}  // namespace

std::string serverFilePath(const std::string& runDir) {
    return st::joinPath(runDir, st::kSettingsFolder, "门店服务器.ini");
}

std::string passwordFilePath(const std::string& runDir) {
    return st::joinPath(runDir, st::kSettingsFolder, "门店服务器.pgpass");
}

std::optional<ServerFile> readServerFile(const std::string& runDir) {
    std::ifstream in(serverFilePath(runDir));
    if (!in) return std::nullopt;
    ServerFile file;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "server")
            file.connection = value;
        else if (key == "till")
            file.till = value;
        else if (key == "shop_id")
            file.shopId = value;
        else if (key == "shop")
            file.shopName = value;
        else if (key == "token")
            file.token = value;
    }
    if (file.connection.empty() || file.till.empty()) return std::nullopt;
    return file;
}

bool writeServerFile(const std::string& runDir, const ServerFile& file) {
    for (const std::string* v :
         {&file.connection, &file.till, &file.shopId, &file.shopName, &file.token})
        if (!oneLine(*v)) return false;
    std::ostringstream out;
    out << kSection << "\nserver=" << file.connection << "\ntill=" << file.till
        << "\nshop=" << file.shopName << "\nshop_id=" << file.shopId << "\ntoken=" << file.token
        << "\n";
    std::error_code ec;
    std::filesystem::create_directories(st::joinPath(runDir, st::kSettingsFolder), ec);
    return st::replaceFile(serverFilePath(runDir), out.str());
}

std::string tillConnection(const std::string& runDir, const ServerFile& file) {
    std::string connection = file.connection;
    if (std::filesystem::exists(passwordFilePath(runDir)))
        connection += " passfile=" + quoted(passwordFilePath(runDir));
    return connection;
}

SplitConnection splitPassword(const std::string& connection) {
    SplitConnection split;
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.c_str(), &error);
    if (!options) {
        split.error = error ? error : "not a connection";
        if (split.error.ends_with('\n')) split.error.pop_back();
        PQfreemem(error);
        return split;
    }
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val) continue;
        const std::string keyword = o->keyword;
        if (keyword == "password") {
            split.password = o->val;
            continue;
        }
        if (!split.connection.empty()) split.connection += ' ';
        split.connection += keyword + "=" + quoted(o->val);
    }
    PQconninfoFree(options);
    split.ok = oneLine(split.connection);
    if (!split.ok) split.error = "a line break in the connection";
    return split;
}

bool writePasswordFile(const std::string& path, const std::string& password) {
    if (password.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return !ec;
    }
    std::string line = "*:*:*:*:";
    for (const char ch : password) {
        if (ch == ':' || ch == '\\') line += '\\';
        line += ch;
    }
    line += '\n';
    // Made afresh with 0600 before a byte is written, then renamed into
    // place: the password is never readable by others, not even for a moment.
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = st::writeAll(fd, line) && ::fchmod(fd, 0600) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return st::syncFolderOf(path);
}

}  // namespace shop::server
