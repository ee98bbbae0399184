#pragma once

#include "platform/error.h"

namespace tallowick::win32 {

// The error of the Win32 call that just failed, with the system's own text.
Error LastError();

} // namespace tallowick::win32
