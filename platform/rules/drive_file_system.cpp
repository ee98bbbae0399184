#include "platform/rules/rule_book.h"

#include <optional>
#include <utility>

#include "platform/rules/drive_rules.h"

namespace tallowick {

namespace {

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

} // namespace

std::unique_ptr<FileSystem> OpenDriveFileSystem(std::unique_ptr<Disk> disk)
{
    return std::make_unique<DriveFileSystem>(std::move(disk));
}

} // namespace tallowick
