// Find and Delete on generated trees on drive C: under Wine, against the
// model of tests/support/random_tree.h, through the real Windows code. The
// host makes and lists the trees (tree_host.sh): Win32 under Wine makes no
// symbolic links and cannot read their texts. TALLOWICK_TREE_SEEDS=N runs N
// seeds (200 by default), TALLOWICK_TREE_SEED=S replays seed S alone.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "main_window/main_window.h"
#include "platform/win32/system/path_text.h"
#include "tests/support/tree_round.h"
#include "tests/win32/drive_c.h"

namespace tallowick::testing::trees {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

bool HostPresent() { return std::getenv("TALLOWICK_TREE_HOST") != nullptr; }

// Runs a bash script on the host, in the prefix's folder; returns what it
// printed.
std::string RunOnHost(const std::string& script)
{
    CreateDirectoryA("c:\\tallowick-host", nullptr);
    std::ofstream("c:\\tallowick-host\\request.sh", std::ios::binary) << script;
    std::printf("@@tallowick-host drive_c/tallowick-host/request.sh drive_c/tallowick-host/output.txt\n");
    std::fflush(stdout);
    std::string status;
    if (!std::getline(std::cin, status) || status != "0")
        throw std::runtime_error("the host's script failed (" + status + "):\n" + script);
    std::ifstream output("c:\\tallowick-host\\output.txt", std::ios::binary);
    return {std::istreambuf_iterator<char>(output), {}};
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Every place the generator makes something on the Windows drive, in any
// letter case: cleared before each tree and after the last, and listed.
const std::string kGenerated =
    "shopt -s nocaseglob nullglob\n"
    "generated=(tallowick-outsid[e] drive_c/tallowick-target[s] drive_c/top.tx[t] drive_c/winn[t]"
    " drive_c/windows/notes.tx[t] drive_c/windows/cookie[s] drive_c/windows/profile[s]"
    " 'drive_c/windows/temporary internet file'[s])\n";
const std::string kClear = kGenerated + "rm -rf -- \"${generated[@]}\"\n";

// The script's last part: every entry the generator made, with its kind,
// permissions, inode change time, link text and a checksum of its content;
// and the names beside them in c:\ and c:\windows.
Listing RunOnHostAndList(const std::string& script)
{
    std::istringstream lines(RunOnHost(
        script + kGenerated + "find drive_c drive_c/windows -mindepth 1 -maxdepth 1 -printf 'entry\\t%p\\t%m %y\\n'\n"
                     "[ ${#generated[@]} -eq 0 ] && return\n"
                     "find \"${generated[@]}\" \\( -type d -printf 'entry\\t%p\\t%m folder\\n' \\)"
                     " -o \\( -printf 'entry\\t%p\\t%m %y %C@ %l\\n' -type f -exec cksum -- {} + \\)\n"));
    Listing listing;
    Listing contents; // cksum's lines come when they come
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("entry\t", 0) == 0) {
            const std::size_t tab = line.find('\t', 6);
            listing[line.substr(6, tab - 6)] = line.substr(tab + 1); // the generated entries last
        } else {
            const std::size_t space = line.find(' ', line.find(' ') + 1);
            contents[line.substr(space + 1)] = " content " + line.substr(0, space);
        }
    }
    for (const auto& [path, content] : contents)
        listing[path] += content;
    return listing;
}

class WindowsWorld final : public TreeWorld {
public:
    // Few commands, as each costs a process: the folders first, in one.
    Listing Make(const Tree& tree) override
    {
        std::string folders = "mkdir -p --";
        std::string rest;
        std::string readOnly; // Wine's read-only mark: no write permission
        for (const Entry& entry : tree.entries) {
            const std::string path = Quoted(entry.path);
            switch (entry.kind) {
            case Entry::Kind::Folder: folders += " " + path; break;
            case Entry::Kind::File:
                rest += "printf %s " + Quoted(entry.content) + " >" + path + "\n";
                if (entry.readOnly)
                    readOnly += " " + path;
                break;
            case Entry::Kind::Link: rest += "ln -s -- " + Quoted(entry.target) + " " + path + "\n"; break;
            }
        }
        return RunOnHostAndList(kClear + folders + "\n" + rest +
                                (readOnly.empty() ? "" : "chmod 0444 --" + readOnly + "\n"));
    }

