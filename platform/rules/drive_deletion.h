#pragma once

#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/rules/disk.h"

namespace tallowick {

// The deletion on one drive, by the rules. A file is deleted only when:
// - its path is a plain drive path (so it names one entry, and no pattern);
// - every folder on the way is a real folder: behind a link the file is
//   refused, and where a folder is missing the file is already gone;
// - what stands at the path is no folder, and no read-only file: both are
//   refused, never forced.
// A link at the path is removed as a link; its target stays. Whatever is
// gone by the time it would be deleted counts as deleted. The questions are
// asked when the file is deleted, never earlier, so a folder swapped for a
// link since the search is still refused.
std::unique_ptr<FileDeletion> OpenDriveDeletion(std::unique_ptr<Disk> disk);

} // namespace tallowick
