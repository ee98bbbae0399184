#include "ui_fixture.h"

#include "about/about.h"

namespace ui_test {

ProgramFixture::ProgramFixture(int dpi)
    : forms(GetModuleHandleA(nullptr), dpi), project(forms, drive.FileSystems(), drive.Deletions())
{
    forms.SetMessagePresenter([this](const tallowick::Message& message) { boxes.shown.push_back(message); });
    forms.Show(main);
    Pump();
}

ProgramFixture::~ProgramFixture()
{
    forms.End();
    Pump();
}

std::string ProgramFixture::Caption(ControlId id) const { return TextOf(Control(id)); }
std::vector<std::string> ProgramFixture::Lines(ControlId id) const { return ListLines(Control(id)); }
bool ProgramFixture::Visible(ControlId id) const { return IsShown(Control(id)); }

HWND ProgramFixture::AboutWindow() const
{
    const tallowick::About* about = tallowick::MainProbe::AboutWindow(project);
    return about ? tallowick::Win32FormsProbe::WindowOf(forms, *about) : nullptr;
}

HWND ProgramFixture::AboutControl(ControlId id) const
{
    const tallowick::About* about = tallowick::MainProbe::AboutWindow(project);
    return about ? tallowick::Win32FormsProbe::ControlOf(forms, *about, id) : nullptr;
}

void ProgramFixture::Click(ControlId id) { ClickButton(Control(id)); }

void ProgramFixture::ClickButton(HWND button)
{
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump();
}

void ProgramFixture::PressKey(WPARAM key)
{
    const HWND target = GetFocus() ? GetFocus() : MainWindow();
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    Pump();
}

// Alt+letter reaches the window as WM_SYSCHAR, the message the dialog
// manager reads access keys from.
void ProgramFixture::PressAltKey(char letter)
{
    const HWND target = GetFocus() ? GetFocus() : MainWindow();
    PostMessageA(target, WM_SYSCHAR, static_cast<WPARAM>(letter), static_cast<LPARAM>(1u << 29 | 1u));
    Pump();
}

void ProgramFixture::PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PostMessageA(window, message, wParam, lParam);
    Pump();
}

std::string TextOf(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<std::string> ListLines(HWND list)
{
    std::vector<std::string> lines;
    const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const auto length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string line(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line.data()));
        line.resize(static_cast<std::size_t>(length));
        lines.push_back(line);
    }
    return lines;
}

bool IsShown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ClientRectIn(HWND control, HWND parent)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTA FontOf(HWND control)
{
    LOGFONTA logFont{};
    const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    GetObjectA(font, sizeof logFont, &logFont);
    return logFont;
}

namespace {
struct CaptionCount {
    const char* caption;
    int count;
};

BOOL CALLBACK CountCaptioned(HWND window, LPARAM state)
{
    auto* counting = reinterpret_cast<CaptionCount*>(state);
    if (IsWindowVisible(window) && TextOf(window) == counting->caption)
        ++counting->count;
    return TRUE;
}
} // namespace

int VisibleWindowsCaptioned(const char* caption)
{
    CaptionCount counting{caption, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountCaptioned, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

} // namespace ui_test
