#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallowick {

// Decodes the character at `pos` and moves `pos` past it. Nothing for a
// sequence that is not shortest-form or is above U+10FFFF; `pos` then stops
// before any byte that could start the next character. Surrogates decode:
// a Windows name may hold a lone one, kept as its own three bytes (WTF-8).
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos);

inline bool IsSurrogate(char32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

// Appends the UTF-8 form of `code`; a surrogate gets its own three bytes.
void AppendUtf8(std::string& text, char32_t code);

// Well-formed UTF-8; with `surrogatesAllowed`, WTF-8.
bool IsWellFormedUtf8(std::string_view text, bool surrogatesAllowed = false);

} // namespace tallowick
