#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/interfaces/error.h"

namespace tallowick {

// Paths are texts in Windows form ("c:\windows\cookies\a[1].txt"), UTF-8.
// A path this interface reports leads back to exactly the entry it names.

// Views into the folder that gave them, valid while it lives.
struct FileEntry {
    std::string_view name; // last component, extension included
    std::string_view path; // full path
};

class Folder {
public:
    virtual ~Folder() = default;
    // The folder's own files, not those of its subfolders.
    virtual const std::vector<FileEntry>& Files() = 0;
    // Full paths of the immediate subfolders, each without a trailing separator.
    virtual const std::vector<std::string>& SubFolders() = 0;
};

// A folder that may not be read, or that vanished after its existence test;
// the search passes over it, while any other Error ends the search.
class FolderUnavailable : public Error {
public:
    using Error::Error;
};

// One instance serves one search. Failures throw Error or FolderUnavailable.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual bool FolderExists(std::string_view path) = 0;
    virtual std::unique_ptr<Folder> GetFolder(std::string_view path) = 0;
};

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;

} // namespace tallowick
