#pragma once

#include <string>

#include <windows.h>

#include "platform/interfaces/layout.h"

namespace tallowick::win32 {

// Button clicks arrive as WM_COMMAND with the control's id. Ids start above
// IDOK and IDCANCEL, which the dialog keys send (Enter, Escape) and which no
// control of the program answers.
inline constexpr int kFirstControlCommand = 100;
inline int CommandIdOf(ControlId id) { return kFirstControlCommand + id; }
inline ControlId ControlIdOf(int commandId) { return commandId - kFirstControlCommand; }

// One control, made from one row of its window's layout, at `dpi`, as a
// child of `parent`. Throws Error.
HWND CreateControl(HWND parent, const ControlLayout& row, int dpi);

// One top-level window, made from its layout.
struct WindowArgs {
    DWORD style = 0;
    DWORD exStyle = 0;
    SIZE outer{}; // pixels: the whole window, frame and caption included
    std::string caption; // ANSI
};

WindowArgs WindowArgsFor(const WindowLayout& layout, int dpi);

// A layout font at the given resolution, in the ANSI character set.
LOGFONTA LogFontFor(const Font& font, int dpi);

inline COLORREF ColourRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

} // namespace tallowick::win32
