#pragma once

#include <functional>
#include <memory>
#include <string_view>

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

} // namespace tallowick
