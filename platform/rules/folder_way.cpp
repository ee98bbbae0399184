#include "platform/rules/folder_way.h"

namespace tallowick {

Error DiskError(const Disk& disk, long number, std::string_view path)
{
    std::string description(path);
    description += ": ";
    description += disk.ErrorText(number);
    return Error(number, description);
}

bool FolderWay::Known(std::string_view folder) const
{
    const bool withinLast = lastFollowed_.size() >= folder.size() && lastFollowed_.starts_with(folder) &&
                            (lastFollowed_.size() == folder.size() || lastFollowed_[folder.size()] == '\\');
    return withinLast || known_.find(folder) != known_.end();
}

FolderWay::Answer FolderWay::Follow(const WindowsPath& path, std::size_t depth)
{
    for (std::size_t reached = 1; reached <= depth; ++reached) {
        const std::string_view folder = path.Prefix(reached);
        if (Known(folder))
            continue;
        const EntryAnswer entry = disk_.Examine(path, reached);
        switch (entry.kind) {
        case EntryKind::Folder: known_.emplace(folder); break;
        case EntryKind::Link: return {Ending::Linked, reached, 0};
        case EntryKind::Unreadable: return {Ending::Failed, reached, entry.error};
        case EntryKind::Missing:
        case EntryKind::File:
        case EntryKind::Other: return {Ending::Missing, reached, 0};
        }
    }
    if (depth > 0)
        lastFollowed_ = path.Prefix(depth);
    return {};
}

} // namespace tallowick
