#pragma once

#include "platform/interfaces/layout.h"

namespace tallowick::win32 {

// Button clicks arrive as WM_COMMAND with the control's id. Ids start above
// IDOK and IDCANCEL, which the dialog keys send (Enter, Escape) and which no
// control of the program answers.
inline constexpr int kFirstControlCommand = 100;
inline int CommandIdOf(ControlId id) { return kFirstControlCommand + id; }
inline ControlId ControlIdOf(int commandId) { return commandId - kFirstControlCommand; }

} // namespace tallowick::win32
