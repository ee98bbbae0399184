#include "main_window/main_window.h"

#include <array>
#include <utility>

namespace tallowick {

using namespace main_controls;

namespace {

constexpr Font kButtonFont{"Arial", 9.75, kRegular, false};
constexpr Font kStatusFont{"Arial", 9.0, kBold, false};

constexpr std::array<ControlLayout, 6> kControls{{
    {.id = List1, .name = "List1", .kind = ControlKind::ListBox,
     .left = 0, .top = 0, .width = 3975, .height = 2985, .tabIndex = 2,
     .background = kWhite, .accessibleName = "Cookie files",
     .sorted = true, .extendedSelection = true},
    {.id = Label1, .name = "Label1", .kind = ControlKind::Label,
     .left = 0, .top = 3000, .width = 3975, .height = 255, .tabIndex = 4,
     .font = kStatusFont, .background = kWhite, .accessibleDescription = "Status line",
     .border = true, .alignment = TextAlignment::Centre, .statusLine = true},
    {.id = cmdSrch, .name = "cmdSrch", .kind = ControlKind::Button, .caption = "Find Cookies",
     .left = 4080, .top = 360, .width = 1455, .height = 495, .tabIndex = 0, .font = kButtonFont},
    {.id = cmdDelCookies, .name = "cmdDelCookies", .kind = ControlKind::Button, .caption = "&Delete Cookies",
     .left = 4080, .top = 960, .width = 1455, .height = 495, .tabIndex = 3, .font = kButtonFont,
     .visible = false},
    {.id = cmdExt, .name = "cmdExt", .kind = ControlKind::Button, .caption = "Close",
     .left = 4080, .top = 1560, .width = 1455, .height = 495, .tabIndex = 1, .font = kButtonFont},
    {.id = Command1, .name = "Command1", .kind = ControlKind::Button, .caption = "About",
     .left = 4080, .top = 2160, .width = 1455, .height = 495, .tabIndex = 5, .font = kButtonFont},
}};

constexpr WindowLayout kMain{
    .name = "Main",
    .caption = "Tallowick",
    .border = WindowBorder::FixedSingle,
    .taskbarButton = true,
    .clientWidth = 5580,
    .clientHeight = 3285,
    .controls = kControls,
};

} // namespace

const WindowLayout& MainLayout() { return kMain; }

Main::Main(Forms& forms, MainCommands commands) : forms_(forms), commands_(std::move(commands)) {}

const WindowLayout& Main::Layout() const { return kMain; }

void Main::Click(ControlId button)
{
    switch (button) {
    case cmdSrch: commands_.cmdSrch_Click(*this); break;
    case cmdDelCookies: commands_.cmdDelCookies_Click(*this); break;
    case cmdExt: cmdExt_Click(); break;
    case Command1: commands_.Command1_Click(*this); break;
    }
}

void Main::cmdExt_Click() { forms_.End(); }

TextCollection& Main::CookieList()
{
    if (!cookieList_)
        cookieList_ = std::make_unique<TextCollection>();
    return *cookieList_;
}

void Main::ShowCookieList()
{
    forms_.ClearList(*this, List1);
    auto& cookies = CookieList();
    for (std::size_t k = 1; k <= cookies.Count(); ++k)
        forms_.AddListLine(*this, List1, cookies.Shared(k));
}

void Main::EmptyCookieList()
{
    auto& cookies = CookieList();
    while (cookies.Count() > 0)
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
