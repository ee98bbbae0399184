#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/rules/rule_book.h"
#include "platform/win32/system/system_function.h"
#include "tests/win32/drive_c.h"

namespace tallowick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAreArray;

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// The folders of `listed`, in the order they first appear, each once.
std::vector<std::string> FolderOrder(const std::vector<std::string>& listed)
{
    std::vector<std::string> folders;
    for (const std::string& path : listed)
        if (folders.empty() || folders.back() != FolderOf(path))
            folders.push_back(FolderOf(path));
    return folders;
}

using SearchOnDriveC = DriveCTest;

// The folders as a browser of the time names them; the walk asks in
// lowercase and Windows matches names regardless of case.
TEST_F(SearchOnDriveC, ListsCookieFilesOfTheFixedFoldersOnlyAndDeletesExactlyThose)
{
    const std::vector<std::string> cookies{
        "c:\\windows\\Cookies\\a[1].txt",
        "c:\\windows\\Cookies\\old.txt.bak",
        "c:\\windows\\Cookies\\hidden[1].txt",
        "c:\\windows\\Cookies\\old\\cookies\\y.txt",
        "c:\\windows\\Profiles\\readme.txt",
        "c:\\windows\\Profiles\\user1\\Cookies\\site[1].txt",
        "c:\\windows\\Temporary Internet Files\\cache1\\cookies\\z.txt",
        "c:\\winnt\\Cookies\\nt[1].txt",
    };
    const std::vector<std::string> others{
        "c:\\windows\\Cookies\\index.dat",
        "c:\\windows\\Cookies\\B[2].TXT",
        "c:\\windows\\Cookies\\old\\cookies\\deeper\\x.txt",
        "c:\\windows\\Profiles\\user1\\notes.txt",
        "c:\\windows\\Temporary Internet Files\\Content.IE5\\cached.txt",
        "c:\\windows\\cookies.txt",
    };
    for (const std::string& path : cookies)
        drive_c::MakeFile(path);
    for (const std::string& path : others)
        drive_c::MakeFile(path);
    drive_c::MakeFile("c:\\windows\\Cookies\\hidden[1].txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    drive_c::MakeFolders("c:\\windows\\Cookies\\folder.txt");

    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);

    // Paths as the walk builds them: its own lowercase texts, then the
    // names as the disk spells them.
    const std::vector<std::string> expected{
        "c:\\windows\\cookies\\a[1].txt",
        "c:\\windows\\cookies\\old.txt.bak",
        "c:\\windows\\cookies\\hidden[1].txt",
        "c:\\windows\\cookies\\old\\cookies\\y.txt",
        "c:\\windows\\profiles\\readme.txt",
        "c:\\windows\\profiles\\user1\\cookies\\site[1].txt",
        "c:\\windows\\Temporary Internet Files\\cache1\\cookies\\z.txt",
        "c:\\winnt\\cookies\\nt[1].txt",
    };
    const std::vector<std::string> listed = window.Listed();
    EXPECT_THAT(listed, UnorderedElementsAreArray(expected));
    // Within a folder the file system's order stands; the folders come in
    // the walk's order.
    EXPECT_THAT(FolderOrder(listed),
                ElementsAre("c:\\windows\\cookies", "c:\\windows\\cookies\\old\\cookies", "c:\\windows\\profiles",
                            "c:\\windows\\profiles\\user1\\cookies",
                            "c:\\windows\\Temporary Internet Files\\cache1\\cookies", "c:\\winnt\\cookies"));
    EXPECT_EQ(window.Status(), "8 Cookies found.");
    EXPECT_FALSE(window.FindVisible());
    EXPECT_TRUE(window.DeleteVisible());

    window.main.Click(main_controls::cmdDelCookies);

    EXPECT_EQ(window.Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(window.Listed().empty());
    EXPECT_TRUE(window.FindVisible());
    EXPECT_FALSE(window.DeleteVisible());
    EXPECT_TRUE(window.forms.messages.empty());
    for (const std::string& path : cookies)
        EXPECT_FALSE(drive_c::Exists(path)) << path;
    for (const std::string& path : others)
        EXPECT_TRUE(drive_c::Exists(path)) << path;
    EXPECT_TRUE(drive_c::IsFolder("c:\\windows\\Cookies\\folder.txt"));
}

TEST_F(SearchOnDriveC, FindsNothingWhereNoFixedFolderExists)
{
    drive_c::MakeFile("c:\\windows\\elsewhere\\cookies\\a.txt");

    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);

    EXPECT_EQ(window.Status(), "0 cookies found.");
    EXPECT_TRUE(window.Listed().empty());
    EXPECT_TRUE(window.FindVisible());
    EXPECT_FALSE(window.DeleteVisible());
    drive_c::RemoveTree("c:\\windows\\elsewhere");
}

