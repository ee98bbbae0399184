#pragma once

#include <cstddef>
#include <filesystem>

namespace tallowick::bench {

struct TreeShape {
    std::size_t cookies = 0;  // files the search must list
    std::size_t profiles = 0; // windows/Profiles/<user>/Cookies folders
};

// The benchmarks' shape: N cookie files over N/100 profiles.
inline TreeShape ShapeFor(std::size_t cookies) { return {cookies, cookies / 100 > 0 ? cookies / 100 : 1}; }

struct TreeCounts {
    std::size_t cookies = 0;
    std::size_t others = 0;
};

// Makes a Wine-style prefix at `prefix`: dosdevices/c: -> ../drive_c (kept
// as it is where the prefix already maps C:, as a real Wine prefix does), and
// under drive_c/windows the cookie folders of a well-used machine. As many
// files that are not cookies lie beside them (index.dat, .TXT in capitals,
// other folders of each profile), so the walk must pass over things.
TreeCounts MakeCookieTree(const std::filesystem::path& prefix, const TreeShape& shape);

} // namespace tallowick::bench
