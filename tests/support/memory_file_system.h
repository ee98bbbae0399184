#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_deletion.h"
#include "platform/file_system.h"

namespace tallowick::testing {

// An in-memory drive: folders and files by their full Windows-form path,
// compared exactly. Files and subfolders enumerate in the order they were made.
class MemoryDrive {
public:
    void AddFolder(const std::string& path)
    {
        if (folders_.count(path))
            return;
        folders_[path];
        const auto slash = path.rfind('\\');
        if (slash != std::string::npos && slash > 2) {
            const std::string parent = path.substr(0, slash);
            AddFolder(parent);
            folders_[parent].subfolders.push_back(path);
        }
    }

    // Makes the folders on the way as well.
    void AddFile(const std::string& path)
    {
        const auto slash = path.rfind('\\');
        const std::string folder = path.substr(0, slash);
        AddFolder(folder);
        folders_[folder].files.push_back({path.substr(slash + 1), path});
    }

    bool HasFile(const std::string& path) const
    {
        const auto slash = path.rfind('\\');
        const auto folder = folders_.find(path.substr(0, slash));
        if (folder == folders_.end())
            return false;
        for (const auto& file : folder->second.files)
            if (file.path == path)
                return true;
        return false;
    }

    void RemoveFile(const std::string& path)
    {
        const auto slash = path.rfind('\\');
        auto& files = folders_[path.substr(0, slash)].files;
        std::erase_if(files, [&](const FileEntry& file) { return file.path == path; });
    }

    // Paths whose enumeration fails as a folder that may not be read.
    std::set<std::string> unreadable;
    // Every folder path the search asked about, in order.
    std::vector<std::string> asked;
    // Every folder whose contents were read, in order.
    std::vector<std::string> opened;
    int instancesAlive = 0;
    int instancesMade = 0;

private:
    friend class MemoryFileSystem;
    struct Contents {
        std::vector<FileEntry> files;
        std::vector<std::string> subfolders;
    };
    std::map<std::string, Contents, std::less<>> folders_;
};

class MemoryFileSystem : public FileSystem {
public:
    explicit MemoryFileSystem(MemoryDrive& drive) : drive_(drive)
    {
        ++drive_.instancesAlive;
        ++drive_.instancesMade;
    }
    ~MemoryFileSystem() override { --drive_.instancesAlive; }

    bool FolderExists(std::string_view path) override
    {
        drive_.asked.emplace_back(path);
        return drive_.folders_.find(path) != drive_.folders_.end();
    }

    std::unique_ptr<Folder> GetFolder(std::string_view path) override
    {
        const auto found = drive_.folders_.find(path);
        if (found == drive_.folders_.end())
            throw FolderUnavailable(2, "The folder vanished: " + std::string(path));
        if (drive_.unreadable.count(std::string(path)))
            throw FolderUnavailable(13, "Access is denied: " + std::string(path));
        drive_.opened.emplace_back(path);
        return std::make_unique<MemoryFolder>(found->second);
    }

private:
    class MemoryFolder : public Folder {
    public:
        explicit MemoryFolder(const MemoryDrive::Contents& contents) : contents_(contents) {}
        std::vector<FileEntry> Files() override { return contents_.files; }
        std::vector<std::string> SubFolders() override { return contents_.subfolders; }

    private:
        const MemoryDrive::Contents& contents_;
    };

    MemoryDrive& drive_;
};

// Deletes from a MemoryDrive; chosen paths are refused.
class MemoryDeletion : public FileDeletion {
public:
    explicit MemoryDeletion(MemoryDrive& drive, std::vector<std::string>& log,
                            const std::map<std::string, Error>& refusals)
        : drive_(drive), log_(log), refusals_(refusals)
    {
    }

    DeletionResult DeleteFile(const std::string& path) override
    {
        log_.push_back(path);
        if (const auto refused = refusals_.find(path); refused != refusals_.end())
            return {DeletionOutcome::Failed, refused->second};
        if (!drive_.HasFile(path))
            return {DeletionOutcome::AlreadyGone, Error(0, "")};
        drive_.RemoveFile(path);
        return {};
    }

private:
    MemoryDrive& drive_;
    std::vector<std::string>& log_;
    const std::map<std::string, Error>& refusals_;
};

} // namespace tallowick::testing
