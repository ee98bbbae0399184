#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/linux/wine_drive.h"
#include "platform/linux/wine_resolver.h"
#include "platform/rules/rule_book.h"

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
    explicit WineDisk(wine::Drive drive) : resolver_(std::move(drive)) {}

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
        wine::FolderStream folder(nullptr, ::closedir);
        if (const int error = wine::OpenFolderStream(resolver_.Fd(), folder); error != 0)
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
            int error = 0;
            if (entry.kind == EntryKind::Link)
                entry.linkTarget = TargetOf(location, item->d_name, error);
            if (error != 0)
                return error;
            take(entry);
        }
    }

    long Remove(const WindowsPath& path) override
    {
        const std::size_t depth = path.Depth();
        if (const int error = resolver_.Resolve(path, depth - 1); error != 0)
            return error;
        // The rules examine a file before they remove it, and go on only
        // where its own name reached it: unlinkat takes that very name.
        // Without AT_REMOVEDIR a folder swapped in since it was examined
        // still fails; a link goes, never what it leads to.
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

    wine::FolderResolver resolver_;
    std::string located_; // the on-disk name of the entry last examined or removed, kept to spare an allocation a file
};

} // namespace

std::unique_ptr<FileSystem> OpenWineFileSystem(const std::filesystem::path& prefix)
{
    wine::Drive drive = wine::OpenDrive(prefix);
    if (drive.error != 0)
        throw Error(drive.error, (prefix / "dosdevices" / "c:").string() + ": " + std::strerror(drive.error));
    return OpenDriveFileSystem(std::make_unique<WineDisk>(std::move(drive)));
}

std::unique_ptr<FileDeletion> OpenWineFileDeletion(const std::filesystem::path& prefix)
{
    return OpenDriveDeletion(std::make_unique<WineDisk>(wine::OpenDrive(prefix)));
}

} // namespace tallowick
