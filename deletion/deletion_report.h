#pragma once

#include <string>
#include <vector>

#include "platform/interfaces/error.h"

namespace tallowick {

struct FailedDeletion {
    std::string path;
    Error error;
};

// The message that names each file left on disk with its error.
std::string DeletionFailureReport(const std::vector<FailedDeletion>& failures);

} // namespace tallowick
