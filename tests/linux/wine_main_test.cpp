#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/linux/side_by_side.h"
#include "platform/linux/wine_drive.h"
#include "tests/linux/injected_failures.h"
#include "tests/linux/wine_prefix.h"
#include "tests/support/main_window_state.h"

namespace tallowick::testing {
namespace {

namespace fs = std::filesystem;
using namespace main_controls;

// The real main window over a real prefix, with a windowless runtime,
// deleting side by side as the program does.
class WineMainTest : public ::testing::Test, public RecordedMain {
protected:
    WineMainTest()
        : RecordedMain(
              [this]() -> std::unique_ptr<FileSystem> {
                  return std::make_unique<UnreadableFolders>(OpenWineFileSystem(disk.Prefix()), unreadable);
              },
              [this]() -> std::unique_ptr<FileDeletion> {
                  return std::make_unique<RefusedDeletions>(OpenWineFileDeletion(disk.Prefix()), refused);
              },
              DeleteSideBySide)
    {
    }

    // The listing line of the entry that a Windows-form path on drive_c names.
    std::string OnDisk(const std::string& windowsPath)
    {
        std::string relative = "prefix/drive_c/" + windowsPath.substr(3);
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return relative;
    }

    // A prefix laid out as an old browser and the people using it leave it.
    void MakeRealWorldPrefix()
    {
        disk.File(disk.Drive("windows/Cookies/a[1].txt"));
        disk.File(disk.Drive("windows/Cookies/index.dat"));
        disk.File(disk.Drive("windows/Cookies/B[2].TXT"));
        disk.File(disk.Drive("windows/Cookies/old.txt.bak"));
        disk.File(disk.Drive("windows/Cookies/caf\xc3\xa9[1].txt"));
        disk.File(disk.Drive("windows/Cookies/\xff\xfe[1].txt"));
        // Were it listed, its path would name the decoy below.
        disk.File(disk.Drive("windows/Cookies/sub\\decoy.txt"), "aliasing name");
        disk.File(disk.Drive("windows/Cookies/sub/decoy.txt"), "decoy");
        disk.File(disk.At("outside/target.txt"), "link target");
        disk.Link(disk.Drive("windows/Cookies/link[1].txt"), disk.At("outside/target.txt"));
        disk.File(disk.Drive("windows/Cookies/old/cookies/y.txt"));

        disk.File(disk.Drive("windows/Profiles/readme.txt"));
        disk.File(disk.Drive("windows/Profiles/user1/Cookies/site[1].txt"));
        disk.File(disk.Drive("windows/Profiles/user1/notes.txt"));
        disk.File(disk.Drive("windows/Profiles/user1/Cookies/old/x.txt"));
        disk.Folder(disk.Drive("windows/Profiles/user2"));
        disk.File(disk.At("outside/profile/Cookies/evil.txt"));
        disk.Link(disk.Drive("windows/Profiles/roaming"), disk.At("outside/profile"));

        disk.File(disk.Drive("windows/Temporary Internet Files/x/cookies/z.txt"));
        disk.File(disk.Drive("windows/Temporary Internet Files/Content.IE5/page.htm"));

        disk.File(disk.Drive("winnt/cookies/w.txt"));
        disk.File(disk.At("outside/nt-profiles/admin/cookies/q.txt"));
        disk.Link(disk.Drive("winnt/Profiles"), disk.At("outside/nt-profiles"));
    }

    const std::vector<std::string> realWorldCookies{
        "c:\\windows\\Cookies\\a[1].txt",
        "c:\\windows\\Cookies\\caf\xc3\xa9[1].txt",
        "c:\\windows\\Cookies\\link[1].txt",
        "c:\\windows\\Cookies\\old.txt.bak",
        "c:\\windows\\Cookies\\old\\cookies\\y.txt",
        "c:\\windows\\Profiles\\readme.txt",
        "c:\\windows\\Profiles\\user1\\Cookies\\site[1].txt",
        "c:\\windows\\Temporary Internet Files\\x\\cookies\\z.txt",
        "c:\\winnt\\cookies\\w.txt",
    };

