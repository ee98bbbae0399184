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

// Trees made ahead, each to take a used tree's place once its cookie files
// were deleted: its drive_c/windows folder swapped for the used one in one
// rename, so that the tree is new again. Made before any round deletes a
// file: on ext4 without a journal, making a file shortly after many were
// deleted costs several times as much, as the file system passes over every
// recently freed inode.
class SpareTrees {
public:
    // The spares are made in `folder`, on the file system of the tree at
    // `prefix`, outside it.
    SpareTrees(std::filesystem::path prefix, std::filesystem::path folder, const TreeShape& shape);

    // Makes one more spare tree.
    void Add();
    std::size_t Left() const { return left_; }
    // Makes the tree new again, from a spare (one made now when none is
    // left), and removes what it takes out.
    void Renew();

private:
    std::filesystem::path prefix_;
    std::filesystem::path folder_;
    TreeShape shape_;
    std::size_t made_ = 0;
    std::size_t left_ = 0;
};

// Writes back what is still unwritten on the file system of `folder`, so
// that timings start once a tree is on disk, not while it is written back.
void SyncFileSystem(const std::filesystem::path& folder);

} // namespace tallowick::bench
