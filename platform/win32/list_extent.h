#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include "platform/runtime/line_width.h"

namespace tallowick::win32 {

// Keeps a list box's horizontal extent at the width of its widest line, so
// that a line wider than the list can be scrolled into view (the list has
// WS_HSCROLL; the bar shows only while the extent is wider than the list).
// One lives while the list is filled without redrawing: lines are sized as
// they are added, without a device context each, and the extent is set
// once, when redrawing resumes.
class ListExtent {
public:
    explicit ListExtent(HWND list) : list_(list) {}

    HWND List() const { return list_; }
    void Clear();
    void Add(std::string_view utf8);
    // Measures the widest line with GetTextExtentPoint32 in the list's font
    // and sets the extent.
    void Apply();

private:
    void FetchAdvances();

    HWND list_;
    bool cleared_ = false;
    // ASCII lines are summed from the font's character widths (GDI adds no
    // kerning, so the sum is the line's extent); only the widest is kept.
    AsciiAdvances advances_{};
    bool haveAdvances_ = false;
    int widestAsciiSum_ = 0;
    std::string widestAscii_;
    // Other lines are measured as they are shown: in UTF-16 on NT, through
    // the ANSI code page on 95 and 98.
    std::vector<std::string> otherLines_;
};

} // namespace tallowick::win32
