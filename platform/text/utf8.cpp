#include "platform/text/utf8.h"

namespace tallowick {

std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    // A lead byte 110xxxxx, 1110xxxx or 11110xxx: one, two or three bytes
    // 10xxxxxx follow it.
    if (lead < 0xC0 || lead > 0xF7)
        return std::nullopt;
    const int trailing = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000}; // the least code point of each length
    char32_t code = lead & (0x3Fu >> trailing);
    for (int i = 0; i < trailing; ++i) {
        if (pos >= text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[pos]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3Fu);
        ++pos;
    }
    if (code < kShortest[trailing] || code > 0x10FFFF)
        return std::nullopt;
    return code;
}

void AppendUtf8(std::string& text, char32_t code)
{
    const int trailing = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(kLead[trailing] | (code >> (6 * trailing)));
    for (int shift = 6 * (trailing - 1); shift >= 0; shift -= 6)
        text += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
}

bool IsWellFormedUtf8(std::string_view text, bool surrogatesAllowed)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> code = DecodeUtf8(text, pos);
        if (!code || (!surrogatesAllowed && IsSurrogate(*code)))
            return false;
    }
    return true;
}

} // namespace tallowick
