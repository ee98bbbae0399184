#pragma once

#include <memory>
#include <utility>

#include "about/about.h"
#include "deletion/delete_command.h"
#include "main_window/main_window.h"
#include "search/find_command.h"

namespace tallowick {

// The program as every platform starts it: Main, with the core's commands
// behind its buttons, over the platform's file system and deletion.
class Project {
public:
    Project(Forms& forms, FileSystemFactory openFileSystem, FileDeletionFactory openDeletion,
            DeleteInParts inParts = DeleteAsOnePart)
        : main(forms, {
                          .cmdSrch_Click = [open = std::move(openFileSystem)](Main& window) { FindCookies(window, open); },
                          .cmdDelCookies_Click = [open = std::move(openDeletion), parts = std::move(inParts)](
                                                     Main& window) { DeleteCookies(window, open, parts); },
                          .Command1_Click = [this, &forms](Main&) { ShowAbout(forms, about_); },
                      })
    {
    }
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    Main main;

private:
    friend class MainProbe;

    std::unique_ptr<About> about_; // the one About window, from the first About on
};

} // namespace tallowick
