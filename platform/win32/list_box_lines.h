#pragma once

#include <deque>
#include <string_view>

#include <windows.h>

#include "platform/interfaces/shared_text.h"
#include "platform/runtime/text_collection.h"
#include "platform/runtime/widest_line.h"

namespace tallowick::win32 {

// The lines a handler adds to one list box, kept until the handler is done
// and then handed to the list box in one go, which is drawn once. A sorted
// list box searches its lines for the place of each new one and moves those
// after it; handed over in its own order, each line goes in at the end
// instead. The list's horizontal extent follows its widest line, so that a
// line wider than the list can be scrolled into view (the list has
// WS_HSCROLL; the bar shows only while the extent is wider than the list).
class ListBoxLines {
public:
    explicit ListBoxLines(HWND list) : list_(list) {}

    HWND List() const { return list_; }
    void Clear(); // and the list box's own lines
    void Add(const SharedText& line); // kept with its store until handed over

    // Adds the lines to the list box and sets its extent. A list box that
    // is full (Windows 95 and 98 hold 32,767 lines) shows the lines it took;
    // the others are left out, which is no error.
    void HandOver();

private:
    void HandOverInUtf16();
    void ApplyExtent();

    HWND list_;
    bool cleared_ = false;
    // UTF-8, kept by kept_. In blocks, so that each block's room goes back
    // as soon as its lines are in the list box.
    std::deque<std::string_view> lines_;
    TextKeeper kept_;
    WidestLine widest_;
};

} // namespace tallowick::win32
