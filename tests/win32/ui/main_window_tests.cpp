// The main window under the Win32 binding: geometry, fonts, colours, the
// initial state, the keyboard, and the Find / Delete flows over a fake drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

#include "main_window/main_window.h"
#include "platform/win32/message_box.h"
#include "platform/win32/system/path_text.h"
#include "ui_fixture.h"

using namespace ui_test;
using namespace tallowick::main_controls;

namespace {

struct Box {
    int left, top, width, height;
};

void CheckBox(HWND control, HWND parent, Box expected, const char* name)
{
    const RECT rect = ClientRectIn(control, parent);
    const Box actual{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    if (actual.left != expected.left || actual.top != expected.top || actual.width != expected.width
        || actual.height != expected.height) {
        std::ostringstream message;
        message << name << " is at " << actual.left << "," << actual.top << " " << actual.width << "x"
                << actual.height << ", expected " << expected.left << "," << expected.top << " "
                << expected.width << "x" << expected.height;
        ADD_FAILURE() << message.str();
    }
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

void CheckCentredOnScreen(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_TRUE(std::abs(rect.left - (screenWidth - rect.right)) <= 1);
    EXPECT_TRUE(std::abs(rect.top - (screenHeight - rect.bottom)) <= 1);
}

void AddThreeCookies(tallowick::testing::MemoryDrive& drive)
{
    drive.AddFile("c:\\windows\\cookies\\z[1].txt");
    drive.AddFile("c:\\windows\\cookies\\index.dat");
    drive.AddFile("c:\\windows\\cookies\\b[1].txt");
    drive.AddFile("c:\\winnt\\profiles\\alice\\cookies\\a[2].txt");
}

} // namespace

TEST(MainWindow, MainGeometryAt96Dpi)
{
    ProgramFixture program(96);
    const HWND window = program.MainWindow();
    ASSERT_TRUE(window != nullptr);
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, 372);
    EXPECT_EQ(client.cy, 219);
    CheckBox(program.Control(List1), window, {0, 0, 265, 199}, "List1");
    CheckBox(program.Control(Label1), window, {0, 200, 265, 17}, "Label1");
    CheckBox(program.Control(cmdSrch), window, {272, 24, 97, 33}, "cmdSrch");
    CheckBox(program.Control(cmdDelCookies), window, {272, 64, 97, 33}, "cmdDelCookies");
    CheckBox(program.Control(cmdExt), window, {272, 104, 97, 33}, "cmdExt");
    CheckBox(program.Control(Command1), window, {272, 144, 97, 33}, "Command1");
    CheckCentredOnScreen(window);
}

TEST(MainWindow, MainGeometryAt144DpiScalesEveryLengthOnce)
{
    ProgramFixture program(144);
    const HWND window = program.MainWindow();
    ASSERT_TRUE(window != nullptr);
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, 558);
    EXPECT_EQ(client.cy, 329); // 328.5 rounds up
    CheckBox(program.Control(List1), window, {0, 0, 398, 299}, "List1");
    CheckBox(program.Control(Label1), window, {0, 300, 398, 26}, "Label1");
    CheckBox(program.Control(cmdSrch), window, {408, 36, 146, 50}, "cmdSrch");
    CheckBox(program.Control(Command1), window, {408, 216, 146, 50}, "Command1");
    CheckCentredOnScreen(window);
}

// By default the windows are built at the screen's logical resolution. The
// win32.ui.screen_144dpi run sets Wine's LogPixels to 144 and says so in
// TALLOWICK_EXPECTED_DPI.
TEST(MainWindow, BuiltAtTheScreensResolutionByDefault)
{
    const HDC screen = GetDC(nullptr);
    const int screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ProgramFixture program(0);
    EXPECT_EQ(tallowick::Win32FormsProbe::Dpi(program.forms), screenDpi);
    const char* expected = std::getenv("TALLOWICK_EXPECTED_DPI");
    if (!expected)
        return;
    EXPECT_EQ(screenDpi, std::atoi(expected));
    if (screenDpi == 144) {
        const SIZE client = ClientSize(program.MainWindow());
        EXPECT_EQ(client.cx, 558);
        EXPECT_EQ(client.cy, 329);
        EXPECT_EQ(FontOf(program.Control(cmdSrch)).lfHeight, -20L);
    }
}

