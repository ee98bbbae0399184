#include "platform/win32/message_boxes.h"

#include <string>

#include <windows.h>

#include "platform/win32/system/path_text.h"

namespace tallowick {

void SystemMessageBoxes::Show(std::string_view text, MessageKind kind)
{
    const std::string ansi = win32::AnsiFromDisplayText(text);
    const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxA(nullptr, ansi.c_str(), "Tallowick", MB_OK | MB_TASKMODAL | icon);
}

} // namespace tallowick
