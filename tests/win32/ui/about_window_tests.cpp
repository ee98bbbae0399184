// The About window under the Win32 binding: its frame, layout and colours,
// one instance, its place, and how closing it and Main interact.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "about/about.h"
#include "main_window/main_window.h"
#include "ui_fixture.h"

using namespace ui_test;
namespace about_ids = tallowick::about_controls;
namespace main_ids = tallowick::main_controls;

namespace {

void OpenAbout(ProgramFixture& program) { program.Click(main_ids::Command1); }

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool CentredOnScreen(HWND window)
{
    const RECT rect = WindowRect(window);
    return std::abs(rect.left - (GetSystemMetrics(SM_CXSCREEN) - rect.right)) <= 1
           && std::abs(rect.top - (GetSystemMetrics(SM_CYSCREEN) - rect.bottom)) <= 1;
}

void CheckPlace(HWND control, HWND parent, RECT expected, const char* name)
{
    const RECT actual = ClientRectIn(control, parent);
    if (!EqualRect(&actual, &expected)) {
        std::ostringstream message;
        message << name << " is at " << actual.left << "," << actual.top << "-" << actual.right << ","
                << actual.bottom << ", expected " << expected.left << "," << expected.top << "-"
                << expected.right << "," << expected.bottom;
        ADD_FAILURE() << message.str();
    }
}

} // namespace

TEST(AboutWindow, AboutFrameLayoutAndFocus)
{
    ProgramFixture program;
    OpenAbout(program);
    const HWND window = program.AboutWindow();
    ASSERT_TRUE(window != nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(TextOf(window), std::string("About"));

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 312L);
    EXPECT_EQ(client.bottom, 198L);
    CheckPlace(program.AboutControl(about_ids::Label1), window, {80, 16, 233, 33}, "Label1");
    CheckPlace(program.AboutControl(about_ids::Label3), window, {40, 48, 281, 81}, "Label3");
    CheckPlace(program.AboutControl(about_ids::Label4), window, {72, 112, 241, 129}, "Label4");
    CheckPlace(program.AboutControl(about_ids::Label2), window, {40, 144, 281, 161}, "Label2");
    CheckPlace(program.AboutControl(about_ids::Command1), window, {112, 168, 217, 193}, "Command1");
    EXPECT_TRUE(CentredOnScreen(window));

    // Fixed dialog frame, close box only, and no taskbar button: it is owned
    // by a window that is never shown.
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_TRUE((style & WS_SYSMENU) != 0);
    EXPECT_TRUE((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
    EXPECT_TRUE((exStyle & WS_EX_DLGMODALFRAME) != 0);
    EXPECT_TRUE((exStyle & WS_EX_APPWINDOW) == 0);
    const HWND owner = GetWindow(window, GW_OWNER);
    EXPECT_TRUE(owner != nullptr);
    EXPECT_TRUE(owner != program.MainWindow());
    EXPECT_TRUE(!IsWindowVisible(owner));
    EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_BIG, 0) != 0);

    EXPECT_TRUE(GetFocus() == program.AboutControl(about_ids::Command1));
    EXPECT_EQ(TextOf(program.AboutControl(about_ids::Command1)), std::string("Close"));
    EXPECT_EQ(TextOf(program.AboutControl(about_ids::Label1)), std::string("Velmora 1.0"));
    for (const ControlId label : {about_ids::Label1, about_ids::Label2, about_ids::Label3, about_ids::Label4}) {
        const auto labelStyle = static_cast<DWORD>(GetWindowLongA(program.AboutControl(label), GWL_STYLE));
        EXPECT_TRUE((labelStyle & SS_TYPEMASK) == SS_LEFT); // left-aligned, wraps at words
        EXPECT_TRUE((labelStyle & (WS_BORDER | WS_TABSTOP | SS_NOTIFY)) == 0);
    }
}

TEST(AboutWindow, AboutFontsAndTheNavyAddress)
{
    ProgramFixture program;
    OpenAbout(program);
    ASSERT_TRUE(program.AboutWindow() != nullptr);
    const LOGFONTA title = FontOf(program.AboutControl(about_ids::Label1));
    EXPECT_EQ(std::string(title.lfFaceName), std::string("Arial"));
    EXPECT_EQ(title.lfHeight, -16L); // 12 pt at 96 dpi
    EXPECT_EQ(title.lfWeight, 700L);
    EXPECT_TRUE(!title.lfUnderline);
    const LOGFONTA address = FontOf(program.AboutControl(about_ids::Label4));
    EXPECT_EQ(address.lfHeight, -13L);
    EXPECT_EQ(address.lfWeight, 700L);
    EXPECT_TRUE(address.lfUnderline);
    EXPECT_TRUE(!address.lfItalic && !address.lfStrikeOut);
    const LOGFONTA notice = FontOf(program.AboutControl(about_ids::Label2));
    EXPECT_TRUE(std::string(notice.lfFaceName) != "Arial" || notice.lfHeight != -13L); // the window's default

    const HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(program.AboutWindow(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(program.AboutControl(about_ids::Label4)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 128));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE)); // the window's background
    SendMessageA(program.AboutWindow(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(program.AboutControl(about_ids::Label2)));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
    DeleteDC(dc);
}

