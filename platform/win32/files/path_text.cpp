#include "platform/win32/files/path_text.h"

#include <windows.h>

namespace tallowick::win32 {
namespace {

bool IsLeadSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// One code point (or lone surrogate) from `text` at `pos`; nothing when the
// bytes there are not a shortest-form sequence.
std::optional<char32_t> DecodeOne(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    int trailing = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        code = lead & 0x1Fu;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        code = lead & 0x0Fu;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        code = lead & 0x07u;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    for (int i = 0; i < trailing; ++i) {
        if (pos >= text.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(text[pos++]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF)
        return std::nullopt;
    return code;
}

std::wstring WideFromAnsi(std::string_view ansi)
{
    if (ansi.empty())
        return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return wide;
}

// The ANSI form of `wide`; `exact` turns false when a character had to be
// replaced by the code page's default character.
std::string AnsiFromWide(std::wstring_view wide, bool& exact)
{
    exact = true;
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    BOOL usedDefault = FALSE;
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, &usedDefault);
    exact = length > 0 && !usedDefault;
    return ansi;
}

} // namespace

std::string PathTextFromWide(std::wstring_view wide)
{
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(wide[i]);
        if (IsLeadSurrogate(unit) && i + 1 < wide.size() && IsTrailSurrogate(static_cast<char16_t>(wide[i + 1]))) {
            const char32_t trail = static_cast<char16_t>(wide[++i]);
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (trail - 0xDC00));
        } else {
            AppendUtf8(text, unit); // a lone surrogate keeps its own three bytes
        }
    }
    return text;
}

std::optional<std::wstring> WideFromPathText(std::string_view text)
{
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::optional<char32_t> code = DecodeOne(text, pos);
        // A NUL would end the path early and name another file.
        if (!code || *code == 0)
            return std::nullopt;
        if (*code >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((*code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((*code - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(*code);
        }
    }
    return wide;
}

std::optional<std::string> PathTextFromAnsi(std::string_view ansi)
{
    const std::wstring wide = WideFromAnsi(ansi);
    bool exact = false;
    if (AnsiFromWide(wide, exact) != ansi || (!exact && !ansi.empty()))
        return std::nullopt;
    return PathTextFromWide(wide);
}

std::optional<std::string> AnsiFromPathText(std::string_view text)
{
    const std::optional<std::wstring> wide = WideFromPathText(text);
    if (!wide)
        return std::nullopt;
    bool exact = false;
    std::string ansi = AnsiFromWide(*wide, exact);
    if ((!exact && !wide->empty()) || WideFromAnsi(ansi) != *wide)
        return std::nullopt;
    return ansi;
}

std::string DisplayTextFromAnsi(std::string_view ansi) { return PathTextFromWide(WideFromAnsi(ansi)); }

} // namespace tallowick::win32
