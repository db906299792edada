#include "settings_file.h"

#include <QSaveFile>
#include <QString>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "ini_text.h"
#include "storage/text.h"

namespace shop::settings {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

enum class FileState { Missing, Read, Unusable };

struct FileText {
    FileState state = FileState::Missing;
    std::string text;  // UTF-8
    bool hadBom = false;
};

FileText loadText(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(std::u8string(path.begin(), path.end()));
    if (!fs::exists(p, ec)) return {ec ? FileState::Unusable : FileState::Missing, {}, false};
    const auto size = fs::file_size(p, ec);
    if (ec || size > kSettingsSizeLimit) return {FileState::Unusable, {}, false};
    std::ifstream in(p, std::ios::binary);
    if (!in) return {FileState::Unusable, {}, false};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    FileText out;
    auto text = decodeSettingsText(bytes, &out.hadBom);
    if (!text) return {FileState::Unusable, {}, false};
    out.state = FileState::Read;
    out.text = std::move(*text);
    return out;
}

bool replaceFile(const std::string& path, const std::string& bytes) {
    QSaveFile file(QString::fromStdString(path));
    // Unbuffered, so a write that a full disk cuts short shows as short here;
    // a buffered one can lose the rest at commit without a word.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

std::optional<std::string> decodeSettingsText(std::string_view bytes, bool* hadBom) {
    const bool bom = bytes.starts_with(kBom);
    if (hadBom) *hadBom = bom;
    if (bom) bytes.remove_prefix(kBom.size());
    if (storage::isValidUtf8(bytes)) return std::string(bytes);
    if (bom) return std::nullopt;  // a UTF-8 mark on bytes that are not UTF-8
    return storage::gbkToUtf8(bytes);
}

std::string readSetting(const std::string& path, std::string_view section, std::string_view key) {
    const FileText file = loadText(path);
    if (file.state != FileState::Read) return {};
    return iniValue(parseIni(file.text), section, key).value_or(std::string());
}

bool writeSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) {
    const FileText file = loadText(path);
    if (file.state == FileState::Unusable) return false;
    std::string bytes = file.hadBom ? std::string(kBom) : std::string();
    bytes += withIniValue(file.text, section, key, value);
    return replaceFile(path, bytes);
}

ReceiptHeader readHeader(const std::string& path) {
    ReceiptHeader h;
    h.shopName = readSetting(path, kShopSection, kShopNameKey);
    h.machine = readSetting(path, kTillSection, kMachineKey);
    h.cashier = readSetting(path, kTillSection, kCashierKey);
    h.address = readSetting(path, kTillSection, kAddressKey);
    return h;
}

void writeHeader(const std::string& path, const ReceiptHeader& header) {
    writeSetting(path, kShopSection, kShopNameKey, header.shopName);
    writeSetting(path, kTillSection, kMachineKey, header.machine);
    writeSetting(path, kTillSection, kCashierKey, header.cashier);
    writeSetting(path, kTillSection, kAddressKey, header.address);
}

}  // namespace shop::settings
