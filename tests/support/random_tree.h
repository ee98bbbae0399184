#pragma once

// Random drive trees for the property tests, and a model of what Find must
// list and Delete must remove in them. The model is written from the rules
// of the walk and of the deletion as the README states them: it shares no
// code with the program, so a fault in the program is not repeated here.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tallowick::testing::trees {

// The disk a tree is made for. Linux: drive C: of a Wine prefix, read with
// POSIX calls. Windows: drive C: as Win32 shows it under Wine, where the
// prefix's own "windows" folder always exists and no two names of a folder
// differ only in letter case.
enum class Disk { Linux, Windows };

struct Entry {
    enum class Kind { Folder, File, Link };
    Kind kind = Kind::File;
    std::string path;      // from the top of the tree's world, '/' between names
    std::string content;   // a file's bytes
    std::string target;    // a link's text, relative to its folder
    std::string leadsTo;   // the path that text names (nothing may be there)
    bool readOnly = false; // a file without its owner's write permission
};

struct Tree {
    std::uint32_t seed = 0;
    std::string drive;   // drive C:, from the top: "prefix/drive_c" or "drive_c"
    std::string outside; // a folder beside the drive, for links that leave it
    std::vector<Entry> entries; // each folder before what it holds
    // What changes between the Find and the Delete: files that vanish, and
    // files replaced by a folder of the same name, with a file in it or empty.
    std::vector<std::string> vanishing;
    std::vector<std::string> becomingFolders;
    std::vector<std::string> becomingEmptyFolders;
};

// The same tree for the same seed, on every compiler and library.
Tree Generate(std::uint32_t seed, Disk disk);

// A folder's names in the order the file system enumerates them, which no
// generator decides: the tests read it from the disk they made.
using FolderOrder = std::function<std::vector<std::string>(const std::string& folder)>;

struct Expectation {
    std::vector<std::string> found; // the Windows-form paths Find lists, in order
    std::vector<std::string> kept;  // those Delete must refuse, in order
    std::set<std::string> keptEntries; // and their entries, from the top
    std::set<std::string> removed;  // the entries Delete removes, from the top
};

Expectation Expect(const Tree& tree, Disk disk, const FolderOrder& order);

// The name after the last '/', and what comes before it ("" for none).
std::string NameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// ASCII letters in lower case, as both disks compare names that differ in case.
char Lower(char c);
std::string Folded(std::string_view text);

} // namespace tallowick::testing::trees
