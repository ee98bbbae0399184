#include "platform/runtime/event_handler.h"

#include <exception>

namespace tallowick {

void RunEventHandler(Forms& forms, const std::function<void()>& handler)
{
    try {
        handler();
        return;
    } catch (const Error& error) {
        forms.ReportError(error);
    } catch (const std::exception& error) {
        forms.ReportError(Error(0, error.what()));
    }
    forms.End();
}

std::string FormatErrorReport(const Error& error)
{
    return "Error " + std::to_string(error.number()) + ": " + error.description();
}

std::string FailureReason(const Error& error)
{
    return error.number() == 0 ? error.reason() : "Error " + std::to_string(error.number()) + ": " + error.reason();
}

} // namespace tallowick
