#include "platform/linux/wine_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/wine_path.h"

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

using wine::UniqueFd;

std::string Described(int error, std::string_view path)
{
    std::string text = std::strerror(error);
    text += ": ";
    text += path;
    return text;
}

// Vanished on the way, or may not be read: the search passes over it.
bool IsUnavailable(int error) { return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM; }

[[noreturn]] void ThrowFolderError(int error, std::string_view path)
{
    if (IsUnavailable(error))
        throw FolderUnavailable(error, Described(error, path));
    throw Error(error, Described(error, path));
}

enum class EntryKind { File, Folder, Other };

// A link stands where a file is when it leads to a file or to nothing;
// a link to a folder is neither a file nor a subfolder.
EntryKind LinkKind(int folder, const char* name, std::string_view path)
{
    struct stat target {};
    if (::fstatat(folder, name, &target, 0) == 0)
        return S_ISREG(target.st_mode) ? EntryKind::File : EntryKind::Other;
    if (errno == ENOENT || errno == ELOOP || errno == ENOTDIR || errno == EACCES)
        return EntryKind::File;
    throw Error(errno, Described(errno, path));
}

EntryKind KindOf(int folder, const dirent& item, std::string_view path)
{
    switch (item.d_type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK: return LinkKind(folder, item.d_name, path);
    case DT_UNKNOWN: break;
    default: return EntryKind::Other;
    }
    struct stat entry {};
    if (::fstatat(folder, item.d_name, &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return EntryKind::Other; // gone since it was listed
        throw Error(errno, Described(errno, path));
    }
    if (S_ISREG(entry.st_mode))
        return EntryKind::File;
    if (S_ISDIR(entry.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(entry.st_mode))
        return LinkKind(folder, item.d_name, path);
    return EntryKind::Other;
}

// An open folder; each enumeration reads it afresh from the start.
class WineFolder : public Folder {
public:
    WineFolder(DIR* folder, std::string path) : folder_(folder), path_(std::move(path)) {}
    ~WineFolder() override { ::closedir(folder_); }
    WineFolder(const WineFolder&) = delete;
    WineFolder& operator=(const WineFolder&) = delete;

    std::vector<FileEntry> Files() override
    {
        std::vector<FileEntry> files;
        ForEachEntry(false, [&](std::string_view name, std::string&& path) {
            files.push_back({std::string(name), std::move(path)});
        });
        return files;
    }

    std::vector<std::string> SubFolders() override
    {
        std::vector<std::string> subFolders;
        ForEachEntry(true, [&](std::string_view, std::string&& path) { subFolders.push_back(std::move(path)); });
        return subFolders;
    }

private:
    template <typename Take>
    void ForEachEntry(bool folders, Take&& take)
    {
        ::rewinddir(folder_);
        const int location = ::dirfd(folder_);
        for (;;) {
            errno = 0;
            const dirent* item = ::readdir(folder_);
            if (item == nullptr) {
                if (errno != 0)
                    ThrowFolderError(errno, path_);
                return;
            }
            const std::string_view name = item->d_name;
            if (name == "." || name == ".." || !wine::IsReportableName(name))
                continue;
            // Links are never subfolders, so only files need the link looked at.
            if (folders ? item->d_type == DT_LNK : item->d_type == DT_DIR)
                continue;
            if (KindOf(location, *item, path_) != (folders ? EntryKind::Folder : EntryKind::File))
                continue;
            std::string path;
            path.reserve(path_.size() + 1 + name.size());
            path += path_;
            path += '\\';
            path += name;
            take(name, std::move(path));
        }
    }

    DIR* folder_;
    std::string path_;
};

class WineFileSystem : public FileSystem {
public:
    explicit WineFileSystem(UniqueFd drive) : drive_(std::move(drive)), resolver_(drive_.get()) {}

    bool FolderExists(std::string_view path) override
    {
        const int error = resolver_.Resolve(path);
        if (error == 0)
            return true;
        if (IsUnavailable(error) || error == EINVAL)
            return false;
        throw Error(error, Described(error, path));
    }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        const int error = resolver_.Resolve(path);
        if (error == EINVAL)
            throw Error(error, "Not a folder path: " + std::string(path));
        if (error != 0)
            ThrowFolderError(error, path);
        return ReadFolder(resolver_.Fd(), resolver_.ActualPath());
    }

private:
    static std::unique_ptr<Folder> ReadFolder(int location, const std::string& folderPath)
    {
        const int readable = ::openat(location, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (readable < 0)
            ThrowFolderError(errno, folderPath);
        DIR* folder = ::fdopendir(readable);
        if (folder == nullptr) {
            const int error = errno;
            ::close(readable);
            ThrowFolderError(error, folderPath);
        }
        return std::make_unique<WineFolder>(folder, folderPath);
    }

    UniqueFd drive_;
    wine::FolderResolver resolver_;
};

} // namespace

std::unique_ptr<FileSystem> OpenWineFileSystem(const std::filesystem::path& prefix)
{
    wine::Drive drive = wine::OpenDrive(prefix);
    if (drive.error != 0)
        throw Error(drive.error, Described(drive.error, (prefix / "dosdevices" / "c:").string()));
    return std::make_unique<WineFileSystem>(std::move(drive.fd));
}

} // namespace tallowick
