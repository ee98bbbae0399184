#include "deletion/deletion_report.h"

#include <algorithm>

#include "platform/runtime/event_handler.h"

namespace tallowick {

namespace {
// Beyond this a message box outgrows the screen; the rest stay in the list.
constexpr std::size_t kMostFilesNamed = 20;
} // namespace

std::string DeletionFailureReport(const std::vector<FailedDeletion>& failures)
{
    std::string report = failures.size() == 1 ? "This file could not be deleted:\n"
                                              : "These files could not be deleted:\n";
    const std::size_t named = std::min(failures.size(), kMostFilesNamed);
    for (std::size_t i = 0; i < named; ++i)
        report += "\n" + failures[i].path + "\n    " + FormatErrorReport(failures[i].error);
    if (failures.size() > named)
        report += "\n\n...and " + std::to_string(failures.size() - named) + " more, still listed.";
    return report;
}

} // namespace tallowick
