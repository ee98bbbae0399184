#pragma once

#include <memory>

#include "about/about.h"

namespace tallowick {

// The About command: shows the program's one About window, made on the
// first About and kept (never released) after that.
void ShowAbout(Forms& forms, std::unique_ptr<About>& about);

} // namespace tallowick
