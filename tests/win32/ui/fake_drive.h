#pragma once

// An in-memory drive behind the file-system and deletion interfaces, kept
// free of <windows.h> (whose DeleteFile macro would rename the override).

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_deletion.h"
#include "platform/file_system.h"

namespace ui_test {

struct FakeDrive {
    struct FolderContents {
        std::vector<tallowick::FileEntry> files;
        std::vector<std::string> subfolders;
    };

    // Adds a file and every folder above it ("c:\windows\cookies\a.txt").
    void AddFile(const std::string& path);
    void AddFolder(const std::string& path);
    bool HasFile(const std::string& path) const;

    std::map<std::string, FolderContents> folders;
    std::set<std::string> refusedDeletions;     // these stay, with "Access is denied."
    std::vector<std::string> deleted;           // in the order asked
    int fileSystemsOpened = 0;
    int deletionsOpened = 0;
    long failFolderExistsWith = 0;              // non-zero: FolderExists throws this error
    std::function<void()> duringWalk;           // called on every existence test
};

std::unique_ptr<tallowick::FileSystem> OpenFakeFileSystem(FakeDrive& drive);
std::unique_ptr<tallowick::FileDeletion> OpenFakeDeletion(FakeDrive& drive);

} // namespace ui_test
