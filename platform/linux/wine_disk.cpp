#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/linux/wine_drive.h"
#include "platform/rules/rule_book.h"
#include "platform/text/ascii.h"

namespace tallowick {

std::filesystem::path WinePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != 0)
        return prefix;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0)
        return std::filesystem::path(home) / ".wine";
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return std::filesystem::path(user->pw_dir) / ".wine";
    return ".wine";
}

namespace {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        std::swap(fd_, other.fd_); // the descriptor held until now is closed with `other`
        return *this;
    }
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// A folder open for reading its entries: the one that the O_PATH
// descriptor `folder` holds. 0 or errno.
using FolderStream = std::unique_ptr<DIR, int (*)(DIR*)>;
int OpenFolderStream(int folder, FolderStream& stream)
{
    const int readable = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (readable < 0)
        return errno;
    stream.reset(::fdopendir(readable));
    if (stream == nullptr) {
        const int error = errno;
        ::close(readable);
        return error;
    }
    return 0;
}

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

struct Drive {
    UniqueFd fd;   // invalid where the prefix has no drive c:
    int error = 0; // it could not be opened for another reason
};

// Wine's own rule: dosdevices/c: is the drive, wherever it leads. Only a
// prefix without that entry falls back to the usual drive_c beside it.
Drive OpenDrive(const std::filesystem::path& prefix)
{
    const std::filesystem::path mapping = prefix / "dosdevices" / "c:";
    struct stat entry {};
    const std::filesystem::path& folder = ::lstat(mapping.c_str(), &entry) == 0 ? mapping : prefix / "drive_c";
    Drive drive{UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC))};
    // A prefix, mapping or drive folder that is not there is a drive that
    // is not there; anything else is a failure to report.
    if (!drive.fd.valid() && errno != ENOENT && errno != ENOTDIR && errno != ELOOP)
        drive.error = errno;
    return drive;
}

// Resolves folder paths on drive c: as Wine finds each name: the entry of
// exactly that name, else the smallest (in byte order) of those matching it
// regardless of ASCII case. The search and the deletion both resolve through
// it, so a reported path names the same entry to the deletion. A link is
// never passed through. The last path's folders stay open for the next.
class FolderResolver {
public:
    explicit FolderResolver(Drive drive) : driveError_(drive.error)
    {
        levels_.push_back(std::make_unique<Level>());
        levels_[0]->fd = std::move(drive.fd);
    }

    // Resolves the first `depth` names of `path` as folders. 0 on success;
    // ENOENT when one names nothing (or the path is on another drive);
    // ENOTDIR when one is a file or a link; another errno when the way
    // there cannot be read or the drive could not be opened.
    int Resolve(const WindowsPath& path, std::size_t depth)
    {
        if (driveError_ != 0)
            return driveError_;
        if (path.Drive() != 'c' || !levels_[0]->fd.valid())
            return ENOENT;

        // The folders' paths begin with the drive as the path spells it.
        const std::string_view driveText = path.Prefix(0);
        if (levels_[0]->actual != driveText) {
            levels_.resize(1);
            levels_[0]->actual = driveText;
        }

        // Keep the levels this path shares with the last one; deeper ones
        // stay too until a path leaves them.
        std::size_t kept = 0;
        while (kept < depth && kept + 1 < levels_.size() && levels_[kept + 1]->name == path.Name(kept))
            ++kept;
        depth_ = kept;
        if (kept == depth)
            return 0;
        levels_.resize(kept + 1);
        for (std::size_t i = kept; i < depth; ++i) {
            auto child = std::make_unique<Level>();
            const int error = OpenChild(*levels_[i], std::string(path.Name(i)), *child);
            if (error != 0)
                return error;
            levels_.push_back(std::move(child));
            depth_ = i + 1;
        }
        return 0;
    }

