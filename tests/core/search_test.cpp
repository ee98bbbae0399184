#include <gmock/gmock.h>

#include "tests/core/fixture.h"

namespace tallowick::testing {
namespace {

using main_controls::cmdSrch;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using FindTest = MainWindowTest;

TEST_F(FindTest, NoRootFolderTriesNoSubpathAndStaysReady)
{
    drive.AddFolder("c:\\other\\cookies");
    Click(cmdSrch);

    EXPECT_THAT(drive.asked, ElementsAre("c:\\windows", "c:\\winnt"));
    EXPECT_THAT(Listed(), IsEmpty());
    EXPECT_EQ(Status(), "0 cookies found.");
    EXPECT_TRUE(FindVisible());
    EXPECT_FALSE(DeleteVisible());
}

TEST_F(FindTest, RootWithoutSubpathsFindsNothing)
{
    drive.AddFile("c:\\windows\\notes.txt");
    drive.AddFile("c:\\windows\\system\\cookies\\x.txt");
    Click(cmdSrch);

    EXPECT_THAT(drive.asked, ElementsAre("c:\\windows", "c:\\windows\\cookies", "c:\\windows\\profiles",
                                         "c:\\windows\\Temporary Internet Files", "c:\\winnt"));
    EXPECT_EQ(Status(), "0 cookies found.");
    EXPECT_TRUE(FindVisible());
}

TEST_F(FindTest, NameTestIsCaseSensitiveAndAnywhereInTheName)
{
    drive.AddFile("c:\\windows\\cookies\\a[1].txt");
    drive.AddFile("c:\\windows\\cookies\\index.dat");
    drive.AddFile("c:\\windows\\cookies\\B[2].TXT");
    drive.AddFile("c:\\windows\\cookies\\C.Txt");
    drive.AddFile("c:\\windows\\cookies\\old.txt.bak");
    drive.AddFile("c:\\windows\\cookies\\txt");
    Click(cmdSrch);

    EXPECT_THAT(Listed(), ElementsAre("c:\\windows\\cookies\\a[1].txt", "c:\\windows\\cookies\\old.txt.bak"));
    EXPECT_EQ(Status(), "2 Cookies found.");
}

TEST_F(FindTest, WalksOneLevelOfSubfoldersAndOnlyTheirCookiesFolders)
{
    drive.AddFile("c:\\windows\\profiles\\readme.txt");
    drive.AddFile("c:\\windows\\profiles\\user1\\cookies\\site[1].txt");
    drive.AddFile("c:\\windows\\profiles\\user1\\notes.txt");
    drive.AddFile("c:\\windows\\profiles\\user1\\cookies\\old\\x.txt");
    drive.AddFile("c:\\windows\\profiles\\user1\\other\\cookies\\deep.txt");
    drive.AddFile("c:\\windows\\cookies\\old\\cookies\\y.txt");
    drive.AddFile("c:\\windows\\Temporary Internet Files\\cache1\\cookies\\z.txt");
    drive.AddFolder("c:\\windows\\profiles\\user2");
    Click(cmdSrch);

    EXPECT_THAT(CookieListItems(), ElementsAre("c:\\windows\\cookies\\old\\cookies\\y.txt",
                                               "c:\\windows\\profiles\\readme.txt",
                                               "c:\\windows\\profiles\\user1\\cookies\\site[1].txt",
                                               "c:\\windows\\Temporary Internet Files\\cache1\\cookies\\z.txt"));
    EXPECT_EQ(Status(), "4 Cookies found.");
    // Nothing below a subfolder's "\cookies" is read, and nothing beside it.
    EXPECT_THAT(drive.opened, ElementsAre("c:\\windows\\cookies", "c:\\windows\\cookies\\old\\cookies",
                                          "c:\\windows\\profiles", "c:\\windows\\profiles\\user1\\cookies",
                                          "c:\\windows\\Temporary Internet Files",
                                          "c:\\windows\\Temporary Internet Files\\cache1\\cookies"));
}

TEST_F(FindTest, OrderIsRootsThenSubpathsThenOwnFilesBeforeSubfolders)
{
    drive.AddFile("c:\\winnt\\cookies\\w.txt");
    drive.AddFile("c:\\windows\\Temporary Internet Files\\t.txt");
    drive.AddFile("c:\\windows\\profiles\\b\\cookies\\b.txt");
    drive.AddFile("c:\\windows\\profiles\\a\\cookies\\a.txt");
    drive.AddFile("c:\\windows\\profiles\\p.txt");
    drive.AddFile("c:\\windows\\cookies\\2.txt");
    drive.AddFile("c:\\windows\\cookies\\1.txt");
    Click(cmdSrch);

    EXPECT_THAT(CookieListItems(),
                ElementsAre("c:\\windows\\cookies\\2.txt", "c:\\windows\\cookies\\1.txt", "c:\\windows\\profiles\\p.txt",
                            "c:\\windows\\profiles\\b\\cookies\\b.txt", "c:\\windows\\profiles\\a\\cookies\\a.txt",
                            "c:\\windows\\Temporary Internet Files\\t.txt", "c:\\winnt\\cookies\\w.txt"));
    // The list receives them in the same order; showing them sorted is the list box's.
    EXPECT_EQ(Listed(), CookieListItems());
}

TEST_F(FindTest, CountTextHasNoSingularAndButtonsSwitchToListed)
{
    drive.AddFile("c:\\winnt\\profiles\\u\\cookies\\only.txt");
    Click(cmdSrch);

    EXPECT_EQ(Status(), "1 Cookies found.");
    EXPECT_FALSE(FindVisible());
    EXPECT_TRUE(DeleteVisible());
    // Find is hidden before Delete is shown; the count text was written over "Searching System".
    EXPECT_THAT(forms.calls, ElementsAre("Main.Show", "Label1.Caption=Searching System", "List1.Clear",
                                         "Label1.Caption=1 Cookies found.", "cmdSrch.Visible=False",
                                         "cmdDelCookies.Visible=True"));
}

TEST_F(FindTest, EmptySearchOverwritesCountTextAndCanRunAgain)
{
    Click(cmdSrch);
    EXPECT_THAT(forms.calls, ElementsAre("Main.Show", "Label1.Caption=Searching System", "List1.Clear",
                                         "Label1.Caption=0 Cookies found.", "Label1.Caption=0 cookies found."));
    drive.AddFile("c:\\windows\\cookies\\late.txt");
    Click(cmdSrch);
    EXPECT_THAT(Listed(), ElementsAre("c:\\windows\\cookies\\late.txt"));
    EXPECT_EQ(drive.fileSystemsOpened, 2);
    EXPECT_EQ(drive.fileSystemsAlive, 0);
}

TEST_F(FindTest, DuplicatesAreKept)
{
    drive.AddFile("c:\\windows\\cookies\\a.txt");
    main.CookieList().Add("c:\\windows\\cookies\\a.txt");
    Click(cmdSrch);
    EXPECT_THAT(Listed(), ElementsAre("c:\\windows\\cookies\\a.txt", "c:\\windows\\cookies\\a.txt"));
    EXPECT_EQ(Status(), "2 Cookies found.");
}

TEST_F(FindTest, UnreadableOrVanishedFoldersArePassedOver)
{
    drive.AddFile("c:\\windows\\profiles\\alice\\cookies\\a.txt");
    drive.AddFile("c:\\windows\\profiles\\bob\\cookies\\b.txt");
    drive.AddFile("c:\\windows\\profiles\\carol\\cookies\\c.txt");
    drive.AddFile("c:\\windows\\cookies\\locked\\x.txt");
    drive.AddFile("c:\\winnt\\cookies\\w.txt");
    drive.unreadable = {"c:\\windows\\profiles\\bob\\cookies", "c:\\windows\\cookies"};
    Click(cmdSrch);

    EXPECT_THAT(Listed(), ElementsAre("c:\\windows\\profiles\\alice\\cookies\\a.txt",
                                      "c:\\windows\\profiles\\carol\\cookies\\c.txt", "c:\\winnt\\cookies\\w.txt"));
    EXPECT_EQ(Status(), "3 Cookies found.");
    EXPECT_FALSE(forms.ended);
    EXPECT_TRUE(forms.errors.empty());
}

// A file system that fails in a way that is not a passed-over folder.
class BrokenFileSystem : public FileSystem {
public:
    bool FolderExists(std::string_view) override { throw Error(21, "The device is not ready."); }
    std::unique_ptr<Folder> GetFolder(std::string_view) override { return nullptr; }
};

TEST(FindFailure, OtherErrorsAreReportedAndEndTheProgram)
{
    RecordingForms forms;
    Project project{forms, [] { return std::make_unique<BrokenFileSystem>(); }, [] { return nullptr; }};
    Main& main = project.main;
    forms.Show(main);
    RunEventHandler(forms, [&] { main.Click(main_controls::cmdSrch); });

    ASSERT_EQ(forms.errors.size(), 1u);
    EXPECT_EQ(FormatErrorReport(forms.errors[0]), "Error 21: The device is not ready.");
    EXPECT_TRUE(forms.ended);
    EXPECT_EQ(forms.State(main, main_controls::Label1).caption, "Searching System");
}

} // namespace
} // namespace tallowick::testing
