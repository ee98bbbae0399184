#include "main_window/main_window.h"

#include <utility>

#include "main_window/main_layout.h"

namespace tallowick {

Main::Main(Forms& forms, FileSystemFactory createFileSystem, FileDeletionFactory createDeletion)
    : forms_(forms),
      createFileSystem_(std::move(createFileSystem)),
      createDeletion_(std::move(createDeletion))
{
}

const WindowLayout& Main::Layout() const { return MainLayout(); }

void Main::Click(ControlId button)
{
    switch (button) {
    case main_controls::cmdSrch: cmdSrch_Click(); break;
    case main_controls::cmdDelCookies: cmdDelCookies_Click(); break;
    case main_controls::cmdExt: cmdExt_Click(); break;
    case main_controls::Command1: Command1_Click(); break;
    default: break;
    }
}

void Main::cmdExt_Click() { forms_.End(); }

Collection<std::string>& Main::CookieList()
{
    if (!cookieList_)
        cookieList_ = std::make_unique<Collection<std::string>>();
    return *cookieList_;
}

// List1 shows exactly the entries of CookieList, in their order.
void Main::ShowCookieList()
{
    forms_.ClearList(*this, main_controls::List1);
    auto& cookies = CookieList();
    const std::size_t count = cookies.Count();
    for (std::size_t k = 1; k <= count; ++k)
        forms_.AddListLine(*this, main_controls::List1, cookies.Item(k));
}

// Removes the first entry as many times as there were entries; the list
// itself lives on.
void Main::EmptyCookieList()
{
    auto& cookies = CookieList();
    const std::size_t count = cookies.Count();
    for (std::size_t i = 0; i < count; ++i)
        cookies.Remove(1);
}

} // namespace tallowick
