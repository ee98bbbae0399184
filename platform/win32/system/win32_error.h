#pragma once

#include <string>

#include "platform/interfaces/error.h"

namespace tallowick {

// The system's own text for a Windows error number (FormatMessage, from the
// system's table), without its closing line break; UTF-8.
std::string SystemErrorText(unsigned long code);

// An Error for `code`, described as "<context>: <system text>", or as the
// system text alone where the context is empty.
Error SystemError(unsigned long code, const std::string& context);

// The same for the Win32 call that just failed (GetLastError).
Error LastError(const std::string& context = {});

} // namespace tallowick
