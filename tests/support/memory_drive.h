#pragma once

// An in-memory drive behind the file-system and deletion interfaces, for
// every suite that drives the real commands without a disk. Kept free of
// <windows.h>, whose DeleteFile macro would rename the override.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick::testing {

// Folders and files by their full Windows-form path, compared exactly.
// Files and subfolders enumerate in the order they were made. Every search
// opens a new file system on it and every Delete a new deletion, as the
// program does with the real ones.
class MemoryDrive {
public:
    // Each makes the folders above it as well.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path);
    bool HasFile(const std::string& path) const;
    void RemoveFile(const std::string& path);

    FileSystemFactory FileSystems();
    FileDeletionFactory Deletions();

    // Injected failures.
    std::set<std::string> unreadable;        // enumerating these fails as a folder that may not be read
    std::optional<Error> folderExistsError;  // thrown by every existence test when set
    std::map<std::string, Error> refusals;   // these files stay, with the error
    std::function<void(std::string_view)> onFolderExists; // called first by every existence test

    // What the commands asked for, in order.
    std::vector<std::string> asked;            // existence tests
    std::vector<std::string> opened;           // folders whose contents were read
    std::vector<std::string> deletionRequests; // paths handed to the deletion
    int fileSystemsOpened = 0;
    int fileSystemsAlive = 0;
    int deletionsOpened = 0;

    struct Contents {
        std::vector<std::string> files;      // full paths
        std::vector<std::string> subfolders; // full paths
    };
    std::map<std::string, Contents, std::less<>> folders;
};

} // namespace tallowick::testing
