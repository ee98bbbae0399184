#include "platform/linux/wine_resolver.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <unordered_map>

#include "platform/text/ascii.h"

namespace tallowick::wine {

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

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

} // namespace

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

// One resolved folder. The index of names by folded case is read from disk
// the first time a name is not found exactly, and kept while the level is.
struct FolderResolver::Level {
    std::string name;   // the name as the path gave it
    std::string actual; // the folder's whole path, with the names as on disk
    bool otherSpelling = false; // some name of it as on disk differs from the path's
    UniqueFd fd;
    std::optional<std::unordered_map<std::string, std::string>> byFoldedName;
};

FolderResolver::FolderResolver(Drive drive) : driveError_(drive.error)
{
    levels_.push_back(std::make_unique<Level>());
    levels_[0]->fd = std::move(drive.fd);
}

FolderResolver::~FolderResolver() = default;

int FolderResolver::Fd() const { return levels_.at(depth_)->fd.get(); }

const std::string& FolderResolver::ActualPath() const { return levels_.at(depth_)->actual; }

bool FolderResolver::OtherSpelling() const { return levels_.at(depth_)->otherSpelling; }

int FolderResolver::Resolve(const WindowsPath& path, std::size_t depth)
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

    // Keep the levels this path shares with the last one; deeper ones stay
    // too until a path leaves them.
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

int FolderResolver::OpenChild(Level& parent, std::string name, Level& child)
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

int FolderResolver::FindFolded(Level& level, std::string_view name, std::string& found)
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

int FolderResolver::Locate(std::string_view name, std::string& found, struct stat& status)
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

} // namespace tallowick::wine