    // The folder of the last successful Resolve: an O_PATH descriptor, its
    // path with the names as they stand on disk, and whether a name of that
    // path found its folder by another spelling.
    int Fd() const { return levels_.at(depth_)->fd.get(); }
    const std::string& ActualPath() const { return levels_.at(depth_)->actual; }
    bool OtherSpelling() const { return levels_.at(depth_)->otherSpelling; }

    // The entry of the last resolved folder that `name` stands for, by the
    // same rule as a folder's name, and its lstat. 0, ENOENT when there is
    // none, or the errno of a failure to read the folder.
    int Locate(std::string_view name, std::string& found, struct stat& status)
    {
        found.assign(name);
        if (::fstatat(Fd(), found.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0)
            return 0;
        if (errno != ENOENT)
            return errno;
        if (const int error = FindFolded(*levels_.at(depth_), name, found); error != 0)
            return error;
        return ::fstatat(Fd(), found.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
    }

private:
    // One resolved folder; its index by folded name is read the first time
    // a name is not found exactly.
    struct Level {
        std::string name;           // the name as the path gave it
        std::string actual;         // the folder's whole path, with the names as on disk
        bool otherSpelling = false; // some name of it as on disk differs from the path's
        UniqueFd fd;
        std::optional<std::unordered_map<std::string, std::string>> byFoldedName;
    };

    static int OpenChild(Level& parent, std::string name, Level& child)
    {
        std::string found = name;
        child.fd = UniqueFd(::openat(parent.fd.get(), found.c_str(), kFolderFlags));
        if (!child.fd.valid() && errno == ENOENT) {
            const int error = FindFolded(parent, name, found);
            if (error != 0)
                return error;
            child.fd = UniqueFd(::openat(parent.fd.get(), found.c_str(), kFolderFlags));
        }
        if (!child.fd.valid())
            return errno == ELOOP ? ENOTDIR : errno;
        child.actual = parent.actual + '\\' + found;
        child.otherSpelling = parent.otherSpelling || found != name;
        child.name = std::move(name);
        return 0;
    }

    static int FindFolded(Level& level, std::string_view name, std::string& found)
    {
        if (!level.byFoldedName) {
            FolderStream folder(nullptr, ::closedir);
            if (const int error = OpenFolderStream(level.fd.get(), folder); error != 0)
                return error;
            std::unordered_map<std::string, std::string> byFoldedName;
            // "." and ".." are indexed too: a path's names are never either.
            errno = 0;
            while (const dirent* item = ::readdir(folder.get())) {
                auto [slot, added] = byFoldedName.try_emplace(LowerAscii(item->d_name), item->d_name);
                if (!added && slot->second > item->d_name)
                    slot->second = item->d_name;
                errno = 0;
            }
            if (const int error = errno; error != 0)
                return error;
            level.byFoldedName = std::move(byFoldedName);
        }
        const auto match = level.byFoldedName->find(LowerAscii(name));
        if (match == level.byFoldedName->end())
            return ENOENT;
        found = match->second;
        return 0;
    }

    int driveError_; // the drive could not be opened: every path fails so
    std::vector<std::unique_ptr<Level>> levels_; // [0] is the drive's root
    std::size_t depth_ = 0;                      // levels of the last success
};

EntryKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::Link;
    return EntryKind::Other;
}

// What a link leads to. One that leads nowhere, or nowhere it may look, is
// Missing.
EntryKind TargetOf(int folder, const char* name, int& error)
{
    struct stat target {};
    if (::fstatat(folder, name, &target, 0) == 0)
        return KindOf(target.st_mode);
    if (errno != ENOENT && errno != ELOOP && errno != ENOTDIR && errno != EACCES)
        error = errno;
    return EntryKind::Missing;
}

// Drive c: of a Wine prefix, answering the rules' questions with POSIX
// calls relative to the folders the resolver holds open.
class WineDisk final : public Disk {
public:
    explicit WineDisk(Drive drive) : resolver_(std::move(drive)) {}

