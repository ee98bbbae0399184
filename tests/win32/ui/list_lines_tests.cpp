// How Find's lines reach List1 under the Win32 binding: in the sorted list
// box's own order, each at the end, and a full list box that ends nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "main_window/main_window.h"
#include "ui_fixture.h"

using namespace ui_test;
using namespace tallowick::main_controls;

namespace {

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

std::vector<std::wstring> WideLines(HWND list)
{
    std::vector<std::wstring> lines;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring line(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        line.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
        lines.push_back(line);
    }
    return lines;
}

// The lines as a sorted list box of the same locale shows them when each is
// added with LB_ADDSTRING in CookieList's order, as the binding once did.
std::vector<std::wstring> SortedByTheListBox(HWND like, const tallowick::TextCollection& cookies)
{
    const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_HASSTRINGS | LBS_SORT, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, LB_SETLOCALE, SendMessageW(like, LB_GETLOCALE, 0, 0), 0);
    for (std::size_t i = 1; i <= cookies.Count(); ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(std::string(cookies.Item(i))).c_str()));
    std::vector<std::wstring> lines = WideLines(list);
    DestroyWindow(list);
    return lines;
}

// The same lines in the same order, where lines that the list box compares
// as equal ("MIXED.txt", "mixed.txt") may stand either way round.
bool InTheSameOrder(HWND list, std::vector<std::wstring> shown, std::vector<std::wstring> expected)
{
    const auto locale = static_cast<LCID>(SendMessageW(list, LB_GETLOCALE, 0, 0));
    for (std::size_t i = 0; i < shown.size() && i < expected.size(); ++i)
        if (CompareStringW(locale, NORM_IGNORECASE, shown[i].c_str(), -1, expected[i].c_str(), -1) != CSTR_EQUAL)
            return false;
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    return shown == expected;
}

// List1 with a window procedure in front of its own: it records where each
// new line went and, given a limit, refuses lines beyond it as the list box
// of Windows 95 and 98 does beyond 32,767.
struct ListWatch {
    WNDPROC listProc = nullptr;
    LRESULT limit = -1;
    std::vector<LRESULT> countBefore, placedAt;
};
ListWatch watch;

LRESULT CALLBACK WatchedList(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != LB_ADDSTRING && message != LB_INSERTSTRING)
        return CallWindowProcW(watch.listProc, list, message, wParam, lParam);
    const LRESULT count = CallWindowProcW(watch.listProc, list, LB_GETCOUNT, 0, 0);
    if (watch.limit >= 0 && count >= watch.limit)
        return LB_ERRSPACE;
    watch.countBefore.push_back(count);
    watch.placedAt.push_back(CallWindowProcW(watch.listProc, list, message, wParam, lParam));
    return watch.placedAt.back();
}

void Watch(HWND list, LRESULT limit)
{
    watch = ListWatch{};
    watch.limit = limit;
    watch.listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedList)));
}

} // namespace

TEST(ListLines, FindHandsTheLinesInTheListsOwnOrderSoEachLandsAtTheEnd)
{
    ProgramFixture program;
    // Names the system's comparison orders unlike their character codes:
    // case, hyphens and apostrophes, punctuation, digits, letters outside
    // ASCII, ligatures that sort as three letters each (a long sort key);
    // and the walk's order is far from sorted.
    const char* names[] = {"Zeta.txt", "alpha.txt", "Alpha2.txt", "co-op.txt", "coop.txt", "o'neil.txt",
                           "oneil.txt", "site10.txt", "site9.txt", "site_1.txt", "[1].txt", "@home.txt",
                           "~temp.txt", "a b.txt", "ab.txt", "caf\xc3\xa9.txt", "cafe.txt", "\xce\xa9mega.txt",
                           "\xd0\xbf\xd0\xb5\xd1\x87\xd0\xb5\xd0\xbd\xd1\x8c\xd0\xb5.txt", "MIXED.txt", "mixed.txt",
                           "\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83"
                           "\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83\xef\xac\x83.txt",
                           "ffiffi.txt"};
    for (const char* user : {"zoe", "Bob", "al-i"})
        for (const char* name : names)
            program.drive.AddFile(std::string("c:\\windows\\profiles\\") + user + "\\cookies\\" + name);
    const HWND list = program.Control(List1);
    Watch(list, -1);

    program.Click(cmdSrch);

    const auto& cookies = program.main.CookieList();
    ASSERT_EQ(cookies.Count(), 3 * std::size(names));
    EXPECT_TRUE(InTheSameOrder(list, WideLines(list), SortedByTheListBox(list, cookies)));
    ASSERT_EQ(watch.placedAt.size(), cookies.Count());
    EXPECT_TRUE(watch.placedAt == watch.countBefore); // each line went in after every line before it
}

TEST(ListLines, AFullListShowsWhatItHoldsWhileFindAndDeleteTakeEveryFile)
{
    ProgramFixture program;
    for (int i = 0; i < 40; ++i)
        program.drive.AddFile("c:\\windows\\cookies\\site" + std::to_string(i) + "[1].txt");
    const HWND list = program.Control(List1);
    Watch(list, 25);

    program.Click(cmdSrch);

    EXPECT_TRUE(program.boxes.shown.empty());
    EXPECT_TRUE(!program.QuitRequested());
    EXPECT_EQ(program.Status(), std::string("40 Cookies found."));
    EXPECT_EQ(program.main.CookieList().Count(), 40u);
    // The list shows the first 25 lines of its order.
    std::vector<std::wstring> sorted = SortedByTheListBox(list, program.main.CookieList());
    sorted.resize(25);
    EXPECT_TRUE(InTheSameOrder(list, WideLines(list), sorted));
    EXPECT_TRUE(program.DeleteVisible());

    program.Click(cmdDelCookies);

    EXPECT_EQ(program.drive.deletionRequests.size(), 40u);
    EXPECT_TRUE(!program.drive.HasFile("c:\\windows\\cookies\\site39[1].txt"));
    EXPECT_EQ(program.Status(), std::string("Cookies eaten...yum!"));
    EXPECT_TRUE(WideLines(list).empty());
    EXPECT_TRUE(program.boxes.shown.empty());
}
