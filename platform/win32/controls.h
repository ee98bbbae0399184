#pragma once

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

// A layout font at the given resolution, in the ANSI character set; null
// where none could be made.
HFONT CreateLayoutFont(const Font& font, int dpi);

inline COLORREF ColourRef(Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

} // namespace tallowick::win32
