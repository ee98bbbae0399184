#pragma once

// The rule book for the user's files: what the search walks and reports, and
// what Delete deletes and refuses, on any drive. A platform gives a Disk that
// answers the rules' questions; it decides nothing itself.

#include <memory>

#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"
#include "platform/rules/disk.h"

namespace tallowick {

// The search's file system on one drive, by the rules:
// - a path is a plain drive path, or it names no folder;
// - a folder counts only when it and every folder above it are real
//   folders, so nothing behind a link is ever walked;
// - a folder's files are its files and the links to a file or to nothing;
//   its subfolders are its real folders;
// - an entry whose name no path could spell again is not reported, so a
//   reported path always leads back to its entry;
// - a folder that vanished or may not be read is FolderUnavailable; any
//   other failure is an Error with the system's number.
std::unique_ptr<FileSystem> OpenDriveFileSystem(std::unique_ptr<Disk> disk);

// The deletion on one drive, by the rules. A file is deleted only when:
// - its path is a plain drive path (one entry, no pattern);
// - every folder on the way is a real folder: behind a link the file is
//   refused, and where a folder is missing it is already gone;
// - each name reaches its entry spelled exactly: one that only reaches a
//   twin in another letter case finds the listed file gone;
// - it is no folder and no read-only file: both are refused, never forced.
// A link is removed as a link, or refused where the system would take its
// target with it. Whatever is gone by then counts as deleted. The questions
// are asked at deletion, so a folder swapped for a link since is refused.
std::unique_ptr<FileDeletion> OpenDriveDeletion(std::unique_ptr<Disk> disk);

} // namespace tallowick
