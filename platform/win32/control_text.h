#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace tallowick::win32 {

// Texts into controls. On NT they go in as UTF-16, so a file name outside
// the ANSI code page shows exactly as it is on disk; Windows 95 and 98 take
// them through the ANSI code page. The W functions are fetched at run time:
// 95 and 98 export them as stubs that fail.
bool SetControlText(HWND control, std::string_view utf8);
// A modal message box; MessageBox's answer.
int ShowMessageText(std::string_view utf8, std::string_view caption, UINT flags);
// A list box's lines, in the order it shows them.
std::vector<std::string> ListBoxTexts(HWND list);
// The list's LB_ADDSTRING answer: the new line's index, or LB_ERR/LB_ERRSPACE.
LRESULT AddListBoxLine(HWND list, std::string_view utf8);

// The width of a text as a control shows it, in the font selected into `dc`.
int MeasureText(HDC dc, std::string_view utf8);
// Whole fills of a list box in UTF-16, on NT (see ListBoxLines). False on
// 95 and 98, whose list boxes take AddListBoxLine's lines and sort them in
// 16-bit USER with a comparison of their own.
bool FillsListBoxInUtf16();
// A sorted list box orders its lines with CompareStringW, ignoring case, in
// its locale (LB_GETLOCALE). LCMapStringW's sort key for that comparison,
// empty where the system gives none.
std::string ListSortKey(LCID locale, std::wstring_view text);
// CompareStringW's answer, ignoring case: below, at or above 0.
int CompareIgnoringCase(LCID locale, std::string_view a, std::string_view b);
// Where a line goes: at the end (LB_INSERTSTRING), which in a sorted list is
// where the list would put it only for lines handed over in its own order;
// or where the list puts it (LB_ADDSTRING).
enum class ListPlace { End, ListsOwn };
LRESULT AddListBoxLine(HWND list, const wchar_t* line, ListPlace place); // NT only; answers as above

} // namespace tallowick::win32
