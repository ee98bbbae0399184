#pragma once

#include <cstddef>
#include <filesystem>

namespace tallowick::bench {

struct TreeShape {
    std::size_t cookies = 0;  // files the search must list
    std::size_t profiles = 0; // windows/Profiles/<user>/Cookies folders
};

struct TreeCounts {
    std::size_t cookies = 0;
    std::size_t others = 0;
};

// Makes a Wine-style prefix at `prefix`: dosdevices/c: -> ../drive_c, and
// under drive_c/windows the cookie folders of a well-used machine. As many
// files that are not cookies lie beside them (index.dat, .TXT in capitals,
// other folders of each profile), so the walk must pass over things.
TreeCounts MakeCookieTree(const std::filesystem::path& prefix, const TreeShape& shape);

} // namespace tallowick::bench
