// The settings file that keeps the receipt header (shop name, machine number,
// cashier, address) between runs.
//
// Encoding: written as UTF-8 behind a byte-order mark, which tells our own
// files apart; a file without the mark may also be GBK-encoded (see
// decodeSettingsText). A file that is missing or cannot be read gives empty
// values; a write that cannot be done leaves the disk as it was and says so
// through its result.
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
// Whether the receipt of a sale is printed as soon as it is paid for (收款):
// "1" asks for it; a missing key, the default, shows the receipt only.
inline constexpr const char* kPrintAtPaymentKey = "print";

// The header takes a few hundred bytes; a file larger than this is not a
// settings file of ours: it reads as empty and is never rewritten, and no
// write makes one.
inline constexpr std::size_t kSettingsSizeLimit = 1u << 20;

struct ReceiptHeader {
    std::string shopName;
    std::string machine;
    std::string cashier;
    std::string address;
    friend bool operator==(const ReceiptHeader&, const ReceiptHeader&) = default;
};

// The file's bytes as UTF-8 text; nullopt when they are neither UTF-8 nor
// GBK. The rule:
//   1. A leading UTF-8 byte-order mark: the rest is UTF-8 (this program's
//      own files), or nothing at all when it is not.
//   2. Bytes that are not valid UTF-8: GBK.
//   3. Bytes valid both ways: short GBK texts such as 小平 (D0 A1 C6 BD) and
//      谢伟 (D0 BB CE B0) are also valid UTF-8, where they read as Cyrillic,
//      Greek or Latin letters (Сƽ, лΰ). A shop's header holds Chinese text,
//      ASCII and common punctuation, so the UTF-8 reading is taken when all
//      its characters are of those kinds, and the GBK reading when the
//      UTF-8 one holds other characters but the GBK one does not.
// The limit: a file without the mark whose UTF-8 text holds such other
// characters (an accented or Cyrillic name) and whose bytes also read as
// plausible GBK is read as GBK. Every file this program writes has the mark.
std::optional<std::string> decodeSettingsText(std::string_view bytes, bool* hadBom = nullptr);

// The value of a key, empty when the file, the section or the key is missing
// or the file cannot be read.
std::string readSetting(const std::string& path, std::string_view section, std::string_view key);

// Writes one key, creating the file, section or key as needed and keeping
// every other line. The file is replaced in one step (a new file in the same
// folder, then a rename and a sync of the folder), so neither a crash nor a
// power cut leaves half a file or brings the old one back. Fails,
// touching nothing, when the folder is missing, when an existing file
// cannot be read or decoded or is a link (it is not ours to overwrite), when the result
// would exceed the size limit, or when the disk takes less than all of it.
bool writeSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value);

// The four keys, read from one reading of the file.
ReceiptHeader readHeader(const std::string& path);
// The four keys, every one also when empty, stored in one replacement of the
// file: all four or none. Fails as writeSetting does.
bool writeHeader(const std::string& path, const ReceiptHeader& header);

}  // namespace shop::settings
