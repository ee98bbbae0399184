#include "about/about.h"

#include <array>

namespace tallowick {

using namespace about_controls;

namespace {

constexpr Colour kNavy{0, 0, 128};

constexpr std::array<ControlLayout, 5> kControls{{
    {.id = Label1, .name = "Label1", .kind = ControlKind::Label, .caption = "Velmora 1.0",
     .left = 1200, .top = 240, .width = 2295, .height = 255, .tabIndex = 0,
     .font = Font{"Arial", 12.0, kBold, false}},
    // The notice line: two lines high, wrapping at a word boundary.
    {.id = Label3, .name = "Label3", .kind = ControlKind::Label,
     .caption = "This program is free to use and comes with no warranty of any kind.",
     .left = 600, .top = 720, .width = 3615, .height = 495, .tabIndex = 2, .wordWrap = true},
    {.id = Label4, .name = "Label4", .kind = ControlKind::Label, .caption = "www.velmora.example",
     .left = 1080, .top = 1680, .width = 2535, .height = 255, .tabIndex = 3,
     .font = Font{"Arial", 9.75, kBold, true}, .textColour = kNavy},
    {.id = Label2, .name = "Label2", .kind = ControlKind::Label,
     .caption = "Copyright 1999 Velmora Software",
     .left = 600, .top = 2160, .width = 3615, .height = 255, .tabIndex = 1},
    {.id = Command1, .name = "Command1", .kind = ControlKind::Button, .caption = "Close",
     .left = 1680, .top = 2520, .width = 1575, .height = 375, .tabIndex = 4},
}};

constexpr WindowLayout kAbout{
    .name = "About",
    .caption = "About",
    .border = WindowBorder::FixedDialog,
    .taskbarButton = false,
    .clientWidth = 4680,
    .clientHeight = 2970,
    .controls = kControls,
};

} // namespace

const WindowLayout& AboutLayout() { return kAbout; }

const WindowLayout& About::Layout() const { return kAbout; }

void About::Click(ControlId button)
{
    if (button == Command1)
        Command1_Click();
}

void About::Command1_Click() { forms_.Unload(*this); }

void ShowAbout(Forms& forms, std::unique_ptr<About>& about)
{
    if (!about)
        about = std::make_unique<About>(forms);
    forms.Show(*about);
}

} // namespace tallowick
