#include "platform/win32/system/win32_error.h"

#include <windows.h>

#include "platform/win32/system/path_text.h"

namespace tallowick {

std::string SystemErrorText(unsigned long code)
{
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, sizeof text, nullptr);
    std::string ansi(text, length);
    ansi.erase(ansi.find_last_not_of("\r\n ") + 1);
    return ansi.empty() ? "Windows error " + std::to_string(code) : win32::DisplayTextFromAnsi(ansi);
}

Error SystemError(unsigned long code, const std::string& context)
{
    return Error(static_cast<long>(code), (context.empty() ? "" : context + ": ") + SystemErrorText(code));
}

Error LastError(const std::string& context) { return SystemError(GetLastError(), context); }

} // namespace tallowick
