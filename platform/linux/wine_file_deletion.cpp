#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/wine_file_system.h"
#include "platform/linux/wine_path.h"

namespace tallowick {

namespace {

// "The file is read-only: c:\windows\cookies\a.txt"
DeletionResult Failed(int error, const std::string& path, const char* description)
{
    return {DeletionOutcome::Failed, Error(error, std::string(description) + ": " + path)};
}

DeletionResult Gone() { return {DeletionOutcome::AlreadyGone, Error(0, "")}; }

// Deletes one file named by a Windows-form path, found by the same rules as
// the search finds it. The folder of the last file stays resolved, so a run
// of files in one folder resolves it once.
class WineFileDeletion : public FileDeletion {
public:
    explicit WineFileDeletion(wine::Drive drive)
        : drive_(std::move(drive)), resolver_(drive_.fd.get())
    {
    }

    DeletionResult DeleteFile(const std::string& path) override
    {
        if (drive_.error != 0)
            return Failed(drive_.error, path, std::strerror(drive_.error));

        const std::size_t separator = path.rfind('\\');
        if (separator == std::string::npos)
            return Failed(EINVAL, path, "Not a file path");
        // The name is the tail of the path text, already NUL-terminated.
        const char* name = path.c_str() + separator + 1;
        if (!wine::IsPlainComponent(std::string_view(path).substr(separator + 1)))
            return Failed(EINVAL, path, "Not a file path");

        switch (const int error = resolver_.Resolve(std::string_view(path).substr(0, separator))) {
        case 0: break;
        case ENOENT:
        case ENOTDIR: return Gone();
        case EINVAL: return Failed(EINVAL, path, "Not a file path");
        default: return Failed(error, path, std::strerror(error));
        }
        const int folder = resolver_.Fd();

        std::string folded; // the on-disk name when it differs in case
        struct stat status {};
        if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return Failed(errno, path, std::strerror(errno));
            int error = 0;
            folded = resolver_.FindFoldedEntry(name, error);
            if (error != 0)
                return Failed(error, path, std::strerror(error));
            if (folded.empty())
                return Gone();
            name = folded.c_str();
            if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
                return errno == ENOENT ? Gone() : Failed(errno, path, std::strerror(errno));
        }

        if (S_ISDIR(status.st_mode))
            return Failed(EISDIR, path, "Is a directory");
        // Wine keeps the DOS read-only attribute as a missing owner write
        // bit; such a file is refused, not forced.
        if (S_ISREG(status.st_mode) && (status.st_mode & S_IWUSR) == 0)
            return Failed(EACCES, path, "The file is read-only");

        // Without AT_REMOVEDIR a folder swapped in since the check still fails.
        if (::unlinkat(folder, name, 0) != 0) {
            if (errno == ENOENT)
                return Gone();
            return Failed(errno, path, std::strerror(errno));
        }
        return {};
    }

private:
    wine::Drive drive_;
    wine::FolderResolver resolver_;
};

} // namespace

std::unique_ptr<FileDeletion> OpenWineFileDeletion(const std::filesystem::path& prefix)
{
    return std::make_unique<WineFileDeletion>(wine::OpenDrive(prefix));
}

} // namespace tallowick