TEST(MainWindow, MainWindowFrameCaptionAndStyles)
{
    ProgramFixture program;
    const HWND window = program.MainWindow();
    ASSERT_TRUE(window != nullptr);
    EXPECT_EQ(TextOf(window), std::string("Tallowick"));
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
    EXPECT_TRUE((style & WS_SYSMENU) != 0);
    EXPECT_TRUE((style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP)) == 0);
    EXPECT_TRUE(GetWindow(window, GW_OWNER) == nullptr); // its own taskbar button
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_BIG, 0) != 0);
    EXPECT_TRUE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0) != 0);

    const auto listStyle = static_cast<DWORD>(GetWindowLongA(program.Control(List1), GWL_STYLE));
    EXPECT_TRUE((listStyle & LBS_SORT) == LBS_SORT);
    EXPECT_TRUE((listStyle & LBS_EXTENDEDSEL) != 0);
    EXPECT_TRUE((listStyle & LBS_NOINTEGRALHEIGHT) != 0);
    const auto labelStyle = static_cast<DWORD>(GetWindowLongA(program.Control(Label1), GWL_STYLE));
    EXPECT_TRUE((labelStyle & SS_TYPEMASK) == SS_CENTER);
    EXPECT_TRUE((labelStyle & WS_BORDER) != 0);
    EXPECT_TRUE((labelStyle & WS_TABSTOP) == 0);
}

TEST(MainWindow, MainFontsAt96And144Dpi)
{
    for (const int dpi : {96, 144}) {
        ProgramFixture program(dpi);
        const LOGFONTA button = FontOf(program.Control(cmdSrch));
        EXPECT_EQ(std::string(button.lfFaceName), std::string("Arial"));
        EXPECT_EQ(button.lfHeight, dpi == 96 ? -13L : -20L); // 9.75 pt
        EXPECT_EQ(button.lfWeight, 400L);
        EXPECT_EQ(static_cast<int>(button.lfCharSet), ANSI_CHARSET);
        EXPECT_EQ(FontOf(program.Control(cmdExt)).lfHeight, button.lfHeight);

        const LOGFONTA status = FontOf(program.Control(Label1));
        EXPECT_EQ(std::string(status.lfFaceName), std::string("Arial"));
        EXPECT_EQ(status.lfHeight, dpi == 96 ? -12L : -18L); // 9 pt
        EXPECT_EQ(status.lfWeight, 700L);
        EXPECT_TRUE(!status.lfUnderline);

        // The list has the window's default font: the GUI font, scaled.
        LOGFONTA gui{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        const LOGFONTA list = FontOf(program.Control(List1));
        EXPECT_EQ(std::string(list.lfFaceName), std::string(gui.lfFaceName));
        const HDC screen = GetDC(nullptr);
        const int screenDpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(list.lfHeight, static_cast<LONG>(MulDiv(gui.lfHeight, dpi, screenDpi)));
    }
}

TEST(MainWindow, ListAndStatusLineAreWhite)
{
    ProgramFixture program;
    const HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& [message, id] : {std::pair{WM_CTLCOLORLISTBOX, List1}, std::pair{WM_CTLCOLORSTATIC, Label1}}) {
        SetBkColor(dc, RGB(1, 2, 3));
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(program.MainWindow(), message,
                                                                 reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(program.Control(id))));
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
        LOGBRUSH fill{};
        ASSERT_TRUE(GetObjectA(brush, sizeof fill, &fill) != 0);
        EXPECT_EQ(fill.lbColor, RGB(255, 255, 255));
    }
    DeleteDC(dc);
}

TEST(MainWindow, StartsReadyWithFocusOnFindCookies)
{
    ProgramFixture program;
    EXPECT_TRUE(program.Listed().empty());
    EXPECT_EQ(program.Status(), std::string());
    EXPECT_EQ(TextOf(program.Control(cmdSrch)), std::string("Find Cookies"));
    EXPECT_EQ(TextOf(program.Control(cmdDelCookies)), std::string("&Delete Cookies"));
    EXPECT_EQ(TextOf(program.Control(cmdExt)), std::string("Close"));
    EXPECT_EQ(TextOf(program.Control(Command1)), std::string("About"));
    EXPECT_TRUE(program.FindVisible());
    EXPECT_TRUE(!program.DeleteVisible());
    EXPECT_TRUE(IsShown(program.Control(cmdExt)));
    EXPECT_TRUE(IsShown(program.Control(Command1)));
    EXPECT_TRUE(GetFocus() == program.Control(cmdSrch));
    EXPECT_EQ(program.drive.fileSystemsOpened, 0); // nothing runs at start
}

