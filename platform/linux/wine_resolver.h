#pragma once

// How a Windows-form path ("c:\windows\Cookies") leads to a folder on a
// Wine drive. The search and the deletion both resolve through it, so a
// path the search reports names the same entry to the deletion.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rules/windows_path.h"

namespace tallowick::wine {

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
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
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
int OpenFolderStream(int folder, FolderStream& stream);

// Drive c: of a prefix, opened once: the folder that dosdevices/c: leads
// to, or drive_c where the prefix has no such entry. `fd` is invalid when
// the prefix has no drive c:; `error` is set when it could not be opened
// for another reason.
struct Drive {
    UniqueFd fd;
    int error = 0;
};
Drive OpenDrive(const std::filesystem::path& prefix);

// Resolves folder paths on drive c: the way Wine finds each name: the
// entry of exactly that name if there is one, else the smallest (in byte
// order) of the entries whose names match it regardless of ASCII case. A
// symbolic link is never passed through. The folders of the last path
// resolved stay open, so the next path that shares a leading part with it
// only resolves the rest.
class FolderResolver {
public:
    explicit FolderResolver(Drive drive);
    ~FolderResolver();

    // Resolves the first `depth` names of `path` as folders. 0 on success;
    // ENOENT when one names nothing (or the path is on another drive);
    // ENOTDIR when one is a file or a link; another errno when the way
    // there cannot be read or the drive could not be opened.
    int Resolve(const WindowsPath& path, std::size_t depth);

    // The folder of the last successful Resolve: an O_PATH descriptor, and
    // its path with the names as they stand on disk.
    int Fd() const;
    const std::string& ActualPath() const;
    // Whether a name of that path found its folder by another spelling.
    bool OtherSpelling() const;

    // The entry of the last resolved folder that `name` stands for, by the
    // same rule as a folder's name, and its lstat. 0, ENOENT when there is
    // none, or the errno of a failure to read the folder.
    int Locate(std::string_view name, std::string& found, struct stat& status);

private:
    struct Level;

    int FindFolded(Level& level, std::string_view name, std::string& found);
    int OpenChild(Level& parent, std::string name, Level& child);

    int driveError_; // the drive could not be opened: every path fails so
    std::vector<std::unique_ptr<Level>> levels_; // [0] is the drive's root
    std::size_t depth_ = 0;                      // levels of the last success
};

} // namespace tallowick::wine
