#pragma once

#include <cstddef>
#include <vector>

#include "platform/interfaces/file_deletion.h"

namespace tallowick {

// Deletes in parts side by side, one on each processor: the kernel removes
// files in different folders at the same time. A short list is one part.
std::vector<FailedFile> DeleteSideBySide(std::size_t count, const DeletePart& deletePart);

} // namespace tallowick
