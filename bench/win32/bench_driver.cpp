// Runs Tallowick.exe and times its clicks from outside, for bench.sh:
//
//   bench_driver EXE find EXPECTED     times a click on Find Cookies
//   bench_driver EXE delete EXPECTED   clicks Find, then times Delete Cookies
//
// Each click is a cross-process SendMessage of BM_CLICK, which returns once
// the click's handler has run (a handler does all its work before it gives
// the message loop back), followed by the repaint of the window. Checks that
// the window shows EXPECTED files (then none, after Delete), closes the
// program and prints "milliseconds idleKiB peakKiB": the timed click, the
// program's working set once its window is up, and its peak after Find.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "main_window/main_window.h"
#include "platform/win32/controls.h"

namespace {

using namespace tallowick::main_controls;

constexpr DWORD kPatienceMs = 600000;

void Expect(bool holds, const std::string& what)
{
    if (!holds)
        throw std::runtime_error(what);
}

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
};

// The program's main window: its visible top-level window captioned
// "Tallowick" (the hidden owner window has no caption).
BOOL CALLBACK TakeMainWindow(HWND window, LPARAM search)
{
    auto& wanted = *reinterpret_cast<WindowSearch*>(search);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char caption[32] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (processId != wanted.processId || !IsWindowVisible(window) || std::string(caption) != "Tallowick")
        return TRUE;
    wanted.found = window;
    return FALSE;
}

HWND WaitForMainWindow(const PROCESS_INFORMATION& program)
{
    WaitForInputIdle(program.hProcess, kPatienceMs);
    for (int tries = 0; tries < 600; ++tries) {
        WindowSearch search{program.dwProcessId, nullptr};
        EnumWindows(TakeMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(100);
    }
    throw std::runtime_error("no window captioned \"Tallowick\"");
}

HWND Control(HWND main, tallowick::ControlId id)
{
    const HWND control = GetDlgItem(main, tallowick::win32::CommandIdOf(id));
    Expect(control != nullptr, "the main window has no control " + std::to_string(id));
    return control;
}

std::string TextOf(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

long LineCount(HWND main)
{
    return static_cast<long>(SendMessageW(Control(main, List1), LB_GETCOUNT, 0, 0));
}

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER stop)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Clicks the button and waits until its handler has run and the window has
// drawn the result.
double TimedClick(HWND main, tallowick::ControlId button)
{
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    DWORD_PTR ignored = 0;
    Expect(SendMessageTimeoutW(Control(main, button), BM_CLICK, 0, 0, SMTO_NORMAL, kPatienceMs, &ignored) != 0,
           "the click was not handled in time");
    RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&stop);
    return Milliseconds(start, stop);
}

PROCESS_MEMORY_COUNTERS Memory(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    Expect(GetProcessMemoryInfo(process, &counters, sizeof counters) != 0, "no memory figures of the program");
    return counters;
}

PROCESS_INFORMATION Start(const std::string& exe)
{
    std::vector<char> commandLine(exe.begin(), exe.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    Expect(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &program) != 0,
           "cannot start " + exe);
    return program;
}

void CloseAndWait(const PROCESS_INFORMATION& program, HWND main)
{
    PostMessageW(main, WM_CLOSE, 0, 0);
    Expect(WaitForSingleObject(program.hProcess, kPatienceMs) == WAIT_OBJECT_0, "the program does not end");
    DWORD status = 1;
    GetExitCodeProcess(program.hProcess, &status);
    Expect(status == 0, "the program ended with status " + std::to_string(status));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 4 ? argv[2] : "";
    if (mode != "find" && mode != "delete") {
        std::fprintf(stderr, "usage: bench_driver EXE find|delete EXPECTED\n");
        return 2;
    }
    const long expected = std::strtol(argv[3], nullptr, 10);

    const PROCESS_INFORMATION program = Start(argv[1]);
    try {
        const HWND main = WaitForMainWindow(program);
        const SIZE_T idle = Memory(program.hProcess).WorkingSetSize;

        double milliseconds = TimedClick(main, cmdSrch);
        const std::string found = TextOf(Control(main, Label1));
        Expect(found == std::to_string(expected) + " Cookies found.", "status after Find: " + found);
        Expect(LineCount(main) == expected, "List1 holds " + std::to_string(LineCount(main)) + " lines");
        const SIZE_T peak = Memory(program.hProcess).PeakWorkingSetSize;

        if (mode == "delete") {
            milliseconds = TimedClick(main, cmdDelCookies);
            const std::string deleted = TextOf(Control(main, Label1));
            Expect(deleted == "Cookies eaten...yum!", "status after Delete: " + deleted);
            Expect(LineCount(main) == 0, "List1 is not empty after Delete");
        }
        CloseAndWait(program, main);
        std::printf("%.3f %lu %lu\n", milliseconds, static_cast<unsigned long>(idle / 1024),
                    static_cast<unsigned long>(peak / 1024));
        return 0;
    } catch (const std::exception& error) {
        TerminateProcess(program.hProcess, 1);
        std::fprintf(stderr, "bench_driver: %s\n", error.what());
        return 1;
    }
}