    // As FindFirstFileW and FindNextFileW give them.
    std::vector<std::string> Order(const std::string& folder) override
    {
        std::string path = "c:" + folder.substr(std::string("drive_c").size()) + "/*";
        std::replace(path.begin(), path.end(), '/', '\\');
        std::vector<std::string> names;
        WIN32_FIND_DATAW data{};
        const HANDLE found = FindFirstFileW((L"\\\\?\\" + *win32::WideFromPathText(path)).c_str(), &data);
        if (found == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(win32::PathTextFromWide(data.cFileName));
        while (FindNextFileW(found, &data));
        FindClose(found);
        return names;
    }

    Listing List() override { return RunOnHostAndList(""); }

    Listing ChangeAfterFind(const Tree& tree) override
    {
        std::string script;
        for (const std::string& path : tree.vanishing)
            script += "rm -- " + Quoted(path) + "\n";
        for (const std::string& path : tree.becomingEmptyFolders)
            script += "rm -- " + Quoted(path) + "\nmkdir -- " + Quoted(path) + "\n";
        for (const std::string& path : tree.becomingFolders)
            script += "rm -- " + Quoted(path) + "\nmkdir -- " + Quoted(path) + "\nprintf x >" +
                      Quoted(path + "/inside.txt") + "\n";
        return RunOnHostAndList(script);
    }

    std::unique_ptr<RecordedMain> Window() override { return std::make_unique<WindowOnDriveC>(); }
};

class HostMadeTrees : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HostPresent())
            GTEST_SKIP() << "needs tests/win32/tree_host.sh to make the trees on the host";
        RunOnHost(kClear);
    }
    void TearDown() override
    {
        if (HostPresent())
            RunOnHost(kClear);
    }
};

TEST_F(HostMadeTrees, FindListsAndDeleteRemovesWhatTheModelSays)
{
    const std::string failure = CheckSeeds(Disk::Windows, 200, [] { return std::make_unique<WindowsWorld>(); });
    EXPECT_TRUE(failure.empty()) << failure;
}

// Seed 4 found it: Wine's DeleteFile took the file that a listed link led
// to, wherever it was, and left the link.
TEST_F(HostMadeTrees, AListedLinkToAFileIsLeftAloneAndSoIsItsTarget)
{
    RunOnHost("mkdir -p drive_c/windows/cookies tallowick-outside\n"
              "printf keep >tallowick-outside/target.txt\n"
              "ln -s ../../../tallowick-outside/target.txt 'drive_c/windows/cookies/out[1].txt'\n"
              "printf plain >'drive_c/windows/cookies/plain.txt '\n");
    WindowOnDriveC window;
    window.Click(main_controls::cmdSrch);
    std::vector<std::string> found = window.Listed();
    std::sort(found.begin(), found.end());
    EXPECT_THAT(found, ElementsAre("c:\\windows\\cookies\\out[1].txt", "c:\\windows\\cookies\\plain.txt "));

    window.Click(main_controls::cmdDelCookies);
    EXPECT_THAT(window.Listed(), ElementsAre("c:\\windows\\cookies\\out[1].txt"));
    EXPECT_EQ(window.Status(), "1 Cookies not deleted.");
    ASSERT_EQ(window.forms.messages.size(), 1u);
    EXPECT_THAT(window.forms.messages.front(),
                HasSubstr("c:\\windows\\cookies\\out[1].txt\n    It is a link; nothing behind a link is searched or deleted."));
    Listing left = RunOnHostAndList("");
    EXPECT_THAT(left["tallowick-outside/target.txt"], HasSubstr("content"));
    EXPECT_THAT(left["drive_c/windows/cookies/out[1].txt"],
                AllOf(StartsWith("777 l "), EndsWith(" ../../../tallowick-outside/target.txt")));
    EXPECT_EQ(left.count("drive_c/windows/cookies/plain.txt "), 0u);
}

// Under Wine a name whose file is gone reaches one whose name differs only
// in letter case. Delete leaves that one alone, and the listed file, gone,
// counts as deleted, as it does on Linux.
TEST_F(HostMadeTrees, AListedFileGoneSinceTheSearchLeavesItsCaseTwinAlone)
{
    RunOnHost("mkdir -p drive_c/windows/cookies\n"
              "printf listed >drive_c/windows/cookies/x.txt\n"
              "printf twin >drive_c/windows/cookies/X.TXT\n");
    WindowOnDriveC window;
    window.Click(main_controls::cmdSrch);
    EXPECT_THAT(window.Listed(), ElementsAre("c:\\windows\\cookies\\x.txt"));

    RunOnHost("rm drive_c/windows/cookies/x.txt\n");
    window.Click(main_controls::cmdDelCookies);
    Listing left = RunOnHostAndList("");
    EXPECT_THAT(left["drive_c/windows/cookies/X.TXT"], HasSubstr("content"));
    EXPECT_EQ(window.Status(), "Cookies eaten...yum!");
}

} // namespace
} // namespace tallowick::testing::trees
