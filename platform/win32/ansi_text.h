#pragma once

#include <string>
#include <string_view>

namespace tallowick::win32 {

// The core's texts are UTF-8. Windows 95 and 98 decode UTF-8 only from 98 on,
// so the decoding is done here; a malformed sequence becomes U+FFFD.
std::wstring Utf8ToUtf16(std::string_view utf8);

// The window code runs on the A functions, which take the ANSI code page;
// a character outside that page shows as the page's default character.
std::string Utf8ToAnsi(std::string_view utf8);

// Texts that Windows hands out in the ANSI code page (system messages),
// made UTF-8 for the core.
std::string AnsiToUtf8(std::string_view ansi);

} // namespace tallowick::win32
