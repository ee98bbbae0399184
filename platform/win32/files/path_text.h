#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallowick::win32 {

// Paths travel through the core as UTF-8. NT names are UTF-16 that need not
// be well formed, so an unpaired surrogate is written the way WTF-8 does (its
// own three-byte form): every name read from the disk comes back unchanged.

std::string PathTextFromWide(std::wstring_view wide);

// Nothing when the text is not well-formed (WTF-)8.
std::optional<std::wstring> WideFromPathText(std::string_view text);

// Windows 95 and 98 name files in the ANSI code page. Nothing when the text
// does not convert both ways without change, so that a name is never
// replaced by a look-alike.
std::optional<std::string> PathTextFromAnsi(std::string_view ansi);
std::optional<std::string> AnsiFromPathText(std::string_view text);

// For texts that are only shown (system messages): always converts.
std::string DisplayTextFromAnsi(std::string_view ansi);

} // namespace tallowick::win32
