#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/cookie_tree.h"
#include "tests/linux/wine_prefix.h"

namespace tallowick::testing {
namespace {

namespace fs = std::filesystem;
using namespace tallowick::bench;

// Every entry below drive_c in the order the folders list them, with its
// kind and link count: what the walk and the deletion meet.
std::vector<std::string> WalkOrder(const fs::path& prefix)
{
    std::vector<std::string> entries;
    const fs::path drive = prefix / "drive_c";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(drive)) {
        const bool file = entry.is_regular_file();
        entries.push_back(fs::relative(entry.path(), drive).string() + (file ? " file " : " folder ") +
                          std::to_string(file ? entry.hard_link_count() : 0));
    }
    return entries;
}

void DeleteCookieFiles(const fs::path& prefix)
{
    std::vector<fs::path> cookies;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix / "drive_c"))
        if (entry.path().filename().string().starts_with("user@site"))
            cookies.push_back(entry.path());
    ASSERT_EQ(cookies.size(), 1000u);
    for (const fs::path& cookie : cookies)
        fs::remove(cookie);
}

// The benchmark's Delete rounds run on one tree, made new again after each:
// it must then read as a new one, entry for entry and in the same order, or
// the rounds would time something else.
TEST(BenchTree, RenewedTreeReadsAsANewOne)
{
    const TempWinePrefix temporary;
    const TreeShape shape = ShapeFor(1000);
    const TreeCounts counts = MakeCookieTree(temporary.At("new"), shape);
    EXPECT_EQ(counts.cookies, 1000u);
    EXPECT_EQ(counts.others, 1000u);
    MakeCookieTree(temporary.At("used"), shape);
    const std::vector<std::string> fresh = WalkOrder(temporary.At("new"));

    SpareTrees spares(temporary.At("used"), temporary.At("spares"), shape);
    spares.Add();
    // The spare made ahead, then one made when none is left.
    for (int round = 0; round < 2; ++round) {
        DeleteCookieFiles(temporary.At("used"));
        spares.Renew();
        EXPECT_EQ(WalkOrder(temporary.At("used")), fresh) << "round " << round;
    }
    EXPECT_EQ(spares.Left(), 0u);
    EXPECT_TRUE(fs::is_empty(temporary.At("spares")));
}

} // namespace
} // namespace tallowick::testing
