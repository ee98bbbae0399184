#pragma once

#include "main_window/main_window.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The Find command, behind cmdSrch: runs ShowFolderList, then shows the
// listed buttons, or "0 cookies found." when nothing was found.
void FindCookies(Main& main, const FileSystemFactory& openFileSystem);

// The walk: in each fixed folder that exists, its own files, then the
// "\cookies" folder of each immediate subfolder, and nothing deeper. Every
// cookie file found is added to CookieList, which List1 then shows whole,
// and the status line gets the count.
void ShowFolderList(Main& main, const FileSystemFactory& openFileSystem);

} // namespace tallowick
