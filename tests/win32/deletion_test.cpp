#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#undef DeleteFile

#include "platform/win32/system/win32_error.h"
#include "platform/win32/files/win32_disk.h"
#include "tests/win32/drive_c.h"

namespace tallowick::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using DeletionOnDriveC = DriveCTest;

TEST_F(DeletionOnDriveC, RefusesAReadOnlyFileAndKeepsItListed)
{
    drive_c::MakeFile("c:\\windows\\cookies\\kept[1].txt", FILE_ATTRIBUTE_READONLY);
    drive_c::MakeFile("c:\\windows\\cookies\\eaten[1].txt");

    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);
    ASSERT_EQ(window.Status(), "2 Cookies found.");
    window.main.Click(main_controls::cmdDelCookies);

    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\kept[1].txt"));
    EXPECT_TRUE(drive_c::Attributes("c:\\windows\\cookies\\kept[1].txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(drive_c::Exists("c:\\windows\\cookies\\eaten[1].txt"));
    EXPECT_THAT(window.Listed(), ElementsAre("c:\\windows\\cookies\\kept[1].txt"));
    EXPECT_EQ(window.Status(), "1 Cookies not deleted.");
    ASSERT_EQ(window.forms.messages.size(), 1u);
    EXPECT_THAT(window.forms.messages[0], HasSubstr("\nc:\\windows\\cookies\\kept[1].txt\n    The file is read-only."));
}

TEST_F(DeletionOnDriveC, AFileGoneSinceTheSearchCountsAsDeletedAndTheRestGoToo)
{
    for (const char* path : {"c:\\windows\\cookies\\a[1].txt", "c:\\windows\\cookies\\b[1].txt",
                             "c:\\windows\\profiles\\user1\\cookies\\c[1].txt"})
        drive_c::MakeFile(path);

    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);
    ASSERT_EQ(window.Status(), "3 Cookies found.");
    drive_c::RemoveTree("c:\\windows\\cookies\\b[1].txt");
    window.main.Click(main_controls::cmdDelCookies);

    EXPECT_EQ(window.Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(window.forms.messages.empty());
    EXPECT_FALSE(drive_c::Exists("c:\\windows\\cookies\\a[1].txt"));
    EXPECT_FALSE(drive_c::Exists("c:\\windows\\profiles\\user1\\cookies\\c[1].txt"));
}

TEST_F(DeletionOnDriveC, AFolderWhereTheFileWasIsLeftWithEverythingInIt)
{
    drive_c::MakeFile("c:\\windows\\cookies\\a[1].txt");
    WindowOnDriveC window;
    window.main.Click(main_controls::cmdSrch);
    ASSERT_EQ(window.Status(), "1 Cookies found.");

    drive_c::RemoveTree("c:\\windows\\cookies\\a[1].txt");
    drive_c::MakeFile("c:\\windows\\cookies\\a[1].txt\\inside.txt");
    const DeletionResult result = OpenWin32FileDeletion()->DeleteFile("c:\\windows\\cookies\\a[1].txt");

    EXPECT_EQ(result.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(result.error.number(), 0);
    EXPECT_THAT(result.error.description(), HasSubstr("c:\\windows\\cookies\\a[1].txt"));
    EXPECT_THAT(result.error.description(), HasSubstr("folder"));
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\a[1].txt\\inside.txt"));
}

TEST_F(DeletionOnDriveC, AFileInUseIsReportedWithTheSystemsReason)
{
    drive_c::MakeFile("c:\\windows\\cookies\\open[1].txt");
    const HANDLE held = CreateFileA("c:\\windows\\cookies\\open[1].txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const DeletionResult result = OpenWin32FileDeletion()->DeleteFile("c:\\windows\\cookies\\open[1].txt");
    CloseHandle(held);

    EXPECT_EQ(result.outcome, DeletionOutcome::Failed);
    EXPECT_EQ(result.error.number(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(result.error.description(),
              "c:\\windows\\cookies\\open[1].txt: " + SystemErrorText(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\open[1].txt"));
}

TEST_F(DeletionOnDriveC, NothingAtThePathIsAlreadyGone)
{
    const auto deletion = OpenWin32FileDeletion();
    EXPECT_EQ(deletion->DeleteFile("c:\\windows\\cookies\\never[1].txt").outcome, DeletionOutcome::AlreadyGone);
    EXPECT_EQ(deletion->DeleteFile("c:\\winnt\\cookies\\never[1].txt").outcome, DeletionOutcome::AlreadyGone);
}

// Each call deletes at most the one file it names: wildcards, "." and ".."
// and relative paths are refused, and the files that look matched stay.
TEST_F(DeletionOnDriveC, NeverExpandsAPatternOrWalksOutOfAFolder)
{
    drive_c::MakeFile("c:\\windows\\cookies\\a[1].txt");
    drive_c::MakeFile("c:\\windows\\cookies\\b[1].txt");
    const auto deletion = OpenWin32FileDeletion();

    for (const char* path : {"c:\\windows\\cookies\\*.txt", "c:\\windows\\cookies\\?[1].txt",
                             "c:\\windows\\cookies\\..\\cookies\\a[1].txt", "c:\\windows\\cookies\\.\\a[1].txt",
                             "c:\\windows\\cookies\\\\a[1].txt", "c:\\windows/cookies/a[1].txt", "cookies\\a[1].txt",
                             "c:a[1].txt"}) {
        const DeletionResult result = deletion->DeleteFile(path);
        EXPECT_EQ(result.outcome, DeletionOutcome::Failed) << path;
        EXPECT_EQ(result.error.number(), 0) << path;
    }
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\a[1].txt"));
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\b[1].txt"));

    const auto files = OpenWin32FileSystem();
    EXPECT_TRUE(files->FolderExists("c:\\windows\\cookies"));
    EXPECT_FALSE(files->FolderExists("c:\\windows\\cook*"));
    EXPECT_FALSE(files->FolderExists("c:\\windows\\..\\windows\\cookies"));
    EXPECT_FALSE(files->FolderExists("c:\\windows\\cookies\\a[1].txt"));
    EXPECT_THROW(files->GetFolder("c:\\windows\\*"), Error);
}

} // namespace
} // namespace tallowick::testing
