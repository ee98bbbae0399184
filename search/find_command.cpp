#include "search/find_command.h"

#include <array>
#include <string>
#include <string_view>

namespace tallowick {

void FindCookies(Main& main, const FileSystemFactory& openFileSystem)
{
    main.SetStatus("Searching System");
    ShowFolderList(main, openFileSystem);
    if (main.CookieList().Count() == 0)
        main.SetStatus("0 cookies found.");
    else
        main.ShowReadyButtons(false);
}

namespace {

constexpr std::array<std::string_view, 2> kRootFolders{"c:\\windows", "c:\\winnt"};
constexpr std::array<std::string_view, 3> kCookieSubpaths{"\\cookies", "\\profiles", "\\Temporary Internet Files"};
constexpr std::string_view kCookiesFolder = "\\cookies";

// A cookie file is any file whose name holds ".txt", exactly in that case,
// anywhere in it ("old.txt.bak" is one, "B[2].TXT" is not).
bool IsCookieName(std::string_view name) { return name.find(".txt") != std::string_view::npos; }

// A folder that may not be read (other users' profiles on NT) or that
// vanished on the way is passed over like a missing one.
template <typename Then>
void AddCookieFiles(FileSystem& fileSystem, const std::string& path, TextCollection& cookies, const Then& then)
{
    if (!fileSystem.FolderExists(path))
        return;
    try {
        const std::unique_ptr<Folder> folder = fileSystem.GetFolder(path);
        for (const FileEntry& file : folder->Files())
            if (IsCookieName(file.name))
                cookies.Add(file.path);
        then(*folder);
    } catch (const FolderUnavailable&) {
    }
}

} // namespace

void ShowFolderList(Main& main, const FileSystemFactory& openFileSystem)
{
    const std::unique_ptr<FileSystem> fileSystem = openFileSystem();
    auto& cookies = main.CookieList();
    for (const std::string_view root : kRootFolders) {
        if (!fileSystem->FolderExists(root))
            continue;
        for (const std::string_view subpath : kCookieSubpaths)
            AddCookieFiles(*fileSystem, std::string(root) + std::string(subpath), cookies, [&](Folder& fixedFolder) {
                for (const std::string& subfolder : fixedFolder.SubFolders())
                    AddCookieFiles(*fileSystem, subfolder + std::string(kCookiesFolder), cookies, [](Folder&) {});
            });
    }
    main.ShowCookieList();
    main.SetStatus(std::to_string(cookies.Count()) + " Cookies found.");
}

} // namespace tallowick
