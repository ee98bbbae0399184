#pragma once

#include "platform/interfaces/layout.h"

namespace tallowick {

namespace main_controls {
enum : ControlId { List1, Label1, cmdSrch, cmdDelCookies, cmdExt, Command1 };
}

const WindowLayout& MainLayout();

} // namespace tallowick
