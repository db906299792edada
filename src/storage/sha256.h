// SHA-256, so a backup can say what each of its files must hold and a restore
// can prove it before anything is replaced.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shop::storage {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void update(const void* data, std::size_t size);
    void update(std::string_view bytes) { update(bytes.data(), bytes.size()); }
    // The digest of everything passed in; the object is spent afterwards.
    Digest finish();

    // Lower-case hexadecimal, as the manifest writes it.
    static std::string hex(const Digest& d);

private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_buffer{};
    std::size_t m_buffered = 0;
    std::uint64_t m_length = 0;  // bytes seen
};

// Hex digest of a whole file; nullopt when it cannot be read to its end.
std::optional<std::string> sha256File(const std::string& path, std::string* why = nullptr);

}  // namespace shop::storage
