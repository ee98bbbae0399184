#include "program/project.h"

#include <utility>

#include "deletion/delete_command.h"
#include "search/find_command.h"

namespace tallowick {

Project::Project(Forms& forms, FileSystemFactory openFileSystem, FileDeletionFactory openDeletion)
    : main(forms, {
                      .cmdSrch_Click = [open = std::move(openFileSystem)](Main& window) { FindCookies(window, open); },
                      .cmdDelCookies_Click = [open = std::move(openDeletion)](Main& window) { DeleteCookies(window, open); },
                      .Command1_Click = [this, &forms](Main&) { ShowAbout(forms, about_); },
                  })
{
}

} // namespace tallowick
