#pragma once

// What the property tests share beside the model: the seeds to run, and the
// reports of what differs.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tallowick::testing::trees {

// The seeds a run tries: 1 to `count`, or as many as TALLOWICK_TREE_SEEDS
// says from TALLOWICK_TREE_FIRST_SEED on; TALLOWICK_TREE_SEED=S tries S alone.
std::vector<std::uint32_t> SeedsToRun(std::uint32_t count);

// For the reports of a failing seed: "" when the two are equal, else what
// differs, with bytes that do not print written as \xNN.
std::string ListDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual);
// A listing is every entry of a world (its path from the top) with what it
// is: kind, permissions, and a file's content or a link's text.
using Listing = std::map<std::string, std::string>;
std::string ListingDifference(const Listing& expected, const Listing& actual);
// The listing that a Delete which removes exactly `removed` leaves.
Listing Without(Listing listing, const std::set<std::string>& removed);

} // namespace tallowick::testing::trees
