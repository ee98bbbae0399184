#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tallowick {

// Plain ASCII reads the same in UTF-8 and in every code page.
inline bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Drive letters, and the names that Wine matches regardless of case, compare
// by ASCII letter case only.
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return LowerAscii(c); });
    return lower;
}

} // namespace tallowick