TEST(MainWindow, TabFollowsTheTabOrderAndSkipsHiddenAndLabels)
{
    ProgramFixture program;
    ASSERT_TRUE(GetFocus() == program.Control(cmdSrch));
    // cmdSrch 0, cmdExt 1, List1 2, (cmdDelCookies 3, hidden), (Label1 4), Command1 5
    const ControlId expected[] = {cmdExt, List1, Command1, cmdSrch};
    for (const ControlId id : expected) {
        program.PressKey(VK_TAB);
        EXPECT_TRUE(GetFocus() == program.Control(id));
    }
}

TEST(MainWindow, FindListsEveryCookieAndSwitchesToListed)
{
    ProgramFixture program;
    AddThreeCookies(program.drive);
    program.Click(cmdSrch);

    const auto lines = program.Listed();
    ASSERT_TRUE(lines.size() == 3u);
    // The list sorts its lines; CookieList keeps the walk's order.
    EXPECT_EQ(lines[0], std::string("c:\\windows\\cookies\\b[1].txt"));
    EXPECT_EQ(lines[1], std::string("c:\\windows\\cookies\\z[1].txt"));
    EXPECT_EQ(lines[2], std::string("c:\\winnt\\profiles\\alice\\cookies\\a[2].txt"));
    EXPECT_EQ(program.main.CookieList().Item(1), std::string("c:\\windows\\cookies\\z[1].txt"));
    EXPECT_EQ(program.Status(), std::string("3 Cookies found."));
    EXPECT_TRUE(!program.FindVisible());
    EXPECT_TRUE(program.DeleteVisible());
    // The hidden button handed the focus on instead of keeping it.
    EXPECT_TRUE(GetFocus() != program.Control(cmdSrch));
    EXPECT_TRUE(GetFocus() != nullptr && IsShown(GetFocus()));
    EXPECT_TRUE(program.boxes.shown.empty());
}

TEST(MainWindow, SearchingSystemIsOnScreenWhileTheWalkRuns)
{
    ProgramFixture program;
    program.drive.AddFile("c:\\windows\\cookies\\a.txt");
    int checks = 0;
    program.drive.onFolderExists = [&](std::string_view) {
        if (checks++ > 0)
            return;
        const HWND label = program.Control(Label1);
        EXPECT_EQ(TextOf(label), std::string("Searching System"));
        // Painted already: nothing of the label waits for a WM_PAINT.
        EXPECT_TRUE(!GetUpdateRect(label, nullptr, FALSE));
    };
    program.Click(cmdSrch);
    EXPECT_TRUE(checks > 0);
    EXPECT_EQ(program.Status(), std::string("1 Cookies found."));
}

TEST(MainWindow, ManyLinesAreDrawnOnceTheHandlerIsDone)
{
    ProgramFixture program;
    for (int i = 0; i < 2000; ++i)
        program.drive.AddFile("c:\\windows\\cookies\\site" + std::to_string(i) + "[1].txt");
    program.Click(cmdSrch);
    const HWND list = program.Control(List1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2000);
    EXPECT_EQ(program.Status(), std::string("2000 Cookies found."));
    // Drawing was switched off while the lines went in and is back on: the
    // list has taken its scroll bar.
    EXPECT_TRUE(IsShown(list));
    EXPECT_TRUE((GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) != 0);
}

namespace {

// The width of a line in the list's own font.
int LineWidth(HWND list, const std::string& line)
{
    const HDC dc = GetDC(list);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return size.cx;
}

bool HorizontalBarShown(HWND list) { return (GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0; }

} // namespace

// A path wider than the list can be scrolled into view; while every line
// fits the list has no horizontal scroll bar, and a refill sets it anew.
TEST(MainWindow, ALongPathCanBeScrolledIntoView)
{
    ProgramFixture program;
    const HWND list = program.Control(List1);
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_FALSE(HorizontalBarShown(list));

    const std::vector<std::string> shortPaths{"c:\\windows\\cookies\\a.txt", "c:\\winnt\\cookies\\z.txt"};
    for (const std::string& path : shortPaths)
        program.drive.AddFile(path);
    program.Click(cmdSrch);
    EXPECT_FALSE(HorizontalBarShown(list));
    EXPECT_LE(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), client.right);
    program.Click(cmdDelCookies);