TEST(AboutWindow, AboutIsOneWindowThatKeepsItsPlaceAndReloadsCentred)
{
    ProgramFixture program;
    OpenAbout(program);
    const HWND first = program.AboutWindow();
    ASSERT_TRUE(first != nullptr);
    SetWindowPos(first, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    program.Pump();

    OpenAbout(program);
    EXPECT_TRUE(program.AboutWindow() == first);
    EXPECT_EQ(VisibleWindowsCaptioned("About"), 1);
    EXPECT_EQ(WindowRect(first).left, 10L);
    EXPECT_EQ(WindowRect(first).top, 20L);

    program.ClickButton(program.AboutControl(about_ids::Command1));
    EXPECT_TRUE(program.AboutWindow() == nullptr);
    EXPECT_TRUE(!IsWindow(first));
    EXPECT_EQ(VisibleWindowsCaptioned("About"), 0);
    EXPECT_TRUE(!program.QuitRequested());

    OpenAbout(program);
    const HWND second = program.AboutWindow();
    ASSERT_TRUE(second != nullptr);
    EXPECT_TRUE(CentredOnScreen(second));
    EXPECT_EQ(VisibleWindowsCaptioned("About"), 1);
    EXPECT_EQ(TextOf(program.AboutControl(about_ids::Label1)), std::string("Velmora 1.0"));
}

TEST(AboutWindow, EscapeEnterAndClickingTheAddressLeaveAboutOpen)
{
    ProgramFixture program;
    OpenAbout(program);
    ASSERT_TRUE(program.AboutWindow() != nullptr);
    program.PressKey(VK_ESCAPE);
    EXPECT_TRUE(program.AboutWindow() != nullptr);
    program.PressKey(VK_RETURN);
    EXPECT_TRUE(program.AboutWindow() != nullptr);
    const HWND address = program.AboutControl(about_ids::Label4);
    program.PostToWindow(address, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    program.PostToWindow(address, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(program.AboutWindow() != nullptr);
    EXPECT_TRUE(program.boxes.shown.empty());
    // Space presses Close, the control with the focus.
    ASSERT_TRUE(GetFocus() == program.AboutControl(about_ids::Command1));
    program.PressKey(VK_SPACE);
    EXPECT_TRUE(program.AboutWindow() == nullptr);
}

TEST(AboutWindow, ClosingAboutLeavesMainAsItWas)
{
    ProgramFixture program;
    program.drive.AddFile("c:\\windows\\cookies\\a.txt");
    program.Click(main_ids::cmdSrch);
    OpenAbout(program);
    // Main works while About is open.
    EXPECT_EQ(program.Status(), std::string("1 Cookies found."));
    program.PostToWindow(program.AboutWindow(), WM_CLOSE);
    EXPECT_TRUE(program.AboutWindow() == nullptr);
    EXPECT_TRUE(program.MainWindow() != nullptr);
    EXPECT_EQ(program.Status(), std::string("1 Cookies found."));
    EXPECT_EQ(program.Listed().size(), 1u);
    EXPECT_TRUE(program.DeleteVisible());
    EXPECT_EQ(program.main.CookieList().Count(), 1u);
    EXPECT_TRUE(!program.QuitRequested());
}

TEST(AboutWindow, MainClosedThroughItsTitleBarWaitsForAbout)
{
    ProgramFixture program;
    OpenAbout(program);
    const HWND about = program.AboutWindow();
    ASSERT_TRUE(about != nullptr);
    program.PostToWindow(program.MainWindow(), WM_CLOSE);
    EXPECT_TRUE(program.MainWindow() == nullptr);
    EXPECT_TRUE(IsWindow(about) && IsWindowVisible(about));
    EXPECT_TRUE(!program.QuitRequested());
    program.ClickButton(program.AboutControl(about_ids::Command1));
    EXPECT_TRUE(program.AboutWindow() == nullptr);
    EXPECT_TRUE(program.QuitRequested());
}

TEST(AboutWindow, CloseWithAboutOpenEndsBoth)
{
    ProgramFixture program;
    OpenAbout(program);
    const HWND about = program.AboutWindow();
    ASSERT_TRUE(about != nullptr);
    program.Click(main_ids::cmdExt);
    EXPECT_TRUE(!IsWindow(about));
    EXPECT_TRUE(program.MainWindow() == nullptr);
    EXPECT_TRUE(program.QuitRequested());
    EXPECT_EQ(VisibleWindowsCaptioned("About"), 0);
    EXPECT_EQ(VisibleWindowsCaptioned("Tallowick"), 0);
}
