#pragma once

#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The file system of the Windows the program runs on. On NT every name is
// kept exactly as UTF-16 (through the W functions, fetched at run time so the
// program still loads on Windows 95); on 95 and 98 names go through the ANSI
// code page, and a name that does not fit it is reached by its short name.
// Folder links (junctions, symbolic links) are never walked.
std::unique_ptr<FileSystem> OpenWin32FileSystem();

// Deletes exactly the file a path names: never a folder, never a read-only
// file, never anything behind a linked folder.
std::unique_ptr<FileDeletion> OpenWin32FileDeletion();

} // namespace tallowick
