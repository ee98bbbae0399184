#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick::win32 {

// One entry of a folder listing.
struct FoundEntry {
    std::string name;     // as the system reports it, UTF-8
    std::string pathName; // what addresses it: the name, or its short name where the name cannot
    unsigned long attributes = 0;
};

// The few kernel32 file functions the program needs, on UTF-8 paths in
// Windows form. Each answers a Windows error number, 0 for success.
class FileApi {
public:
    virtual ~FileApi() = default;
    virtual unsigned long GetAttributes(const std::string& path, unsigned long& attributes) = 0;
    // Every entry of the folder, "." and ".." included; an empty folder is
    // no error. Only "<folder>\*" is ever used as a pattern.
    virtual unsigned long ListFolder(const std::string& folder, std::vector<FoundEntry>& entries) = 0;
    virtual unsigned long RemoveFile(const std::string& path) = 0;
};

enum class FileNames {
    SystemChoice, // Unicode on NT, ANSI on 95 and 98
    Unicode,      // the W functions (NT only)
    Ansi,         // the A functions
};

std::unique_ptr<FileApi> OpenFileApi(FileNames names);

std::unique_ptr<FileSystem> OpenWin32FileSystem(std::unique_ptr<FileApi> api);
std::unique_ptr<FileDeletion> OpenWin32FileDeletion(std::unique_ptr<FileApi> api);

} // namespace tallowick::win32
