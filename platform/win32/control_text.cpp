#include "platform/win32/control_text.h"

#include <algorithm>

#include "platform/text/ascii.h"
#include "platform/win32/system/path_text.h"
#include "platform/win32/system/system_function.h"

namespace tallowick::win32 {
namespace {

// The W functions, on NT only: 95 and 98 export them as stubs that fail.
template <typename Function>
Function OnNt(const char* module, const char* name)
{
    return RunsOnNt() ? SystemFunction<Function>(module, name) : nullptr;
}

const struct {
    LRESULT(WINAPI* sendMessage)(HWND, UINT, WPARAM, LPARAM) = OnNt<decltype(sendMessage)>("user32.dll", "SendMessageW");
    BOOL(WINAPI* setWindowText)(HWND, LPCWSTR) = OnNt<decltype(setWindowText)>("user32.dll", "SetWindowTextW");
    int(WINAPI* messageBox)(HWND, LPCWSTR, LPCWSTR, UINT) = OnNt<decltype(messageBox)>("user32.dll", "MessageBoxW");
    BOOL(WINAPI* textExtent)(HDC, LPCWSTR, int, LPSIZE) = OnNt<decltype(textExtent)>("gdi32.dll", "GetTextExtentPoint32W");
    int(WINAPI* lcMapString)(LCID, DWORD, LPCWSTR, int, LPWSTR, int) = OnNt<decltype(lcMapString)>("kernel32.dll", "LCMapStringW");
    int(WINAPI* compareString)(LCID, DWORD, LPCWSTR, int, LPCWSTR, int) = OnNt<decltype(compareString)>("kernel32.dll", "CompareStringW");
    LONG_PTR(WINAPI* windowLong)(HWND, int) =
        OnNt<decltype(windowLong)>("user32.dll", sizeof(void*) == 8 ? "GetWindowLongPtrW" : "GetWindowLongW");
    LRESULT(WINAPI* callWindowProc)(WNDPROC, HWND, UINT, WPARAM, LPARAM) = OnNt<decltype(callWindowProc)>("user32.dll", "CallWindowProcW");
} kWide;

template <typename Char, typename Send>
std::basic_string<Char> ListBoxLine(Send send, HWND list, WPARAM index)
{
    std::basic_string<Char> line(static_cast<std::size_t>(send(list, LB_GETTEXTLEN, index, 0)) + 1, Char{});
    const LRESULT length = send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
    line.resize(static_cast<std::size_t>(std::max<LRESULT>(0, length)));
    return line;
}

} // namespace

bool SetControlText(HWND control, std::string_view utf8)
{
    if (!IsAscii(utf8) && kWide.setWindowText)
        return kWide.setWindowText(control, WideFromDisplayText(utf8).c_str()) != FALSE;
    return SetWindowTextA(control, AnsiFromDisplayText(utf8).c_str()) != FALSE;
}

int ShowMessageText(std::string_view utf8, std::string_view caption, UINT flags)
{
    if (!IsAscii(utf8) && kWide.messageBox)
        return kWide.messageBox(nullptr, WideFromDisplayText(utf8).c_str(), WideFromDisplayText(caption).c_str(), flags);
    return MessageBoxA(nullptr, AnsiFromDisplayText(utf8).c_str(), AnsiFromDisplayText(caption).c_str(), flags);
}

std::vector<std::string> ListBoxTexts(HWND list)
{
    const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    std::vector<std::string> lines;
    for (WPARAM i = 0; static_cast<LRESULT>(i) < count; ++i)
        lines.push_back(kWide.sendMessage ? PathTextFromWide(ListBoxLine<wchar_t>(kWide.sendMessage, list, i))
                                          : DisplayTextFromAnsi(ListBoxLine<char>(SendMessageA, list, i)));
    return lines;
}

LRESULT AddListBoxLine(HWND list, std::string_view utf8)
{
    if (!IsAscii(utf8) && kWide.sendMessage)
        return kWide.sendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromDisplayText(utf8).c_str()));
    return SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AnsiFromDisplayText(utf8).c_str()));
}

int MeasureText(HDC dc, std::string_view utf8)
{
    SIZE size{};
    if (!IsAscii(utf8) && kWide.textExtent && kWide.sendMessage) {
        const std::wstring wide = WideFromDisplayText(utf8);
        return kWide.textExtent(dc, wide.c_str(), static_cast<int>(wide.size()), &size) ? size.cx : 0;
    }
    const std::string ansi = AnsiFromDisplayText(utf8);
    return GetTextExtentPoint32A(dc, ansi.c_str(), static_cast<int>(ansi.size()), &size) ? size.cx : 0;
}

bool FillsListBoxInUtf16()
{
    return kWide.sendMessage && kWide.lcMapString && kWide.compareString && kWide.windowLong && kWide.callWindowProc;
}

std::string ListSortKey(LCID locale, std::wstring_view text)
{
    const int length = static_cast<int>(text.size());
    const int size = kWide.lcMapString(locale, LCMAP_SORTKEY | NORM_IGNORECASE, text.data(), length, nullptr, 0);
    std::string key(static_cast<std::size_t>(std::max(size, 0)), '\0');
    kWide.lcMapString(locale, LCMAP_SORTKEY | NORM_IGNORECASE, text.data(), length,
                      reinterpret_cast<LPWSTR>(key.data()), size);
    return key;
}

int CompareIgnoringCase(LCID locale, std::string_view a, std::string_view b)
{
    const std::wstring first = WideFromDisplayText(a);
    const std::wstring second = WideFromDisplayText(b);
    return kWide.compareString(locale, NORM_IGNORECASE, first.c_str(), static_cast<int>(first.size()),
                               second.c_str(), static_cast<int>(second.size())) - CSTR_EQUAL;
}

WNDPROC ListBoxProcedure(HWND list) { return reinterpret_cast<WNDPROC>(kWide.windowLong(list, GWLP_WNDPROC)); }

LRESULT AddListBoxLine(HWND list, WNDPROC procedure, const wchar_t* line, ListPlace place)
{
    const auto text = reinterpret_cast<LPARAM>(line);
    if (place == ListPlace::End)
        return kWide.callWindowProc(procedure, list, LB_INSERTSTRING, static_cast<WPARAM>(-1), text);
    return kWide.callWindowProc(procedure, list, LB_ADDSTRING, 0, text);
}

} // namespace tallowick::win32
