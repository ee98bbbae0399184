#include "platform/win32/ansi_text.h"

#include <algorithm>

#include <windows.h>

namespace tallowick::win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point at `pos` and advances past it.
char32_t DecodeOne(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    int trailing = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        trailing = 1;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        trailing = 2;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        trailing = 3;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return kReplacement;
    }

    for (int i = 0; i < trailing; ++i) {
        if (pos >= text.size())
            return kReplacement;
        const auto next = static_cast<unsigned char>(text[pos]);
        if ((next & 0xC0) != 0x80)
            return kReplacement; // the byte starts the next character
        code = (code << 6) | (next & 0x3Fu);
        ++pos;
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < minimum || code > 0x10FFFF || surrogate)
        return kReplacement;
    return code;
}

} // namespace

std::wstring Utf8ToUtf16(std::string_view utf8)
{
    std::wstring wide;
    wide.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t code = DecodeOne(utf8, pos);
        if (code >= 0x10000) {
            const char32_t offset = code - 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(code));
        }
    }
    return wide;
}

std::string Utf8ToAnsi(std::string_view utf8)
{
    const bool plainAscii = std::all_of(utf8.begin(), utf8.end(),
                                        [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (plainAscii)
        return std::string(utf8);

    const std::wstring wide = Utf8ToUtf16(utf8);
    const int wideLength = static_cast<int>(wide.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), size, nullptr, nullptr);
    return ansi;
}

std::string AnsiToUtf8(std::string_view ansi)
{
    const int ansiLength = static_cast<int>(ansi.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, nullptr, 0);
    if (wideLength <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), ansiLength, wide.data(), wideLength);

    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t code = static_cast<char16_t>(wide[i]);
        const bool highSurrogate = code >= 0xD800 && code <= 0xDBFF;
        if (highSurrogate && i + 1 < wide.size()) {
            const char32_t low = static_cast<char16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | (code >> 18)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

} // namespace tallowick::win32
