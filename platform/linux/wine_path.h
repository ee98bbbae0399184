#pragma once

// Shared by the Wine file system and the Wine deletion: how a Windows-form
// path ("c:\windows\Cookies") leads to a folder on disk. Both use this one
// resolver, so a path the search reports names the same entry to the
// deletion.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tallowick::wine {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Drive c: of a prefix, opened once. `fd` is invalid when the prefix has no
// drive c:; `error` is set when the drive could not be opened for another
// reason (then `fd` is invalid too).
struct Drive {
    UniqueFd fd;
    int error = 0;
};
Drive OpenDrive(const std::filesystem::path& prefix);

// A name the interface may report: valid UTF-8 and free of backslashes,
// so that the path built from it cannot alias another entry.
bool IsReportableName(std::string_view name);

// One component of a path after the drive: not empty, not "." or "..",
// and nothing the operating system would read as a separator.
bool IsPlainComponent(std::string_view component);

// Resolves Windows-form folder paths on one drive. Each component is the
// entry of exactly that name if there is one, else the smallest (in byte
// order) of the entries whose names match it regardless of ASCII case.
// A symbolic link is never passed through. The folders of the last path
// resolved stay open, so the next path that shares a leading part with it
// only resolves the rest.
class FolderResolver {
public:
    // `drive` may be invalid: then no path resolves.
    explicit FolderResolver(int drive);
    ~FolderResolver();

    // 0 when `path` names a folder; ENOENT when it names nothing (a missing
    // component, another drive); ENOTDIR when a component is a file or a
    // link; EINVAL when the path is malformed; EACCES or another errno when
    // the way there cannot be read.
    int Resolve(std::string_view path);

    // The folder of the last successful Resolve: an O_PATH descriptor, and
    // its path with the on-disk names of its components.
    int Fd() const;
    const std::string& ActualPath() const { return actual_; }

    // For a name not found exactly in the last resolved folder: the
    // smallest of the names there that match it regardless of ASCII case,
    // as for a component. Empty when there is none; `error` gets the errno
    // of a failure to read the folder.
    std::string FindFoldedEntry(const std::string& name, int& error);

private:
    struct Level;

    int FindFolded(Level& level, const std::string& name, std::string& found);
    int OpenChild(Level& parent, std::string name, Level& child);

    int drive_;
    std::string driveText_;
    std::string actual_;
    std::vector<std::unique_ptr<Level>> levels_; // [0] is the drive's root
    std::size_t depth_ = 0;                      // levels of the last success
    std::string resolvedPath_;                   // the path of the last success
    bool resolved_ = false;
};

} // namespace tallowick::wine
