#include "main_window/main_layout.h"

#include <array>

namespace tallowick {
namespace {

constexpr Font kButtonFont{"Arial", 9.75, kRegular, false};
constexpr Font kStatusFont{"Arial", 9.0, kBold, false};

using namespace main_controls;

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

} // namespace tallowick
