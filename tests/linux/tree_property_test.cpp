// Find and Delete on generated trees in a real Wine prefix, against the
// model of tests/support/random_tree.h. TALLOWICK_TREE_SEEDS=N runs N seeds
// (300 by default), TALLOWICK_TREE_SEED=S replays seed S alone.

#include <gtest/gtest.h>

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

} // namespace
} // namespace tallowick::testing::trees
