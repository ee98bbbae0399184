#include <gmock/gmock.h>

#include <algorithm>

#include "about/about.h"
#include "tests/core/fixture.h"

namespace tallowick::testing {
namespace {

using ::testing::ElementsAre;

TEST(Collection, IsNumberedFromOneAndRemovalMovesLaterItemsDown)
{
    TextCollection items;
    items.Add("a");
    items.Add("b");
    items.Add("a");
    EXPECT_EQ(items.Count(), 3u);
    EXPECT_EQ(items.Item(1), "a");
    items.Remove(1);
    EXPECT_EQ(items.Item(1), "b");
    EXPECT_EQ(items.Item(2), "a");
    EXPECT_THROW(items.Item(0), std::out_of_range);
    EXPECT_THROW(items.Item(3), std::out_of_range);
    EXPECT_THROW(items.Remove(3), std::out_of_range);
}

// A list keeps the collection's texts without copying them, and they stay
// readable after the collection has let them go; a text of the caller's is
// copied.
TEST(Collection, SharedTextsOutliveItAndAKeeperCopiesOnlyTextsWithoutAStore)
{
    auto items = std::make_unique<TextCollection>();
    items->Add("c:\\windows\\cookies\\a.txt");
    TextKeeper list;
    const std::string_view shared = list.Keep(items->Shared(1));
    EXPECT_EQ(shared.data(), items->Item(1).data());
    items->Remove(1);
    items.reset();
    EXPECT_EQ(shared, "c:\\windows\\cookies\\a.txt");

    std::string caller = "b.txt";
    const std::string_view copied = list.Keep({caller, nullptr});
    caller = "xxxxx";
    EXPECT_EQ(copied, "b.txt");
}

// Rows must be indexed by their ids and never overlap, whatever binding reads them.
void ExpectWellFormed(const WindowLayout& layout)
{
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const auto& a = layout.controls[i];
        EXPECT_EQ(a.id, static_cast<ControlId>(i)) << a.name;
        EXPECT_LE(a.left + a.width, layout.clientWidth) << a.name;
        EXPECT_LE(a.top + a.height, layout.clientHeight) << a.name;
        for (std::size_t j = i + 1; j < layout.controls.size(); ++j) {
            const auto& b = layout.controls[j];
            const bool apart = a.left + a.width <= b.left || b.left + b.width <= a.left ||
                               a.top + a.height <= b.top || b.top + b.height <= a.top;
            EXPECT_TRUE(apart) << a.name << " overlaps " << b.name;
        }
    }
    std::vector<int> tabs;
    for (const auto& row : layout.controls)
        tabs.push_back(row.tabIndex);
    std::sort(tabs.begin(), tabs.end());
    for (std::size_t i = 0; i < tabs.size(); ++i)
        EXPECT_EQ(tabs[i], static_cast<int>(i)) << layout.name << ": tab orders must be 0..n-1";
}

TEST(Layouts, AreWellFormed)
{
    ExpectWellFormed(MainLayout());
    ExpectWellFormed(AboutLayout());
}

using MainStateTest = MainWindowTest;

TEST_F(MainStateTest, StartsReadyWithEmptyListAndStatus)
{
    EXPECT_TRUE(Status().empty());
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(FindVisible());
    EXPECT_FALSE(DeleteVisible());
    EXPECT_TRUE(Control(main_controls::cmdExt).visible);
    EXPECT_TRUE(Control(main_controls::Command1).visible);
    EXPECT_FALSE(MainProbe::HasCookieList(main));
}

TEST_F(MainStateTest, CloseEndsTheProgramAtOnce)
{
    Click(main_controls::cmdExt);
    EXPECT_TRUE(forms.ended);
    EXPECT_TRUE(forms.errors.empty());
}

TEST_F(MainStateTest, AboutIsOneObjectLoadedAfreshAfterClose)
{
    EXPECT_EQ(MainProbe::AboutWindow(project), nullptr);
    Click(main_controls::Command1);
    About* about = MainProbe::AboutWindow(project);
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(forms.IsLoaded(*about));

    Click(main_controls::Command1);
    EXPECT_EQ(MainProbe::AboutWindow(project), about);

    RunEventHandler(forms, [&] { about->Click(about_controls::Command1); });
    EXPECT_FALSE(forms.IsLoaded(*about));
    EXPECT_EQ(MainProbe::AboutWindow(project), about);

    Click(main_controls::Command1);
    EXPECT_TRUE(forms.IsLoaded(*about));
    EXPECT_EQ(MainProbe::AboutWindow(project), about);
    EXPECT_THAT(forms.calls, ElementsAre("Main.Show", "About.Show", "About.Show", "About.Unload", "About.Show"));
    EXPECT_FALSE(forms.ended);
}

TEST_F(MainStateTest, ClosingAboutLeavesTheMainWindowAsItWas)
{
    drive.AddFile("c:\\windows\\cookies\\a.txt");
    Click(main_controls::cmdSrch);
    Click(main_controls::Command1);
    RunEventHandler(forms, [&] { MainProbe::AboutWindow(project)->Click(about_controls::Command1); });

    EXPECT_EQ(Status(), "1 Cookies found.");
    EXPECT_THAT(Listed(), ElementsAre("c:\\windows\\cookies\\a.txt"));
    EXPECT_FALSE(FindVisible());
    EXPECT_TRUE(DeleteVisible());
}

} // namespace
} // namespace tallowick::testing
