#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowick::win32 {

// The program's texts are UTF-8; Windows takes UTF-16 (the W functions, NT
// only) or the ANSI code page (the A functions). Windows 95 decodes no UTF-8,
// so it is decoded here. NT names need not be well-formed UTF-16: an unpaired
// surrogate keeps its own three bytes (WTF-8), so every name read from the
// disk comes back unchanged.

std::string PathTextFromWide(std::wstring_view wide);
// Nothing when the text is not well-formed (WTF-)8 or holds a NUL.
std::optional<std::wstring> WideFromPathText(std::string_view text);
// A path as the W file functions take it: a drive path as "\\?\c:\...", so
// that "a.txt " is never trimmed to another file "a.txt" and MAX_PATH is no limit.
std::optional<std::wstring> WideSystemPath(std::string_view path);

// Windows 95 and 98 name files in the ANSI code page. Nothing unless the text
// converts both ways unchanged: a name is never replaced by a look-alike.
std::optional<std::string> PathTextFromAnsi(std::string_view ansi);
std::optional<std::string> AnsiFromPathText(std::string_view text);

// For texts that are only shown: a malformed sequence becomes U+FFFD, a
// character outside the ANSI code page the page's default character.
std::wstring WideFromDisplayText(std::string_view text);
std::string AnsiFromDisplayText(std::string_view text);
std::string DisplayTextFromAnsi(std::string_view ansi);

} // namespace tallowick::win32