    // Not the last line, so no single line's place decides the width.
    const std::string longPath =
        "c:\\windows\\profiles\\" + std::string(40, 'W') + "\\cookies\\" + std::string(30, 'm') + "[1].txt";
    program.drive.AddFile(longPath);
    for (const std::string& path : shortPaths)
        program.drive.AddFile(path);
    program.Click(cmdSrch);
    ASSERT_EQ(ListLines(list).size(), 3u);
    ASSERT_TRUE(HorizontalBarShown(list));
    const int width = LineWidth(list, longPath);
    GetClientRect(list, &client);
    EXPECT_GT(width, client.right);
    // Scrolled to the right end, the line's last pixel is in view (the text
    // starts a pixel in).
    SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    program.Pump();
    const int scrolled = GetScrollPos(list, SB_HORZ);
    EXPECT_LE(1 + width - scrolled, client.right) << "scrolled " << scrolled << " of a line " << width << " wide";

    program.Click(cmdDelCookies);
    EXPECT_FALSE(HorizontalBarShown(list));
    EXPECT_EQ(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), 0);
}

TEST(MainWindow, FindWithNothingStaysReady)
{
    ProgramFixture program;
    program.drive.AddFolder("c:\\windows\\cookies");
    program.Click(cmdSrch);
    EXPECT_EQ(program.Status(), std::string("0 cookies found."));
    EXPECT_TRUE(program.FindVisible());
    EXPECT_TRUE(!program.DeleteVisible());
    EXPECT_TRUE(program.Listed().empty());
    program.Click(cmdSrch); // runs the whole walk again
    EXPECT_EQ(program.drive.fileSystemsOpened, 2);
}

TEST(MainWindow, AltDDeletesWhileDeleteIsShownThenFindAgain)
{
    ProgramFixture program;
    AddThreeCookies(program.drive);
    program.Click(cmdSrch);
    ASSERT_TRUE(program.DeleteVisible());

    program.PressAltKey('d');
    EXPECT_EQ(program.drive.deletionRequests.size(), 3u);
    EXPECT_TRUE(!program.drive.HasFile("c:\\windows\\cookies\\b[1].txt"));
    EXPECT_TRUE(!program.drive.HasFile("c:\\winnt\\profiles\\alice\\cookies\\a[2].txt"));
    EXPECT_TRUE(program.drive.HasFile("c:\\windows\\cookies\\index.dat"));
    EXPECT_EQ(program.Status(), std::string("Cookies eaten...yum!"));
    EXPECT_TRUE(program.Listed().empty());
    EXPECT_TRUE(program.FindVisible());
    EXPECT_TRUE(!program.DeleteVisible());
    EXPECT_EQ(program.main.CookieList().Count(), 0u);

    program.Click(cmdSrch);
    EXPECT_EQ(program.Status(), std::string("0 cookies found."));
}

TEST(MainWindow, AltDDoesNothingWhileDeleteIsHidden)
{
    ProgramFixture program;
    program.drive.AddFile("c:\\windows\\cookies\\a.txt");
    program.PressAltKey('d');
    EXPECT_EQ(program.drive.deletionsOpened, 0);
    EXPECT_EQ(program.Status(), std::string());
    // Nor after a search that found nothing.
    program.drive.folders.clear();
    program.Click(cmdSrch);
    program.PressAltKey('d');
    EXPECT_EQ(program.drive.deletionsOpened, 0);
    EXPECT_EQ(program.Status(), std::string("0 cookies found."));
    // A click message on the hidden button is refused as well.
    SendMessageA(program.MainWindow(), WM_COMMAND, MAKEWPARAM(100 + cmdDelCookies, BN_CLICKED),
                 reinterpret_cast<LPARAM>(program.Control(cmdDelCookies)));
    EXPECT_EQ(program.drive.deletionsOpened, 0);
}

