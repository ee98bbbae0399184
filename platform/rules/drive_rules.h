#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include "platform/interfaces/error.h"
#include "platform/rules/disk.h"

namespace tallowick {

// "c:\windows\cookies: Access is denied." The system's number and text for
// what happened at a path.
Error DiskError(const Disk& disk, long number, std::string_view path);

// The one wording of each refusal, the same on every drive, in the
// program's own words and with no system number: "c:\windows\cookies\a.txt:
// The file is read-only." `linkedFolder` names the link for
// Refusal::LinkedFolder.
Error RefusalError(Refusal refusal, std::string_view path, std::string_view linkedFolder = {});

// Whether a path leads to a folder through folders only. A link is never
// passed through: what lies behind one may be anywhere, the user's own
// files included. The folders already seen to be folders are remembered,
// so one search, or one round of deletions, asks about each folder once.
class FolderWay {
public:
    // How a path's names must reach their folders: as the system allows
    // (the search takes Wine's folders in whatever letter case they stand),
    // or spelled exactly (the deletion's paths carry the names as they stood
    // on disk, and a folder reached through another spelling is not the one
    // listed).
    enum class Spelling { AsTheSystemAllows, Exact };

    FolderWay(Disk& disk, Spelling spelling) : disk_(disk), spelling_(spelling) {}

    enum class Ending {
        Folder,   // every name leads to a folder
        Missing,  // one leads to nothing, or to something that is no folder
        Linked,   // one is a link
        Failed,   // the system would not say
    };
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
