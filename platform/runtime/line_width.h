#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tallowick {

// A list's lines are sized for its horizontal scroll bar without measuring
// each one: a line of ASCII characters is the sum of their advances, from a
// table the toolkit fills once per font. Nothing for any other line, which
// must be measured.
using AsciiAdvances = std::array<int, 128>;

inline std::optional<int> AsciiWidth(std::string_view line, const AsciiAdvances& advances)
{
    int width = 0;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= advances.size())
            return std::nullopt;
        width += advances[byte];
    }
    return width;
}

} // namespace tallowick
