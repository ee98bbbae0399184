#include "platform/rules/drive_rules.h"

#include <string>

namespace tallowick {

Error DiskError(const Disk& disk, long number, std::string_view path)
{
    std::string description(path);
    description += ": ";
    description += disk.ErrorText(number);
    return Error(number, description);
}

Error RefusalError(const Disk& disk, Refusal refusal, std::string_view path, std::string_view linkedFolder)
{
    std::string description(path);
    description += ": ";
    switch (refusal) {
    case Refusal::NotAPlainPath:
        description += "It is not a plain path on a drive, such as c:\\windows\\cookies\\a.txt.";
        break;
    case Refusal::LinkedFolder:
        description += "The folder ";
        description += linkedFolder;
        description += " is a link; nothing behind a link is searched or deleted.";
        break;
    case Refusal::Link: description += "It is a link; nothing behind a link is searched or deleted."; break;
    case Refusal::Folder: description += "It is a folder, not a file."; break;
    case Refusal::ReadOnly: description += "The file is read-only."; break;
    }
    return Error(disk.NumberFor(refusal), description);
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