TEST(MainWindow, SpacePressesTheFocusedButtonEnterAndEscapeDoNothing)
{
    ProgramFixture program;
    program.drive.AddFile("c:\\windows\\cookies\\a.txt");
    ASSERT_TRUE(GetFocus() == program.Control(cmdSrch));
    program.PressKey(VK_RETURN);
    program.PressKey(VK_ESCAPE);
    EXPECT_EQ(program.drive.fileSystemsOpened, 0);
    EXPECT_TRUE(program.MainWindow() != nullptr);
    program.PressKey(VK_SPACE);
    EXPECT_EQ(program.drive.fileSystemsOpened, 1);
    EXPECT_EQ(program.Status(), std::string("1 Cookies found."));
}

TEST(MainWindow, DeletionRefusedNamesTheFileAndRunsOn)
{
    ProgramFixture program;
    AddThreeCookies(program.drive);
    const std::string second = "c:\\windows\\cookies\\b[1].txt";
    const std::string first = "c:\\windows\\cookies\\z[1].txt"; // found first, shown last
    program.drive.refusals.emplace(second, tallowick::Error(5, second, "Access is denied."));
    program.drive.refusals.emplace(first, tallowick::Error(0, first, "The file is read-only."));
    program.Click(cmdSrch);
    program.Click(cmdDelCookies);

    EXPECT_EQ(program.drive.deletionRequests.size(), 3u);
    EXPECT_EQ(program.Status(), std::string("2 Cookies not deleted."));
    const auto lines = program.Listed();
    ASSERT_TRUE(lines.size() == 2u);
    EXPECT_EQ(lines[0], second);
    EXPECT_EQ(lines[1], first);
    // Named in the list's order, each path once, with its reason alone.
    ASSERT_TRUE(program.boxes.shown.size() == 1u);
    const tallowick::Message& box = program.boxes.shown[0];
    EXPECT_TRUE(box.kind == tallowick::MessageKind::Warning);
    ASSERT_TRUE(box.files.size() == 2u);
    EXPECT_EQ(box.files[0].path, second);
    EXPECT_EQ(box.files[0].reason, std::string("Error 5: Access is denied."));
    EXPECT_EQ(box.files[1].path, first);
    EXPECT_EQ(box.files[1].reason, std::string("The file is read-only."));
    EXPECT_TRUE(!program.QuitRequested());
    EXPECT_TRUE(program.MainWindow() != nullptr);
}

TEST(MainWindow, AnErrorInAHandlerIsReportedAndEndsTheProgram)
{
    ProgramFixture program;
    program.drive.folderExistsError = tallowick::Error(5, "Access is denied.");
    program.Click(cmdSrch);
    ASSERT_TRUE(program.boxes.shown.size() == 1u);
    EXPECT_TRUE(program.boxes.shown[0].kind == tallowick::MessageKind::Error);
    EXPECT_EQ(program.boxes.shown[0].text, std::string("Error 5: Access is denied."));
    EXPECT_EQ(program.forms.ExitCode(), 1);
    EXPECT_TRUE(program.MainWindow() == nullptr);
    EXPECT_TRUE(program.QuitRequested());
    // No further handler runs, and nothing is loaded again.
    program.forms.DeliverClick(program.main, cmdSrch);
    EXPECT_EQ(program.drive.fileSystemsOpened, 1);
    EXPECT_TRUE(program.MainWindow() == nullptr);
}

TEST(MainWindow, CloseEndsTheProgram)
{
    ProgramFixture program;
    program.Click(cmdExt);
    EXPECT_TRUE(program.MainWindow() == nullptr);
    EXPECT_TRUE(program.QuitRequested());
    EXPECT_TRUE(program.boxes.shown.empty());
}

TEST(MainWindow, ClosingMainThroughItsTitleBarAlone)
{
    ProgramFixture program;
    program.PostToWindow(program.MainWindow(), WM_CLOSE);
    EXPECT_TRUE(program.MainWindow() == nullptr);
    EXPECT_TRUE(program.QuitRequested());
}

// On NT (Wine's default) the list takes the path as UTF-16, so a name
// outside the ANSI code page shows exactly.
TEST(MainWindow, PathsOutsideAsciiShowExactlyOnNt)
{
    ASSERT_TRUE((GetVersion() & 0x80000000u) == 0);
    ProgramFixture program;
    program.drive.AddFile("c:\\windows\\cookies\\caf\xc3\xa9-\xce\xa9[1].txt"); // "café-Ω[1].txt" in UTF-8
    program.Click(cmdSrch);
    const HWND list = program.Control(List1);
    ASSERT_TRUE(SendMessageA(list, LB_GETCOUNT, 0, 0) == 1);
    wchar_t line[128] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_TRUE(std::wcscmp(line, L"c:\\windows\\cookies\\caf\u00e9-\u03a9[1].txt") == 0);
    EXPECT_EQ(program.Status(), std::string("1 Cookies found."));
}

