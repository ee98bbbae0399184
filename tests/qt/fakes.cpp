#include "fakes.h"

#include <algorithm>

namespace tallowick::test {
namespace {

std::pair<std::string, std::string> SplitLast(const std::string& path)
{
    const auto separator = path.rfind('\\');
    if (separator == std::string::npos)
        return {"", path};
    return {path.substr(0, separator), path.substr(separator + 1)};
}

class FakeFolder final : public Folder {
public:
    FakeFolder(std::string path, const FakeDisk::FolderContents& contents) : path_(std::move(path)), contents_(contents) {}

    std::vector<FileEntry> Files() override
    {
        std::vector<FileEntry> files;
        for (const std::string& name : contents_.fileNames)
            files.push_back({name, path_ + "\\" + name});
        return files;
    }

    std::vector<std::string> SubFolders() override
    {
        std::vector<std::string> paths;
        for (const std::string& name : contents_.subfolderNames)
            paths.push_back(path_ + "\\" + name);
        return paths;
    }

private:
    std::string path_;
    FakeDisk::FolderContents contents_;
};

class FakeFileSystem final : public FileSystem {
public:
    explicit FakeFileSystem(FakeDisk& disk) : disk_(disk) {}

    bool FolderExists(std::string_view path) override
    {
        if (disk_.onFolderExists)
            disk_.onFolderExists(path);
        if (disk_.folderExistsError)
            throw *disk_.folderExistsError;
        return disk_.folders.count(std::string(path)) != 0;
    }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        const auto found = disk_.folders.find(std::string(path));
        if (found == disk_.folders.end())
            throw FolderUnavailable(3, "The system cannot find the path specified.");
        return std::make_unique<FakeFolder>(found->first, found->second);
    }

private:
    FakeDisk& disk_;
};

class FakeDeletion final : public FileDeletion {
public:
    explicit FakeDeletion(FakeDisk& disk) : disk_(disk) {}

    DeletionResult DeleteFile(const std::string& path) override
    {
        disk_.deletionRequests.push_back(path);
        if (disk_.undeletable.count(path) != 0)
            return {DeletionOutcome::Failed, Error(5, "Access is denied.")};
        const auto [folder, name] = SplitLast(path);
        const auto found = disk_.folders.find(folder);
        if (found == disk_.folders.end())
            return {DeletionOutcome::AlreadyGone, Error(0, "")};
        auto& names = found->second.fileNames;
        const auto file = std::find(names.begin(), names.end(), name);
        if (file == names.end())
            return {DeletionOutcome::AlreadyGone, Error(0, "")};
        names.erase(file);
        return {DeletionOutcome::Deleted, Error(0, "")};
    }

private:
    FakeDisk& disk_;
};

} // namespace

void FakeDisk::AddFolder(const std::string& path)
{
    if (folders.count(path) != 0)
        return;
    folders[path];
    const auto [parent, name] = SplitLast(path);
    if (parent.empty())
        return;
    AddFolder(parent);
    folders[parent].subfolderNames.push_back(name);
}

void FakeDisk::AddFile(const std::string& path)
{
    const auto [folder, name] = SplitLast(path);
    AddFolder(folder);
    folders[folder].fileNames.push_back(name);
}

bool FakeDisk::HasFile(const std::string& path) const
{
    const auto [folder, name] = SplitLast(path);
    const auto found = folders.find(folder);
    if (found == folders.end())
        return false;
    const auto& names = found->second.fileNames;
    return std::find(names.begin(), names.end(), name) != names.end();
}

FileSystemFactory FakeDisk::FileSystems()
{
    return [this] {
        ++fileSystemsOpened;
        return std::unique_ptr<FileSystem>(std::make_unique<FakeFileSystem>(*this));
    };
}

FileDeletionFactory FakeDisk::Deletions()
{
    return [this] {
        ++deletionsOpened;
        return std::unique_ptr<FileDeletion>(std::make_unique<FakeDeletion>(*this));
    };
}

} // namespace tallowick::test
