#include "main_window/main_window.h"

#include <utility>

#include "main_window/main_layout.h"

namespace tallowick {

using namespace main_controls;

Main::Main(Forms& forms, MainCommands commands) : forms_(forms), commands_(std::move(commands)) {}

const WindowLayout& Main::Layout() const { return MainLayout(); }

void Main::Click(ControlId button)
{
    switch (button) {
    case cmdSrch: commands_.cmdSrch_Click(*this); break;
    case cmdDelCookies: commands_.cmdDelCookies_Click(*this); break;
    case cmdExt: cmdExt_Click(); break;
    case Command1: commands_.Command1_Click(*this); break;
    default: break;
    }
}

void Main::cmdExt_Click() { forms_.End(); }

TextCollection& Main::CookieList()
{
    if (!cookieList_)
        cookieList_ = std::make_unique<TextCollection>();
    return *cookieList_;
}

void Main::ClearListBox() { forms_.ClearList(*this, List1); }

void Main::ShowCookieList()
{
    ClearListBox();
    auto& cookies = CookieList();
    const std::size_t count = cookies.Count();
    for (std::size_t k = 1; k <= count; ++k)
        forms_.AddListLine(*this, List1, cookies.Shared(k));
}

void Main::EmptyCookieList()
{
    auto& cookies = CookieList();
    const std::size_t count = cookies.Count();
    for (std::size_t i = 0; i < count; ++i)
        cookies.Remove(1);
}

void Main::SetStatus(std::string_view text) { forms_.SetCaption(*this, Label1, text); }

void Main::ShowFailures(std::string_view summary, std::vector<FailedFile> failures)
{
    forms_.ShowFailures(*this, List1, summary, std::move(failures));
}

// Find is set before Delete either way, as the commands always have.
void Main::ShowReadyButtons(bool ready)
{
    forms_.SetVisible(*this, cmdSrch, ready);
    forms_.SetVisible(*this, cmdDelCookies, !ready);
}

} // namespace tallowick
