#pragma once

#include "platform/runtime/toolkit_forms.h"

namespace tallowick {

// One modal message box. A warning about files keeps to the screen however
// many there are and however long their paths: a short text over a
// scrollable list of the files, each path wrapped, never cut.
void ShowMessageBox(const Message& message);

} // namespace tallowick
