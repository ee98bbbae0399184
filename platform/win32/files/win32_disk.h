#pragma once

#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"
#include "platform/rules/disk.h"

namespace tallowick::win32 {

enum class FileNames {
    SystemChoice, // Unicode on NT, ANSI on 95 and 98
    Unicode,      // the W functions (NT only): every name exactly as UTF-16
    Ansi,         // the A functions: names in the ANSI code page, a name that
                  // does not fit it reached by its short name
};

// The drive the program runs on, through kernel32's file functions, on UTF-8 Windows paths.
std::unique_ptr<Disk> OpenWin32Disk(FileNames names);

} // namespace tallowick::win32

namespace tallowick {

// The search's file system and the deletion on this Windows: folder links
// (junctions, symbolic links) are never walked, and nothing behind one is deleted.
std::unique_ptr<FileSystem> OpenWin32FileSystem();
std::unique_ptr<FileDeletion> OpenWin32FileDeletion();

} // namespace tallowick
