#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/interfaces/error.h"

namespace tallowick {

enum class DeletionOutcome {
    Deleted,     // the file was there and is gone now
    AlreadyGone, // nothing was at that path
    Failed,      // the file is still there; see `error`
};

struct DeletionResult {
    DeletionOutcome outcome = DeletionOutcome::Deleted;
    Error error{0, ""};
};

// One instance serves one round of deletions, so it may keep the folder it
// last resolved. Each call deletes at most the one file its path names, never
// a pattern's matches or a folder; a link is removed as a link.
class FileDeletion {
public:
    virtual ~FileDeletion() = default;
    virtual DeletionResult DeleteFile(std::string_view path) = 0;
};

using FileDeletionFactory = std::function<std::unique_ptr<FileDeletion>()>;

// Deletes the list's items first..last (numbered from 1) with a deletion of
// its own, and gives back those it could not delete, in order.
using DeletePart = std::function<std::vector<FailedFile>(std::size_t first, std::size_t last)>;

// Deletes items 1..count in parts that cover them once, side by side where
// the platform can, and gives back every part's failures in the list's order.
using DeleteInParts = std::function<std::vector<FailedFile>(std::size_t count, const DeletePart& deletePart)>;

// One part, the whole list: for a platform that deletes one file at a time.
inline std::vector<FailedFile> DeleteAsOnePart(std::size_t count, const DeletePart& deletePart)
{
    return deletePart(1, count);
}

} // namespace tallowick
