#include "platform/rules/drive_rules.h"

#include <string>

namespace tallowick {

Error DiskError(const Disk& disk, long number, std::string_view path)
{
    return Error(number, path, disk.ErrorText(number));
}

Error RefusalError(Refusal refusal, std::string_view path, std::string_view linkedFolder)
{
    switch (refusal) {
    case Refusal::NotAPlainPath: return Error(0, path, "It is not a plain path on a drive, such as c:\\windows\\cookies\\a.txt.");
    case Refusal::LinkedFolder:
        return Error(0, path,
                     "The folder " + std::string(linkedFolder) + " is a link; nothing behind a link is searched or deleted.");
    case Refusal::Link: return Error(0, path, "It is a link; nothing behind a link is searched or deleted.");
    case Refusal::Folder: return Error(0, path, "It is a folder, not a file.");
    case Refusal::ReadOnly: return Error(0, path, "The file is read-only.");
    }
    return Error(0, path, "It is refused.");
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
        if (entry.otherSpelling && spelling_ == Spelling::Exact)
            return {Ending::Missing, reached, 0};
        switch (entry.kind) {
        case EntryKind::Folder: known_.emplace(folder); break;
        case EntryKind::Link: return {Ending::Linked, reached, 0};
        case EntryKind::Unreadable: return {Ending::Failed, reached, entry.error};
        default: return {Ending::Missing, reached, 0}; // nothing, a file or a device
        }
    }
    if (depth > 0)
        lastFollowed_ = path.Prefix(depth);
    return {};
}

} // namespace tallowick
