#pragma once

#include <filesystem>
#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The Wine prefix whose drive C: the program works on: $WINEPREFIX, else
// $HOME/.wine; the only place where the environment picks the files.
std::filesystem::path WinePrefix();

// Drive c: of the prefix (where dosdevices/c: leads, else drive_c) as the
// search's file system. Each name matches exactly first, then regardless of
// ASCII letter case; reported paths carry the names as they stand on disk.
std::unique_ptr<FileSystem> OpenWineFileSystem(const std::filesystem::path& prefix);

// The deletion on the same drive, for one round of deletions. It matches the
// reported paths exactly: a file gone since the search is gone, even beside
// a twin in another letter case.
std::unique_ptr<FileDeletion> OpenWineFileDeletion(const std::filesystem::path& prefix);

} // namespace tallowick