namespace {

// The real failure box, measured on the screen while it is up.
struct SeenBox {
    RECT box{};
    RECT ok{};
    std::string text;
    bool linesFit = true; // no line wider than the box shows it
    std::string diag;
};
SeenBox seenBox;

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK MeasureAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (!box)
        return;
    KillTimer(nullptr, timer);
    GetWindowRect(box, &seenBox.box);
    GetWindowRect(GetDlgItem(box, IDOK), &seenBox.ok);
    const HWND text = GetDlgItem(box, 0xFFFF);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(GetWindowTextLengthW(text)) + 1);
    GetWindowTextW(text, buffer.data(), static_cast<int>(buffer.size()));
    seenBox.text = tallowick::win32::PathTextFromWide(buffer.data());
    RECT shown{};
    GetClientRect(text, &shown);
    const HDC dc = GetDC(text);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(text, WM_GETFONT, 0, 0)));
    std::wistringstream lines(buffer.data());
    for (std::wstring line; std::getline(lines, line);) {
        SIZE size{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        if (size.cx > shown.right)
            seenBox.diag += std::to_string(size.cx) + ">" + std::to_string(shown.right) + " ";
        seenBox.linesFit = seenBox.linesFit && size.cx <= shown.right;
    }
    SelectObject(dc, previous);
    ReleaseDC(text, dc);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

bool OnScreen(const RECT& rect)
{
    return rect.left >= 0 && rect.top >= 0 && rect.right <= GetSystemMetrics(SM_CXSCREEN) &&
           rect.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

} // namespace

// At 1, 20 and 500 failures, with paths of 10 and of 250 characters (run at
// 96 and at 144 dpi): the box and its OK button stay on the screen, no line
// is cut, and the files it names are the first ones, in order, each whole
// (their accented letters too);
// the rest are counted.
TEST(FailureBox, KeepsToTheScreenAndNamesTheFirstFilesWhole)
{
    for (const int count : {1, 20, 500}) {
        for (const int length : {10, 250}) {
            tallowick::Message message{tallowick::MessageKind::Warning, "These files could not be deleted.", {}};
            for (int i = 0; i < count; ++i) {
                std::string path = "c:\\" + std::to_string(i) + "\\";
                const int padding = std::max(1, length - static_cast<int>(path.size()) - 4);
                path += std::string(static_cast<std::size_t>(padding / 2), 'x') + " ";
                for (int e = 0; e < padding - padding / 2; ++e)
                    path += "\xC3\xA9"; // a piece wider than a line is broken between characters, never inside one
                path += ".txt";
                message.files.push_back({path, "Error 5: Access is denied."});
            }
            seenBox = {};
            SetTimer(nullptr, 0, 50, MeasureAndClose);
            tallowick::win32::ShowMessageBox(message);

            const std::string sizes = std::to_string(count) + " x " + std::to_string(length);
            EXPECT_TRUE(OnScreen(seenBox.box)) << sizes << " box " << seenBox.box.left << "," << seenBox.box.top << "," << seenBox.box.right << "," << seenBox.box.bottom << " lines " << std::count(seenBox.text.begin(), seenBox.text.end(), '\n') << " " << seenBox.diag;
            EXPECT_TRUE(OnScreen(seenBox.ok)) << sizes;
            EXPECT_TRUE(seenBox.linesFit) << sizes;
            std::string whole = seenBox.text; // with its line breaks taken out again
            whole.erase(std::remove(whole.begin(), whole.end(), '\n'), whole.end());
            std::size_t named = 0;
            for (std::size_t at = 0; named < message.files.size(); ++named) {
                at = whole.find(message.files[named].path + "    Error 5: Access is denied.", at);
                if (at == std::string::npos)
                    break;
            }
            EXPECT_GE(named, 1u) << sizes;
            if (named < message.files.size()) {
                const std::string rest = "...and " + std::to_string(message.files.size() - named) + " more, still listed.";
                EXPECT_NE(whole.find(rest), std::string::npos) << sizes << " named " << named;
            }
        }
    }
}
