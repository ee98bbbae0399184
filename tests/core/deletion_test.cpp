#include <gmock/gmock.h>

#include "tests/core/fixture.h"

namespace tallowick::testing {
namespace {

using main_controls::cmdDelCookies;
using main_controls::cmdSrch;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class DeleteTest : public MainWindowTest {
protected:
    void FindThree()
    {
        drive.AddFile("c:\\windows\\cookies\\a.txt");
        drive.AddFile("c:\\windows\\cookies\\b.txt");
        drive.AddFile("c:\\windows\\cookies\\index.dat");
        drive.AddFile("c:\\winnt\\profiles\\u\\cookies\\c.txt");
        Click(cmdSrch);
        ASSERT_EQ(Status(), "3 Cookies found.");
        forms.calls.clear();
    }
};

TEST_F(DeleteTest, DeletesEveryListedFileInOrderThenReturnsToReady)
{
    FindThree();
    Click(cmdDelCookies);

    EXPECT_THAT(deleted, ElementsAre("c:\\windows\\cookies\\a.txt", "c:\\windows\\cookies\\b.txt",
                                     "c:\\winnt\\profiles\\u\\cookies\\c.txt"));
    EXPECT_TRUE(drive.HasFile("c:\\windows\\cookies\\index.dat"));
    EXPECT_FALSE(drive.HasFile("c:\\windows\\cookies\\a.txt"));
    // The window changes once, after the last deletion, Find shown before Delete is hidden.
    EXPECT_THAT(forms.calls, ElementsAre("Label1.Caption=Cookies eaten...yum!", "List1.Clear",
                                         "cmdSrch.Visible=True", "cmdDelCookies.Visible=False"));
    EXPECT_TRUE(MainProbe::HasCookieList(main));
    EXPECT_EQ(main.CookieList().Count(), 0u);
    EXPECT_THAT(Listed(), IsEmpty());
    EXPECT_TRUE(forms.messages.empty());
}

TEST_F(DeleteTest, NextFindStartsFromAnEmptyList)
{
    FindThree();
    Click(cmdDelCookies);
    Click(cmdSrch);
    EXPECT_EQ(Status(), "0 cookies found.");
    EXPECT_TRUE(FindVisible());
    EXPECT_FALSE(DeleteVisible());
}

TEST_F(DeleteTest, FileAlreadyGoneCountsAsDeleted)
{
    FindThree();
    drive.RemoveFile("c:\\windows\\cookies\\a.txt");
    main.CookieList().Add("c:\\windows\\cookies\\b.txt"); // listed twice
    Click(cmdDelCookies);

    EXPECT_EQ(deleted.size(), 4u);
    EXPECT_FALSE(drive.HasFile("c:\\winnt\\profiles\\u\\cookies\\c.txt"));
    EXPECT_EQ(Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(forms.messages.empty());
    EXPECT_FALSE(forms.ended);
}

TEST_F(DeleteTest, RefusedFilesStayListedAndTheRunGoesOn)
{
    FindThree();
    refusals.emplace("c:\\windows\\cookies\\a.txt", Error(5, "Access is denied."));
    refusals.emplace("c:\\winnt\\profiles\\u\\cookies\\c.txt", Error(32, "The file is in use."));
    Click(cmdDelCookies);

    EXPECT_EQ(deleted.size(), 3u);
    EXPECT_FALSE(drive.HasFile("c:\\windows\\cookies\\b.txt"));
    EXPECT_THAT(CookieListItems(), ElementsAre("c:\\windows\\cookies\\a.txt", "c:\\winnt\\profiles\\u\\cookies\\c.txt"));
    EXPECT_EQ(Listed(), CookieListItems());
    EXPECT_EQ(Status(), "2 Cookies not deleted.");
    EXPECT_FALSE(FindVisible());
    EXPECT_TRUE(DeleteVisible());
    EXPECT_FALSE(forms.ended);

    ASSERT_EQ(forms.messages.size(), 1u);
    const std::string& message = forms.messages[0];
    EXPECT_THAT(message, HasSubstr("c:\\windows\\cookies\\a.txt\n    Error 5: Access is denied."));
    EXPECT_THAT(message, HasSubstr("c:\\winnt\\profiles\\u\\cookies\\c.txt\n    Error 32: The file is in use."));
    EXPECT_THAT(message, ::testing::Not(HasSubstr("b.txt")));
}

TEST_F(DeleteTest, TryingAgainAfterTheRefusalIsLiftedFinishes)
{
    FindThree();
    refusals.emplace("c:\\windows\\cookies\\b.txt", Error(5, "Access is denied."));
    Click(cmdDelCookies);
    ASSERT_EQ(Status(), "1 Cookies not deleted.");

    refusals.clear();
    deleted.clear();
    Click(cmdDelCookies);
    EXPECT_THAT(deleted, ElementsAre("c:\\windows\\cookies\\b.txt"));
    EXPECT_EQ(Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(FindVisible());
}

// Every failure is named, each path once, with the system's number and text
// or the rules' own words alone; the toolkit decides how many fit its box.
TEST_F(DeleteTest, ManyFailuresAreAllNamedEachPathOnce)
{
    for (int i = 0; i < 25; ++i) {
        const std::string path = "c:\\windows\\cookies\\f" + std::to_string(i) + ".txt";
        drive.AddFile(path);
        refusals.emplace(path, i == 3 ? Error(0, path, "The file is read-only.") : Error(5, path, "Access is denied."));
    }
    Click(cmdSrch);
    Click(cmdDelCookies);

    EXPECT_EQ(Status(), "25 Cookies not deleted.");
    EXPECT_EQ(Listed().size(), 25u);
    ASSERT_EQ(forms.messages.size(), 1u);
    const std::string& message = forms.messages[0];
    EXPECT_THAT(message, ::testing::StartsWith("These 25 files could not be deleted. They stay in the list.\n"));
    EXPECT_THAT(message, HasSubstr("c:\\windows\\cookies\\f3.txt\n    The file is read-only.\n"));
    EXPECT_THAT(message, HasSubstr("c:\\windows\\cookies\\f24.txt\n    Error 5: Access is denied."));
    EXPECT_EQ(message.find("f7.txt"), message.rfind("f7.txt"));
}

TEST_F(DeleteTest, EmptyListStillResetsTheWindow)
{
    Click(cmdDelCookies);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(Status(), "Cookies eaten...yum!");
    EXPECT_TRUE(FindVisible());
    EXPECT_FALSE(DeleteVisible());
}

} // namespace
} // namespace tallowick::testing
