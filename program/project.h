#pragma once

#include <memory>

#include "about/about.h"
#include "main_window/main_window.h"
#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"

namespace tallowick {

// The program as every platform starts it: its start window, Main, with
// the core's command behind each of its buttons. The file system and the
// deletion are the platform's.
class Project {
public:
    Project(Forms& forms, FileSystemFactory openFileSystem, FileDeletionFactory openDeletion);
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    Main main;

private:
    friend class MainProbe;

    std::unique_ptr<About> about_; // the one About window, from the first About on
};

} // namespace tallowick
