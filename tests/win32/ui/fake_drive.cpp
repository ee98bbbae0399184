#include "fake_drive.h"

#include <algorithm>

namespace ui_test {

namespace {

std::string ParentOf(const std::string& path)
{
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

class FakeFolder : public tallowick::Folder {
public:
    explicit FakeFolder(FakeDrive::FolderContents contents) : contents_(std::move(contents)) {}
    std::vector<tallowick::FileEntry> Files() override { return contents_.files; }
    std::vector<std::string> SubFolders() override { return contents_.subfolders; }

private:
    FakeDrive::FolderContents contents_;
};

class FakeFileSystem : public tallowick::FileSystem {
public:
    explicit FakeFileSystem(FakeDrive& drive) : drive_(drive) {}

    bool FolderExists(std::string_view path) override
    {
        if (drive_.duringWalk)
            drive_.duringWalk();
        if (drive_.failFolderExistsWith != 0)
            throw tallowick::Error(drive_.failFolderExistsWith, "Access is denied.");
        return drive_.folders.count(std::string(path)) != 0;
    }

    std::unique_ptr<tallowick::Folder> GetFolder(std::string_view path) override
    {
        const auto found = drive_.folders.find(std::string(path));
        if (found == drive_.folders.end())
            throw tallowick::FolderUnavailable(3, "The system cannot find the path specified.");
        return std::make_unique<FakeFolder>(found->second);
    }

private:
    FakeDrive& drive_;
};

class FakeDeletion : public tallowick::FileDeletion {
public:
    explicit FakeDeletion(FakeDrive& drive) : drive_(drive) {}

    tallowick::DeletionResult DeleteFile(const std::string& path) override
    {
        drive_.deleted.push_back(path);
        if (drive_.refusedDeletions.count(path) != 0)
            return {tallowick::DeletionOutcome::Failed, tallowick::Error(5, "Access is denied.")};
        auto& files = drive_.folders[ParentOf(path)].files;
        const auto file = std::find_if(files.begin(), files.end(), [&](const auto& entry) { return entry.path == path; });
        if (file == files.end())
            return {tallowick::DeletionOutcome::AlreadyGone, tallowick::Error(0, "")};
        files.erase(file);
        return {};
    }

private:
    FakeDrive& drive_;
};

} // namespace

void FakeDrive::AddFolder(const std::string& path)
{
    if (folders.count(path) != 0)
        return;
    folders[path];
    const std::string parent = ParentOf(path);
    if (parent.empty() || parent.size() == 2) // "c:" is the drive, not a folder
        return;
    AddFolder(parent);
    folders[parent].subfolders.push_back(path);
}

void FakeDrive::AddFile(const std::string& path)
{
    const std::string folder = ParentOf(path);
    AddFolder(folder);
    folders[folder].files.push_back({path.substr(folder.size() + 1), path});
}

bool FakeDrive::HasFile(const std::string& path) const
{
    const auto folder = folders.find(ParentOf(path));
    if (folder == folders.end())
        return false;
    const auto& files = folder->second.files;
    return std::any_of(files.begin(), files.end(), [&](const auto& entry) { return entry.path == path; });
}

std::unique_ptr<tallowick::FileSystem> OpenFakeFileSystem(FakeDrive& drive)
{
    ++drive.fileSystemsOpened;
    return std::make_unique<FakeFileSystem>(drive);
}

std::unique_ptr<tallowick::FileDeletion> OpenFakeDeletion(FakeDrive& drive)
{
    ++drive.deletionsOpened;
    return std::make_unique<FakeDeletion>(drive);
}

} // namespace ui_test
