#pragma once

#include <string>

#include "platform/interfaces/error.h"

namespace tallowick {

// FormatMessage's text for a Windows error number, in UTF-8, without its line break.
std::string SystemErrorText(unsigned long code);

// An Error described as "<context>: <system text>", or the text alone.
Error SystemError(unsigned long code, const std::string& context);

// The same for the Win32 call that just failed (GetLastError).
Error LastError(const std::string& context = {});

} // namespace tallowick
