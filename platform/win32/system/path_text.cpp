#include "platform/win32/system/path_text.h"

#include <windows.h>

#include "platform/text/ascii.h"
#include "platform/text/utf8.h"

namespace tallowick::win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// `text` in UTF-16. A malformed sequence becomes `replacement`; without
// one, the text has no UTF-16 form.
std::optional<std::wstring> Utf16(std::string_view text, std::optional<char32_t> replacement)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<char32_t> decoded = DecodeUtf8(text, pos);
        if (!decoded && !replacement)
            return std::nullopt;
        const char32_t code = decoded ? *decoded : *replacement;
        if (code >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(code);
        }
    }
    return wide;
}

std::wstring WideFromAnsi(std::string_view ansi)
{
    // No character takes more UTF-16 units than it takes ANSI bytes.
    std::wstring wide(ansi.size(), L'\0');
    const int size = static_cast<int>(ansi.size());
    const int length = size > 0 ? MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), size) : 0;
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

// The ANSI form of `wide`. Where `usedDefault` is given, it turns TRUE when
// a character had to be replaced by the code page's default character; only
// then is that asked, since a system whose ANSI code page is UTF-8 refuses it.
std::string AnsiFromWide(std::wstring_view wide, BOOL* usedDefault = nullptr)
{
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), length, nullptr, usedDefault);
    return ansi;
}

} // namespace

std::string PathTextFromWide(std::wstring_view wide)
{
    if (IsAscii(wide))
        return std::string(wide.begin(), wide.end()); // most names
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t code = static_cast<char16_t>(wide[i]);
        const char32_t next = i + 1 < wide.size() ? static_cast<char16_t>(wide[i + 1]) : 0;
        // A lead surrogate and a trail one make a pair; a lone one is written as it is.
        if (code >= 0xD800 && code <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
            ++i;
        }
        AppendUtf8(text, code);
    }
    return text;
}

std::optional<std::wstring> WideFromPathText(std::string_view text)
{
    // A NUL would end the path early and name another file.
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    return Utf16(text, std::nullopt);
}

std::optional<std::wstring> WideSystemPath(std::string_view path)
{
    std::optional<std::wstring> wide = WideFromPathText(path);
    if (wide && wide->size() >= 3 && (*wide)[1] == L':' && (*wide)[2] == L'\\')
        wide->insert(0, L"\\\\?\\");
    return wide;
}

std::optional<std::string> PathTextFromAnsi(std::string_view ansi)
{
    const std::wstring wide = WideFromAnsi(ansi);
    BOOL usedDefault = FALSE;
    if (AnsiFromWide(wide, &usedDefault) != ansi || usedDefault)
        return std::nullopt;
    return PathTextFromWide(wide);
}

std::optional<std::string> AnsiFromPathText(std::string_view text)
{
    const std::optional<std::wstring> wide = WideFromPathText(text);
    if (!wide)
        return std::nullopt;
    BOOL usedDefault = FALSE;
    std::string ansi = AnsiFromWide(*wide, &usedDefault);
    if (usedDefault || WideFromAnsi(ansi) != *wide)
        return std::nullopt;
    return ansi;
}

std::wstring WideFromDisplayText(std::string_view text) { return *Utf16(text, kReplacement); }

std::string AnsiFromDisplayText(std::string_view text)
{
    return IsAscii(text) ? std::string(text) : AnsiFromWide(WideFromDisplayText(text));
}

std::string DisplayTextFromAnsi(std::string_view ansi) { return PathTextFromWide(WideFromAnsi(ansi)); }

} // namespace tallowick::win32
