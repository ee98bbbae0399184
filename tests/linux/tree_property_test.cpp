// Find and Delete on generated trees in a real Wine prefix, against the
// model of tests/support/random_tree.h. TALLOWICK_TREE_SEEDS=N runs N seeds
// (300 by default), TALLOWICK_TREE_SEED=S replays seed S alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "platform/linux/wine_drive.h"
#include "tests/linux/tree_disk.h"
#include "tests/linux/wine_prefix.h"
#include "tests/support/tree_round.h"

namespace tallowick::testing::trees {
namespace {

class LinuxWorld final : public TreeWorld {
public:
    Listing Make(const Tree& tree) override
    {
        MakeTree(top_, tree);
        return ListTree(top_);
    }
    std::vector<std::string> Order(const std::string& folder) override { return ReadOrder(top_ / folder); }
    Listing List() override { return ListTree(top_); }
    Listing ChangeAfterFind(const Tree& tree) override
    {
        trees::ChangeAfterFind(top_, tree);
        return ListTree(top_);
    }
    std::unique_ptr<RecordedMain> Window() override
    {
        return std::make_unique<RecordedMain>([this] { return OpenWineFileSystem(world_.Prefix()); },
                                              [this] { return OpenWineFileDeletion(world_.Prefix()); });
    }

private:
    TempWinePrefix world_;
    std::filesystem::path top_ = world_.At("");
};

TEST(GeneratedTrees, FindListsAndDeleteRemovesWhatTheModelSays)
{
    const std::string failure = CheckSeeds(Disk::Linux, 300, [] { return std::make_unique<LinuxWorld>(); });
    EXPECT_TRUE(failure.empty()) << failure;
}

// The awkward cases a tree holds where the walk goes.
std::set<std::string> AwkwardCases(const Tree& tree)
{
    const Expectation expected = Expect(tree, Disk::Linux, [](const std::string&) { return std::vector<std::string>{}; });
    std::map<std::string, const Entry*> at;
    std::map<std::string, std::vector<std::string>> names; // by folder
    for (const Entry& entry : tree.entries) {
        at[entry.path] = &entry;
        names[FolderOf(entry.path)].push_back(NameOf(entry.path));
    }
    std::set<std::string> cases;
    const auto note = [&](bool holds, const char* name) {
        if (holds)
            cases.insert(name);
    };
    note(expected.found.empty(), "nothing found");
    for (const std::string& path : expected.found) {
        note(std::count(path.begin(), path.end(), '\\') >= 5, "a cookies folder below a fixed one");
        note(path.find_first_of("*?") != std::string::npos, "a wildcard listed");
        note(std::any_of(path.begin(), path.end(), [](char c) { return c > 0 && c < 0x20; }), "a control character listed");
        note(Folded(path).rfind("c:\\winnt\\", 0) == 0, "under winnt");
    }
    std::set<std::string> walked; // the folders of the files Delete handles
    for (const std::string& path : expected.removed) {
        note(at[path]->kind == Entry::Kind::Link, "a link removed");
        walked.insert(FolderOf(path));
    }
    for (const std::string& path : expected.keptEntries) {
        note(at[path]->readOnly, "a read-only file kept");
        note(!at[path]->readOnly, "a file become a folder kept");
        walked.insert(FolderOf(path));
    }
    for (const std::string& folder : walked)
        for (const std::string& name : names[folder])
            note(name.find_first_of("\\\xc3\xff") != std::string::npos, "a name no path can spell beside listed ones");
    for (const auto& [folder, inside] : names) {
        std::set<std::string> folded;
        for (const std::string& name : inside)
            note(!folded.insert(Folded(name)).second, "names that differ only in case");
    }
    return cases;
}

// The seeds that CI runs must hold the awkward cases, or the test above
// would pass over them unnoticed should the generator lose them.
TEST(GeneratedTrees, TheSeedsRunInCiHoldTheAwkwardCases)
{
    std::map<std::string, int> seeds;
    for (std::uint32_t seed = 1; seed <= 300; ++seed)
        for (const std::string& name : AwkwardCases(Generate(seed, Disk::Linux)))
            ++seeds[name];
    for (const char* name : {"nothing found", "a cookies folder below a fixed one", "a wildcard listed",
                             "a control character listed", "under winnt", "a link removed", "a read-only file kept",
                             "a file become a folder kept", "a name no path can spell beside listed ones",
                             "names that differ only in case"})
        EXPECT_GE(seeds[name], 5) << name;
}

} // namespace
} // namespace tallowick::testing::trees
