#pragma once

#include <functional>
#include <string>

#include "platform/interfaces/forms.h"

namespace tallowick {

// Runs one event handler to completion. An error that escapes it is shown
// with its number and description, then the program ends.
void RunEventHandler(Forms& forms, const std::function<void()>& handler);

// "Error 13: Permission denied"
std::string FormatErrorReport(const Error& error);
// Why one file could not be dealt with: "Error 13: Permission denied", or
// the program's own words alone.
std::string FailureReason(const Error& error);

} // namespace tallowick