    TempWinePrefix disk;
    std::set<std::string> unreadable;
    std::map<std::string, Error> refused;
};

// Where an entry falls in the walk: roots, then fixed folders, then a fixed
// folder's own files before those of its subfolders.
int WalkRank(const std::string& path)
{
    const std::vector<std::string> order{"c:\\windows\\Cookies\\old\\", "c:\\windows\\Cookies\\",
                                         "c:\\windows\\Profiles\\user1\\", "c:\\windows\\Profiles\\",
                                         "c:\\windows\\Temporary Internet Files\\", "c:\\winnt\\"};
    const std::vector<int> rank{1, 0, 3, 2, 4, 5};
    for (std::size_t i = 0; i < order.size(); ++i)
        if (path.starts_with(order[i]))
            return rank[i];
    return -1;
}

TEST_F(WineMainTest, FindListsTheCookieFilesOfARealWorldPrefixInWalkOrder)
{
    MakeRealWorldPrefix();
    Click(cmdSrch);

    ASSERT_TRUE(forms.errors.empty()) << forms.errors.front().description();
    std::vector<std::string> found = CookieListItems();
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                               [](const auto& a, const auto& b) { return WalkRank(a) < WalkRank(b); }));
    EXPECT_EQ(Listed(), found);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, realWorldCookies);
    EXPECT_EQ(Status(), "9 Cookies found.");
    EXPECT_FALSE(FindVisible());
    EXPECT_TRUE(DeleteVisible());
}

TEST_F(WineMainTest, FindThenDeleteLeavesExactlyTheOtherEntries)
{
    MakeRealWorldPrefix();
    std::set<std::string> expected = disk.Listing();
    for (const std::string& cookie : realWorldCookies) {
        const std::string entry = OnDisk(cookie);
        const auto line = std::find_if(expected.begin(), expected.end(), [&](const std::string& l) {
            return l.starts_with(entry + " = ") || l.starts_with(entry + " -> ");
        });
        ASSERT_NE(line, expected.end()) << entry;
        expected.erase(line);
    }

    Click(cmdSrch);
    Click(cmdDelCookies);

    EXPECT_TRUE(forms.errors.empty());
    EXPECT_TRUE(forms.messages.empty());
    EXPECT_EQ(disk.Listing(), expected);
    EXPECT_EQ(Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(main.CookieList().Count(), 0u);
    EXPECT_TRUE(FindVisible());
    EXPECT_FALSE(DeleteVisible());

    Click(cmdSrch);
    EXPECT_EQ(Status(), "0 cookies found.");
}

TEST_F(WineMainTest, TheDriveIsWhereDosdevicesLeads)
{
    disk.File(disk.Drive("windows/cookies/decoy.txt"));
    disk.File(disk.At("mounted/windows/Cookies/real.txt"));
    disk.Link(disk.Prefix() / "dosdevices/c:", "../../mounted");

    Click(cmdSrch);
    EXPECT_EQ(CookieListItems(), std::vector<std::string>{"c:\\windows\\Cookies\\real.txt"});
    Click(cmdDelCookies);
    EXPECT_FALSE(Exists(disk.At("mounted/windows/Cookies/real.txt")));
    EXPECT_TRUE(Exists(disk.Drive("windows/cookies/decoy.txt")));
}

TEST_F(WineMainTest, UnreadableFoldersArePassedOverAndTheRestFound)
{
    MakeRealWorldPrefix();
    unreadable = {"c:\\windows\\Profiles\\user1\\cookies", "c:\\windows\\cookies"};

    Click(cmdSrch);

    EXPECT_TRUE(forms.errors.empty());
    EXPECT_FALSE(forms.ended);
    std::vector<std::string> found = CookieListItems();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"c:\\windows\\Profiles\\readme.txt",
                                                "c:\\windows\\Temporary Internet Files\\x\\cookies\\z.txt",
                                                "c:\\winnt\\cookies\\w.txt"}));
    EXPECT_EQ(Status(), "3 Cookies found.");
}

