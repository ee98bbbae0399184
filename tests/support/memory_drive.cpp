#include "tests/support/memory_drive.h"

#include <algorithm>
#include <memory>

namespace tallowick::testing {
namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

class MemoryFolder final : public Folder {
public:
    explicit MemoryFolder(const MemoryDrive::Contents& contents) : contents_(contents)
    {
        for (const std::string& path : contents_.files)
            files_.push_back({std::string_view(path).substr(path.rfind('\\') + 1), path});
    }
    const std::vector<FileEntry>& Files() override { return files_; }
    const std::vector<std::string>& SubFolders() override { return contents_.subfolders; }

private:
    MemoryDrive::Contents contents_; // a copy: the drive may change during the walk
    std::vector<FileEntry> files_;
};

class MemoryFileSystem final : public FileSystem {
public:
    explicit MemoryFileSystem(MemoryDrive& drive) : drive_(drive) { ++drive_.fileSystemsAlive; }
    ~MemoryFileSystem() override { --drive_.fileSystemsAlive; }

    bool FolderExists(std::string_view path) override
    {
        if (drive_.onFolderExists)
            drive_.onFolderExists(path);
        if (drive_.folderExistsError)
            throw *drive_.folderExistsError;
        drive_.asked.emplace_back(path);
        return drive_.folders.find(path) != drive_.folders.end();
    }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        const auto found = drive_.folders.find(path);
        if (found == drive_.folders.end())
            throw FolderUnavailable(3, "The system cannot find the path specified: " + std::string(path));
        if (drive_.unreadable.count(found->first) != 0)
            throw FolderUnavailable(5, "Access is denied: " + std::string(path));
        drive_.opened.emplace_back(path);
        return std::make_unique<MemoryFolder>(found->second);
    }

private:
    MemoryDrive& drive_;
};

class MemoryDeletion final : public FileDeletion {
public:
    explicit MemoryDeletion(MemoryDrive& drive) : drive_(drive) {}

    DeletionResult DeleteFile(std::string_view listed) override
    {
        const std::string path(listed);
        drive_.deletionRequests.push_back(path);
        if (const auto refused = drive_.refusals.find(path); refused != drive_.refusals.end())
            return {DeletionOutcome::Failed, refused->second};
        if (!drive_.HasFile(path))
            return {DeletionOutcome::AlreadyGone, Error(0, "")};
        drive_.RemoveFile(path);
        return {DeletionOutcome::Deleted, Error(0, "")};
    }

private:
    MemoryDrive& drive_;
};

} // namespace

void MemoryDrive::AddFolder(const std::string& path)
{
    if (folders.count(path) != 0)
        return;
    folders[path];
    const auto separator = path.rfind('\\');
    if (separator == std::string::npos || separator <= 2) // "c:\windows" is a root
        return;
    const std::string parent = path.substr(0, separator);
    AddFolder(parent);
    folders[parent].subfolders.push_back(path);
}

void MemoryDrive::AddFile(const std::string& path)
{
    const std::string folder = FolderOf(path);
    AddFolder(folder);
    folders[folder].files.push_back(path);
}

bool MemoryDrive::HasFile(const std::string& path) const
{
    const auto folder = folders.find(FolderOf(path));
    return folder != folders.end() &&
           std::any_of(folder->second.files.begin(), folder->second.files.end(),
                       [&](const std::string& file) { return file == path; });
}

void MemoryDrive::RemoveFile(const std::string& path)
{
    const auto folder = folders.find(FolderOf(path));
    if (folder != folders.end())
        std::erase(folder->second.files, path);
}

FileSystemFactory MemoryDrive::FileSystems()
{
    return [this]() -> std::unique_ptr<FileSystem> {
        ++fileSystemsOpened;
        return std::make_unique<MemoryFileSystem>(*this);
    };
}

FileDeletionFactory MemoryDrive::Deletions()
{
    return [this]() -> std::unique_ptr<FileDeletion> {
        ++deletionsOpened;
        return std::make_unique<MemoryDeletion>(*this);
    };
}

} // namespace tallowick::testing
