#include "settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QList>
#include <QString>
#include <cerrno>
#include <cstdint>
#include <initializer_list>

#include "ini_text.h"
#include "storage/file_replace.h"
#include "storage/text.h"

namespace shop::settings {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

enum class FileState { Missing, Read, Unusable };

struct FileText {
    FileState state = FileState::Missing;
    std::string text;  // UTF-8
};

// Read without following a link: a link in the settings file's place is no
// file of ours, to read or to replace.
FileText loadText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {errno == ENOENT ? FileState::Missing : FileState::Unusable, {}};
    struct stat st {};
    std::string bytes;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                 static_cast<std::uint64_t>(st.st_size) <= kSettingsSizeLimit;
    char buf[1 << 14];
    for (ssize_t n = 1; whole && n != 0;) {
        n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        whole = n >= 0 && bytes.size() + static_cast<std::size_t>(n) <= kSettingsSizeLimit;
        if (whole) bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!whole) return {FileState::Unusable, {}};
    auto text = decodeSettingsText(bytes);
    if (!text) return {FileState::Unusable, {}};
    return {FileState::Read, std::move(*text)};
}

struct KeyValue {
    std::string_view section, key, value;
};

// Sets every key in one reading and one replacement of the file.
bool writeKeys(const std::string& path, std::initializer_list<KeyValue> keys) {
    const FileText file = loadText(path);
    if (file.state == FileState::Unusable) return false;
    IniDocument doc = parseIni(file.text);
    for (const KeyValue& k : keys) setIniValue(doc, k.section, k.key, k.value);
    const std::string bytes = std::string(kBom) + serializeIni(doc);
    return bytes.size() <= kSettingsSizeLimit && storage::replaceFile(path, bytes);
}

// Whether every character of the UTF-8 text is one a shop's header holds:
// ASCII, Chinese characters, and the punctuation and symbols that go with
// them. Letters of other scripts are what GBK bytes turn into when they are
// read as UTF-8.
bool plausibleHeaderText(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (const char32_t u : text.toUcs4()) {
        const bool plausible = u < 0x80 || u == 0x00B7 || u == 0x00D7 || u == 0x00F7 ||  // · × ÷
                               (u >= 0x2010 && u <= 0x206F) ||  // general punctuation
                               (u >= 0x2E80 && u <= 0x9FFF) ||  // CJK radicals to ideographs
                               (u >= 0xF900 && u <= 0xFAFF) ||  // compatibility ideographs
                               (u >= 0xFE30 && u <= 0xFE4F) ||
                               (u >= 0xFF00 && u <= 0xFFEF) ||  // full width
                               (u >= 0x20000 && u <= 0x3FFFF);  // rarer ideographs
        if (!plausible) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> decodeSettingsText(std::string_view bytes, bool* hadBom) {
    const bool bom = bytes.starts_with(kBom);
    if (hadBom) *hadBom = bom;
    if (bom) {
        bytes.remove_prefix(kBom.size());
        return storage::isValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    }
    auto gbk = storage::gbkToUtf8(bytes);
    if (!storage::isValidUtf8(bytes)) return gbk;
    if (gbk && !plausibleHeaderText(bytes) && plausibleHeaderText(*gbk)) return gbk;
    return std::string(bytes);
}

std::string readSetting(const std::string& path, std::string_view section, std::string_view key) {
    const FileText file = loadText(path);
    if (file.state != FileState::Read) return {};
    return iniValue(file.text, section, key).value_or(std::string());
}

bool writeSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) {
    return writeKeys(path, {{section, key, value}});
}

ReceiptHeader readHeader(const std::string& path) {
    const FileText file = loadText(path);
    if (file.state != FileState::Read) return {};
    const auto value = [&file](const char* section, const char* key) {
        return iniValue(file.text, section, key).value_or(std::string());
    };
    return {value(kShopSection, kShopNameKey), value(kTillSection, kMachineKey),
            value(kTillSection, kCashierKey), value(kTillSection, kAddressKey)};
}

bool writeHeader(const std::string& path, const ReceiptHeader& header) {
    return writeKeys(path, {{kShopSection, kShopNameKey, header.shopName},
                            {kTillSection, kMachineKey, header.machine},
                            {kTillSection, kCashierKey, header.cashier},
                            {kTillSection, kAddressKey, header.address}});
}

}  // namespace shop::settings
