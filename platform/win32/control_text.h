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

// The line goes in at the end of the list (LB_INSERTSTRING; on 95 and 98
// LB_ADDSTRING, for a list that does not sort): in a sorted list, for lines
// handed over in its own order (their sort keys, below), that is where the
// list would have put each, without searching its lines. Answers as
// AddListBoxLine.
LRESULT AppendListBoxLine(HWND list, std::string_view utf8);
// On NT a sorted list box orders its lines with CompareStringW, ignoring
// case, in its locale (LB_GETLOCALE); LCMapStringW's sort keys, compared
// byte by byte, give that same order. Appends the key of `utf8` to `keys`.
// False when the system gives none, and always on 95 and 98, which sort in
// 16-bit USER with a comparison of their own. A key takes about two bytes a
// character and a few more.
bool AppendListSortKey(LCID locale, std::string_view utf8, std::string& keys);

} // namespace tallowick::win32
