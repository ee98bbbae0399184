#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace tallowick::win32 {

// The lines a handler adds to one list box, kept until the handler is done
// and then handed to the list box in one go. A sorted list box searches its
// lines for the place of each new one and moves those after it; handed over
// in its own order, each line goes in at the end instead.
class ListBoxLines {
public:
    void Add(std::string_view utf8);
    bool Empty() const { return ends_.empty(); }

    // Adds the lines to `list` and forgets them. A list box that is full
    // (Windows 95 and 98 hold 32,767 lines) shows the lines it took; the
    // others are left out, which is no error.
    void HandTo(HWND list);

private:
    std::string_view Line(std::size_t index) const;
    void HandToInUtf16(HWND list);

    std::string texts_; // UTF-8, one line after another
    std::vector<std::size_t> ends_;
};

} // namespace tallowick::win32