TEST_F(WineMainTest, RefusedFilesAreReportedAndStayListedWhileTheRestAreDeleted)
{
    disk.File(disk.Drive("windows/cookies/busy.txt"));
    disk.File(disk.Drive("windows/cookies/locked.txt"));
    disk.File(disk.Drive("windows/cookies/swapped.txt"));
    disk.File(disk.Drive("windows/cookies/vanished.txt"));
    disk.File(disk.Drive("windows/cookies/plain.txt"));
    ASSERT_EQ(::chmod(disk.Drive("windows/cookies/locked.txt").c_str(), 0444), 0);
    refused.emplace("c:\\windows\\cookies\\busy.txt", Error(EBUSY, "Device or resource busy"));

    Click(cmdSrch);
    ASSERT_EQ(main.CookieList().Count(), 5u);
    fs::remove(disk.Drive("windows/cookies/vanished.txt"));
    fs::remove(disk.Drive("windows/cookies/swapped.txt"));
    disk.File(disk.Drive("windows/cookies/swapped.txt/inside.txt"));
    Click(cmdDelCookies);

    EXPECT_FALSE(Exists(disk.Drive("windows/cookies/plain.txt")));
    EXPECT_TRUE(Exists(disk.Drive("windows/cookies/busy.txt")));
    EXPECT_TRUE(Exists(disk.Drive("windows/cookies/locked.txt")));
    EXPECT_TRUE(Exists(disk.Drive("windows/cookies/swapped.txt/inside.txt")));

    std::vector<std::string> left = CookieListItems();
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"c:\\windows\\cookies\\busy.txt", "c:\\windows\\cookies\\locked.txt",
                                               "c:\\windows\\cookies\\swapped.txt"}));
    EXPECT_EQ(Status(), "3 Cookies not deleted.");
    EXPECT_TRUE(DeleteVisible());
    ASSERT_EQ(forms.messages.size(), 1u);
    const std::string& report = forms.messages.front();
    EXPECT_NE(report.find("c:\\windows\\cookies\\busy.txt"), std::string::npos) << report;
    EXPECT_NE(report.find("Error 16"), std::string::npos) << report;
    EXPECT_NE(report.find("read-only"), std::string::npos) << report;
    EXPECT_NE(report.find("It is a folder, not a file."), std::string::npos) << report;
    EXPECT_EQ(report.find("vanished"), std::string::npos) << report;
    EXPECT_FALSE(forms.ended);
}

// A long list is deleted in parts side by side; what is refused stays
// listed in the list's order.
TEST_F(WineMainTest, ALongListIsDeletedSideBySideAndItsRefusalsKeepTheListsOrder)
{
    for (int profile = 0; profile < 30; ++profile)
        for (int cookie = 0; cookie < 100; ++cookie)
            disk.File(disk.Drive("windows/profiles/p" + std::to_string(profile) + "/cookies/" +
                                 std::to_string(cookie) + ".txt"));
    Click(cmdSrch);
    ASSERT_EQ(Status(), "3000 Cookies found.");
    std::vector<std::string> readOnly;
    for (const std::size_t at : {1, 1501, 3000}) { // in the first part and in the last
        readOnly.emplace_back(main.CookieList().Item(at));
        ASSERT_EQ(::chmod(disk.At(OnDisk(readOnly.back())).c_str(), 0444), 0);
    }

    Click(cmdDelCookies);

    EXPECT_EQ(CookieListItems(), readOnly);
    EXPECT_EQ(Status(), "3 Cookies not deleted.");
    // Left: the 60 folders and the 3 read-only files.
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(disk.Drive("windows/profiles")), {}), 63);
}

} // namespace
} // namespace tallowick::testing
