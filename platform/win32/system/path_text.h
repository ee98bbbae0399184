#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowick::win32 {

// The program's texts are UTF-8; Windows takes UTF-16 (the W functions, which
// only NT has) or the ANSI code page (the A functions). Windows 95 decodes no
// UTF-8, so the decoding is done here, the same on every Windows.
//
// NT names are UTF-16 that need not be well formed, so an unpaired surrogate
// is written the way WTF-8 does (its own three-byte form): every name read
// from the disk comes back unchanged, and shows as it is.

std::string PathTextFromWide(std::wstring_view wide);

// Nothing when the text is not well-formed (WTF-)8 or holds a NUL.
std::optional<std::wstring> WideFromPathText(std::string_view text);

// A path as the W file functions take it. A drive path goes as
// "\\?\c:\...": the name is then taken exactly as given, so "a.txt " is
// never trimmed to another file "a.txt", and a path may be longer than
// MAX_PATH.
std::optional<std::wstring> WideSystemPath(std::string_view path);

// Windows 95 and 98 name files in the ANSI code page. Nothing when the text
// does not convert both ways without change, so that a name is never
// replaced by a look-alike.
std::optional<std::string> PathTextFromAnsi(std::string_view ansi);
std::optional<std::string> AnsiFromPathText(std::string_view text);

// For texts that are only shown (captions, list lines, system messages):
// always converts. A malformed sequence becomes U+FFFD; a character outside
// the ANSI code page becomes the page's default character.
std::wstring WideFromDisplayText(std::string_view text);
std::string AnsiFromDisplayText(std::string_view text);
std::string DisplayTextFromAnsi(std::string_view ansi);

} // namespace tallowick::win32
