#pragma once

#include <string_view>

#include <windows.h>

namespace tallowick::win32 {

// Texts into controls. On NT they go in as UTF-16, so a file name outside
// the ANSI code page shows exactly as it is on disk; Windows 95 and 98 take
// them through the ANSI code page. The W functions are fetched at run time:
// 95 and 98 export them as stubs that fail.
bool SetControlText(HWND control, std::string_view utf8);
// The list's LB_ADDSTRING answer: the new line's index, or LB_ERR/LB_ERRSPACE.
LRESULT AddListBoxLine(HWND list, std::string_view utf8);

// The width of a text as a control shows it, in the font selected into `dc`.
int MeasureText(HDC dc, std::string_view utf8);

} // namespace tallowick::win32