    const NameRules& Names() const override { return kUnixDriveNames; }

    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) override
    {
        if (const int error = resolver_.Resolve(path, depth - 1); error != 0)
            return Answer(error);
        struct stat status {};
        if (const int error = resolver_.Locate(path.Name(depth - 1), located_, status); error != 0)
            return Answer(error);
        const EntryKind kind = KindOf(status.st_mode);
        // Wine keeps the DOS read-only mark as a missing owner write bit.
        return {kind, kind == EntryKind::File && (status.st_mode & S_IWUSR) == 0, 0,
                resolver_.OtherSpelling() || located_ != path.Name(depth - 1)};
    }

    long List(const WindowsPath& path, std::string& shownPath, const Take& take) override
    {
        if (const int error = resolver_.Resolve(path, path.Depth()); error != 0)
            return error;
        shownPath = resolver_.ActualPath();
        FolderStream folder(nullptr, ::closedir);
        if (const int error = OpenFolderStream(resolver_.Fd(), folder); error != 0)
            return error;
        const int location = ::dirfd(folder.get());
        for (;;) {
            errno = 0;
            const dirent* item = ::readdir(folder.get());
            if (item == nullptr)
                return errno;
            const std::string_view name = item->d_name;
            if (name == "." || name == "..")
                continue;
            // The listing says what each entry is, but for a file system
            // that leaves it to lstat.
            mode_t mode = DTTOIF(item->d_type);
            if (item->d_type == DT_UNKNOWN) {
                struct stat status {};
                if (::fstatat(location, item->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
                    if (errno == ENOENT)
                        continue; // gone since it was listed
                    return errno;
                }
                mode = status.st_mode;
            }
            ListedEntry entry{name, name, KindOf(mode), EntryKind::Missing};
            if (entry.kind == EntryKind::Link) {
                int error = 0;
                entry.linkTarget = TargetOf(location, item->d_name, error);
                if (error != 0)
                    return error;
            }
            take(entry);
        }
    }

    long Remove(const WindowsPath& path) override
    {
        const std::size_t depth = path.Depth();
        if (const int error = resolver_.Resolve(path, depth - 1); error != 0)
            return error;
        // The rules went on only where the file's own name reached it, and
        // unlinkat takes that very name. Without AT_REMOVEDIR a folder
        // swapped in since still fails; a link goes, never its target.
        located_.assign(path.Name(depth - 1));
        return ::unlinkat(resolver_.Fd(), located_.c_str(), 0) == 0 ? 0 : errno;
    }

    // Unix removes a read-only file like any other.
    bool RemovalRefusesReadOnlyFiles() const override { return false; }

    bool MeansUnavailable(long error) const override
    {
        return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM;
    }
    std::string ErrorText(long error) const override { return std::strerror(static_cast<int>(error)); }

private:
    static EntryAnswer Answer(int error)
    {
        // ENOTDIR: a folder on the way is a file or a link now.
        if (error == ENOENT || error == ENOTDIR)
            return {EntryKind::Missing, false, 0};
        return {EntryKind::Unreadable, false, error};
    }

    FolderResolver resolver_;
    std::string located_; // the on-disk name of the entry last examined or removed, kept to spare an allocation a file
};

} // namespace

std::unique_ptr<FileSystem> OpenWineFileSystem(const std::filesystem::path& prefix)
{
    Drive drive = OpenDrive(prefix);
    if (drive.error != 0)
        throw Error(drive.error, (prefix / "dosdevices" / "c:").string() + ": " + std::strerror(drive.error));
    return OpenDriveFileSystem(std::make_unique<WineDisk>(std::move(drive)));
}

std::unique_ptr<FileDeletion> OpenWineFileDeletion(const std::filesystem::path& prefix)
{
    return OpenDriveDeletion(std::make_unique<WineDisk>(OpenDrive(prefix)));
}

} // namespace tallowick
