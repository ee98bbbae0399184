#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include "platform/interfaces/error.h"
#include "platform/rules/disk.h"

namespace tallowick {

// "c:\windows\cookies: Access is denied.": the system's number and text.
Error DiskError(const Disk& disk, long number, std::string_view path);

// Each refusal's one wording on every drive, with no system number:
// "c:\windows\cookies\a.txt: The file is read-only." `linkedFolder` names
// the link for Refusal::LinkedFolder.
Error RefusalError(Refusal refusal, std::string_view path, std::string_view linkedFolder = {});

// Whether a path leads to a folder through folders only, never through a
// link: what lies behind one may be anywhere, the user's own files
// included. Folders seen once are remembered for the search, or the round
// of deletions, so each is asked about once.
class FolderWay {
public:
    // The search takes Wine's folders in whatever letter case they stand;
    // the deletion's paths carry the names as they stood on disk, so a
    // folder reached by another spelling is not the one listed.
    enum class Spelling { AsTheSystemAllows, Exact };

    FolderWay(Disk& disk, Spelling spelling) : disk_(disk), spelling_(spelling) {}

    // Every name leads to a folder; or one leads to nothing or to no
    // folder, is a link, or the system would not say.
    enum class Ending { Folder, Missing, Linked, Failed };
    struct Answer {
        Ending ending = Ending::Folder;
        std::size_t depth = 0; // for any other ending: the names up to where it stopped
        long error = 0;        // for Failed
    };

    // The first `depth` names of `path`, each as a folder.
    Answer Follow(const WindowsPath& path, std::size_t depth);
    // A folder that a listing has just shown to be one.
    void Remember(std::string folder) { known_.insert(std::move(folder)); }

private:
    bool Known(std::string_view folder) const;

    Disk& disk_;
    Spelling spelling_;
    std::set<std::string, std::less<>> known_;
    std::string lastFollowed_; // files come folder by folder: most answers are here
};

} // namespace tallowick
