#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tallowick {

// Plain ASCII reads the same in UTF-8, in UTF-16 and in every code page.
inline bool IsAscii(std::string_view text)
{
    return std::ranges::all_of(text, [](unsigned char c) { return c < 0x80; });
}
inline bool IsAscii(std::wstring_view text) { return std::ranges::all_of(text, [](char32_t c) { return c < 0x80; }); }

// Drive letters, and the names that Wine matches regardless of case, compare
// by ASCII letter case only.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](char c) { return LowerAscii(c); });
    return lower;
}

// Where two texts first differ, eight bytes at a time: sorted paths share
// long beginnings.
inline std::size_t FirstDifference(std::string_view a, std::string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t at = 0;
    for (; at + 8 <= shorter; at += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a.data() + at, 8);
        std::memcpy(&y, b.data() + at, 8);
        if (x != y)
            break;
    }
    while (at < shorter && a[at] == b[at])
        ++at;
    return at;
}

} // namespace tallowick
