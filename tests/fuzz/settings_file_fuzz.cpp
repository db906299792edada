// Any bytes found in the receipt settings file. Decoding either refuses them
// or gives UTF-8; parsing keeps every byte of the text; setting a key changes
// that key only and reads back as the value set.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/ini_text.h"
#include "settings/settings_file.h"
#include "storage/text.h"

using namespace shop::settings;

namespace {

struct Key {
    const char* section;
    const char* key;
};
constexpr Key kKeys[] = {{kShopSection, kShopNameKey},
                         {kTillSection, kMachineKey},
                         {kTillSection, kCashierKey},
                         {kTillSection, kAddressKey}};

}  // namespace

// Input layout: [which key][value length] value, then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const Key& target = kKeys[data[0] % 4];
    const std::size_t valueLength = std::min<std::size_t>(data[1], size - 2);
    const std::string_view rawValue(reinterpret_cast<const char*>(data) + 2, valueLength);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2 + valueLength,
                                 size - 2 - valueLength);

    const auto text = decodeSettingsText(bytes);
    if (!text) return 0;
    FUZZ_CHECK(shop::storage::isValidUtf8(*text));
    const IniDocument doc = parseIni(*text);
    FUZZ_CHECK(serializeIni(doc) == *text);
    // The one-pass read of the text agrees with the parsed lines.
    for (const Key& k : kKeys)
        FUZZ_CHECK(iniValue(std::string_view(*text), k.section, k.key) ==
                   iniValue(doc, k.section, k.key));

    // The window only ever writes UTF-8 text.
    const auto value =
        shop::storage::isValidUtf8(rawValue) ? std::string(rawValue) : std::string("值");
    const std::string written = withIniValue(*text, target.section, target.key, value);
    const IniDocument after = parseIni(written);
    FUZZ_CHECK(serializeIni(after) == written);
    const auto back = iniValue(after, target.section, target.key);
    FUZZ_CHECK(back && *back == singleLine(value));
    for (const Key& other : kKeys) {
        if (&other == &target) continue;
        FUZZ_CHECK(iniValue(after, other.section, other.key) ==
                   iniValue(doc, other.section, other.key));
    }
    // Setting the same value again changes nothing.
    FUZZ_CHECK(withIniValue(written, target.section, target.key, value) == written);
    return 0;
}
