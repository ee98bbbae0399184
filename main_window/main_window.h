#pragma once

#include <functional>
#include <memory>
#include <string>

#include "about/about.h"
#include "platform/interfaces/file_deletion.h"
#include "platform/interfaces/file_system.h"
#include "platform/interfaces/forms.h"
#include "platform/runtime/collection.h"

namespace tallowick {

using FileSystemFactory = std::function<std::unique_ptr<FileSystem>()>;
using FileDeletionFactory = std::function<std::unique_ptr<FileDeletion>()>;

// The main window: the program. Each button's click handler is named after
// the button; the search, the deletion and the About command live in their
// own folders.
class Main : public Form {
public:
    Main(Forms& forms, FileSystemFactory createFileSystem, FileDeletionFactory createDeletion);

    const WindowLayout& Layout() const override;
    void Click(ControlId button) override;

    void cmdSrch_Click();       // Find Cookies
    void cmdDelCookies_Click(); // Delete Cookies
    void cmdExt_Click();        // Close
    void Command1_Click();      // About

    void ShowFolderList();

    // The found cookie files, created empty on first use and kept until the
    // program ends.
    Collection<std::string>& CookieList();

private:
    friend class MainProbe; // tests look at what the window does not show

    void ShowCookieList();
    void EmptyCookieList();

    Forms& forms_;
    FileSystemFactory createFileSystem_;
    FileDeletionFactory createDeletion_;
    std::unique_ptr<Collection<std::string>> cookieList_;
    std::unique_ptr<About> about_;
};

} // namespace tallowick
