#pragma once

#include "platform/runtime/toolkit_forms.h"

namespace tallowick::win32 {

// One modal message box, modal to the whole program: every window of the
// thread is disabled while it is up, so no other handler can start
// underneath it. A warning about files names as many as fit the screen.
void ShowMessageBox(const Message& message);

} // namespace tallowick::win32
