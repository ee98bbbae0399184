#include "platform/win32/last_error.h"

#include <string>

#include <windows.h>

#include "platform/win32/files/path_text.h"

namespace tallowick::win32 {

Error LastError()
{
    const DWORD code = GetLastError();
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string description = DisplayTextFromAnsi(std::string_view(text, length));
    while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
        description.pop_back();
    if (description.empty())
        description = "Windows error " + std::to_string(code);
    return Error(static_cast<long>(code), description);
}

} // namespace tallowick::win32
