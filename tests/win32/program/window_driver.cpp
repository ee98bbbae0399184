// Drives a running Tallowick.exe from outside, as a user would, for the
// smoke test of the program itself (smoke_test.sh):
//
//   window_driver wait             waits for the main window to appear
//   window_driver click CAPTION    clicks the visible button of that caption
//                                  and waits until its handler has run
//   window_driver press CAPTION    clicks it and returns at once (for a
//                                  button that ends the program)
//   window_driver close            asks the main window to close (WM_CLOSE)
//
// After wait and click it prints the window's process and controls, one a
// line:
//   process <id>              the Windows id of the window's process
//   button <caption>          each visible button
//   status <text>             the status line
//   line <text>               each line of the list, in UTF-8
// and exits 0; it exits 1 when the window or the button is not there.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kMainCaption[] = "Tallowick";
constexpr DWORD kPatienceMs = 60000;
constexpr char kUsage[] = "usage: window_driver wait | click CAPTION | press CAPTION | close";

void Write(const std::string& text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

// Window texts of another process, fetched as UTF-16 so that no name is
// narrowed to the ANSI code page on the way.
std::wstring WindowText(HWND window)
{
    std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1);
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND MainWindow()
{
    // The program's hidden owner window has no caption; the main window is
    // the visible one captioned "Tallowick".
    for (HWND window = FindWindowA(nullptr, kMainCaption); window;
         window = FindWindowExA(nullptr, window, nullptr, kMainCaption)) {
        if (IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

HWND WaitForMainWindow()
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (const HWND window = MainWindow())
            return window;
        if (GetTickCount() - start > kPatienceMs)
            return nullptr;
        Sleep(100);
    }
}

BOOL CALLBACK AddChild(HWND child, LPARAM children)
{
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsClass(HWND window, const char* name)
{
    return lstrcmpiA(ClassName(window).c_str(), name) == 0;
}

void PrintControls(HWND main)
{
    DWORD process = 0;
    GetWindowThreadProcessId(main, &process);
    Write("process " + std::to_string(process) + "\n");
    for (const HWND child : Children(main)) {
        if (IsClass(child, "Button") && IsWindowVisible(child)) {
            Write("button " + Utf8(WindowText(child)) + "\n");
        } else if (IsClass(child, "Static")) {
            Write("status " + Utf8(WindowText(child)) + "\n");
        } else if (IsClass(child, "ListBox")) {
            const LRESULT count = SendMessageW(child, LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                std::vector<wchar_t> line(static_cast<size_t>(SendMessageW(child, LB_GETTEXTLEN, i, 0)) + 1);
                SendMessageW(child, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
                Write("line " + Utf8(line.data()) + "\n");
            }
        }
    }
}

HWND VisibleButton(HWND main, const char* caption)
{
    for (const HWND child : Children(main)) {
        char text[128] = {};
        GetWindowTextA(child, text, sizeof text);
        if (IsClass(child, "Button") && IsWindowVisible(child) && std::strcmp(text, caption) == 0)
            return child;
    }
    return nullptr;
}

int Fail(const char* why)
{
    std::fprintf(stderr, "window_driver: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail(kUsage);
    const std::string command = argv[1];
    const HWND main = WaitForMainWindow();
    if (!main)
        return Fail("no visible window captioned \"Tallowick\"");

    if (command == "close")
        return PostMessageA(main, WM_CLOSE, 0, 0) ? 0 : Fail("WM_CLOSE could not be posted");
    if (command == "click" || command == "press") {
        if (argc != 3)
            return Fail(kUsage);
        const HWND button = VisibleButton(main, argv[2]);
        if (!button)
            return Fail("no visible button of that caption");
        if (command == "press")
            return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : Fail("the click could not be posted");
        // Returns once the click's handler has run: a handler does all its
        // work before it gives the message loop back.
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, kPatienceMs, &ignored))
            return Fail("the click was not handled in time");
    } else if (command != "wait") {
        return Fail(kUsage);
    }
    PrintControls(main);
    return 0;
}