// Names outside ASCII: on NT the paths hold them exactly; through the ANSI
// functions (95 and 98) a name the code page cannot hold is reached by its
// short name. Either way the very files found are deleted.
void FindAndDeleteNamesOutsideAscii(win32::FileNames names, bool unicode)
{
    const std::vector<std::string> cookies{
        "c:\\windows\\cookies\\\xD0\xBF\xD0\xB5\xD1\x87\xD0\xB5\xD0\xBD\xD1\x8C\xD0\xB5[1].txt", // печенье
        "c:\\windows\\cookies\\\xE3\x82\xAF\xE3\x83\x83\xE3\x82\xAD\xE3\x83\xBC[2].txt",         // クッキー
        "c:\\windows\\cookies\\caf\xC3\xA9[3].txt",                                             // café
        "c:\\windows\\cookies\\\xF0\x9F\x8D\xAA[4].txt",                                        // a cookie emoji, beyond 16 bits
        "c:\\windows\\profiles\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\cookies\\site[1].txt",         // Иван
    };
    for (const std::string& path : cookies)
        drive_c::MakeFile(path);

    std::vector<std::string> expected;
    for (const std::string& path : cookies) {
        if (unicode || drive_c::FitsAnsiCodePage(path)) {
            expected.push_back(path);
            continue;
        }
        // The folder or the file itself goes by its short name.
        const std::string folder = FolderOf(path);
        const std::string folderPath = drive_c::FitsAnsiCodePage(folder)
            ? folder
            : FolderOf(FolderOf(folder)) + "\\" + drive_c::ShortName(FolderOf(folder)) + "\\cookies";
        const std::string name = path.substr(path.rfind('\\') + 1);
        const std::string shortName = drive_c::ShortName(path);
        ASSERT_FALSE(shortName.empty()) << "no short name for " << path;
        expected.push_back(folderPath + "\\" + (drive_c::FitsAnsiCodePage(name) ? name : shortName));
    }

    WindowOnDriveC window(names);
    window.main.Click(main_controls::cmdSrch);
    EXPECT_THAT(window.Listed(), UnorderedElementsAreArray(expected));
    EXPECT_EQ(window.Status(), "5 Cookies found.");

    window.main.Click(main_controls::cmdDelCookies);
    EXPECT_EQ(window.Status(), "Cookies eaten...yum!");
    for (const std::string& path : cookies)
        EXPECT_FALSE(drive_c::Exists(path)) << path;
}

TEST_F(SearchOnDriveC, FindsAndDeletesNamesOutsideAsciiWithTheSystemsOwnFunctions)
{
    FindAndDeleteNamesOutsideAscii(win32::FileNames::SystemChoice, win32::RunsOnNt());
}

TEST_F(SearchOnDriveC, FindsAndDeletesNamesOutsideAsciiThroughTheAnsiFunctions)
{
    FindAndDeleteNamesOutsideAscii(win32::FileNames::Ansi, false);
}

// NT keeps a name that ends in a space; the trimmed name is another file,
// which must survive.
TEST_F(SearchOnDriveC, KeepsNamesExactlySoASimilarFileSurvives)
{
    if (!win32::RunsOnNt())
        GTEST_SKIP() << "names ending in a space exist only on NT file systems";
    drive_c::MakeFile("c:\\windows\\cookies\\t.txt ");
    drive_c::MakeFile("c:\\windows\\cookies\\t.txt");

    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);
    ASSERT_THAT(window.Listed(),
                UnorderedElementsAreArray({"c:\\windows\\cookies\\t.txt ", "c:\\windows\\cookies\\t.txt"}));

    const DeletionResult result = OpenDriveDeletion(win32::OpenWin32Disk(win32::FileNames::Unicode))
                                      ->DeleteFile("c:\\windows\\cookies\\t.txt ");
    EXPECT_EQ(result.outcome, DeletionOutcome::Deleted);
    EXPECT_FALSE(drive_c::Exists("c:\\windows\\cookies\\t.txt "));
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\t.txt"));
}

} // namespace
} // namespace tallowick::testing
