// The settings file that keeps the receipt header (shop name, machine number,
// cashier, address) between runs.
//
// Encoding: written as UTF-8; a file that is not valid UTF-8 is read as GBK,
// so a file written by an older GBK program still loads (and is rewritten as
// UTF-8 on the next write). Nothing here reports an error: a file that is
// missing or cannot be read gives empty values, and a write that cannot be
// done leaves the disk as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shop::settings {

inline constexpr const char* kShopSection = "hggfggt";
inline constexpr const char* kShopNameKey = "ffgff";
inline constexpr const char* kTillSection = "cff";
inline constexpr const char* kMachineKey = "gfd";
inline constexpr const char* kCashierKey = "gg";
inline constexpr const char* kAddressKey = "hnmbv";

// A larger file is not a settings file of ours: it reads as empty and is
// never rewritten.
inline constexpr std::size_t kSettingsSizeLimit = 16u << 20;

struct ReceiptHeader {
    std::string shopName;
    std::string machine;
    std::string cashier;
    std::string address;
    friend bool operator==(const ReceiptHeader&, const ReceiptHeader&) = default;
};

// The file's bytes as UTF-8 text: UTF-8 as it is (a leading byte-order mark
// removed and reported through `hadBom`), anything else decoded as GBK;
// nullopt when it is neither.
std::optional<std::string> decodeSettingsText(std::string_view bytes, bool* hadBom = nullptr);

// The value of a key, empty when the file, the section or the key is missing
// or the file cannot be read.
std::string readSetting(const std::string& path, std::string_view section, std::string_view key);

// Writes one key, creating the file, section or key as needed and keeping
// every other line. The file is replaced in one step (a temporary file in the
// same folder, then a rename), so a crash never leaves half a file. Fails,
// touching nothing, when the folder is missing, or when an existing file
// cannot be read or decoded (it is not ours to overwrite).
bool writeSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value);

// The four keys, read in the order shop name, machine number, cashier,
// address; written in the same order, every key also when empty.
ReceiptHeader readHeader(const std::string& path);
void writeHeader(const std::string& path, const ReceiptHeader& header);

}  // namespace shop::settings
