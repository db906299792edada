// The code points the pinyin-initials table covers: the CJK Unified
// Ideographs and their Extension A, where every character of everyday goods
// names lies.
#pragma once

namespace shop::checkout::pinyin {

inline constexpr char32_t kFirst = 0x3400;
inline constexpr char32_t kLast = 0x9FFF;

}  // namespace shop::checkout::pinyin
