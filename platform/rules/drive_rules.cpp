#include "platform/rules/rule_book.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace tallowick {

namespace {

// "c:\windows\cookies: Access is denied.": the system's number and text.
Error DiskError(const Disk& disk, long number, std::string_view path)
{
    return Error(number, path, disk.ErrorText(number));
}

// Each refusal's one wording on every drive, with no system number:
// "c:\windows\cookies\a.txt: The file is read-only." `linkedFolder` names
// the link for Refusal::LinkedFolder.
Error RefusalError(Refusal refusal, std::string_view path, std::string_view linkedFolder = {})
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

// Whether a path leads to a folder through folders only, never through a
// link: what lies behind one may be anywhere, the user's own files
// included. Folders seen once are remembered for the search, or the round
// of deletions, so each is asked about once.
class FolderWay {
public:
    // The search takes Wine's folders in whatever letter case they stand;
    // the deletion's paths carry the names as they stood on disk, so a
    // folder reached by another spelling is not the one listed.
    enum class Spelling { AsTheSystemAllows, Exact };

    FolderWay(Disk& disk, Spelling spelling) : disk_(disk), spelling_(spelling) {}

    // Every name leads to a folder; or one leads to nothing or to no
    // folder, is a link, or the system would not say.
    enum class Ending { Folder, Missing, Linked, Failed };
    struct Answer {
        Ending ending = Ending::Folder;
        std::size_t depth = 0; // for any other ending: the names up to where it stopped
        long error = 0;        // for Failed
    };

    // The first `depth` names of `path`, each as a folder.
    Answer Follow(const WindowsPath& path, std::size_t depth)
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

    // A folder that a listing has just shown to be one.
    void Remember(std::string folder) { known_.insert(std::move(folder)); }

private:
    bool Known(std::string_view folder) const
    {
        const bool withinLast = lastFollowed_.size() >= folder.size() && lastFollowed_.starts_with(folder) &&
                                (lastFollowed_.size() == folder.size() || lastFollowed_[folder.size()] == '\\');
        return withinLast || known_.find(folder) != known_.end();
    }

    Disk& disk_;
    Spelling spelling_;
    std::set<std::string, std::less<>> known_;
    std::string lastFollowed_; // files come folder by folder: most answers are here
};

[[noreturn]] void ThrowFolderError(const Disk& disk, long number, std::string_view path)
{
    const Error error = DiskError(disk, number, path);
    if (disk.MeansUnavailable(number))
        throw FolderUnavailable(error.number(), error.description());
    throw error;
}

// A folder is listed once, when it is opened: its files and its subfolders
// come from that one listing. The files' names and paths are kept in one
// text, so a folder of many files costs no allocation for each.
class DriveFolder final : public Folder {
public:
    DriveFolder(Disk& disk, FolderWay& way, const WindowsPath& folder)
    {
        std::string shownPath;
        std::vector<std::size_t> starts; // of each file's path, then of its name
        const auto take = [&](const ListedEntry& entry) {
            // A link to a folder or a device is neither a file nor a subfolder.
            const bool subFolder = entry.kind == EntryKind::Folder;
            const bool file = entry.kind == EntryKind::File ||
                              (entry.kind == EntryKind::Link && entry.linkTarget != EntryKind::Folder &&
                               entry.linkTarget != EntryKind::Other);
            if (!(file || subFolder) || !IsNameOnDrive(entry.pathName, disk.Names()))
                return;
            if (subFolder) {
                std::string path = shownPath + '\\' + std::string(entry.pathName);
                way.Remember(path);
                subFolders_.push_back(std::move(path));
                return;
            }
            // The path that reaches the file, then the name the user sees.
            starts.push_back(text_.size());
            text_.append(shownPath).append("\\").append(entry.pathName);
            starts.push_back(text_.size());
            text_ += entry.name;
        };
        if (const long error = disk.List(folder, shownPath, take); error != 0)
            ThrowFolderError(disk, error, folder.Text());
        starts.push_back(text_.size());
        const std::string_view text = text_;
        for (std::size_t i = 0; i + 2 < starts.size(); i += 2)
            files_.push_back({text.substr(starts[i + 1], starts[i + 2] - starts[i + 1]),
                              text.substr(starts[i], starts[i + 1] - starts[i])});
    }

    const std::vector<FileEntry>& Files() override { return files_; }
    const std::vector<std::string>& SubFolders() override { return subFolders_; }

private:
    std::string text_;
    std::vector<FileEntry> files_;
    std::vector<std::string> subFolders_;
};

class DriveFileSystem final : public FileSystem {
public:
    explicit DriveFileSystem(std::unique_ptr<Disk> disk)
        : disk_(std::move(disk)), way_(*disk_, FolderWay::Spelling::AsTheSystemAllows)
    {
    }

    bool FolderExists(std::string_view path) override
    {
        const std::optional<WindowsPath> folder = WindowsPath::Parse(path, disk_->Names());
        if (!folder)
            return false;
        const FolderWay::Answer way = way_.Follow(*folder, folder->Depth());
        if (way.ending == FolderWay::Ending::Failed && !disk_->MeansUnavailable(way.error))
            throw DiskError(*disk_, way.error, folder->Prefix(way.depth));
        return way.ending == FolderWay::Ending::Folder;
    }

    // The folder is followed again (from what this search already knows),
    // so one that became a link since its existence test is not listed.
    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        const std::optional<WindowsPath> folder = WindowsPath::Parse(path, disk_->Names());
        if (!folder)
            throw RefusalError(Refusal::NotAPlainPath, path);
        const FolderWay::Answer way = way_.Follow(*folder, folder->Depth());
        if (way.ending == FolderWay::Ending::Failed)
            ThrowFolderError(*disk_, way.error, folder->Prefix(way.depth));
        if (way.ending == FolderWay::Ending::Linked) {
            const Error linked = RefusalError(Refusal::LinkedFolder, path, folder->Prefix(way.depth));
            throw FolderUnavailable(linked.number(), linked.description());
        }
        // A folder gone since its test is reported by its listing, with the
        // system's own number.
        return std::make_unique<DriveFolder>(*disk_, way_, *folder);
    }

private:
    std::unique_ptr<Disk> disk_;
    FolderWay way_;
};

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

std::unique_ptr<FileSystem> OpenDriveFileSystem(std::unique_ptr<Disk> disk)
{
    return std::make_unique<DriveFileSystem>(std::move(disk));
}

std::unique_ptr<FileDeletion> OpenDriveDeletion(std::unique_ptr<Disk> disk)
{
    return std::make_unique<DriveDeletion>(std::move(disk));
}

} // namespace tallowick
