// Failures that a test cannot cause for real on a Wine drive run as root
// (a folder that may not be read), or only by a race (a folder vanishing
// between its existence test and its listing), made by a disk that fails
// on cue in front of the real one.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/rules/rule_book.h"
#include "platform/win32/files/win32_disk.h"
#include "platform/win32/system/win32_error.h"
#include "tests/win32/drive_c.h"

namespace tallowick::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

class FailingDisk final : public Disk {
public:
    // Runs before the listing of `folder`; a non-zero answer is its error.
    std::map<std::string, std::function<unsigned long()>> beforeListing;

    const NameRules& Names() const override { return real_->Names(); }
    EntryAnswer Examine(const WindowsPath& path, std::size_t depth) override { return real_->Examine(path, depth); }
    long List(const WindowsPath& path, std::string& shownPath, const Take& take) override
    {
        if (const auto hook = beforeListing.find(std::string(path.Text())); hook != beforeListing.end())
            if (const unsigned long error = hook->second(); error != 0)
                return static_cast<long>(error);
        return real_->List(path, shownPath, take);
    }
    HeldEntry Hold(const WindowsPath& path) override { return real_->Hold(path); }
    long Remove(const WindowsPath& path) override { return real_->Remove(path); }
    bool RemovalRefusesReadOnlyFiles() const override { return real_->RemovalRefusesReadOnlyFiles(); }
    bool MeansUnavailable(long error) const override { return real_->MeansUnavailable(error); }
    std::string ErrorText(long error) const override { return real_->ErrorText(error); }

private:
    std::unique_ptr<Disk> real_ = win32::OpenWin32Disk(win32::FileNames::SystemChoice);
};

struct WindowWithFailures : RecordedMain {
    WindowWithFailures()
        : RecordedMain(
              [this] {
                  auto disk = std::make_unique<FailingDisk>();
                  disk->beforeListing = beforeListing;
                  return OpenDriveFileSystem(std::move(disk));
              },
              [] { return OpenWin32FileDeletion(); })
    {
    }

    std::map<std::string, std::function<unsigned long()>> beforeListing;
};

using FailuresOnDriveC = DriveCTest;

TEST_F(FailuresOnDriveC, AFolderThatMayNotBeReadIsPassedOver)
{
    drive_c::MakeFile("c:\\windows\\profiles\\user1\\cookies\\mine[1].txt");
    drive_c::MakeFile("c:\\windows\\profiles\\user2\\cookies\\theirs[1].txt");
    drive_c::MakeFile("c:\\windows\\cookies\\a[1].txt");

    WindowWithFailures window;
    window.beforeListing["c:\\windows\\profiles\\user2\\cookies"] = [] { return ERROR_ACCESS_DENIED; };
    window.Click(main_controls::cmdSrch);

    EXPECT_TRUE(window.forms.errors.empty());
    EXPECT_THAT(window.Listed(),
                UnorderedElementsAre("c:\\windows\\cookies\\a[1].txt",
                                     "c:\\windows\\profiles\\user1\\cookies\\mine[1].txt"));
    EXPECT_EQ(window.Status(), "2 Cookies found.");
}

TEST_F(FailuresOnDriveC, AFolderThatVanishesBeforeItsListingIsPassedOver)
{
    drive_c::MakeFile("c:\\windows\\profiles\\gone\\cookies\\lost[1].txt");
    drive_c::MakeFile("c:\\windows\\profiles\\user1\\cookies\\mine[1].txt");

    WindowWithFailures window;
    // The real file system then answers for the folder that is no more.
    window.beforeListing["c:\\windows\\profiles\\gone\\cookies"] = [] {
        drive_c::RemoveTree("c:\\windows\\profiles\\gone");
        return 0ul;
    };
    window.Click(main_controls::cmdSrch);

    EXPECT_TRUE(window.forms.errors.empty());
    EXPECT_THAT(window.Listed(),
                UnorderedElementsAre("c:\\windows\\profiles\\user1\\cookies\\mine[1].txt"));
}

TEST_F(FailuresOnDriveC, AnyOtherFailureEndsTheSearchWithTheSystemsNumberAndText)
{
    drive_c::MakeFile("c:\\windows\\cookies\\a[1].txt");

    WindowWithFailures window;
    window.beforeListing["c:\\windows\\cookies"] = [] { return ERROR_GEN_FAILURE; };
    window.Click(main_controls::cmdSrch);

    ASSERT_EQ(window.forms.errors.size(), 1u);
    EXPECT_EQ(window.forms.errors[0].number(), ERROR_GEN_FAILURE);
    EXPECT_EQ(window.forms.errors[0].description(), "c:\\windows\\cookies: " + SystemErrorText(ERROR_GEN_FAILURE));
    EXPECT_TRUE(window.forms.ended);
    EXPECT_TRUE(drive_c::Exists("c:\\windows\\cookies\\a[1].txt"));
}

TEST(SystemErrorText, IsTheSystemsMessageWithoutItsLineBreak)
{
    const std::string text = SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_THAT(text, HasSubstr("ccess"));

    SetLastError(ERROR_FILE_NOT_FOUND);
    const Error error = LastError("c:\\x");
    EXPECT_EQ(error.number(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.description(), "c:\\x: " + SystemErrorText(ERROR_FILE_NOT_FOUND));
}

} // namespace
} // namespace tallowick::testing
