#include "platform/rules/rule_book.h"

#include <optional>
#include <utility>

#include "platform/rules/drive_rules.h"

namespace tallowick {

namespace {

DeletionResult Failed(Error error) { return {DeletionOutcome::Failed, std::move(error)}; }
DeletionResult Gone() { return {DeletionOutcome::AlreadyGone, Error(0, "")}; }

class DriveDeletion final : public FileDeletion {
public:
    explicit DriveDeletion(std::unique_ptr<Disk> disk)
        : disk_(std::move(disk)), way_(*disk_, FolderWay::Spelling::Exact)
    {
    }

    DeletionResult DeleteFile(std::string_view text) override
    {
        const std::optional<WindowsPath> path = WindowsPath::Parse(text, disk_->Names());
        if (!path)
            return Failed(RefusalError(Refusal::NotAPlainPath, text));

        const FolderWay::Answer way = way_.Follow(*path, path->Depth() - 1);
        switch (way.ending) {
        case FolderWay::Ending::Folder: break;
        case FolderWay::Ending::Missing: return Gone();
        case FolderWay::Ending::Linked:
            return Failed(RefusalError(Refusal::LinkedFolder, text, path->Prefix(way.depth)));
        case FolderWay::Ending::Failed: return Failed(DiskError(*disk_, way.error, path->Prefix(way.depth)));
        }

        if (!disk_->RemovalRefusesReadOnlyFiles()) {
            const EntryAnswer entry = disk_->Examine(*path, path->Depth());
            if (entry.kind == EntryKind::Unreadable)
                return Failed(DiskError(*disk_, entry.error, text));
            if (std::optional<DeletionResult> refused = Refused(entry, text))
                return *refused;
        }
        const HeldEntry held = disk_->Hold(*path);
        long error = held.error;
        if (error == 0) {
            // The name reached a twin: the file listed is gone.
            if (held.otherSpelling)
                return Gone();
            // What the name leads to would go, not the link.
            if (held.throughLink)
                return Failed(RefusalError(Refusal::Link, text));
            error = disk_->Remove(*path);
            if (error == 0)
                return {};
        }
        // Why it failed, in the rules' words where they have them.
        if (std::optional<DeletionResult> refused = Refused(disk_->Examine(*path, path->Depth()), text))
            return *refused;
        return Failed(DiskError(*disk_, error, text));
    }

private:
    // A file is taken only by the name it was listed by, spelled exactly:
    // one reached through another spelling is a twin, and the listed file
    // is gone.
    std::optional<DeletionResult> Refused(const EntryAnswer& entry, std::string_view text) const
    {
        if (entry.kind == EntryKind::Missing || entry.otherSpelling)
            return Gone();
        if (entry.kind == EntryKind::Folder)
            return Failed(RefusalError(Refusal::Folder, text));
        if (entry.kind == EntryKind::File && entry.readOnly)
            return Failed(RefusalError(Refusal::ReadOnly, text));
        return std::nullopt;
    }

    std::unique_ptr<Disk> disk_;
    FolderWay way_;
};

} // namespace

std::unique_ptr<FileDeletion> OpenDriveDeletion(std::unique_ptr<Disk> disk)
{
    return std::make_unique<DriveDeletion>(std::move(disk));
}

} // namespace tallowick
