#include "platform/win32/control_text.h"

#include <string>

#include "platform/rules/utf8.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {
namespace {

using SendMessageWide = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using SetWindowTextWide = BOOL(WINAPI*)(HWND, LPCWSTR);
using TextExtentWide = BOOL(WINAPI*)(HDC, LPCWSTR, int, LPSIZE);

struct WideFunctions {
    SendMessageWide sendMessage = nullptr;
    SetWindowTextWide setWindowText = nullptr;
    TextExtentWide textExtent = nullptr;
};

WideFunctions FetchWideFunctions()
{
    WideFunctions functions;
    if (!RunsOnNt())
        return functions;
    functions.sendMessage = SystemFunction<SendMessageWide>("user32.dll", "SendMessageW");
    functions.setWindowText = SystemFunction<SetWindowTextWide>("user32.dll", "SetWindowTextW");
    functions.textExtent = SystemFunction<TextExtentWide>("gdi32.dll", "GetTextExtentPoint32W");
    return functions;
}

const WideFunctions& Wide()
{
    static const WideFunctions functions = FetchWideFunctions();
    return functions;
}

} // namespace

bool SetControlText(HWND control, std::string_view utf8)
{
    if (!IsAscii(utf8) && Wide().setWindowText)
        return Wide().setWindowText(control, WideFromDisplayText(utf8).c_str()) != FALSE;
    return SetWindowTextA(control, AnsiFromDisplayText(utf8).c_str()) != FALSE;
}

LRESULT AddListBoxLine(HWND list, std::string_view utf8)
{
    if (!IsAscii(utf8) && Wide().sendMessage) {
        const std::wstring wide = WideFromDisplayText(utf8);
        return Wide().sendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    const std::string ansi = AnsiFromDisplayText(utf8);
    return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

int MeasureText(HDC dc, std::string_view utf8)
{
    SIZE size{};
    if (!IsAscii(utf8) && Wide().textExtent && Wide().sendMessage) {
        const std::wstring wide = WideFromDisplayText(utf8);
        if (!Wide().textExtent(dc, wide.c_str(), static_cast<int>(wide.size()), &size))
            return 0;
        return size.cx;
    }
    const std::string ansi = AnsiFromDisplayText(utf8);
    if (!GetTextExtentPoint32A(dc, ansi.c_str(), static_cast<int>(ansi.size()), &size))
        return 0;
    return size.cx;
}

} // namespace tallowick::win32
