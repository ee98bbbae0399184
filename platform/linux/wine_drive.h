#pragma once

#include <filesystem>
#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The Wine prefix whose drive C: the program works on: $WINEPREFIX, else
// $HOME/.wine. The only place where the environment decides which files the
// program works on.
std::filesystem::path WinePrefix();

// Drive c: of the prefix as the search's file system: the folder that
// dosdevices/c: leads to, or drive_c when the prefix has no such entry.
// Windows-form paths ("c:\windows\cookies") are matched name by name, by
// exact name first, then regardless of ASCII letter case; reported paths
// carry the names as they stand on disk.
std::unique_ptr<FileSystem> OpenWineFileSystem(const std::filesystem::path& prefix);

// The deletion on the same drive. It takes the paths the search reported,
// whose names stand as on disk, and matches them exactly: a file gone since
// the search is gone, even where another whose name differs only in letter
// case stands beside it. One instance serves one round of deletions.
std::unique_ptr<FileDeletion> OpenWineFileDeletion(const std::filesystem::path& prefix);

} // namespace tallowick
