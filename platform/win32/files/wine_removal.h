#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <windows.h>

#include "platform/rules/disk.h"

namespace tallowick::win32 {

// Under Wine, DeleteFile may remove another entry than the one a path names:
// Wine shows a Unix symbolic link to a file as that file and removes the file,
// never the link; and a name whose entry is gone reaches one that differs only
// in letter case. So under Wine a file is removed through its own handle, after
// the rules have seen what it holds and by which names. (Windows removes its
// own links as links, and its folders hold no twins.)
class WineRemoval {
public:
    WineRemoval(); // inactive off Wine
    ~WineRemoval();

    bool Active() const { return wine_ != nullptr; }
    // Opens the entry `path` ("c:\...") names for removal, never a folder, and says what it holds.
    HeldEntry Hold(std::string_view path);
    // Removes what Hold holds for `path`: 0, or the system's error.
    unsigned long RemoveHeld(std::string_view path);

private:
    struct Functions;
    using Handle = std::unique_ptr<void, decltype(&CloseHandle)>; // null where nothing opened

    HeldEntry Examine(const std::wstring& file, const std::wstring& folder) const;

    std::unique_ptr<const Functions> wine_;
    Handle held_{nullptr, CloseHandle};
    std::string heldPath_;
    std::wstring folder_;      // the folder of the last file held
    std::wstring finalFolder_; // and its final path
};

} // namespace tallowick::win32
