#include "backup_manifest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

#include "storage/data_paths.h"

namespace shop::backup {

using namespace storage;

namespace {

constexpr std::string_view kHeader = "shop-backup 1";
constexpr const char* kSettingsPath = "配置/fghh.ini";

bool needsEscape(unsigned char c) { return c < 0x20 || c == 0x7f || c == '%'; }

std::string escapePath(std::string_view s) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (needsEscape(c)) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescapePath(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c != '%') {
            if (needsEscape(c)) return std::nullopt;
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        const int hi = hexValue(s[i + 1]), lo = hexValue(s[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> split(std::string_view line, char sep) {
    std::vector<std::string_view> out;
    std::size_t from = 0;
    for (std::size_t at; (at = line.find(sep, from)) != std::string_view::npos; from = at + 1)
        out.push_back(line.substr(from, at - from));
    out.push_back(line.substr(from));
    return out;
}

bool isDigest(std::string_view s) {
    if (s.size() != 64) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool isStamp(std::string_view s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == ':')) return false;
    return s.size() <= 128;
}

std::optional<std::uint64_t> number(std::string_view s) {
    std::uint64_t v = 0;
    if (s.empty() || s.size() > 20) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace

const ManifestEntry* Manifest::find(std::string_view path) const {
    for (const auto& e : entries)
        if (e.path == path) return &e;
    return nullptr;
}

std::string manifestText(const Manifest& m) {
    std::string out(kHeader);
    out += '\n';
    for (const auto& e : m.entries)
        out += "file\t" + e.sha256 + '\t' + std::to_string(e.size) + '\t' + e.stamp + '\t' +
               escapePath(e.path) + '\n';
    out += "end\t" + std::to_string(m.entries.size()) + '\n';
    return out;
}

std::optional<Manifest> parseManifest(std::string_view text, std::string* why) {
    auto refuse = [why](std::string reason) -> std::optional<Manifest> {
        if (why) *why = "manifest: " + std::move(reason);
        return std::nullopt;
    };
    if (text.empty() || text.back() != '\n') return refuse("cut off");
    auto lines = split(text.substr(0, text.size() - 1), '\n');
    if (lines.size() < 2 || lines.front() != kHeader) return refuse("not a backup manifest");
    Manifest m;
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        const auto f = split(lines[i], '\t');
        const std::string where = "line " + std::to_string(i + 1);
        if (f.size() != 5 || f[0] != "file") return refuse(where + " is out of form");
        const auto size = number(f[2]);
        auto path = unescapePath(f[4]);
        if (!isDigest(f[1]) || !size || !isStamp(f[3]) || !path)
            return refuse(where + " is out of form");
        if (!isBackupPath(*path)) return refuse(where + " names a file a backup does not hold");
        if (m.find(*path)) return refuse(where + " names a file twice");
        m.entries.push_back({std::move(*path), *size, std::string(f[1]), std::string(f[3])});
    }
    const auto last = split(lines.back(), '\t');
    if (last.size() != 2 || last[0] != "end" || number(last[1]) != m.entries.size())
        return refuse("cut off");
    return m;
}

bool isBackupPath(std::string_view path) {
    if (path == kSettingsPath) return true;
    const auto slash = path.find('/');
    if (slash == std::string_view::npos) return false;
    const std::string_view folder = path.substr(0, slash), file = path.substr(slash + 1);
    bool known = false;
    for (const char* f : kTableFolders) known = known || folder == f;
    if (!known || file.size() <= 4 || !file.ends_with(".edb")) return false;
    return isSafeTableName(std::string(file)) && file.find('\0') == std::string_view::npos;
}

std::optional<Manifest> readManifest(const std::string& backupFolder, std::string* why) {
    std::string ignored;
    if (why == nullptr) why = &ignored;
    const std::string path = backupFolder + "/" + kManifestName;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *why = path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    char buf[1 << 14];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0 && text.size() < (64u << 20))
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    if (n != 0) {
        *why = path + ": cannot be read whole";
        return std::nullopt;
    }
    return parseManifest(text, why);
}

}  // namespace shop::backup
