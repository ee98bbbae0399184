#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/main_window.h"

namespace tallowick::test {

// An in-memory disk in Windows path form. Every search opens a new
// FileSystem on it and every deletion round a new FileDeletion, as the
// program does with the real ones.
class FakeDisk {
public:
    // Adds the file and every folder above it, in the order given.
    void AddFile(const std::string& path);
    bool HasFile(const std::string& path) const;

    FileSystemFactory FileSystems();
    FileDeletionFactory Deletions();

    // Called at the start of every FolderExists, with its path.
    std::function<void(std::string_view)> onFolderExists;
    // Thrown by every FolderExists when set.
    std::optional<Error> folderExistsError;
    // Paths whose deletion fails with "Access is denied." (error 5).
    std::set<std::string> undeletable;

    std::vector<std::string> deletionRequests; // every path handed to DeleteFile, in order
    int fileSystemsOpened = 0;
    int deletionsOpened = 0;

    struct FolderContents {
        std::vector<std::string> fileNames;
        std::vector<std::string> subfolderNames;
    };
    std::map<std::string, FolderContents> folders; // by full path

private:
    void AddFolder(const std::string& path);
};

} // namespace tallowick::test
