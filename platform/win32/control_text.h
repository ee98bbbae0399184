#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace tallowick::win32 {

// Texts into controls: on NT as UTF-16, so a file name outside the ANSI code
// page shows as it is on disk; on 95 and 98, whose W functions are stubs
// that fail, through the ANSI code page.
bool SetControlText(HWND control, std::string_view utf8);
int ShowMessageText(std::string_view utf8, std::string_view caption, UINT flags); // modal; MessageBox's answer
std::vector<std::string> ListBoxTexts(HWND list); // in the order the list shows them
// LB_ADDSTRING's answer: the new line's index, or LB_ERR/LB_ERRSPACE.
LRESULT AddListBoxLine(HWND list, std::string_view utf8);
// The width of a text as a control shows it, in the font selected into `dc`.
int MeasureText(HDC dc, std::string_view utf8);

// Whole fills of a list box in UTF-16, on NT (see ListBoxLines). False on 95
// and 98, whose list boxes sort AddListBoxLine's lines in 16-bit USER.
bool FillsListBoxInUtf16();
// A sorted list box orders its lines with CompareStringW, ignoring case, in its
// locale (LB_GETLOCALE): LCMapStringW's key for that order, empty if none.
std::string ListSortKey(LCID locale, std::wstring_view text);
// CompareStringW's answer, ignoring case: below, at or above 0.
int CompareIgnoringCase(LCID locale, std::string_view a, std::string_view b);
// At the end (LB_INSERTSTRING: right in a sorted list only for lines handed
// over in its own order), or where the list puts it. NT only; answers as above.
// The lines go straight to the list's window procedure, fetched once a fill:
// under Wine, SendMessageW's way there costs as much again as the insertion.
enum class ListPlace { End, ListsOwn };
WNDPROC ListBoxProcedure(HWND list);
LRESULT AddListBoxLine(HWND list, WNDPROC procedure, const wchar_t* line, ListPlace place);

} // namespace tallowick::win32
