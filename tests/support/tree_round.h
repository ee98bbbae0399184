#pragma once

// One round of the property test, the same on every disk: a generated tree
// is made, Find is clicked on the real main window, the list is checked
// against the model; the tree changes as the generator said, Delete is
// clicked, and the window and every entry of the world are checked.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/main_window_state.h"
#include "tests/support/random_tree.h"
#include "tests/support/tree_report.h"

namespace tallowick::testing::trees {

// Where a tree is made: a disk, with the main window working on it.
class TreeWorld {
public:
    virtual ~TreeWorld() = default;
    // Make and ChangeAfterFind answer the listing of the world they leave.
    virtual Listing Make(const Tree& tree) = 0;
    virtual std::vector<std::string> Order(const std::string& folder) = 0; // as the system enumerates it
    virtual Listing List() = 0;
    virtual Listing ChangeAfterFind(const Tree& tree) = 0;
    virtual std::unique_ptr<RecordedMain> Window() = 0;
};

// "" when the round went as the model says, else every difference.
std::string CheckRound(const Tree& tree, Disk disk, TreeWorld& world);

// A round for every seed to run (see SeedsToRun), each in a world of its
// own; prints how many ran and how long they took. "" when all passed, else
// the first failing seed's report, with the command line that replays it.
std::string CheckSeeds(Disk disk, std::uint32_t count, const std::function<std::unique_ptr<TreeWorld>()>& newWorld);

} // namespace tallowick::testing::trees
