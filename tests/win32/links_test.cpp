// Run by scripts/windows-tests.sh "linked", which makes this layout in
// drive C: of the prefix (POSIX links, which Wine reports as reparse points):
//   c:\link-target\behind[1].txt, c:\link-target\cookies\behind[2].txt
//   c:\winnt                                  -> c:\link-target
//   c:\windows\Temporary Internet Files       -> c:\link-target
//   c:\windows\profiles\linked                -> c:\link-target
//   c:\windows\profiles\user1\cookies\real[1].txt
// A walk that followed links would find the cookie files behind them many
// times over, and the Delete command would delete them.

#include <cstdlib>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#undef DeleteFile

#include "platform/win32/files/win32_disk.h"
#include "tests/win32/drive_c.h"

namespace tallowick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LinkedFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("TALLOWICK_LINKED_FOLDERS"))
            GTEST_SKIP() << "needs the linked folders that scripts/windows-tests.sh linked makes";
        for (const char* link : {"c:\\winnt", "c:\\windows\\Temporary Internet Files", "c:\\windows\\profiles\\linked"})
            ASSERT_TRUE(drive_c::Attributes(link) & FILE_ATTRIBUTE_REPARSE_POINT) << link << " is no link here";
    }
};

TEST_F(LinkedFolders, AreNeitherWalkedNorDeletedThrough)
{
    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);
    EXPECT_THAT(window.Listed(), ElementsAre("c:\\windows\\profiles\\user1\\cookies\\real[1].txt"));

    window.main.Click(main_controls::cmdDelCookies);
    EXPECT_EQ(window.Status(), "Cookies eaten...yum!");
    EXPECT_FALSE(drive_c::Exists("c:\\windows\\profiles\\user1\\cookies\\real[1].txt"));

    // Named directly, a file behind a link is still left alone.
    const auto deletion = OpenWin32FileDeletion();
    for (const char* path : {"c:\\winnt\\behind[1].txt", "c:\\windows\\Temporary Internet Files\\cookies\\behind[2].txt",
                             "c:\\windows\\profiles\\linked\\cookies\\behind[2].txt"}) {
        const DeletionResult result = deletion->DeleteFile(path);
        EXPECT_EQ(result.outcome, DeletionOutcome::Failed) << path;
        EXPECT_EQ(result.error.number(), 0) << path;
        EXPECT_THAT(result.error.description(), HasSubstr("is a link")) << path;
    }
    EXPECT_TRUE(drive_c::Exists("c:\\link-target\\behind[1].txt"));
    EXPECT_TRUE(drive_c::Exists("c:\\link-target\\cookies\\behind[2].txt"));

    const auto files = OpenWin32FileSystem();
    EXPECT_FALSE(files->FolderExists("c:\\winnt"));
    EXPECT_FALSE(files->FolderExists("c:\\winnt\\cookies"));
    EXPECT_TRUE(files->FolderExists("c:\\link-target\\cookies"));
}

} // namespace
} // namespace tallowick::testing
