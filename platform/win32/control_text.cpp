#include "platform/win32/control_text.h"

#include <cwchar>
#include <string>

#include "platform/text/ascii.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {
namespace {

using SendMessageWide = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
using SetWindowTextWide = BOOL(WINAPI*)(HWND, LPCWSTR);
using TextExtentWide = BOOL(WINAPI*)(HDC, LPCWSTR, int, LPSIZE);
using LCMapStringWide = int(WINAPI*)(LCID, DWORD, LPCWSTR, int, LPWSTR, int);

struct WideFunctions {
    SendMessageWide sendMessage = nullptr;
    SetWindowTextWide setWindowText = nullptr;
    TextExtentWide textExtent = nullptr;
    LCMapStringWide lcMapString = nullptr;
};

WideFunctions FetchWideFunctions()
{
    WideFunctions functions;
    if (!RunsOnNt())
        return functions;
    functions.sendMessage = SystemFunction<SendMessageWide>("user32.dll", "SendMessageW");
    functions.setWindowText = SystemFunction<SetWindowTextWide>("user32.dll", "SetWindowTextW");
    functions.textExtent = SystemFunction<TextExtentWide>("gdi32.dll", "GetTextExtentPoint32W");
    functions.lcMapString = SystemFunction<LCMapStringWide>("kernel32.dll", "LCMapStringW");
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

bool FillsListBoxInUtf16() { return Wide().sendMessage && Wide().lcMapString; }

// Most keys fit the first guess; a longer one is asked for by its size.
bool AppendListSortKey(LCID locale, const wchar_t* line, std::string& keys)
{
    const LCMapStringWide map = Wide().lcMapString;
    if (!map)
        return false;
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const std::size_t at = keys.size();
    const auto into = [&](int size) {
        keys.resize(at + static_cast<std::size_t>(size));
        return map(locale, kFlags, line, -1, reinterpret_cast<LPWSTR>(keys.data() + at), size);
    };
    int size = into(2 * static_cast<int>(std::wcslen(line)) + 16);
    if (size == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = map(locale, kFlags, line, -1, nullptr, 0);
        size = needed > 0 ? into(needed) : 0;
    }
    keys.resize(at + static_cast<std::size_t>(size > 0 ? size : 0));
    return size > 0;
}

LRESULT AddListBoxLine(HWND list, const wchar_t* line, ListPlace place)
{
    if (place == ListPlace::End)
        return Wide().sendMessage(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(line));
    return Wide().sendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
}

} // namespace tallowick::win32
