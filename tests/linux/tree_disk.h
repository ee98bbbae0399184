#pragma once

// Generated trees on the real Linux disk, made and read with POSIX calls.

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/random_tree.h"
#include "tests/support/tree_report.h"

namespace tallowick::testing::trees {

// Makes every entry of the tree under `top`; folders already there are kept.
void MakeTree(const std::filesystem::path& top, const Tree& tree);

// What happens between the Find and the Delete: the vanishing files go,
// the others become folders.
void ChangeAfterFind(const std::filesystem::path& top, const Tree& tree);

// The names of a folder in the order readdir gives them.
std::vector<std::string> ReadOrder(const std::filesystem::path& folder);

// Every entry under `top`: kind and permissions; a file's content and the
// time its inode last changed, so that a file rewritten, renamed over or
// made read-only shows; a link's text.
Listing ListTree(const std::filesystem::path& top);

} // namespace tallowick::testing::trees
