#pragma once

#include "main_window/main_window.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The Find command, behind cmdSrch.
void FindCookies(Main& main, const FileSystemFactory& openFileSystem);

// The walk: in each fixed folder, its own files, then the "\cookies" folder
// of each immediate subfolder, and nothing deeper.
void ShowFolderList(Main& main, const FileSystemFactory& openFileSystem);

} // namespace tallowick
