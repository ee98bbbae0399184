#pragma once

#include "platform/interfaces/layout.h"

namespace tallowick {

namespace about_controls {
enum : ControlId { Label1, Label3, Label4, Label2, Command1 };
}

const WindowLayout& AboutLayout();

} // namespace tallowick
