#pragma once

#include <deque>
#include <string_view>

#include <windows.h>

#include "platform/interfaces/shared_text.h"
#include "platform/runtime/text_collection.h"
#include "platform/runtime/widest_line.h"

namespace tallowick::win32 {

// The lines a handler adds to one list box, handed over in one go when it is
// done, so that the list is drawn once. A sorted list box finds each new
// line's place and moves those after it; lines handed over in its own order
// go in at the end instead. The horizontal extent follows the widest line, so
// that a line wider than the list can be scrolled into view.
class ListBoxLines {
public:
    explicit ListBoxLines(HWND list) : list_(list) {}

    HWND List() const { return list_; }
    void Clear(); // and the list box's own lines
    void Add(const SharedText& line); // kept with its store until handed over

    // Adds the lines and sets the extent. A full list box (95 and 98 hold
    // 32,767 lines) shows the lines it took; the rest are left out, no error.
    void HandOver();

private:
    void ApplyExtent();

    HWND list_;
    bool cleared_ = false;
    // UTF-8, kept by kept_; each of the deque's blocks goes back once its lines are in.
    std::deque<std::string_view> lines_;
    TextKeeper kept_;
    WidestLine widest_;
};

} // namespace tallowick::win32
