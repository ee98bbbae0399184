#pragma once

#include <memory>

#include "platform/interfaces/file_system.h"
#include "platform/rules/disk.h"

namespace tallowick {

// The search's file system on one drive, by the rules:
// - a path is a plain drive path, or it names no folder;
// - a folder counts only when it and every folder above it are real
//   folders, not links, so nothing behind a link is ever walked;
// - a folder's files are its files and the links that stand where a file
//   is (leading to a file or to nothing); its subfolders are its real
//   folders; a link to a folder is neither;
// - an entry whose name no path could spell again is not reported, so that
//   a reported path always leads back to the entry it came from;
// - a folder that vanished or may not be read is FolderUnavailable; any
//   other failure is an Error with the system's number.
std::unique_ptr<FileSystem> OpenDriveFileSystem(std::unique_ptr<Disk> disk);

} // namespace tallowick
