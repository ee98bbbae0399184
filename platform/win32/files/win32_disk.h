#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"
#include "platform/rules/disk.h"

namespace tallowick::win32 {

// One entry of a folder listing.
struct FoundEntry {
    std::string name;     // as the system reports it, UTF-8
    std::string pathName; // what reaches it: the name, or its short name where the name cannot
    unsigned long attributes = 0;
};

// The drive the program runs on, answering the rules' questions with three
// kernel32 file functions on UTF-8 paths in Windows form, in their W or
// their A kind. Each answers a Windows error number, 0 for success.
class Win32Disk : public Disk {
public:
    virtual unsigned long GetAttributes(const std::string& path, unsigned long& attributes) = 0;
    // Every entry of the folder, "." and ".." included; an empty folder is
    // no error. Only "<folder>\*" is ever used as a pattern.
    virtual unsigned long ListFolder(const std::string& folder, std::vector<FoundEntry>& entries) = 0;
    // Under Wine a file is held before it is removed (see WineRemoval).
    virtual HeldEntry HoldFile(const std::string& path) = 0;
    virtual unsigned long RemoveFile(const std::string& path) = 0;

    const NameRules& Names() const final { return kWindowsDriveNames; }
    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) final;
    long List(const WindowsPath& path, std::string& shownPath, const Take& take) final;
    HeldEntry Hold(const WindowsPath& path) final { return HoldFile(std::string(path.Text())); }
    long Remove(const WindowsPath& path) final;
    // DeleteFile fails on a read-only file, as on a folder.
    bool RemovalRefusesReadOnlyFiles() const final { return true; }
    bool MeansUnavailable(long error) const final;
    std::string ErrorText(long error) const final;
    long NumberFor(Refusal refusal) const final;

private:
    std::vector<FoundEntry> entries_;
};

enum class FileNames {
    SystemChoice, // Unicode on NT, ANSI on 95 and 98
    Unicode,      // the W functions (NT only): every name exactly as UTF-16
    Ansi,         // the A functions: names in the ANSI code page, a name that
                  // does not fit it reached by its short name
};

std::unique_ptr<Win32Disk> OpenWin32Disk(FileNames names);

} // namespace tallowick::win32

namespace tallowick {

// The search's file system and the deletion on the Windows the program runs
// on, by the rules: folder links (junctions, symbolic links) are never
// walked, and nothing behind one is deleted.
std::unique_ptr<FileSystem> OpenWin32FileSystem();
std::unique_ptr<FileDeletion> OpenWin32FileDeletion();

} // namespace tallowick
